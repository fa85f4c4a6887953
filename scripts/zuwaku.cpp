#include "zuwaku.h"

#include "scriptfile.h"

#include "plan/plan.h"

namespace karumenio::scripts {

void ZUWAKU(ScriptFile& script, const plan::Plan& plan) {
    const plan::FrameValues& f = plan.frame;
    script.writeLine("-LAYER M P_WAKU C 7  ");
    script.writeLine("UCS W");
    script.writeLine("RECTANG");
    script.pointLine(f.outerFirstX, f.outerFirstY);
    script.pointLine(f.outerSecondX, f.outerSecondY);
    script.writeLine("RECTANG");
    script.pointLine(f.middleFirstX, f.middleFirstY);
    script.pointLine(f.middleSecondX, f.middleSecondY);
    script.writeLine("RECTANG");
    script.pointLine(f.innerFirstX, f.innerFirstY);
    script.pointLine(f.innerSecondX, f.innerSecondY);
    script.writeLine("ROTATE ALL  0,0 90");
    script.write("SCALE ALL  0,0 ");
    script.writeCoordinate(plan.scaleFactor);
    script.endLine();
    script.writeLine("UCS R U1");
    script.writeLine("MOVE ALL  0,0");
    script.pointLine(f.frameCentreX, f.frameCentreY);
}

} // namespace karumenio::scripts

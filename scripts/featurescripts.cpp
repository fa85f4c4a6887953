#include "featurescripts.h"

#include "scriptfile.h"
#include "scripttext.h"
#include "textforms.h"

#include "plan/plan.h"

namespace karumenio::scripts {

namespace {

void writeTrailer(ScriptFile& script) {
    script.writeLine("OSMODE 55");
    script.writeLine("UNDO A");
    script.writeLine("FILEDIA 1 ZOOM E");
    script.writeLine("qsave");
}

} // namespace

void writeLineScript(ScriptFile& script, const plan::Plan& plan) {
    script.reserve(plan.points.size() * 24 + 128);
    script.writeLine("FILEDIA 1");
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("-LAYER M P_LINE C 2  ");
    script.writeLine("PLINE");
    bool first = true;
    for (const plan::PlanPoint& p : plan.points) {
        // Slot 0 always starts the first polyline; its mark is never looked at.
        if (!first && p.breakBefore) {
            // The first blank ends the running PLINE, the second repeats it.
            script.write("  ");
        }
        first = false;
        script.pointLine(p.x, p.y);
    }
    script.endLine();
    writeTrailer(script);
}

void writePlotScript(ScriptFile& script, const plan::Plan& plan) {
    script.reserve(plan.circles.size() * 40 + 128);
    script.writeLine("FILEDIA 1");
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("-LAYER M P_PROT C 3  ");
    for (const plan::PlanPoint& p : plan.points) {
        if (p.radius != 0) {
            script.writeLine("CIRCLE");
            script.pointLine(p.x, p.y);
            script.writeCoordinate(p.radius);
            script.endLine();
        }
    }
    writeTrailer(script);
}

void writeTextScript(ScriptFile& script, const plan::Plan& plan) {
    script.reserve(plan.points.size() * 64 + 128);
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("FILEDIA 1");
    script.writeLine("-LAYER M P_MOJI C 4  ");
    // The angle line is the same for every label.
    const std::string angleLine = plainForm(spreadsheet::CellValue::number(plan.labelAngle));
    for (const plan::PlanPoint& p : plan.points) {
        script.writeLine("TEXT J BL");
        script.pointLine(p.labelX, p.labelY);
        script.writeLine(angleLine);
        script.writeLine(scriptText(p.label).text);
    }
    writeTrailer(script);
}

} // namespace karumenio::scripts

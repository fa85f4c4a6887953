#include "zahyouscript.h"

#include "scriptfile.h"
#include "zuwaku.h"

#include "plan/plan.h"
#include "spreadsheet/cellvalue.h"

namespace karumenio::scripts {

std::optional<double> versionNumber(std::string_view versionCode) {
    return spreadsheet::readNumber(versionCode);
}

void writeZahyouScript(ScriptFile& script, const plan::Plan& plan) {
    const double version = versionNumber(plan.edition).value_or(0.0);
    script.writeLine("FILEDIA 1");
    script.writeLine("UCS 3 0,0,0 0,1 1,0");
    if (version == 97 || version == 98) {
        script.writeLine("UNITS 2 8 2 8 0 N");
    } else {
        script.writeLine("-UNITS 2 8 2 8 0 N");
    }
    script.write("LINE 0,0 100<");
    script.writePlain(spreadsheet::CellValue::number(plan.rotationAngle));
    script.write(" ");
    script.endLine();
    script.writeLine("UCS OB ALL");
    script.writeLine("UCS S U1");
    script.write("ERASE ");
    script.write("ALL ");
    script.endLine();
    script.writeLine("-STYLE ROMANS EXTFONT 3.0 1.0 0 N Y N");
    ZUWAKU(script, plan);
    script.writeLine("FILEDIA 1 ZOOM E");
    if (version == 97) {
        script.writeLine("saveas LT97 c:\\Zeva-zizudi.dwg");
    } else if (version == 98) {
        script.writeLine("saveas LT98 c:\\Zeva-zizudi.dwg");
    } else if (version == 2000 || version == 2002 || version == 20001) {
        script.writeLine("saveas 2000 c:\\Zeva-zizudi.dwg");
    }
}

} // namespace karumenio::scripts

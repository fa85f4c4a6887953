#include "scriptset.h"

#include "featurescripts.h"
#include "scriptfile.h"
#include "scripttext.h"
#include "zahyouscript.h"

#include "plan/labelencoding.h"
#include "plan/plan.h"
#include "points/pointtable.h"
#include "spreadsheet/cellname.h"

namespace karumenio::scripts {

const std::string& ScriptSet::bytes(std::size_t index) const {
    switch (index) {
    case 0:
        return zahyou;
    case 1:
        return line;
    case 2:
        return plot;
    default:
        return text;
    }
}

ScriptSet writeScripts(const plan::Plan& plan) {
    ScriptFile zahyou;
    writeZahyouScript(zahyou, plan);
    ScriptFile line;
    writeLineScript(line, plan);
    ScriptFile plot;
    writePlotScript(plot, plan);
    ScriptFile text;
    writeTextScript(text, plan);

    ScriptSet set;
    set.zahyou = plan::toDrawingCodePage(zahyou.take());
    set.line = plan::toDrawingCodePage(line.take());
    set.plot = plan::toDrawingCodePage(plot.take());
    bool lost = false;
    set.text = plan::toDrawingCodePage(text.take(), &lost);
    set.warnings = plan.warnings;
    for (std::size_t slot = 0; slot < plan.points.size(); ++slot) {
        const std::string& label = plan.points[slot].label;
        if (const ScriptText written = scriptText(label); written.changed()) {
            set.warnings.push_back(scriptTextWarning(
                "セル " +
                    spreadsheet::cellName(points::kFirstDataRow + static_cast<int>(slot),
                                          points::kLabelTextColumn) +
                    " の測点名",
                label, written));
        }
    }
    if (lost) {
        plan::warnUnmappableLabels(plan, set.warnings);
    }
    return set;
}

} // namespace karumenio::scripts

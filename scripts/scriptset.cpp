#include "scriptset.h"

#include "featurescripts.h"
#include "scriptfile.h"
#include "zahyouscript.h"

#include "plan/labelencoding.h"
#include "plan/plan.h"

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
    if (lost) {
        plan::warnUnmappableLabels(plan, set.warnings);
    }
    return set;
}

} // namespace karumenio::scripts

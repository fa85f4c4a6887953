#include "fitadvice.h"

#include "layout/sheetlayout.h"
#include "plan/drawingscale.h"
#include "plan/fitcheck.h"
#include "plan/papersize.h"
#include "plan/plan.h"

namespace karumenio::job {

FitAdvice fitAdvice(const plan::Plan& plan, const layout::SheetLayout* surveyMap) {
    FitAdvice advice;
    if (surveyMap != nullptr && surveyMap->fit.fittingScale != nullptr && plan.paper != nullptr &&
        plan.scale != nullptr) {
        advice.text = "地積測量図の区画の図は " + std::string(plan.paper->listText) + "・" +
                      std::string(plan.scale->listText) + " では 1 枚に収まりません。縮尺 " +
                      std::string(surveyMap->fit.fittingScale->listText) + " なら収まります。";
        advice.paper = plan.paper;
        advice.scale = surveyMap->fit.fittingScale;
        advice.caption = std::string(advice.scale->listText) + " にする";
        return advice;
    }
    if (plan.paper != nullptr && plan.scale != nullptr) {
        const plan::FitCheck check = plan::checkFit(plan, *plan.paper, *plan.scale);
        advice.text = plan::fitMessage(check, *plan.paper, *plan.scale);
        if (check.outside > 0 && check.fittingScale != nullptr) {
            advice.paper = plan.paper;
            advice.scale = check.fittingScale;
            advice.caption = std::string(check.fittingScale->listText) + " にする";
        } else if (check.outside > 0 && check.fittingPaper != nullptr) {
            advice.paper = check.fittingPaper;
            advice.scale = check.fittingPaperScale;
            advice.caption = std::string(check.fittingPaper->listText) + "・" +
                             std::string(check.fittingPaperScale->listText) + " にする";
        }
    }
    if (advice.text.empty()) {
        advice.text = "すべての測点が用紙の内枠に収まっています。";
    }
    return advice;
}

} // namespace karumenio::job

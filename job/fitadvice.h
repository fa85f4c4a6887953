#pragma once

#include <string>

namespace karumenio::plan {
struct DrawingScale;
struct PaperSize;
struct Plan;
} // namespace karumenio::plan

namespace karumenio::layout {
struct SheetLayout;
}

namespace karumenio::job {

// What the preview says about how the drawing fits its sheet, and the paper and scale it
// offers to change to.
struct FitAdvice {
    // Japanese; the sentence that everything fits when it does.
    std::string text;
    // The offer, both null when there is none.
    const plan::PaperSize* paper = nullptr;
    const plan::DrawingScale* scale = nullptr;
    // The caption of the button that applies it ("1:300 にする").
    std::string caption;
};

// The survey map's fit when one is given and its drawing needs another scale to go on one
// sheet; otherwise the plan's: the points outside the inner border, and the scale (or paper)
// that holds them.
FitAdvice fitAdvice(const plan::Plan& plan, const layout::SheetLayout* surveyMap = nullptr);

} // namespace karumenio::job

#pragma once

#include <string>

namespace karumenio::plan {

struct DrawingScale;
struct PaperSize;
struct Plan;

// Whether the points and their labels lie inside the inner border (35 mm in from the edge)
// of the sheet, and at which scale or on which paper they would.
struct FitCheck {
    // Points whose marker, circle or label reaches outside the inner border.
    int outside = 0;
    // The largest of the scales (the smallest denominator) at which everything fits on the
    // chosen paper; nullptr when none does.
    const DrawingScale* fittingScale = nullptr;
    // When no scale fits on the chosen paper: a paper and scale that hold everything, the
    // largest scale first and the smaller sheet among equals; nullptr when none does.
    const PaperSize* fittingPaper = nullptr;
    const DrawingScale* fittingPaperScale = nullptr;
};

// The frame is centred on the data whatever the scale, so what fits depends only on how far
// each point and label reaches from the frame centre. A label's box is estimated from its
// text: half the text height for each half-width character, the full height for the others.
FitCheck checkFit(const Plan& plan, const PaperSize& paper, const DrawingScale& scale);

// The surveyor's message for a check that found points outside; empty when all fit.
std::string fitMessage(const FitCheck& check, const PaperSize& paper, const DrawingScale& scale);

} // namespace karumenio::plan

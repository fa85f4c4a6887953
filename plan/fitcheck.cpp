#include "fitcheck.h"

#include "drawingscale.h"
#include "papersize.h"
#include "plan.h"
#include "textcolumns.h"

#include <algorithm>
#include <cmath>

namespace karumenio::plan {

namespace {

constexpr double kInnerBorder = 35.0;

// How far from the frame centre a point or label reaches, on each axis.
struct Reach {
    double x = 0.0;
    double y = 0.0;
    void add(double dx, double dy) {
        x = std::max(x, std::fabs(dx));
        y = std::max(y, std::fabs(dy));
    }
};

// The smallest scale factor at which the reach lies within the inner border of the paper.
double factorNeeded(const Reach& reach, const PaperSize& paper) {
    return std::max(reach.x / (paper.sheetWidth / 2 - kInnerBorder),
                    reach.y / (paper.sheetHeight / 2 - kInnerBorder));
}

const DrawingScale* largestFittingScale(double needed) {
    for (const DrawingScale& scale : kDrawingScales) {
        if (scale.factor >= needed) {
            return &scale;
        }
    }
    return nullptr;
}

} // namespace

FitCheck checkFit(const Plan& plan, const PaperSize& paper, const DrawingScale& scale) {
    const auto& outer = plan.frameRectangles[0].vertices;
    WorldPoint centre;
    for (const WorldPoint& p : outer) {
        centre.x += p.x / static_cast<double>(outer.size());
        centre.y += p.y / static_cast<double>(outer.size());
    }

    // Each slot's reach: its point and, where it has one, its label's box.
    std::vector<Reach> reaches(plan.points.size());
    for (std::size_t slot = 0; slot < plan.points.size(); ++slot) {
        const PlanPoint& p = plan.points[slot];
        const WorldPoint at = plan.transform.toWorld(p.x, p.y);
        reaches[slot].add(at.x - centre.x, at.y - centre.y);
    }
    // A circle reaches its radius beyond its point; a radius larger than the sheet shows here.
    for (const Circle& circle : plan.circles) {
        const double radius = std::fabs(circle.radius);
        Reach& reach = reaches[static_cast<std::size_t>(circle.slot)];
        for (const double sign : {-1.0, 1.0}) {
            reach.add(circle.centre.x + sign * radius - centre.x,
                      circle.centre.y + sign * radius - centre.y);
        }
    }
    for (const Label& label : plan.labels) {
        const double width = label.height / 2 * textColumns(label.text).total();
        Reach& reach = reaches[static_cast<std::size_t>(label.slot)];
        reach.add(label.insertion.x - centre.x, label.insertion.y - centre.y);
        reach.add(label.insertion.x + width - centre.x,
                  label.insertion.y + label.height - centre.y);
    }

    FitCheck check;
    Reach all;
    for (const Reach& reach : reaches) {
        if (factorNeeded(reach, paper) > scale.factor) {
            ++check.outside;
        }
        all.add(reach.x, reach.y);
    }
    check.fittingScale = largestFittingScale(factorNeeded(all, paper));
    if (check.fittingScale == nullptr) {
        for (const PaperSize& other : kPaperSizes) {
            const DrawingScale* fitting = largestFittingScale(factorNeeded(all, other));
            const bool better =
                fitting != nullptr &&
                (check.fittingPaperScale == nullptr ||
                 fitting->factor < check.fittingPaperScale->factor ||
                 (fitting->factor == check.fittingPaperScale->factor &&
                  other.sheetWidth * other.sheetHeight <
                      check.fittingPaper->sheetWidth * check.fittingPaper->sheetHeight));
            if (better) {
                check.fittingPaper = &other;
                check.fittingPaperScale = fitting;
            }
        }
    }
    return check;
}

std::string fitMessage(const FitCheck& check, const PaperSize& paper, const DrawingScale& scale) {
    if (check.outside == 0) {
        return {};
    }
    std::string text = std::string(paper.listText) + "・" + std::string(scale.listText) + " では " +
                       std::to_string(check.outside) +
                       " 点（測点または測点名）が用紙の内枠からはみ出します。";
    if (check.fittingScale != nullptr) {
        text += "縮尺 " + std::string(check.fittingScale->listText) + " なら収まります。";
    } else if (check.fittingPaper != nullptr) {
        text += "用紙 " + std::string(check.fittingPaper->listText) + "・縮尺 " +
                std::string(check.fittingPaperScale->listText) + " なら収まります。";
    } else {
        text += "どの用紙・縮尺にも収まりません。";
    }
    return text;
}

} // namespace karumenio::plan

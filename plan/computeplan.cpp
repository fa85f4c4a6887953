#include "plan.h"

#include "degreesperradian.h"
#include "extent.h"
#include "frame.h"

#include "numeric/trig.h"
#include "points/pointname.h"
#include "points/pointtable.h"
#include "spreadsheet/cellname.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/numberformat.h"
#include "spreadsheet/runtimeerror.h"

#include <algorithm>
#include <cmath>

namespace karumenio::plan {

namespace {

std::string cellOf(int slot, int column) {
    return spreadsheet::cellName(points::kFirstDataRow + slot, column);
}

// The number a slot takes part as; text that is not a number names its worksheet cell, so
// that the surveyor can find it.
double slotNumber(const points::SlotArray& values, int slot, int column, const char* what) {
    const spreadsheet::CellValue& value = values.at(slot);
    if (value.isNumber()) {
        return value.numberValue();
    }
    try {
        return value.toNumber();
    } catch (const spreadsheet::RunTimeError&) {
        const std::string cell = cellOf(slot, column);
        throw spreadsheet::RunTimeError(spreadsheet::RunError::TypeMismatch,
                                        "型が一致しません: セル " + cell + " の「" +
                                            spreadsheet::quotedInMessage(value.textForm()) +
                                            "」は" + what + "として読めません。",
                                        cell);
    }
}

// The name as the TEXT script writes it: numbers with a "0" before the point, text trimmed
// of ASCII blanks, cut and on one line (points::drawnName). The name comes as the cell shows
// it (PlanPoint::name); only a text can hold a control character.
std::string labelText(const std::string& name, int slot, std::vector<std::string>& warnings) {
    return points::drawnName(name, "セル " + cellOf(slot, points::kLabelTextColumn) + " の測点名",
                             warnings);
}

// The three rectangles as the drawing program leaves them: drawn about the origin, turned a
// quarter turn counter-clockwise, scaled, then moved onto the frame centre taken as a point
// of the survey system.
std::array<Polyline, 3> frameRectangles(const FrameValues& f, double scaleFactor,
                                        const WorldTransform& transform) {
    const WorldPoint centre = transform.toWorld(f.frameCentreX, f.frameCentreY);
    auto place = [&](double u, double v) {
        return WorldPoint{-v * scaleFactor + centre.x, u * scaleFactor + centre.y};
    };
    auto rectangle = [&](double x1, double y1, double x2, double y2) {
        Polyline p;
        p.layer = LayerId::Frame;
        p.closed = true;
        p.vertices = {place(x1, y1), place(x2, y1), place(x2, y2), place(x1, y2)};
        return p;
    };
    return {rectangle(f.outerFirstX, f.outerFirstY, f.outerSecondX, f.outerSecondY),
            rectangle(f.middleFirstX, f.middleFirstY, f.middleSecondX, f.middleSecondY),
            rectangle(f.innerFirstX, f.innerFirstY, f.innerSecondX, f.innerSecondY)};
}

void addEntities(Plan& plan) {
    const WorldTransform& t = plan.transform;
    const int count = static_cast<int>(plan.points.size());
    // One polyline per run between break marks; a run of one point draws nothing.
    for (int start = 0; start < count;) {
        int end = start + 1;
        while (end < count && !plan.points[static_cast<std::size_t>(end)].breakBefore) {
            ++end;
        }
        if (end - start >= 2) {
            Polyline line;
            line.firstSlot = start;
            for (int slot = start; slot < end; ++slot) {
                const PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
                line.vertices.push_back(t.toWorld(p.x, p.y));
            }
            plan.polylines.push_back(std::move(line));
        }
        start = end;
    }
    for (int slot = 0; slot < count; ++slot) {
        const PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        if (p.radius != 0) {
            plan.circles.push_back({t.toWorld(p.x, p.y), p.radius, slot});
        }
        // The drawing program ends its TEXT command on an empty answer.
        if (!p.label.empty()) {
            plan.labels.push_back(
                {p.label, t.toWorld(p.labelX, p.labelY), 0.0, kLabelHeight, slot});
        }
    }
    for (const Circle& circle : plan.circles) {
        if (circle.radius < 0) {
            const std::string cell = cellOf(circle.slot, points::kMarkRadiusColumn);
            plan.warnings.push_back(
                "セル " + cell + " の半径「" + spreadsheet::formatNumber(circle.radius, true) +
                "」は負の値です。スクリプトにはそのまま書き出しましたが、"
                "作図ソフトは負の半径の円を描きません（DXF では絶対値で描きます）。");
        }
    }
}

[[noreturn]] void throwOverflow(const std::string& what, const std::string& cell = {}) {
    throw spreadsheet::RunTimeError(
        spreadsheet::RunError::Overflow,
        "オーバーフローしました: " + what +
            "が大きすぎて数値として書き出せません。ファイルは何も変更していません。",
        cell);
}

// A number that is not finite has no form in a script (it would be written as "0" and draw a
// wrong plan), so every number the files are made from is checked before any is written.
void checkFinite(const Plan& plan) {
    for (std::size_t i = 0; i < plan.points.size(); ++i) {
        const int slot = static_cast<int>(i);
        const PlanPoint& p = plan.points[i];
        for (const auto& [value, column] :
             {std::pair{p.x, points::kPointXColumn}, std::pair{p.y, points::kPointYColumn},
              std::pair{p.radius, points::kMarkRadiusColumn},
              std::pair{p.labelX, points::kPointXColumn},
              std::pair{p.labelY, points::kPointYColumn}}) {
            if (!std::isfinite(value)) {
                const std::string cell = cellOf(slot, column);
                throwOverflow("セル " + cell + " の値", cell);
            }
        }
    }
    const FrameValues& f = plan.frame;
    bool frameFinite = std::isfinite(plan.scaleFactor);
    for (const double value :
         {f.maxX, f.minX, f.maxY, f.minY, f.halfDiagonal, f.frameCentreX, f.frameCentreY,
          f.outerFirstX, f.outerFirstY, f.outerSecondX, f.outerSecondY, f.middleFirstX,
          f.middleFirstY, f.middleSecondX, f.middleSecondY, f.innerFirstX, f.innerFirstY,
          f.innerSecondX, f.innerSecondY}) {
        frameFinite = frameFinite && std::isfinite(value);
    }
    for (const Polyline& rectangle : plan.frameRectangles) {
        for (const WorldPoint& corner : rectangle.vertices) {
            frameFinite = frameFinite && std::isfinite(corner.x) && std::isfinite(corner.y);
        }
    }
    if (!frameFinite) {
        auto shown = [](double value) -> std::string {
            if (std::isnan(value)) {
                return "非数";
            }
            if (std::isinf(value)) {
                return value > 0 ? "無限大" : "-無限大";
            }
            return spreadsheet::formatNumber(value, true);
        };
        throwOverflow("座標の範囲（セル E6:F7 の最大・最小 " + shown(f.maxX) + ", " +
                      shown(f.maxY) + " / " + shown(f.minX) + ", " + shown(f.minY) +
                      "）から求めた図枠");
    }
    if (!std::isfinite(plan.rotationAngle) || !std::isfinite(plan.labelAngle)) {
        throwOverflow("角度");
    }
}

// The coordinates of every slot, then its name, break mark, boundary mark and class.
void readPoints(const points::PointTable& table, Plan& plan) {
    const int count = table.count();
    plan.points.resize(static_cast<std::size_t>(count));
    for (int slot = 0; slot < count; ++slot) {
        PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        p.x = slotNumber(table.pointX, slot, points::kPointXColumn, "座標");
        p.y = slotNumber(table.pointY, slot, points::kPointYColumn, "座標");
    }
    for (int slot = 0; slot < count; ++slot) {
        PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        const spreadsheet::CellValue& mark = table.breakMark.at(slot);
        p.breakBefore = slot > 0 && !mark.equalsEmptyText();
        p.breakMark = mark.textForm();
        p.name = table.labelText.at(slot).textForm();
        p.markText = spreadsheet::trimWideBlanks(table.boundaryMark.at(slot).textForm());
        p.markKind = points::findMarkKind(p.markText);
        p.classText = spreadsheet::trimWideBlanks(table.pointClass.at(slot).textForm());
        if (const points::PointClass* found = points::findPointClass(p.classText)) {
            p.pointClass = found->id;
        }
    }
}

} // namespace

Plan computePlan(const points::PointTable& table, const Extent& extent, const Settings& settings) {
    Plan plan;
    plan.edition = settings.edition;
    plan.paper = settings.paper;
    plan.scale = settings.scale;
    plan.rotationAngle = settings.angle.degrees();
    plan.degreesPerRadian = degreesPerRadian();
    plan.frame = computeFrame(extent, *settings.paper, plan.degreesPerRadian);
    plan.scaleFactor = settings.scale->factor;

    readPoints(table, plan);
    const int count = table.count();
    for (int slot = 0; slot < count; ++slot) {
        plan.points[static_cast<std::size_t>(slot)].radius =
            slotNumber(table.markRadius, slot, points::kMarkRadiusColumn, "半径");
    }

    plan.labelAngle = 90 - plan.rotationAngle;
    const double radians = plan.labelAngle / plan.degreesPerRadian;
    const double dx = numeric::cos(radians) * kLabelOffset;
    const double dy = numeric::sin(radians) * kLabelOffset;
    for (int slot = 0; slot < count; ++slot) {
        PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        p.label = labelText(p.name, slot, plan.warnings);
        p.labelX = p.x + dx;
        p.labelY = p.y + dy;
    }

    plan.transform = WorldTransform(plan.rotationAngle, plan.degreesPerRadian);
    plan.frameRectangles = frameRectangles(plan.frame, plan.scaleFactor, plan.transform);
    checkFinite(plan);
    addEntities(plan);
    return plan;
}

Plan computePoints(const points::PointTable& table) {
    Plan plan;
    readPoints(table, plan);
    return plan;
}

void applyPlan(const Plan& plan, points::PointTable& table) {
    const int count = static_cast<int>(plan.points.size());
    table.pointIndex.reset();
    for (int slot = 0; slot < count; ++slot) {
        const PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        table.labelX.at(slot) = spreadsheet::CellValue::number(p.labelX);
        table.labelY.at(slot) = spreadsheet::CellValue::number(p.labelY);
        table.pointIndex.step();
    }
}

} // namespace karumenio::plan

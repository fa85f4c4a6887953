#include "composer.h"

#include "northarrow.h"
#include "sheetbuilder.h"
#include "tableblock.h"
#include "textplacement.h"
#include "titleblocklayout.h"

#include "plan/drawingscale.h"
#include "plan/papersize.h"
#include "spreadsheet/numberformat.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace karumenio::layout {

namespace {

// The frame's borders, as the plan's sheet frame has them.
constexpr double kMiddleInset = 15.0;
constexpr double kInnerInset = 35.0;
// Between the blocks of a sheet: table columns, the title block, the drawing.
constexpr double kGap = 4.0;
// Round a drawing's lines, for its names and lengths.
constexpr double kDrawingMargin = 10.0;
// Between the north arrow and the frame.
constexpr double kArrowInset = 4.0;
// A table's piece leaves at least so many rows for the next, so that its totals stay together.
constexpr std::size_t kLeastRowsCarried = 3;
// Between two sheets side by side in the world.
constexpr double kSheetGap = 20.0;
// A title block's value wider than this share of the inner frame is wrapped.
constexpr double kWidestTitleValue = 0.35;

struct Size {
    double width = 0.0;
    double height = 0.0;
};

// What a sheet is made of before it is drawn.
struct SheetPlan {
    // The drawings on it, by their index; none on a sheet that continues the tables.
    std::vector<std::size_t> drawings;
    plan::WorldPoint drawingCentre;
    Size drawingSize;
    // Where the table columns may reach on the left.
    double columnLimit = 0.0;
    std::vector<std::pair<TablePiece, Point>> pieces;
};

Box worldBoxOf(const Drawing& drawing) {
    Box box;
    for (const Outline& outline : drawing.outlines) {
        for (const plan::WorldPoint& p : outline.vertices) {
            box.add({p.x, p.y});
        }
    }
    for (const PointPiece& point : drawing.points) {
        box.add({point.at.x, point.at.y});
    }
    return box;
}

Size paperSize(const Box& world, double unit) {
    return {world.width() / unit + 2 * kDrawingMargin, world.height() / unit + 2 * kDrawingMargin};
}

std::string scaleText(const LayoutRequest& request) {
    if (request.scale != nullptr) {
        return std::string(request.scale->listText);
    }
    return "1:" + spreadsheet::formatNumber(request.unit * 1000, true);
}

// Splits a broken line into its dashes.
std::vector<std::vector<Point>> dashesOf(const std::vector<Point>& vertices, bool closed,
                                         const LineStyle& style) {
    std::vector<double> pattern;
    for (const double part : style.pattern) {
        if (part > 0) {
            pattern.push_back(part);
        }
    }
    std::vector<Point> path = vertices;
    if (closed && !path.empty()) {
        path.push_back(path.front());
    }
    if (pattern.empty() || path.size() < 2) {
        return {path};
    }
    std::vector<std::vector<Point>> dashes;
    std::size_t part = 0;
    double left = pattern[0];
    bool drawing = true;
    std::vector<Point> dash{path.front()};
    for (std::size_t i = 1; i < path.size(); ++i) {
        Point from = path[i - 1];
        const Point to = path[i];
        double remaining = length(to - from);
        const Point direction = unit(to - from);
        while (remaining > left) {
            from = from + direction * left;
            remaining -= left;
            if (drawing) {
                dash.push_back(from);
                dashes.push_back(std::move(dash));
                dash.clear();
            } else {
                dash = {from};
            }
            drawing = !drawing;
            part = (part + 1) % pattern.size();
            left = pattern[part];
        }
        left -= remaining;
        if (drawing) {
            dash.push_back(to);
        }
    }
    if (drawing && dash.size() > 1) {
        dashes.push_back(std::move(dash));
    }
    return dashes;
}

class Composer {
  public:
    explicit Composer(const LayoutRequest& request) : m_request(request) {}

    SheetLayout compose();

  private:
    bool arrowAbove(Size drawing, double height) const;
    bool arrowBeside(Size drawing, double width) const;
    bool fitsWithArrow(Size drawing, double width, double height) const;
    // The left edge the table columns may reach on a sheet with this drawing.
    double columnLimitFor(Size drawing) const;
    void groupDrawings();
    void flowTables();
    void drawSheet(std::size_t index, Sheet& sheet);
    void drawDrawings(const SheetPlan& plan, SheetBuilder& builder, plan::WorldPoint shift,
                      const Sheet& sheet);
    void findFittingScale();
    void writeMessages();

    const LayoutRequest& m_request;
    SheetLayout m_layout;
    double m_width = 0.0;
    double m_height = 0.0;
    Box m_inner;
    Box m_arrow;
    std::vector<Box> m_drawingBoxes;
    std::vector<TableMeasure> m_tables;
    TitleBlockMeasure m_title;
    // The space beside the tables and the title block, as if one column of the widest table
    // stood in the upper right corner.
    double m_areaWidth = 0.0;
    double m_columnBottom = 0.0;
    std::vector<SheetPlan> m_plans;
    std::size_t m_drawingSheets = 0;
};

// The arrow may stand in the drawing's margin, clear of its lines.
bool Composer::arrowAbove(Size drawing, double height) const {
    return drawing.height + m_arrow.height() - kDrawingMargin + kGap <= height;
}

bool Composer::arrowBeside(Size drawing, double width) const {
    return drawing.width + m_arrow.width() - kDrawingMargin + kGap <= width;
}

bool Composer::fitsWithArrow(Size drawing, double width, double height) const {
    if (drawing.width > width || drawing.height > height) {
        return false;
    }
    return arrowAbove(drawing, height) || arrowBeside(drawing, width);
}

double Composer::columnLimitFor(Size drawing) const {
    const double height = m_inner.height();
    if (!fitsWithArrow(drawing, m_areaWidth, height)) {
        return m_inner.maxX;
    }
    const double needed = arrowAbove(drawing, height)
                              ? drawing.width
                              : drawing.width + m_arrow.width() - kDrawingMargin + kGap;
    return m_inner.minX + needed + kGap;
}

void Composer::groupDrawings() {
    const double unit = m_request.unit;
    std::vector<std::size_t> current;
    Box currentBox;
    for (std::size_t i = 0; i < m_request.drawings.size(); ++i) {
        const Box& box = m_drawingBoxes[i];
        if (box.empty) {
            continue;
        }
        Box together = currentBox;
        together.include(box);
        if (current.empty() ||
            fitsWithArrow(paperSize(together, unit), m_areaWidth, m_inner.height())) {
            current.push_back(i);
            currentBox = together;
            continue;
        }
        m_plans.push_back({current, {}, {}, 0.0, {}});
        m_plans.back().drawingCentre = {currentBox.centre().x, currentBox.centre().y};
        m_plans.back().drawingSize = paperSize(currentBox, unit);
        current = {i};
        currentBox = box;
    }
    m_plans.push_back({current, {}, {}, 0.0, {}});
    if (!current.empty()) {
        m_plans.back().drawingCentre = {currentBox.centre().x, currentBox.centre().y};
        m_plans.back().drawingSize = paperSize(currentBox, unit);
    }
    for (SheetPlan& plan : m_plans) {
        plan.columnLimit = plan.drawings.empty()
                               ? m_inner.minX + kArrowInset + m_arrow.width() + kGap
                               : columnLimitFor(plan.drawingSize);
        if (!plan.drawings.empty() && !(plan.drawingSize.width <= m_areaWidth &&
                                        plan.drawingSize.height <= m_inner.height())) {
            ++m_layout.fit.drawingsTooLarge;
        }
    }
    m_drawingSheets = m_plans.size();
}

void Composer::flowTables() {
    const double top = m_inner.maxY;
    std::size_t sheet = 0;
    double right = m_inner.maxX;
    double columnLeft = right;
    double cursor = top;
    bool columnEmpty = true;
    auto nextColumn = [&](double width) {
        const double nextRight = columnLeft - kGap;
        if (nextRight - width < m_plans[sheet].columnLimit) {
            ++sheet;
            if (sheet == m_plans.size()) {
                SheetPlan continuation;
                continuation.columnLimit = m_inner.minX + kArrowInset + m_arrow.width() + kGap;
                m_plans.push_back(continuation);
            }
            right = m_inner.maxX;
        } else {
            right = nextRight;
        }
        columnLeft = right;
        cursor = top;
        columnEmpty = true;
    };
    for (std::size_t t = 0; t < m_request.tables.size(); ++t) {
        const Table& table = m_request.tables[t];
        const double width = m_tables[t].width;
        const std::size_t rows = table.rows.size();
        std::size_t row = 0;
        do {
            const double start = columnEmpty ? cursor : cursor - kGap;
            const double room = start - m_columnBottom;
            const double fixed = pieceHeight(table, 0);
            const std::size_t fit =
                room >= fixed ? static_cast<std::size_t>((room - fixed) / kTableRowHeight + 1e-9)
                              : 0;
            const std::size_t remaining = rows - row;
            const bool wideEnough =
                right == m_inner.maxX || right - width >= m_plans[sheet].columnLimit;
            const bool fits = room >= fixed && fit >= std::min<std::size_t>(remaining, 1);
            if (!(fits && wideEnough) && (!columnEmpty || right != m_inner.maxX)) {
                nextColumn(width);
                continue;
            }
            // The first column of a sheet holds at least one row, whatever its height.
            std::size_t take = std::min(remaining, std::max<std::size_t>(fit, 1));
            if (take < remaining && remaining - take < kLeastRowsCarried &&
                take > kLeastRowsCarried) {
                take = remaining - kLeastRowsCarried;
            }
            m_plans[sheet].pieces.push_back({{t, row, take, row > 0}, {right, start}});
            columnLeft = std::min(columnLeft, right - width);
            cursor = start - pieceHeight(table, take);
            columnEmpty = false;
            row += take;
        } while (row < rows);
    }
}

void Composer::drawDrawings(const SheetPlan& plan, SheetBuilder& builder, plan::WorldPoint shift,
                            const Sheet& sheet) {
    const double scale = m_request.unit;
    auto toPaper = [&](plan::WorldPoint p) {
        return Point{(p.x + shift.x - sheet.origin.x) / scale,
                     (p.y + shift.y - sheet.origin.y) / scale};
    };
    auto toPaperAll = [&](const std::vector<plan::WorldPoint>& points) {
        std::vector<Point> out;
        out.reserve(points.size());
        for (const plan::WorldPoint& p : points) {
            out.push_back(toPaper(p));
        }
        return out;
    };
    for (const std::size_t d : plan.drawings) {
        const Drawing& drawing = m_request.drawings[d];
        for (const Outline& outline : drawing.outlines) {
            const LineStyle& style = lineStyle(outline.style);
            const std::vector<Point> vertices = toPaperAll(outline.vertices);
            if (style.pattern[0] > 0) {
                // The gaps keep texts off too: a text across a broken line is as hard to read.
                for (std::size_t i = 1; i < vertices.size(); ++i) {
                    builder.reserve(vertices[i - 1], vertices[i]);
                }
                if (outline.closed && vertices.size() > 2) {
                    builder.reserve(vertices.back(), vertices.front());
                }
                for (std::vector<Point>& dash : dashesOf(vertices, outline.closed, style)) {
                    builder.line(outline.layer, std::move(dash), false, false);
                }
            } else {
                builder.line(outline.layer, vertices, outline.closed, true);
            }
        }
        for (const PointPiece& point : drawing.points) {
            const Point at = toPaper(point.at);
            const Symbol& shape = symbol(point.symbol);
            shape.draw(builder.sheet(), at);
            builder.reserve(Box::of(at, at).grown(shape.radius));
            if (point.slot >= 0) {
                builder.sheet().marks.push_back({point.slot, at});
            }
        }
    }

    // The north arrow where it is clear of the drawing: the area's upper left corner first.
    const Box& area = sheet.drawingArea;
    Box drawn;
    for (const std::size_t d : plan.drawings) {
        const Box& world = m_drawingBoxes[d];
        drawn.add(toPaper({world.minX, world.minY}));
        drawn.add(toPaper({world.maxX, world.maxY}));
    }
    const double in = kArrowInset;
    const Point corners[] = {
        {area.minX + in - m_arrow.minX, area.maxY - in - m_arrow.maxY},
        {area.maxX - in - m_arrow.maxX, area.maxY - in - m_arrow.maxY},
        {area.minX + in - m_arrow.minX, area.minY + in - m_arrow.minY},
        {area.maxX - in - m_arrow.maxX, area.minY + in - m_arrow.minY},
    };
    const Point north{m_request.north.x, m_request.north.y};
    Point chosen = corners[0];
    bool clear = false;
    for (const Point& centre : corners) {
        const Box box = Box::of({m_arrow.minX + centre.x, m_arrow.minY + centre.y},
                                {m_arrow.maxX + centre.x, m_arrow.maxY + centre.y});
        if (!box.overlaps(drawn.grown(kGap / 2))) {
            chosen = centre;
            clear = true;
            break;
        }
    }
    if (!clear) {
        for (const Point& centre : corners) {
            const Box box = Box::of({m_arrow.minX + centre.x, m_arrow.minY + centre.y},
                                    {m_arrow.maxX + centre.x, m_arrow.maxY + centre.y});
            if (builder.isFree(Quad::of(box))) {
                chosen = centre;
                clear = true;
                break;
            }
        }
        if (!clear) {
            ++m_layout.fit.overlappingTexts;
        }
    }
    drawNorthArrow(builder, chosen, north);

    // Every name and text beside its place first, then those left over away from it.
    struct Pending {
        const Drawing* drawing;
        std::size_t index;
    };
    std::vector<Pending> names;
    std::vector<Pending> stretches;
    std::vector<Pending> insides;
    for (const std::size_t d : plan.drawings) {
        const Drawing& drawing = m_request.drawings[d];
        for (std::size_t i = 0; i < drawing.points.size(); ++i) {
            names.push_back({&drawing, i});
        }
        for (std::size_t i = 0; i < drawing.stretchTexts.size(); ++i) {
            stretches.push_back({&drawing, i});
        }
        for (std::size_t i = 0; i < drawing.areaTexts.size(); ++i) {
            insides.push_back({&drawing, i});
        }
    }
    double spread = 0.0;
    const auto name = [&](TextPlacer& placer, const Pending& p, Stage stage) {
        const PointPiece& point = p.drawing->points[p.index];
        Point preferred = unit(Point{point.outward.x, point.outward.y});
        if (spread != 0 && (preferred.x != 0 || preferred.y != 0)) {
            preferred = directionOf(directionDegrees(preferred) + (p.index % 2 ? spread : -spread));
        }
        return placer.placeName(toPaper(point.at), symbol(point.symbol).radius, preferred,
                                point.name, point.slot, stage);
    };
    const auto stretch = [&](TextPlacer& placer, const Pending& p, Stage stage) {
        const StretchText& text = p.drawing->stretchTexts[p.index];
        return placer.placeAlong(toPaperAll(text.stretch), text.text, text.role, text.layer,
                                 text.outsideOnTheLeft, stage);
    };
    const auto inside = [&](TextPlacer& placer, const Pending& p, Stage stage) {
        const AreaText& text = p.drawing->areaTexts[p.index];
        return placer.placeInside(toPaperAll(text.polygon), text.text, text.role, text.layer,
                                  stage);
    };
    // A few ways of placing them, the first that leaves nothing on top of anything kept, or
    // else the one that leaves least.
    struct Way {
        bool lengthsFirst;
        bool insideFirst;
        // Every other name turned this many degrees from its way out, the others the other
        // way: on a dense boundary the names then leave gaps between them for leaders.
        double spread;
    };
    const std::vector<Pending> allNames = names;
    const std::vector<Pending> allStretches = stretches;
    const std::vector<Pending> allInsides = insides;
    const SheetBuilder::Mark start = builder.mark();
    const auto placeAll = [&](const Way& way) {
        builder.rollBack(start);
        names = allNames;
        stretches = allStretches;
        insides = allInsides;
        FitReport fit;
        spread = way.spread;
        TextPlacer placer(builder, fit, way.insideFirst);
        const auto place = [&](std::vector<Pending>& pending, auto placeOne, Stage stage) {
            std::erase_if(pending, [&](const Pending& p) { return placeOne(placer, p, stage); });
        };
        for (const Stage stage : {Stage::Beside, Stage::Away, Stage::Anywhere}) {
            if (way.lengthsFirst) {
                place(stretches, stretch, stage);
                place(names, name, stage);
            } else {
                place(names, name, stage);
                place(stretches, stretch, stage);
            }
            place(insides, inside, stage);
        }
        return fit;
    };
    constexpr std::array<Way, 4> kWays{
        {{false, false, 0.0}, {true, false, 0.0}, {false, true, 0.0}, {false, false, 40.0}}};
    std::size_t best = 0;
    FitReport bestFit;
    std::size_t tried = 0;
    for (; tried < kWays.size(); ++tried) {
        const FitReport fit = placeAll(kWays[tried]);
        if (tried == 0 || fit.overlappingTexts < bestFit.overlappingTexts) {
            best = tried;
            bestFit = fit;
        }
        if (fit.overlappingTexts == 0) {
            break;
        }
    }
    // The best way again, unless it was the last one tried.
    if (best != std::min(tried, kWays.size() - 1)) {
        bestFit = placeAll(kWays[best]);
    }
    m_layout.fit.overlappingTexts += bestFit.overlappingTexts;
    m_layout.fit.leaders += bestFit.leaders;
}

void Composer::drawSheet(std::size_t index, Sheet& sheet) {
    const SheetPlan& plan = m_plans[index];
    const double unit = m_request.unit;
    SheetBuilder builder(sheet);
    for (const Box* frame : {&sheet.outer, &sheet.middle, &sheet.inner}) {
        const Quad q = Quad::of(*frame);
        builder.line(LayerId::Frame, {q.corners.begin(), q.corners.end()}, true, false);
    }
    const Box title =
        drawTitleBlock(builder, m_request.titleBlock, m_title, {m_inner.maxX, m_inner.minY},
                       sheetNumberText(sheet.number, static_cast<int>(m_plans.size())));
    double left = title.minX;
    for (const auto& [piece, upperRight] : plan.pieces) {
        const Box box = drawTablePiece(builder, m_request.tables[piece.table],
                                       m_tables[piece.table], piece, upperRight);
        left = std::min(left, box.minX);
    }
    sheet.drawingArea = Box::of({m_inner.minX, m_inner.minY}, {left - kGap, m_inner.maxY});

    if (plan.drawings.empty()) {
        const Point centre{m_inner.minX + kArrowInset - m_arrow.minX,
                           m_inner.maxY - kArrowInset - m_arrow.maxY};
        drawNorthArrow(builder, centre, {m_request.north.x, m_request.north.y});
        return;
    }
    // The drawing in the middle of its area; beside the arrow where it cannot go above it.
    Box area = sheet.drawingArea;
    const Size size = plan.drawingSize;
    if (!arrowAbove(size, area.height()) && arrowBeside(size, area.width())) {
        area.minX += m_arrow.width() - kDrawingMargin + kGap;
    }
    const Point centre = area.centre();
    if (index == 0) {
        sheet.origin = {plan.drawingCentre.x - centre.x * unit,
                        plan.drawingCentre.y - centre.y * unit};
    }
    const plan::WorldPoint target = sheet.toWorld(centre);
    drawDrawings(plan, builder, {target.x - plan.drawingCentre.x, target.y - plan.drawingCentre.y},
                 sheet);
}

void Composer::findFittingScale() {
    if (m_layout.fit.drawingsTooLarge == 0 && m_drawingSheets <= 1) {
        return;
    }
    Box all;
    for (const Box& box : m_drawingBoxes) {
        all.include(box);
    }
    for (const plan::DrawingScale& scale : plan::kDrawingScales) {
        if (!scale.surveyMap || !(scale.factor > m_request.unit)) {
            continue;
        }
        // The world box at the other scale, in millimetres of paper.
        const Size size = paperSize(all, scale.factor);
        if (fitsWithArrow(size, m_areaWidth, m_inner.height())) {
            m_layout.fit.fittingScale = &scale;
            return;
        }
    }
}

void Composer::writeMessages() {
    const FitReport& fit = m_layout.fit;
    const std::string sheet = std::string(m_request.paper->listText) + "・" + scaleText(m_request);
    std::string remedy;
    if (fit.fittingScale != nullptr) {
        remedy = "縮尺 " + std::string(fit.fittingScale->listText) + " なら 1 枚に収まります。";
    }
    if (fit.drawingsTooLarge > 0) {
        m_layout.messages.push_back(
            "地積測量図: " + sheet +
            " では区画の図が用紙の内枠（求積表・表題欄を除く）に収まりません。" +
            (remedy.empty() ? "用紙を大きくするか、縮尺を小さくして下さい。" : remedy));
    } else if (m_drawingSheets > 1) {
        m_layout.messages.push_back("地積測量図: " + sheet +
                                    " では区画の図が 1 枚に収まらないため、" +
                                    std::to_string(m_drawingSheets) + " 枚に分けました。" + remedy);
    }
    if (m_layout.sheets.size() > m_drawingSheets) {
        m_layout.messages.push_back("地積測量図: 求積表が長いため、続きを " +
                                    std::to_string(m_layout.sheets.size() - m_drawingSheets) +
                                    " 枚に描きました（全 " +
                                    std::to_string(m_layout.sheets.size()) + " 枚）。");
    }
    if (fit.overlappingTexts > 0) {
        m_layout.messages.push_back("地積測量図: 文字 " + std::to_string(fit.overlappingTexts) +
                                    " 個を、ほかの文字・線・記号に重ならない位置に置けませんでした"
                                    "。縮尺を大きくして下さい。");
    }
}

SheetLayout Composer::compose() {
    m_layout.paper = m_request.paper;
    m_layout.scale = m_request.scale;
    if (m_request.paper == nullptr || !(m_request.unit > 0) || !std::isfinite(m_request.unit)) {
        m_layout.messages.emplace_back(
            "縮尺が選ばれていないため、地積測量図（辺長・求積表・方位・表題欄）を描けません。");
        return std::move(m_layout);
    }
    m_width = m_request.paper->sheetWidth;
    m_height = m_request.paper->sheetHeight;
    m_inner = Box::of({kInnerInset, kInnerInset}, {m_width - kInnerInset, m_height - kInnerInset});
    m_arrow = northArrowBox({m_request.north.x, m_request.north.y});
    for (const Drawing& drawing : m_request.drawings) {
        m_drawingBoxes.push_back(worldBoxOf(drawing));
    }
    double widestTable = 0.0;
    for (const Table& table : m_request.tables) {
        m_tables.push_back(measureTable(table));
        widestTable = std::max(widestTable, m_tables.back().width);
    }
    m_title = measureTitleBlock(m_request.titleBlock, kWidestTitleValue * m_inner.width());
    m_areaWidth = m_inner.width() - std::max(widestTable, m_title.width) - kGap;
    m_columnBottom = m_inner.minY + m_title.height + kGap;

    groupDrawings();
    flowTables();

    const double unit = m_request.unit;
    m_layout.sheets.resize(m_plans.size());
    for (std::size_t i = 0; i < m_plans.size(); ++i) {
        Sheet& sheet = m_layout.sheets[i];
        sheet.number = static_cast<int>(i + 1);
        sheet.unit = unit;
        sheet.outer = Box::of({0, 0}, {m_width, m_height});
        sheet.middle = sheet.outer.grown(-kMiddleInset);
        sheet.inner = m_inner;
    }
    // The first sheet where its drawing keeps the plan's place, or centred where the plan's
    // frame is; the others to its right.
    Sheet& first = m_layout.sheets.front();
    first.origin = {m_request.centre.x - m_width / 2 * unit,
                    m_request.centre.y - m_height / 2 * unit};
    drawSheet(0, first);
    for (std::size_t i = 1; i < m_plans.size(); ++i) {
        Sheet& sheet = m_layout.sheets[i];
        sheet.origin = {first.origin.x + static_cast<double>(i) * (m_width + kSheetGap) * unit,
                        first.origin.y};
        drawSheet(i, sheet);
    }
    findFittingScale();
    writeMessages();
    return std::move(m_layout);
}

} // namespace

std::string sheetNumberText(int number, int count) {
    return std::to_string(count) + "枚のうち" + std::to_string(number) + "枚目";
}

SheetLayout composeLayout(const LayoutRequest& request) {
    return Composer(request).compose();
}

} // namespace karumenio::layout

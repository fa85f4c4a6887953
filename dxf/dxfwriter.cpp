#include "dxfwriter.h"

#include "groupwriter.h"

#include "layout/sheetlayout.h"
#include "parcel/surveymap.h"
#include "plan/labelencoding.h"
#include "plan/plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace karumenio::dxf {

namespace {

constexpr std::string_view kLineType = "CONTINUOUS";

// The labels' text style. Its files are those a Japanese drawing program expects: the stroke
// font the scripts' style uses, with the Japanese big font beside it. Some viewers (LibreCAD)
// ignore the files and take the font of that name from their own: the style is named after
// a stroke font of theirs that has the Japanese glyphs, so that no label shows as boxes.
constexpr std::string_view kLabelStyle = "KST32B";
constexpr std::string_view kPrimaryFont = "romans.shx";
constexpr std::string_view kBigFont = "extfont.shx";

struct Extent {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    void add(plan::WorldPoint p, double margin = 0.0) {
        minX = std::min(minX, p.x - margin);
        minY = std::min(minY, p.y - margin);
        maxX = std::max(maxX, p.x + margin);
        maxY = std::max(maxY, p.y + margin);
    }
};

Extent extentOf(const plan::Plan& plan, const layout::SheetLayout* map) {
    Extent e;
    for (const plan::Polyline& rectangle : plan.frameRectangles) {
        for (const plan::WorldPoint& p : rectangle.vertices) {
            e.add(p);
        }
    }
    for (const plan::Polyline& line : plan.polylines) {
        for (const plan::WorldPoint& p : line.vertices) {
            e.add(p);
        }
    }
    for (const plan::Circle& circle : plan.circles) {
        e.add(circle.centre, std::fabs(circle.radius));
    }
    for (const plan::Label& label : plan.labels) {
        e.add(label.insertion);
    }
    if (map != nullptr) {
        for (const layout::Sheet& sheet : map->sheets) {
            e.add(sheet.toWorld({sheet.outer.minX, sheet.outer.minY}));
            e.add(sheet.toWorld({sheet.outer.maxX, sheet.outer.maxY}));
        }
    }
    return e;
}

// About 400 bytes a text, 300 a line and 100 a vertex or circle.
std::size_t surveyMapBytes(const layout::SheetLayout& map) {
    std::size_t bytes = 0;
    for (const layout::Sheet& sheet : map.sheets) {
        bytes += sheet.texts.size() * 400 + sheet.lines.size() * 300 + sheet.circles.size() * 100;
    }
    return bytes;
}

void beginSection(GroupWriter& out, std::string_view name) {
    out.text(0, "SECTION");
    out.text(2, name);
}

void endSection(GroupWriter& out) {
    out.text(0, "ENDSEC");
}

void writeHeader(GroupWriter& out, const Extent& extent) {
    beginSection(out, "HEADER");
    out.text(9, "$ACADVER");
    out.text(1, "AC1009");
    out.text(9, "$DWGCODEPAGE");
    out.text(3, "ANSI_932");
    out.text(9, "$INSBASE");
    out.point(10, 0.0, 0.0);
    out.text(9, "$EXTMIN");
    out.point(10, extent.minX, extent.minY);
    out.text(9, "$EXTMAX");
    out.point(10, extent.maxX, extent.maxY);
    endSection(out);
}

void beginTable(GroupWriter& out, std::string_view name, int entries) {
    out.text(0, "TABLE");
    out.text(2, name);
    out.integer(70, entries);
}

// A frozen layer is neither shown nor printed.
void writeLayer(GroupWriter& out, std::string_view name, int colour, bool frozen = false) {
    out.text(0, "LAYER");
    out.text(2, name);
    out.integer(70, frozen ? 1 : 0);
    out.integer(62, colour);
    out.text(6, kLineType);
}

void writeTables(GroupWriter& out, const layout::SheetLayout* map) {
    beginSection(out, "TABLES");
    beginTable(out, "LTYPE", 1);
    out.text(0, "LTYPE");
    out.text(2, kLineType);
    out.integer(70, 0);
    out.text(3, "Solid line");
    out.integer(72, 65);
    out.integer(73, 0);
    out.real(40, 0.0);
    out.text(0, "ENDTAB");

    const std::size_t mapLayers = map != nullptr ? layout::kSheetLayers.size() : 0;
    beginTable(out, "LAYER", static_cast<int>(plan::kLayers.size() + mapLayers) + 1);
    // Every drawing has layer 0.
    writeLayer(out, "0", 7);
    for (const plan::Layer& layer : plan::kLayers) {
        writeLayer(out, layer.name, layer.colour, map != nullptr);
    }
    for (std::size_t i = 0; i < mapLayers; ++i) {
        writeLayer(out, layout::kSheetLayers[i].name, layout::kSheetLayers[i].colour);
    }
    out.text(0, "ENDTAB");

    beginTable(out, "STYLE", 1);
    out.text(0, "STYLE");
    out.text(2, kLabelStyle);
    out.integer(70, 0);
    out.real(40, plan::kLabelHeight);
    out.real(41, 1.0);
    out.real(50, 0.0);
    out.integer(71, 0);
    out.real(42, plan::kLabelHeight);
    out.text(3, kPrimaryFont);
    out.text(4, kBigFont);
    out.text(0, "ENDTAB");
    endSection(out);
}

void writePolyline(GroupWriter& out, std::string_view layer,
                   const std::vector<plan::WorldPoint>& vertices, bool closed) {
    out.text(0, "POLYLINE");
    out.text(8, layer);
    out.integer(66, 1);
    out.point(10, 0.0, 0.0);
    out.integer(70, closed ? 1 : 0);
    for (const plan::WorldPoint& p : vertices) {
        out.text(0, "VERTEX");
        out.text(8, layer);
        out.point(10, p.x, p.y);
    }
    out.text(0, "SEQEND");
    out.text(8, layer);
}

void writePolyline(GroupWriter& out, const plan::Polyline& line) {
    writePolyline(out, plan::layer(line.layer).name, line.vertices, line.closed);
}

void writeCircle(GroupWriter& out, const plan::Circle& circle) {
    out.text(0, "CIRCLE");
    out.text(8, plan::layer(plan::LayerId::Plot).name);
    out.point(10, circle.centre.x, circle.centre.y);
    out.real(40, std::fabs(circle.radius));
}

// A text placed by a point on its bottom line: 0 left, 1 centre, 2 right. The insertion
// point repeats the alignment point, which readers use to place the text.
void writeText(GroupWriter& out, std::string_view layer, plan::WorldPoint at, double height,
               const std::string& text, double rotation, int horizontal) {
    out.text(0, "TEXT");
    out.text(8, layer);
    out.point(10, at.x, at.y);
    out.real(40, height);
    out.text(1, text);
    out.real(50, rotation);
    out.text(7, kLabelStyle);
    out.integer(72, horizontal);
    out.point(11, at.x, at.y);
    out.integer(73, 1);
}

// Bottom-left, as the scripts ask for it.
void writeLabel(GroupWriter& out, const plan::Label& label, const std::string& text) {
    writeText(out, plan::layer(plan::LayerId::Text).name, label.insertion, label.height, text,
              label.rotation, 0);
}

int horizontalAlignment(layout::Alignment alignment) {
    switch (alignment) {
    case layout::Alignment::BottomLeft:
        return 0;
    case layout::Alignment::BottomCentre:
        return 1;
    case layout::Alignment::BottomRight:
        return 2;
    }
    return 0;
}

// Texts converted in one call, one per line: none holds a line break.
template <typename Texts, typename TextOf>
std::vector<std::string> encodedLines(const Texts& texts, TextOf textOf, bool& lostAny) {
    std::string joined;
    for (const auto& t : texts) {
        joined += textOf(t);
        joined += '\n';
    }
    const std::string encoded = plan::toDrawingCodePage(joined, &lostAny);
    std::vector<std::string> lines;
    lines.reserve(texts.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::size_t end = encoded.find('\n', from);
        lines.push_back(encoded.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

void writeSurveyMap(GroupWriter& out, const layout::SheetLayout& map,
                    std::vector<std::string>* warnings) {
    bool lostAny = false;
    for (const layout::Sheet& sheet : map.sheets) {
        for (const layout::Line& line : sheet.lines) {
            std::vector<plan::WorldPoint> vertices;
            vertices.reserve(line.vertices.size());
            for (const layout::Point& p : line.vertices) {
                vertices.push_back(sheet.toWorld(p));
            }
            writePolyline(out, layout::sheetLayer(line.layer).name, vertices, line.closed);
        }
        for (const layout::Circle& circle : sheet.circles) {
            out.text(0, "CIRCLE");
            out.text(8, layout::sheetLayer(circle.layer).name);
            const plan::WorldPoint centre = sheet.toWorld(circle.centre);
            out.point(10, centre.x, centre.y);
            out.real(40, circle.radius * sheet.unit);
        }
        const std::vector<std::string> texts = encodedLines(
            sheet.texts, [](const layout::Text& t) -> const std::string& { return t.text; },
            lostAny);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const layout::Text& t = sheet.texts[i];
            writeText(out, layout::sheetLayer(t.layer).name, sheet.toWorld(t.at),
                      t.height * sheet.unit, texts[i], t.rotation,
                      horizontalAlignment(t.alignment));
        }
    }
    if (lostAny && warnings != nullptr) {
        parcel::warnUnmappableTexts(map, *warnings);
    }
}

std::string writeDrawing(const plan::Plan& plan, const layout::SheetLayout* map,
                         std::vector<std::string>* warnings) {
    GroupWriter out;
    // About 400 bytes a label, 100 a vertex or circle: one allocation for the whole file.
    out.reserve(4096 + plan.labels.size() * 400 + plan.points.size() * 100 +
                plan.circles.size() * 100 + (map != nullptr ? surveyMapBytes(*map) : 0));
    writeHeader(out, extentOf(plan, map));
    writeTables(out, map);
    beginSection(out, "BLOCKS");
    endSection(out);

    beginSection(out, "ENTITIES");
    for (const plan::Polyline& rectangle : plan.frameRectangles) {
        writePolyline(out, rectangle);
    }
    for (const plan::Polyline& line : plan.polylines) {
        writePolyline(out, line);
    }
    for (const plan::Circle& circle : plan.circles) {
        writeCircle(out, circle);
    }
    bool lostAny = false;
    const std::vector<std::string> labels = encodedLines(
        plan.labels, [](const plan::Label& l) -> const std::string& { return l.text; }, lostAny);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        writeLabel(out, plan.labels[i], labels[i]);
    }
    if (lostAny && warnings != nullptr) {
        plan::warnUnmappableLabels(plan, *warnings);
    }
    if (map != nullptr) {
        writeSurveyMap(out, *map, warnings);
    }
    endSection(out);
    out.text(0, "EOF");
    return out.take();
}

} // namespace

std::string writeDxf(const plan::Plan& plan, std::vector<std::string>* warnings) {
    return writeDrawing(plan, nullptr, warnings);
}

std::string writeDxf(const plan::Plan& plan, const layout::SheetLayout& map,
                     std::vector<std::string>* warnings) {
    return writeDrawing(plan, &map, warnings);
}

} // namespace karumenio::dxf

#include "dxfwriter.h"

#include "groupwriter.h"

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

Extent extentOf(const plan::Plan& plan) {
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
    return e;
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

void writeLayer(GroupWriter& out, std::string_view name, int colour) {
    out.text(0, "LAYER");
    out.text(2, name);
    out.integer(70, 0);
    out.integer(62, colour);
    out.text(6, kLineType);
}

void writeTables(GroupWriter& out) {
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

    beginTable(out, "LAYER", static_cast<int>(plan::kLayers.size()) + 1);
    // Every drawing has layer 0.
    writeLayer(out, "0", 7);
    for (const plan::Layer& layer : plan::kLayers) {
        writeLayer(out, layer.name, layer.colour);
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

void writePolyline(GroupWriter& out, const plan::Polyline& line) {
    const std::string_view layer = plan::layer(line.layer).name;
    out.text(0, "POLYLINE");
    out.text(8, layer);
    out.integer(66, 1);
    out.point(10, 0.0, 0.0);
    out.integer(70, line.closed ? 1 : 0);
    for (const plan::WorldPoint& p : line.vertices) {
        out.text(0, "VERTEX");
        out.text(8, layer);
        out.point(10, p.x, p.y);
    }
    out.text(0, "SEQEND");
    out.text(8, layer);
}

void writeCircle(GroupWriter& out, const plan::Circle& circle) {
    out.text(0, "CIRCLE");
    out.text(8, plan::layer(plan::LayerId::Plot).name);
    out.point(10, circle.centre.x, circle.centre.y);
    out.real(40, std::fabs(circle.radius));
}

void writeLabel(GroupWriter& out, const plan::Label& label, const std::string& text) {
    out.text(0, "TEXT");
    out.text(8, plan::layer(plan::LayerId::Text).name);
    out.point(10, label.insertion.x, label.insertion.y);
    out.real(40, label.height);
    out.text(1, text);
    out.real(50, label.rotation);
    out.text(7, kLabelStyle);
    // Bottom-left, as the scripts ask for it; the alignment point repeats the insertion.
    out.integer(72, 0);
    out.point(11, label.insertion.x, label.insertion.y);
    out.integer(73, 1);
}

} // namespace

std::string writeDxf(const plan::Plan& plan, std::vector<std::string>* warnings) {
    GroupWriter out;
    // About 400 bytes a label, 100 a vertex or circle: one allocation for the whole file.
    out.reserve(4096 + plan.labels.size() * 400 + plan.points.size() * 100 +
                plan.circles.size() * 100);
    writeHeader(out, extentOf(plan));
    writeTables(out);
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
    // All labels converted in one call, one per line: labels hold no line break.
    std::string joined;
    for (const plan::Label& label : plan.labels) {
        joined += label.text;
        joined += '\n';
    }
    bool lostAny = false;
    const std::string encoded = plan::toDrawingCodePage(joined, &lostAny);
    std::size_t from = 0;
    for (const plan::Label& label : plan.labels) {
        const std::size_t end = encoded.find('\n', from);
        writeLabel(out, label, encoded.substr(from, end - from));
        from = end + 1;
    }
    endSection(out);
    out.text(0, "EOF");
    if (lostAny && warnings != nullptr) {
        plan::warnUnmappableLabels(plan, *warnings);
    }
    return out.take();
}

} // namespace karumenio::dxf

#include "kyusekiscript.h"

#include "scriptfile.h"
#include "scripttext.h"

#include "layout/sheetlayout.h"
#include "parcel/surveymap.h"
#include "plan/labelencoding.h"
#include "plan/plan.h"
#include "spreadsheet/cellvalue.h"

namespace karumenio::scripts {

namespace {

// The style line of the ZAHYOU script, with another height.
void writeStyle(ScriptFile& script, std::string_view height) {
    script.write("-STYLE ROMANS EXTFONT ");
    script.write(height);
    script.writeLine(" 1.0 0 N Y N");
}

std::string_view justification(layout::Alignment alignment) {
    switch (alignment) {
    case layout::Alignment::BottomLeft:
        return "TEXT J BL";
    case layout::Alignment::BottomCentre:
        return "TEXT J BC";
    case layout::Alignment::BottomRight:
        return "TEXT J BR";
    }
    return "TEXT J BL";
}

// The plan's layers in one list, for the layer command.
std::string planLayerList() {
    std::string names;
    for (const plan::Layer& layer : plan::kLayers) {
        names += names.empty() ? "" : ",";
        names += layer.name;
    }
    return names;
}

} // namespace

void writeKyusekiScript(ScriptFile& script, const plan::Plan& plan,
                        const layout::SheetLayout& map) {
    std::size_t entities = 0;
    for (const layout::Sheet& sheet : map.sheets) {
        entities += sheet.texts.size() + sheet.lines.size() + sheet.circles.size();
    }
    script.reserve(entities * 100 + 256);
    const plan::WorldTransform& t = plan.transform;
    script.writeLine("FILEDIA 1");
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("UCS R U1");
    bool first = true;
    double height = 0.0;
    for (const layout::SheetLayer& layer : layout::kSheetLayers) {
        script.write("-LAYER M ");
        script.write(layer.name);
        script.write(" C ");
        script.write(std::to_string(layer.colour));
        script.writeLine("  ");
        if (first) {
            // A layer can be frozen once another one is current.
            script.writeLine("-LAYER F " + planLayerList() + " ");
            first = false;
        }
        for (const layout::Sheet& sheet : map.sheets) {
            for (const layout::Line& line : sheet.lines) {
                if (line.layer != layer.id || line.vertices.empty()) {
                    continue;
                }
                script.writeLine("PLINE");
                for (const layout::Point& p : line.vertices) {
                    const plan::WorldPoint survey = t.toSurvey(sheet.toWorld(p));
                    script.pointLine(survey.x, survey.y);
                }
                if (line.closed) {
                    const plan::WorldPoint survey =
                        t.toSurvey(sheet.toWorld(line.vertices.front()));
                    script.pointLine(survey.x, survey.y);
                }
                // An empty line ends the polyline.
                script.endLine();
            }
            for (const layout::Circle& circle : sheet.circles) {
                if (circle.layer != layer.id) {
                    continue;
                }
                script.writeLine("CIRCLE");
                const plan::WorldPoint survey = t.toSurvey(sheet.toWorld(circle.centre));
                script.pointLine(survey.x, survey.y);
                script.writeCoordinate(circle.radius * sheet.unit);
                script.endLine();
            }
            for (const layout::Text& text : sheet.texts) {
                if (text.layer != layer.id) {
                    continue;
                }
                const double drawn = text.height * sheet.unit;
                if (drawn != height) {
                    height = drawn;
                    writeStyle(script, spreadsheet::CellValue::number(height).textForm());
                }
                script.writeLine(justification(text.alignment));
                const plan::WorldPoint survey = t.toSurvey(sheet.toWorld(text.at));
                script.pointLine(survey.x, survey.y);
                // A world direction φ is 90 − rotation − φ in the survey system, which mirrors
                // the world; the TEXT script's labels are the case φ = 0.
                script.writePlain(spreadsheet::CellValue::number(plan.labelAngle - text.rotation));
                script.endLine();
                script.writeLine(scriptText(text.text).text);
            }
        }
    }
    writeStyle(script, "3.0");
    script.writeLine("OSMODE 55");
    script.writeLine("UNDO A");
    script.writeLine("FILEDIA 1 ZOOM E");
    script.writeLine("qsave");
}

EncodedScript kyusekiScript(const plan::Plan& plan, const layout::SheetLayout& map) {
    ScriptFile script;
    writeKyusekiScript(script, plan, map);
    EncodedScript encoded;
    bool lost = false;
    encoded.bytes = plan::toDrawingCodePage(script.take(), &lost);
    if (lost) {
        parcel::warnUnmappableTexts(map, encoded.warnings);
    }
    return encoded;
}

} // namespace karumenio::scripts

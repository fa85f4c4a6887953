#include "kyusekiscript.h"

#include "scriptfile.h"
#include "scripttext.h"

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

std::string_view justification(parcel::TextAlignment alignment) {
    switch (alignment) {
    case parcel::TextAlignment::BottomLeft:
        return "TEXT J BL";
    case parcel::TextAlignment::BottomCentre:
        return "TEXT J BC";
    case parcel::TextAlignment::BottomRight:
        return "TEXT J BR";
    }
    return "TEXT J BL";
}

} // namespace

void writeKyusekiScript(ScriptFile& script, const plan::Plan& plan, const parcel::SurveyMap& map) {
    script.reserve(map.texts.size() * 80 + map.lines.size() * 100 + 256);
    const plan::WorldTransform& t = plan.transform;
    script.writeLine("FILEDIA 1");
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("UCS R U1");
    for (const parcel::MapLayer& layer : parcel::kMapLayers) {
        script.write("-LAYER M ");
        script.write(layer.name);
        script.write(" C ");
        script.write(std::to_string(layer.colour));
        script.writeLine("  ");
        for (const parcel::MapLine& line : map.lines) {
            if (line.layer != layer.id) {
                continue;
            }
            script.writeLine("PLINE");
            for (const plan::WorldPoint& p : line.vertices) {
                const plan::WorldPoint survey = t.toSurvey(p);
                script.pointLine(survey.x, survey.y);
            }
            // An empty line ends the polyline.
            script.endLine();
        }
        double height = 0.0;
        for (const parcel::MapText& text : map.texts) {
            if (text.layer != layer.id) {
                continue;
            }
            if (text.height != height) {
                height = text.height;
                writeStyle(script, spreadsheet::CellValue::number(height).textForm());
            }
            script.writeLine(justification(text.alignment));
            const plan::WorldPoint survey = t.toSurvey(text.at);
            script.pointLine(survey.x, survey.y);
            // A world direction φ is 90 − rotation − φ in the survey system, which mirrors
            // the world; the TEXT script's labels are the case φ = 0.
            script.writePlain(spreadsheet::CellValue::number(plan.labelAngle - text.rotation));
            script.endLine();
            script.writeLine(scriptText(text.text).text);
        }
    }
    writeStyle(script, "3.0");
    script.writeLine("OSMODE 55");
    script.writeLine("UNDO A");
    script.writeLine("FILEDIA 1 ZOOM E");
    script.writeLine("qsave");
}

EncodedScript kyusekiScript(const plan::Plan& plan, const parcel::SurveyMap& map) {
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

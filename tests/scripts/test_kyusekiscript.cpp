#include "../parcel/parcelsupport.h"

#include "parcel/parcel.h"
#include "parcel/surveymap.h"
#include "plan/settings.h"
#include "scripts/kyusekiscript.h"
#include "scripts/scriptfile.h"
#include "scripts/scriptset.h"
#include "spreadsheet/codepage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

using namespace karumenio;
using namespace karumenio::parcel;
using namespace karumenio::parcel::test;
using scripts::test::lines;

namespace {

// What a script asks the drawing program to do: its commands, the justifications of its
// texts, the texts with their points and angles, and the polylines' points.
struct Reading {
    std::set<std::string> commands;
    std::set<std::string> justifications;
    struct Text {
        std::string point;
        std::string angle;
        std::string text;
    };
    std::vector<Text> texts;
    std::vector<std::vector<std::string>> polylines;
};

bool isCommandWord(const std::string& line) {
    return !line.empty() && (std::isalpha(static_cast<unsigned char>(line[0])) ||
                             (line[0] == '-' && line.size() > 1 &&
                              std::isalpha(static_cast<unsigned char>(line[1]))));
}

Reading read(const std::string& script) {
    Reading r;
    const std::vector<std::string> all = lines(script);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string& line = all[i];
        if (line.rfind("TEXT J ", 0) == 0) {
            r.commands.insert("TEXT");
            r.justifications.insert(line.substr(7));
            r.texts.push_back({all.at(i + 1), all.at(i + 2), all.at(i + 3)});
            i += 3;
        } else if (line == "PLINE") {
            r.commands.insert("PLINE");
            r.polylines.emplace_back();
            // Points up to the empty line; a break starts a new polyline after two blanks.
            while (++i < all.size() && !all[i].empty()) {
                if (all[i].rfind("  ", 0) == 0) {
                    r.polylines.emplace_back();
                }
                r.polylines.back().push_back(all[i].substr(all[i].rfind("  ", 0) == 0 ? 2 : 0));
            }
        } else if (isCommandWord(line)) {
            r.commands.insert(line.substr(0, line.find(' ')));
        }
    }
    return r;
}

std::pair<double, double> point(const std::string& line) {
    const auto comma = line.find(',');
    return {std::strtod(line.substr(0, comma).c_str(), nullptr),
            std::strtod(line.substr(comma + 1).c_str(), nullptr)};
}

struct Example {
    plan::Plan plan;
    layout::SheetLayout map;
    std::string script;
};

Example example(const char* angle) {
    Example e{planOfExample("two_parcels.sim", {angle, "B4L", "250"}), {}, {}};
    SurveyMapSettings settings;
    settings.titleBlock = {"東京都千代田区一番町", "", "", "2024-05-01", "山田太郎", "", ""};
    e.map = layOutSurveyMap(e.plan, findParcels(e.plan).parcels, settings);
    scripts::ScriptFile file;
    scripts::writeKyusekiScript(file, e.plan, e.map);
    e.script = file.take();
    return e;
}

TEST(KyusekiScript, UsesOnlyWhatTheFourScriptsUse) {
    const Example e = example("30.0000");
    plan::Plan plan = e.plan;
    plan.edition = "97";
    // A point with a circle, so that the PLOT script says how it draws one.
    plan.points.at(0).radius = 0.5;
    const scripts::ScriptSet four = scripts::writeScripts(plan);
    std::set<std::string> known;
    for (std::size_t i = 0; i < scripts::kScriptFileNames.size(); ++i) {
        const Reading r = read(*spreadsheet::cp932ToUtf8(four.bytes(i)));
        known.insert(r.commands.begin(), r.commands.end());
    }
    const Reading ours = read(e.script);
    for (const std::string& command : ours.commands) {
        EXPECT_TRUE(known.count(command)) << command;
    }
    // Justifications beyond the TEXT script's BL are among the command's own.
    for (const std::string& j : ours.justifications) {
        EXPECT_TRUE(j == "BL" || j == "BC" || j == "BR") << j;
    }
    const std::vector<std::string> all = lines(e.script);
    // The plan's layers are frozen once the map's first layer is current: the map draws its
    // own frames, lines and names.
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 6),
              (std::vector<std::string>{"FILEDIA 1", "UNDO C N", "OSMODE 0", "UCS R U1",
                                        "-LAYER M P_ZUWAKU C 7  ",
                                        "-LAYER F P_WAKU,P_LINE,P_PROT,P_MOJI "}));
    // The TEXT script asks no height: the style gets its 3.0 back before the end.
    EXPECT_EQ(std::vector<std::string>(all.end() - 5, all.end()),
              (std::vector<std::string>{"-STYLE ROMANS EXTFONT 3.0 1.0 0 N Y N", "OSMODE 55",
                                        "UNDO A", "FILEDIA 1 ZOOM E", "qsave"}));
    EXPECT_EQ(e.script.find("\n"), e.script.find("\r\n") + 1);
    EXPECT_EQ(std::count(e.script.begin(), e.script.end(), '\n'),
              std::count(e.script.begin(), e.script.end(), '\r'));
}

TEST(KyusekiScript, DrawsTheMapsEntitiesWhereTheDxfHasThem) {
    for (const char* angle : {"0.0000", "30.0000", "-97.3015"}) {
        SCOPED_TRACE(angle);
        const Example e = example(angle);
        const Reading r = read(e.script);
        std::size_t texts = 0;
        std::size_t polylines = 0;
        for (const layout::Sheet& sheet : e.map.sheets) {
            texts += sheet.texts.size();
            polylines += sheet.lines.size();
        }
        ASSERT_EQ(r.texts.size(), texts);
        ASSERT_EQ(r.polylines.size(), polylines);
        const std::vector<std::string> all = lines(e.script);
        const auto near = [&](const std::string& got, const layout::Sheet& sheet, layout::Point p) {
            const auto [x, y] = point(got);
            const plan::WorldPoint world = e.plan.transform.toWorld(x, y);
            const plan::WorldPoint expected = sheet.toWorld(p);
            EXPECT_NEAR(world.x, expected.x, 1e-9 * std::fabs(expected.x));
            EXPECT_NEAR(world.y, expected.y, 1e-9 * std::fabs(expected.y));
        };
        // Texts and lines layer by layer in the map's order; each point of the survey system
        // lands on the map's world point, each angle turns into the map's direction; a closed
        // line comes back to its first point.
        std::size_t nextText = 0;
        std::size_t nextLine = 0;
        for (const layout::SheetLayer& layer : layout::kSheetLayers) {
            for (const layout::Sheet& sheet : e.map.sheets) {
                for (const layout::Line& l : sheet.lines) {
                    if (l.layer != layer.id) {
                        continue;
                    }
                    const std::vector<std::string>& got = r.polylines.at(nextLine++);
                    ASSERT_EQ(got.size(), l.vertices.size() + (l.closed ? 1 : 0));
                    for (std::size_t k = 0; k < got.size(); ++k) {
                        near(got[k], sheet, l.vertices[k % l.vertices.size()]);
                    }
                }
                for (const layout::Text& t : sheet.texts) {
                    if (t.layer != layer.id) {
                        continue;
                    }
                    const Reading::Text& got = r.texts.at(nextText++);
                    EXPECT_EQ(got.text, t.text);
                    near(got.point, sheet, t.at);
                    EXPECT_NEAR(90 - e.plan.rotationAngle - std::strtod(got.angle.c_str(), nullptr),
                                t.rotation, 1e-9);
                }
            }
        }
        // Each layer's line comes before its entities, and a style line before the texts of
        // each height.
        const auto at = [&](const std::string& text) {
            return std::find(all.begin(), all.end(), text) - all.begin();
        };
        EXPECT_LT(at("-LAYER M P_HENCHO C 1  "), at("-LAYER M P_KYUSEKI C 7  "));
        // Names 2.5 mm and lengths 2 mm at 1:250.
        EXPECT_LT(at("-LAYER M P_TENMEI C 4  "), at("-STYLE ROMANS EXTFONT 0.625 1.0 0 N Y N"));
        EXPECT_LT(at("-LAYER M P_HENCHO C 1  "), at("-STYLE ROMANS EXTFONT 0.5 1.0 0 N Y N"));
    }
}

TEST(KyusekiScript, EncodedForTheDrawingProgramWithWarnings) {
    const plan::Plan plan =
        planOf("区画𠮷\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tA\t0\t0\n", {"0.0000", "B4L", "250"});
    const layout::SheetLayout map = layOutSurveyMap(plan, findParcels(plan).parcels, {});
    const scripts::EncodedScript encoded = scripts::kyusekiScript(plan, map);
    EXPECT_NE(encoded.bytes.find(spreadsheet::toCp932("区画?")), std::string::npos);
    ASSERT_FALSE(encoded.warnings.empty());
    EXPECT_NE(encoded.warnings[0].find("「𠮷」"), std::string::npos) << encoded.warnings[0];
}

} // namespace

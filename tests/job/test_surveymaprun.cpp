// The survey map and the plane coordinate system in a job's runs: KYUSEKI.SCR as a fifth script
// of the all-or-nothing set and known to the recovery, the four scripts unchanged by it, the
// title block's system and date, and the GeoJSON of the plan's parcels, lines and points.
#include "jobsupport.h"

#include "dxf/dxfwriter.h"
#include "job/planlocation.h"
#include "job/surveymapfiles.h"
#include "parcel/accuracyclass.h"
#include "scripts/kyusekiscript.h"
#include "scripts/scriptset.h"
#include "spreadsheet/codepage.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"
#include "transaction/outputset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

using namespace karumenio;
using namespace karumenio::job::test;
using karumenio::scripts::test::testFolder;
namespace fs = std::filesystem;

namespace {

std::string twoParcelsSima() {
    return readFile(fs::path(KARUMENIO_TEST_DATA) / ".." / ".." / "examples" / "two_parcels.sim");
}

job::Settings surveyMapSettings(bool surveyMap) {
    job::Settings settings = settingsOf("2000", "0.0000", "B4L", "250");
    settings.surveyMap = surveyMap;
    settings.planeSystem = geodesy::planeSystem(9);
    settings.map.titleBlock.location = "東京都八王子市元本郷町";
    settings.map.titleBlock.date = "2025-04-01";
    return settings;
}

void openTwoParcels(job::Job& job, bool surveyMap) {
    job.setSettings(surveyMapSettings(surveyMap));
    job.openPointsFile(twoParcelsSima(), "two_parcels.sim");
    job.read();
}

std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] = readFile(entry.path());
    }
    return files;
}

class SurveyMapRun : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = testFolder("karumenio-surveymaprun-");
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    fs::path m_folder;
};

TEST_F(SurveyMapRun, TheFifthScriptComesAfterTheFourWhichStayAsWithoutIt) {
    job::Job plain;
    openTwoParcels(plain, false);
    const job::MadeFiles four = plain.writeToMemory(scriptsInto(m_folder, {{"dxf", "plan.dxf"}}));
    job::Job withMap;
    openTwoParcels(withMap, true);
    const job::MadeFiles five = withMap.writeToMemory(scriptsInto(m_folder, {{"dxf", "plan.dxf"}}));

    ASSERT_EQ(four.files.size(), 5u);
    ASSERT_EQ(five.files.size(), 6u);
    for (std::size_t i = 0; i < scripts::kScriptFileNames.size(); ++i) {
        EXPECT_EQ(five.files[i].path, four.files[i].path);
        EXPECT_EQ(five.files[i].bytes, four.files[i].bytes) << four.files[i].path;
    }
    EXPECT_EQ(five.files[4].path, m_folder / "KYUSEKI.SCR");
    const layout::SheetLayout map = job::surveyMapOf(*withMap.lastPlan(), withMap.settings());
    EXPECT_EQ(five.files[4].bytes, scripts::kyusekiScript(*withMap.lastPlan(), map).bytes);
    // The DXF carries the map only when it is asked for; without it, the plan's DXF as before.
    EXPECT_EQ(four.files[4].bytes, dxf::writeDxf(*plain.lastPlan()));
    EXPECT_EQ(five.files[5].bytes, dxf::writeDxf(*withMap.lastPlan(), map));
    EXPECT_NE(five.files[5].bytes.find("P_KYUSEKI"), std::string::npos);
}

// The lines of a script as text.
std::vector<std::string> scriptLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(spreadsheet::cp932ToUtf8(bytes).value_or("not code page 932"));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0)));
    }
    return lines;
}

// What the surveyor types goes into the five scripts only as lines the drawing program reads
// as text: a first ";" would make the line a comment, "(" and "!" AutoLISP; a line break
// would end the line early; a name beyond the longest is cut. Each change is a warning that
// names the cell or the field.
TEST(SurveyMapTexts, WhatTheScriptsWouldMisreadIsMendedWithAWarningNamingItsCellOrField) {
    using Title = parcel::TitleBlock;
    struct Case {
        const char* name;
        const char* mark;
        const char* point;
        std::function<void(Title&)> title;
        std::string said;
        std::string line;
    };
    const std::string longName(300, 'x');
    const std::string kept(256, 'x');
    const std::string cut = "」は 256 文字を超えるため、そこまでを書き出しました。";
    const Case cases[] = {
        {"a point name that begins with ;",
         "P",
         ";ERASE ALL",
         {},
         "セル B7 の測点名「;ERASE ALL」は「;」で始まり",
         "；ERASE ALL"},
        {"a point name that begins with (",
         "P",
         "(setq a 1)",
         {},
         "セル B7 の測点名「(setq a 1)」は「(」で始まり",
         "（setq a 1)"},
        {"a point name that begins with !", "P", "!a", {}, "セル B7 の測点名「!a」は「!」", "！a"},
        {"a parcel name that begins with ;",
         ";P",
         "K2",
         {},
         "セル A6 の区画名「;P」は「;」",
         "；P"},
        {"a surveyor that begins with ;", "P", "K2", [](Title& t) { t.surveyor = ";ERASE ALL"; },
         "表題欄の作成者「;ERASE ALL」は「;」", "；ERASE ALL"},
        {"a location that begins with (", "P", "K2", [](Title& t) { t.location = "(株)"; },
         "表題欄の所在「(株)」は「(」", "（株)"},
        {"a lot number that begins with !", "P", "K2", [](Title& t) { t.lotNumber = "!1"; },
         "表題欄の地番「!1」は「!」", "！1"},
        {"a parcel name of two lines",
         "P\r\nQ",
         "K2",
         {},
         "セル A6 の区画名「P Q」に改行が含まれていたため",
         "P Q"},
        {"a location beyond the longest name", "P", "K2", [&](Title& t) { t.location = longName; },
         "表題欄の所在「x", kept},
        // More than the title block's rows hold: it refers to the area table instead.
        {"a lot number beyond the longest name", "P", "K2",
         [&](Title& t) { t.lotNumber = longName; }, "表題欄の地番「x", "座標求積表のとおり"},
        {"a surveyor beyond the longest name", "P", "K2", [&](Title& t) { t.surveyor = longName; },
         "表題欄の作成者「x", kept},
        // A command line passes any bytes: one that begins no UTF-8 character must not take
        // the line break after it.
        {"a surveyor of bytes that are no UTF-8", "P", "K2", [](Title& t) { t.surveyor = "X\xDD"; },
         "地積測量図の文字「X\uFFFD」", "X?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        job::Job job;
        job::Settings settings = surveyMapSettings(true);
        if (c.title) {
            c.title(settings.map.titleBlock);
        }
        job.setSettings(settings);
        job.paste("P\tK1\t0\t0\n\tK2\t10\t0\n\tK3\t10\t10\n\tK1\t0\t0\n");
        job.sheet().setValue(6, 1, spreadsheet::CellValue::text(c.mark));
        job.sheet().setValue(7, 2, spreadsheet::CellValue::text(c.point));
        job.read();
        const job::MadeFiles made = job.writeToMemory(job::WriteTargets::scriptsInto({}));
        ASSERT_EQ(made.files.size(), 5u);
        bool found = false;
        // The title block wraps a long value over lines: together they hold what was kept.
        std::size_t wrapped = 0;
        for (const job::MadeFile& file : made.files) {
            for (std::size_t at = file.bytes.find('\n'); at != std::string::npos;
                 at = file.bytes.find('\n', at + 1)) {
                EXPECT_TRUE(at > 0 && file.bytes[at - 1] == '\r') << file.path << " at " << at;
            }
            for (const std::string& line : scriptLines(file.bytes)) {
                EXPECT_TRUE(line.empty() || (line[0] != ';' && line[0] != '(' && line[0] != '!'))
                    << file.path << ": " << line;
                found = found || line == c.line;
                if (!line.empty() && line.find_first_not_of('x') == std::string::npos) {
                    wrapped += line.size();
                }
            }
        }
        found = found || (c.line == kept && wrapped == kept.size());
        EXPECT_TRUE(found) << c.line;
        EXPECT_EQ(std::count_if(made.warnings.begin(), made.warnings.end(),
                                [&](const std::string& w) { return w.starts_with(c.said); }),
                  1)
            << c.said;
        if (c.said.ends_with("「x")) {
            EXPECT_EQ(std::count_if(made.warnings.begin(), made.warnings.end(),
                                    [&](const std::string& w) { return w.ends_with(cut); }),
                      1);
        }
    }
}

TEST_F(SurveyMapRun, AFailingRunLeavesAllFiveOldScripts) {
    std::map<std::string, std::string> old;
    for (const std::string_view name : scripts::kScriptFileNames) {
        old[std::string(name)] = "old " + std::string(name) + "\r\n";
    }
    old["KYUSEKI.SCR"] = "old KYUSEKI.SCR\r\n";
    for (const auto& [name, bytes] : old) {
        std::ofstream(m_folder / name, std::ios::binary) << bytes;
    }
    // Each file of the run (five scripts, then the DXF) in turn fails to be put in place.
    for (const char* failing :
         {"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR", "KYUSEKI.SCR", "plan.dxf"}) {
        SCOPED_TRACE(failing);
        job::Job job;
        openTwoParcels(job, true);
        auto operations = transaction::FileOperations::system();
        const auto realRename = operations.rename;
        operations.rename = [&](const fs::path& from, const fs::path& to, std::error_code& error) {
            if (to.filename() == failing && from.extension() == ".tmp") {
                error = std::make_error_code(std::errc::permission_denied);
                return;
            }
            realRename(from, to, error);
        };
        try {
            job.write(scriptsInto(m_folder, {{"dxf", m_folder / "plan.dxf"}}), operations);
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 75);
        }
        EXPECT_EQ(snapshot(m_folder), old);
        EXPECT_EQ(job.lastPlan(), nullptr);
    }
    // And a run that goes through replaces all five.
    job::Job job;
    openTwoParcels(job, true);
    job.write(scriptsInto(m_folder));
    for (const auto& [name, bytes] : snapshot(m_folder)) {
        EXPECT_NE(bytes, old[name]) << name;
    }
}

TEST_F(SurveyMapRun, AnOldKyusekiLeftByAnEarlierRunIsAWarning) {
    job::Job job;
    openTwoParcels(job, true);
    // The map's own warnings (fields left empty) come with it, none of a KYUSEKI.SCR left over.
    for (const std::string& warning : job.write(scriptsInto(m_folder)).warnings) {
        EXPECT_EQ(warning.find("KYUSEKI.SCR"), std::string::npos) << warning;
    }
    job::Settings settings = job.settings();
    settings.surveyMap = false;
    job.setSettings(settings);
    const transaction::WriteReport report = job.write(scriptsInto(m_folder));
    EXPECT_EQ(report.files.size(), 4u);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("KYUSEKI.SCR"), std::string::npos);
}

TEST_F(SurveyMapRun, KyusekiIsOneOfTheProgramsOwnNames) {
    const transaction::RecoveryScope scope = job::outputFolderScope();
    EXPECT_TRUE(scope.admits(m_folder, "KYUSEKI.SCR"));
    // A file of an output format named like it is refused, whether the map is asked for or not.
    for (const bool surveyMap : {false, true}) {
        job::Job job;
        openTwoParcels(job, surveyMap);
        try {
            job.write(scriptsInto(m_folder, {{"area-csv", m_folder / "sub" / "kyuseki.scr"}}));
            ADD_FAILURE() << "no clash";
        } catch (const transaction::OutputClash& e) {
            EXPECT_NE(std::string(e.what()).find("KYUSEKI.SCR"), std::string::npos) << e.what();
        }
        EXPECT_TRUE(fs::is_empty(m_folder));
    }
}

TEST_F(SurveyMapRun, TheTitleBlockTakesTheSystemAndTodayUnlessADateIsGiven) {
    job::Job job;
    job::Settings settings = surveyMapSettings(true);
    settings.map.titleBlock.date.clear();
    settings.map.titleBlock.coordinateSystem = "left over";
    job.setSettings(settings);
    EXPECT_EQ(job.settings().map.titleBlock.coordinateSystem, "第IX系");
    EXPECT_EQ(job.settings().map.titleBlock.date, job::todayDate());
    EXPECT_TRUE(job::isCalendarDate(job::todayDate()));
    // A date given stays; no system leaves the field blank.
    settings.map.titleBlock.date = "2024-02-29";
    settings.planeSystem = nullptr;
    job.setSettings(settings);
    EXPECT_EQ(job.settings().map.titleBlock.date, "2024-02-29");
    EXPECT_EQ(job.settings().map.titleBlock.coordinateSystem, "");
}

// A subdivision is checked once per run, whichever of the map and the area CSV it makes.
TEST_F(SurveyMapRun, ASubdivisionIsCheckedOnceWhateverTheRunWrites) {
    const std::string rows = readFile(fs::path(KARUMENIO_TEST_DATA) / ".." / ".." / "examples" /
                                      "subdivision_3lots.tsv");
    const fs::path csv = m_folder / "area.csv";
    const struct {
        const char* name;
        bool surveyMap;
        job::WriteTargets targets;
    } runs[] = {
        {"scripts, map and CSV", true, scriptsInto(m_folder, {{"area-csv", csv}})},
        {"scripts and CSV", false, scriptsInto(m_folder, {{"area-csv", csv}})},
        {"the CSV alone", false, onlyFile("area-csv", csv)},
        {"scripts and map", true, scriptsInto(m_folder)},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        job::Settings settings = surveyMapSettings(run.surveyMap);
        settings.subdivision.parent = "670";
        settings.subdivision.accuracyClass = parcel::findAccuracyClass("甲1");
        settings.subdivision.registeredArea = parcel::squareMillimetresOf("1190");
        job::Job job;
        load(job, rows, settings);
        const job::MadeFiles made = job.writeToMemory(run.targets);
        EXPECT_EQ(std::count_if(
                      made.warnings.begin(), made.warnings.end(),
                      [](const std::string& w) { return w.find("地積更正") != std::string::npos; }),
                  1);
        for (const job::MadeFile& file : made.files) {
            if (file.path == csv) {
                EXPECT_NE(file.bytes.find("\r\n差,倍面積,,,,0.000000,\r\n"), std::string::npos);
            }
        }
    }
}

TEST(CalendarDate, OnlyDaysOfTheCalendarWrittenYearMonthDay) {
    for (const char* date : {"2024-02-29", "2000-02-29", "2025-12-31", "0001-01-01"}) {
        EXPECT_TRUE(job::isCalendarDate(date)) << date;
    }
    for (const char* date : {"2023-02-29", "1900-02-29", "2025-04-31", "2025-13-01", "2025-00-10",
                             "2025-4-1", "2025/04/01", "0000-01-01", "２０２５-04-01", ""}) {
        EXPECT_FALSE(job::isCalendarDate(date)) << date;
    }
}

} // namespace

namespace {

TEST(PlanGeoJson, ParcelsLinesAndPointsOfTheWorkedExample) {
    job::Job job;
    job::Settings settings = settingsOf("2000");
    settings.planeSystem = geodesy::planeSystem(9);
    load(job, workedExampleRows(), settings);
    const geodesy::GeoJsonContent content = job::geoJsonContent(job.plan(), job.settings());
    // The closed square K1–K4 is a parcel; the two open sections are lines named by their mark.
    ASSERT_EQ(content.parcels.size(), 1u);
    EXPECT_EQ(content.parcels[0].name, "K");
    EXPECT_EQ(content.parcels[0].vertices.size(), 4u);
    EXPECT_EQ(content.parcels[0].areaSquareMetres, "10000.000000");
    EXPECT_EQ(content.parcels[0].chiseki, "10000.00");
    ASSERT_EQ(content.lines.size(), 2u);
    EXPECT_EQ(content.lines[0].name, "K");
    EXPECT_EQ(content.lines[0].points.size(), 4u);
    EXPECT_EQ(content.lines[1].points.size(), 3u);
    EXPECT_EQ(content.lines[1].points[2].y, 150.0);
    ASSERT_EQ(content.points.size(), 12u);
    EXPECT_EQ(content.points[5].name, "T1");
    EXPECT_EQ(content.points[5].position.x, 60.0);
}

TEST(PlanGeoJson, NeedsASystemAndPointsInIt) {
    job::Job job;
    load(job, workedExampleRows());
    const auto expectError = [&](const job::Settings& settings, int number, const char* says) {
        try {
            job::geoJsonFile(job.plan(), settings);
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), number);
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
        }
    };
    expectError(job.settings(), 13, "座標系");
    job::Settings settings = job.settings();
    settings.planeSystem = geodesy::planeSystem(9);
    EXPECT_FALSE(job::geoJsonFile(job.plan(), settings).bytes.empty());
    // 6000 km north of the origin: no latitude in any system.
    job.paste("K\tFar\t6000000\t0\n", points::kFirstDataRow);
    job.read();
    expectError(settings, 6, "X=6000000.000");
}

} // namespace

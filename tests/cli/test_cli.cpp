// Drives the command-line tool as other programs call it: a process, its exit status,
// its messages and the files it leaves.
#include "support/process.h"

#include "geodesy/planesystem.h"
#include "job/outputformat.h"
#include "parcel/landcategory.h"
#include "spreadsheet/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kScripts[] = {"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"};

using Environment = std::vector<std::pair<std::string, std::string>>;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Arguments reach the tool as UTF-8.
std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class CliTest : public testing::Test {
  protected:
    void SetUp() override {
        // Another build's tests may run at the same time. A parameterised test's name holds
        // a "/", which must not make a folder of its own that tear-down leaves behind.
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_dir = fs::temp_directory_path() /
                ("karumenio-cli-" + std::to_string(std::random_device()()) + "-" + name);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "drive");
    }
    void TearDown() override {
        fs::permissions(m_dir / "drive", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }

    Outcome run(std::vector<std::string> arguments, Environment environment = {},
                fs::path workingFolder = {}) {
        karumenio::test::Process process;
        process.program = KARUMENIO_CLI;
        process.arguments = std::move(arguments);
        process.environment = std::move(environment);
        process.workingFolder = std::move(workingFolder);
        process.stdoutFile = m_dir / "stdout";
        process.stderrFile = m_dir / "stderr";
        const int status = karumenio::test::runProcess(process);
        return {status, slurp(process.stdoutFile), slurp(process.stderrFile)};
    }

    fs::path points(const std::string& name, const std::string& bytes) {
        write(m_dir / name, bytes);
        return m_dir / name;
    }

    std::string drive() const { return utf8(m_dir / "drive"); }

    // Puts a known old content into every script so that a failed run can be seen to leave them.
    void plantOldScripts() {
        for (const char* name : kScripts) {
            write(m_dir / "drive" / name, std::string("old ") + name + "\r\n");
        }
    }
    void expectOldScripts() {
        for (const char* name : kScripts) {
            EXPECT_EQ(slurp(m_dir / "drive" / name), std::string("old ") + name + "\r\n") << name;
        }
    }

    fs::path m_dir;
};

const std::string kExample = KARUMENIO_TEST_DATA "/worked_example.tsv";

TEST_F(CliTest, WritesTheWorkedExampleByteForByte) {
    const auto result = run({"--edition", "2000", "--paper", "A1", "--scale", "100", "--angle",
                             "0.0000", "--out", drive(), kExample});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("座標読込完了　12　データ"), std::string::npos) << result.out;
    for (const char* name : kScripts) {
        EXPECT_EQ(slurp(m_dir / "drive" / name),
                  slurp(fs::path(KARUMENIO_TEST_DATA) / "golden" / "worked12" / name))
            << name;
        EXPECT_NE(result.out.find(name), std::string::npos)
            << "the tool says where " << name << " is";
    }
}

TEST_F(CliTest, OptionsReachTheScripts) {
    const auto file = points("one.tsv", "\tP1\t200\t1300\n\tP2\t100\t1000\n");
    const auto result = run({"--edition", "97", "--paper", "A3", "--scale", "1000", "--angle",
                             "30.3000", "--radius", "0.5", "--out", drive(), utf8(file)});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string zahyou = slurp(m_dir / "drive" / "ZAHYOU.SCR");
    EXPECT_NE(zahyou.find("\r\nUNITS 2 8 2 8 0 N\r\n"), std::string::npos);
    EXPECT_NE(zahyou.find("\r\nLINE 0,0 100<30.5 \r\n"), std::string::npos);
    EXPECT_NE(zahyou.find("\r\nSCALE ALL  0,0 1\r\n"), std::string::npos);
    EXPECT_NE(zahyou.find("\r\n150,1150\r\n"), std::string::npos);
    EXPECT_NE(zahyou.find("saveas LT97 c:\\Zeva-zizudi.dwg\r\n"), std::string::npos);
    EXPECT_NE(slurp(m_dir / "drive" / "PLOT.SCR").find("CIRCLE\r\n200,1300\r\n.5\r\n"),
              std::string::npos);
}

TEST_F(CliTest, RowsBelowAnEmptyRowAreAWarning) {
    const auto file = points("gap.tsv", "\tP1\t1\t2\n\tP2\t3\t4\n\n\tP3\t5\t6\n\tP4\t7\t8\n\n\n");
    const auto result = run({"--edition", "2000", "--out", drive(), utf8(file)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("座標読込完了　2　データ"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("読み込んでいません"), std::string::npos) << "a warning, on stderr";
    EXPECT_NE(result.err.find("警告: 8 行目"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("2 行は読み込んでいません"), std::string::npos) << result.err;
}

// Two points 10 m apart: they fit on A1 at 1:100 with room to spare.
const std::string kTwoPoints = "\tP1\t0\t0\n\tP2\t10\t10\n";

TEST_F(CliTest, AnAngleThatIsNotPlainDddMmssIsReadAsTheAngleBoxReadsItWithAWarning) {
    const auto file = points("two.tsv", kTwoPoints);
    const std::pair<const char*, const char*> cases[] = {
        {"30.3000", nullptr},
        {"-12.15", nullptr},
        {"45.", nullptr},
        {"abc", "0 度"},
        {"NaN", "0 度"},
        {"359.5960", "360 度"},
        {"10.6000", "11 度"},
        {"1e308", "1E+308 度"},
        {" 45", "45 度"},
        {"359.5959", nullptr},
        {"360.0000", "360 度"},
        {"-400", "-400 度"},
        {"99999999999999999999", "1E+20 度"},
    };
    for (const auto& [angle, used] : cases) {
        SCOPED_TRACE(angle);
        const auto result = run(
            {"--edition", "2000", std::string("--angle=") + angle, "--out", drive(), utf8(file)});
        ASSERT_EQ(result.status, 0) << result.err;
        if (used == nullptr) {
            EXPECT_EQ(result.err.find("--angle"), std::string::npos) << result.err;
        } else {
            EXPECT_NE(result.err.find(std::string("警告: --angle の「") + angle + "」"),
                      std::string::npos)
                << result.err;
            EXPECT_NE(result.err.find(std::string(" ") + used + "として"), std::string::npos)
                << result.err;
        }
    }
}

// An option given twice is a command line the tool cannot understand: the last would win
// silently, whichever the surveyor meant. Options that this run does not use are warnings.
TEST_F(CliTest, AnOptionTwiceIsAUsageErrorAndAnOptionNotUsedAWarning) {
    plantOldScripts();
    const auto file = points("two.tsv", kTwoPoints);
    struct Case {
        std::vector<std::string> options;
        int status;
        std::string said;
    };
    const std::string dxf = utf8(m_dir / "a.dxf");
    const Case cases[] = {
        {{"--edition", "2000", "--edition", "97"}, 2, "--edition が 2 回指定されています"},
        {{"--edition", "2000", "--dxf", dxf, "--dxf=" + utf8(m_dir / "b.dxf")},
         2,
         "--dxf が 2 回指定されています"},
        {{"--edition", "2000", "--survey-map", "--survey-map"}, 2, "--survey-map が 2 回"},
        {{"--edition", "2000", "--angle=1", "--angle", "2"}, 2, "--angle が 2 回"},
        {{"--edition", "2000", "--surveyor", "測量 太郎"},
         0,
         "警告: --surveyor は表題欄の項目です。--survey-map がないため"},
        {{"--edition", "2000", "--location", "八王子市", "--lot", "1", "--date", "2025-04-01"},
         0,
         "警告: --date は表題欄の項目です"},
        {{"--edition", "2000", "--applicant", "測量 花子"},
         0,
         "警告: --applicant は表題欄の項目です"},
        {{"--edition", "2000", "--survey-map", "--surveyor", ";ERASE ALL"},
         0,
         "警告: 表題欄の作成者「;ERASE ALL」は「;」で始まり"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"--out", drive(), utf8(file)});
        const auto result = run(arguments);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        if (c.status != 0) {
            expectOldScripts();
            EXPECT_FALSE(fs::exists(dxf));
        } else if (std::find(c.options.begin(), c.options.end(), "--survey-map") ==
                   c.options.end()) {
            EXPECT_FALSE(fs::exists(m_dir / "drive" / "KYUSEKI.SCR"));
        } else {
            EXPECT_EQ(result.err.find("は表題欄の項目です"), std::string::npos) << result.err;
            const std::string kyuseki = slurp(m_dir / "drive" / "KYUSEKI.SCR");
            EXPECT_EQ(kyuseki.find("\n;"), std::string::npos);
            EXPECT_NE(kyuseki.find("\r\n\x81\x47"
                                   "ERASE ALL\r\n"),
                      std::string::npos)
                << "full-width semicolon";
        }
        plantOldScripts();
    }
}

TEST_F(CliTest, ARadiusBeyondTheSheetGetsTheFitWarning) {
    const auto file = points("two.tsv", kTwoPoints);
    for (const auto& [radius, warned] : {std::pair{"0.5", false}, std::pair{"1000", true}}) {
        SCOPED_TRACE(radius);
        const auto result =
            run({"--edition", "2000", "--radius", radius, "--out", drive(), utf8(file)});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err.find("はみ出します") != std::string::npos, warned) << result.err;
    }
}

TEST_F(CliTest, DriveFolderComesFromTheEnvironmentWhenNotGiven) {
    const auto result = run({"--edition", "2002", kExample}, {{"KARUMENIO_DRIVE_C", drive()}});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(m_dir / "drive" / "TEXT.SCR"));
}

TEST_F(CliTest, HelpExplainsTheContract) {
    const auto result = run({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* word : {"--edition",   "--paper",       "A4L",          "--scale",
                             "--angle",     "--radius",      "--out",        "KARUMENIO_DRIVE_C",
                             "POINTS_FILE", "--format",      "--header",     "--columns",
                             "--sima-out",  "--survey-map",  "--land-class", "--location",
                             "--lot",       "--surveyor",    "--date",       "--zone",
                             "KYUSEKI.SCR", "--survey-date", "--applicant",  "--adjacent",
                             "--marks",     "境界標"}) {
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
    }
    for (const char* word :
         {"--subdivision-of", "--signs", "--registered-area", "--accuracy-class", "--remainder"}) {
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
    }
}

// Every output format of the core is an option of the tool, in its help and in use: written
// beside the scripts, or alone without an edition.
TEST_F(CliTest, EveryOutputFormatIsAnOption) {
    const std::string help = run({"--help"}).out;
    for (const karumenio::job::OutputFormat& format : karumenio::job::outputFormats()) {
        const std::string option(format.option);
        SCOPED_TRACE(option);
        EXPECT_NE(help.find("\n  " + option + " PATH "), std::string::npos) << help;
        const fs::path file = m_dir / ("plan" + std::string(format.extension));
        // The worked example lies at the origin of system IX, which GeoJSON needs.
        auto result = run(
            {"--edition", "2000", "--zone", "9", "--out", drive(), option, utf8(file), kExample});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_NE(result.out.find(utf8(file)), std::string::npos) << result.out;
        EXPECT_TRUE(fs::exists(m_dir / "drive" / "ZAHYOU.SCR"));
        const std::string beside = slurp(file);
        EXPECT_FALSE(beside.empty());
        fs::remove_all(m_dir / "drive");
        fs::create_directories(m_dir / "drive");

        result = run({"--zone=9", "--out", drive(), option + "=" + utf8(file), kExample});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(slurp(file), beside);
        EXPECT_TRUE(fs::is_empty(m_dir / "drive"));

        result = run({"--edition", "2000", "--out", drive(), option + "=", kExample});
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(option), std::string::npos) << result.err;
    }
}

// The sections of the LINE script: its vertex lines, a new section at each line that starts
// with blanks.
std::vector<std::vector<std::string>> lineSections(const std::string& script) {
    std::vector<std::vector<std::string>> sections;
    std::istringstream in(script);
    std::string line;
    bool inPolyline = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == "PLINE") {
            inPolyline = true;
            sections.emplace_back();
        } else if (inPolyline && line.empty()) {
            inPolyline = false;
        } else if (inPolyline) {
            if (line.starts_with("  ")) {
                sections.emplace_back();
            }
            sections.back().push_back(line.substr(line.find_first_not_of(' ')));
        }
    }
    return sections;
}

TEST_F(CliTest, SimaParcelsGiveClosedPolylines) {
    const auto file = points("lots.sim", "G00,01,lots,\r\nA00,\r\nA01,1,P1,0,0,,\r\n"
                                         "A01,2,P2,0,10,,\r\nA01,3,P3,10,10,,\r\n"
                                         "A01,4,P4,10,0,,\r\nA01,5,P5,20,0,,\r\n"
                                         "A01,6,BM,5,5,,\r\nA99,\r\n"
                                         "D00,1,A,1,\r\nB01,1,,\r\nB01,2,,\r\nB01,3,,\r\n"
                                         "B01,4,,\r\nD99,\r\nD00,2,B,1,\r\nB01,4,,\r\n"
                                         "B01,3,,\r\nB01,5,,\r\nD99,\r\n");
    const auto result = run({"--edition", "2000", "--scale", "500", "--out", drive(), utf8(file)});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto sections = lineSections(slurp(m_dir / "drive" / "LINE.SCR"));
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0], (std::vector<std::string>{"0,0", "0,10", "10,10", "10,0", "0,0"}));
    EXPECT_EQ(sections[1], (std::vector<std::string>{"10,0", "10,10", "20,0", "10,0"}));
    EXPECT_EQ(sections[2], std::vector<std::string>{"5,5"}) << "a point of no parcel stands alone";
}

struct RefusedCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string rows;
    int status;
    std::string says;
};

// Past the last plane rectangular coordinate system, and the land categories as listed.
const std::string kZonePastTheLast = std::to_string(karumenio::geodesy::planeSystems().size() + 1);

std::string landCategoryList() {
    std::string list;
    for (const karumenio::parcel::LandCategory& category : karumenio::parcel::kLandCategories) {
        list += (list.empty() ? "" : " | ") + std::string(category.token);
    }
    return list;
}

class CliRefusal : public CliTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(CliRefusal, FailsClearlyAndLeavesTheScripts) {
    const auto& c = GetParam();
    plantOldScripts();
    const auto file = points("points.tsv", c.rows);
    auto arguments = c.arguments;
    arguments.insert(arguments.end(), {"--out", drive(), utf8(file)});
    const auto result = run(arguments);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    expectOldScripts();
}

std::string manyRows(int count) {
    std::string rows;
    for (int i = 0; i < count; ++i) {
        rows += "\tP" + std::to_string(i) + "\t" + std::to_string(i) + "\t1\n";
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliRefusal,
    testing::Values(
        RefusedCase{"no_edition", {}, "\tK1\t1\t2\n", 2, "バージョンを選んで下さい"},
        RefusedCase{
            "unknown_paper", {"--edition", "2000", "--paper", "B4"}, "\tK1\t1\t2\n", 2, "B4"},
        RefusedCase{
            "unknown_scale", {"--edition", "2000", "--scale", "150"}, "\tK1\t1\t2\n", 2, "150"},
        RefusedCase{"radius_not_a_number",
                    {"--edition", "2000", "--radius", "big"},
                    "\tK1\t1\t2\n",
                    2,
                    "--radius"},
        RefusedCase{"edition_not_a_number", {"--edition", "LT"}, "\tK1\t1\t2\n", 1, "エラー 13"},
        RefusedCase{"no_points", {"--edition", "2000"}, "", 1, "エラー 9"},
        RefusedCase{"letters_in_a_coordinate",
                    {"--edition", "2000"},
                    "\tK1\t1\t2\n\tK2\tabc\t3\n",
                    1,
                    "C7"},
        RefusedCase{"letters_in_a_radius", {"--edition", "2000"}, "\tK1\t1\t2\tbig\n", 1, "G6"},
        RefusedCase{"too_many_rows", {"--edition", "2000"}, manyRows(3002), 1, "3001"},
        RefusedCase{"decimal_comma",
                    {"--edition", "2000", "--columns", "name,x,y"},
                    "P1,1.5,2\nP2,\"1234,567\",\"10,5\"\n",
                    1,
                    "2 行目"},
        RefusedCase{
            "unknown_format", {"--edition", "2000", "--format", "xls"}, "\tK1\t1\t2\n", 2, "xls"},
        RefusedCase{"zone_zero",
                    {"--edition", "2000", "--zone", "0"},
                    "\tK1\t1\t2\n",
                    2,
                    karumenio::geodesy::systemNumberRange()},
        RefusedCase{"zone_past_the_last",
                    {"--edition", "2000", "--zone", kZonePastTheLast},
                    "\tK1\t1\t2\n",
                    2,
                    "「" + kZonePastTheLast + "」"},
        RefusedCase{
            "zone_roman", {"--edition", "2000", "--zone", "IX"}, "\tK1\t1\t2\n", 2, "「IX」"},
        RefusedCase{"zone_negative",
                    {"--edition", "2000", "--zone=-9"},
                    "\tK1\t1\t2\n",
                    2,
                    karumenio::geodesy::systemNumberRange()},
        RefusedCase{"geojson_without_zone",
                    {"--edition", "2000", "--geojson", "plan.geojson"},
                    "\tK1\t1\t2\n",
                    2,
                    "--zone"},
        RefusedCase{"land_class_unknown",
                    {"--edition", "2000", "--land-class", "田"},
                    "\tK1\t1\t2\n",
                    2,
                    landCategoryList()},
        RefusedCase{"date_not_in_the_calendar",
                    {"--edition", "2000", "--date", "2023-02-29"},
                    "\tK1\t1\t2\n",
                    2,
                    "YYYY-MM-DD"},
        RefusedCase{"date_with_slashes",
                    {"--edition", "2000", "--date", "2025/04/01"},
                    "\tK1\t1\t2\n",
                    2,
                    "「2025/04/01」"},
        RefusedCase{"survey_map_given_a_value",
                    {"--edition", "2000", "--survey-map=yes"},
                    "\tK1\t1\t2\n",
                    2,
                    "--survey-map"},
        RefusedCase{"survey_date_not_in_the_calendar",
                    {"--edition", "2000", "--survey-date", "2025-04-31"},
                    "\tK1\t1\t2\n",
                    2,
                    "測量年月日"},
        RefusedCase{"adjacent_without_its_stretch",
                    {"--edition", "2000", "--adjacent", "670番"},
                    "\tK1\t1\t2\n",
                    2,
                    "地番:点名-点名"},
        RefusedCase{"subdivision_parent_given_twice",
                    {"--edition", "2000", "--subdivision-of", "1", "--subdivision-of", "2"},
                    "\tK1\t1\t2\n",
                    2,
                    "--subdivision-of が 2 回指定されています"},
        RefusedCase{"accuracy_class_not_of_the_list",
                    {"--edition", "2000", "--accuracy-class", "丙1"},
                    "\tK1\t1\t2\n",
                    2,
                    "甲1 | 甲2"},
        RefusedCase{"registered_area_without_a_parent",
                    {"--edition", "2000", "--registered-area", "330.5"},
                    "\tK1\t1\t2\n",
                    2,
                    "--subdivision-of で指定したときだけ"},
        RefusedCase{"registered_area_with_a_sign",
                    {"--edition", "2000", "--registered-area", "-330.5"},
                    "\tK1\t1\t2\n",
                    2,
                    "登記地積"},
        RefusedCase{"marks_that_are_points",
                    {"--edition", "2000", "--marks", KARUMENIO_TEST_DATA "/worked_example.tsv"},
                    "\tK1\t1\t2\n",
                    1,
                    "--marks"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClashCase {
    const char* name;
    // "{out}" stands for the output folder, "{dir}" for the test's folder.
    std::vector<std::string> arguments;
    // The points file, under the test's folder.
    std::string pointsFile;
    // What the message names: the two files that clash.
    const char* first;
    const char* second;
};

class CliClash : public CliTest, public testing::WithParamInterface<ClashCase> {};

TEST_P(CliClash, IsAUsageErrorAndNothingIsWritten) {
    const auto& c = GetParam();
    plantOldScripts();
    const fs::path pointsFile = m_dir / c.pointsFile;
    if (!fs::exists(pointsFile)) {
        write(pointsFile, "A00,\r\nA01,1,P1,1,2,\r\nA01,2,P2,3,4,\r\n");
    }
    const std::string pointsBefore = slurp(pointsFile);
    std::vector<std::string> arguments;
    for (std::string argument : c.arguments) {
        for (const auto& [mark, value] : {std::pair{std::string("{out}"), drive()},
                                          std::pair{std::string("{dir}"), utf8(m_dir)}}) {
            if (const auto at = argument.find(mark); at != std::string::npos) {
                argument.replace(at, mark.size(), value);
            }
        }
        arguments.push_back(argument);
    }
    arguments.insert(arguments.end(), {"--out", drive(), utf8(pointsFile)});
    const auto result = run(arguments);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find(c.first), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(c.second), std::string::npos) << result.err;
    expectOldScripts();
    EXPECT_EQ(slurp(pointsFile), pointsBefore);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "drive"), fs::directory_iterator()), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliClash,
    testing::Values(ClashCase{"dxf_over_a_script",
                              {"--edition", "2000", "--dxf", "{out}/LINE.SCR"},
                              "points.sim",
                              "LINE.SCR",
                              "スクリプト"},
                    ClashCase{"sima_over_a_script",
                              {"--edition", "2000", "--sima-out", "{out}/zahyou.scr"},
                              "points.sim",
                              "zahyou.scr",
                              "ZAHYOU.SCR"},
                    ClashCase{"dxf_and_sima_one_file",
                              {"--edition", "2000", "--dxf", "{dir}/plan.out", "--sima-out",
                               "{dir}/PLAN.OUT"},
                              "points.sim",
                              "plan.out",
                              "PLAN.OUT"},
                    ClashCase{"dxf_over_the_journal",
                              {"--edition", "2000", "--dxf", "{out}/~karumenio.journal"},
                              "points.sim",
                              "~karumenio.journal",
                              "記録"},
                    ClashCase{"dxf_over_the_points_file",
                              {"--edition", "2000", "--dxf", "{dir}/points.sim"},
                              "points.sim",
                              "points.sim",
                              "座標ファイル"},
                    ClashCase{"sima_over_its_own_input",
                              {"--sima-out", "{dir}/./points.sim"},
                              "points.sim",
                              "./points.sim",
                              "座標ファイル"},
                    ClashCase{"points_file_that_is_a_script",
                              {"--edition", "2000"},
                              "drive/LINE.SCR",
                              "LINE.SCR",
                              "座標ファイル"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, APlantedJournalCannotRemoveAFileOutsideTheFolder) {
    write(m_dir / "victim.txt", "victim");
    const std::string target = utf8(m_dir / "victim.txt");
    // Target, new file and old file, length-prefixed, then the marks of a run to be undone.
    write(m_dir / "drive" / "~karumenio.journal", "karumenio journal 2\n" +
                                                      std::to_string(target.size()) + ":" + target +
                                                      "\n0:\n0:\n" + "commit\nrollback\n");
    const auto result = run({"--edition", "2000", "--out", drive(), kExample});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(slurp(m_dir / "victim.txt"), "victim");
    EXPECT_NE(result.err.find("~karumenio.journal"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(m_dir / "drive" / "~karumenio.journal"));
}

const std::string kTwoParcels = KARUMENIO_TEST_DATA "/../../examples/two_parcels.sim";

TEST_F(CliTest, TheSurveyMapAddsAFifthScriptAndLeavesTheFourAsTheyWere) {
    auto result = run(
        {"--edition", "2000", "--paper", "B4L", "--scale", "250", "--out", drive(), kTwoParcels});
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> four;
    for (const char* name : kScripts) {
        four.push_back(slurp(m_dir / "drive" / name));
    }
    EXPECT_FALSE(fs::exists(m_dir / "drive" / "KYUSEKI.SCR"));

    result = run({"--edition",
                  "2000",
                  "--paper",
                  "B4L",
                  "--scale",
                  "250",
                  "--survey-map",
                  "--land-class",
                  "その他",
                  "--location",
                  "八王子市元本郷町",
                  "--lot",
                  "669番1",
                  "--surveyor",
                  "測量 太郎",
                  "--date",
                  "2025-04-01",
                  "--zone",
                  "9",
                  "--survey-date",
                  "2025-03-20",
                  "--applicant",
                  "山田 花子",
                  "--marks",
                  utf8(points("marks.csv", "点名,境界標\nNo.1,コンクリート杭\nNo.2,金属標\n"
                                           "No.3,金属標\nNo.4,石杭\nNo.5,なし\nNo.6,刻印\n")),
                  "--adjacent",
                  "670番:No.3-No.4",
                  "--adjacent",
                  "道路:No.4-No.2",
                  "--adjacent=668番:No.2-No.6",
                  "--adjacent",
                  "水路:No.6-No.3",
                  "--out",
                  drive(),
                  kTwoParcels});
    ASSERT_EQ(result.status, 0) << result.err;
    for (std::size_t i = 0; i < four.size(); ++i) {
        EXPECT_EQ(slurp(m_dir / "drive" / kScripts[i]), four[i]) << kScripts[i];
    }
    EXPECT_NE(result.out.find("KYUSEKI.SCR"), std::string::npos) << result.out;
    // The title block's fields reach the script in code page 932; the land category cuts 地積
    // of more than 10 m² to whole square metres.
    const std::string kyuseki = slurp(m_dir / "drive" / "KYUSEKI.SCR");
    for (const char* text : {"\x94\xaa\x89\xa4\x8e\x71", // 八王子
                             "2025\x94\x4e"
                             "4\x8c\x8e"
                             "1\x93\xfa",
                             "\x91\xe6IX\x8c\x6e", "106\x87\x75"}) {
        EXPECT_NE(kyuseki.find(text), std::string::npos) << text;
    }
    for (const char* text : {"測量年月日", "2025年3月20日", "申請人", "山田 花子"}) {
        EXPECT_NE(kyuseki.find(karumenio::spreadsheet::toCp932(text)), std::string::npos) << text;
    }
    // The map's address follows the list of files.
    EXPECT_NE(result.out.find("地図で確認: https://maps.gsi.go.jp/#"), std::string::npos)
        << result.out;
    EXPECT_EQ(result.err, "");
}

TEST_F(CliTest, PointsOutsideTheSystemAreAWarningThatNamesTheLikelySlip) {
    // Points in Hakodate with X and Y exchanged: in system XI they fall in the sea.
    const auto file = points("swapped.tsv", "A\tP1\t39808.348\t-247740.634\n"
                                            "\tP2\t39818.348\t-247730.634\n");
    const auto result = run({"--edition", "2000", "--zone", "11", "--out", drive(), utf8(file)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("第XI系の範囲外"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("X と Y が入れ替わっている"), std::string::npos) << result.err;
}

TEST_F(CliTest, AnAreaTableOfNoParcelsIsItsHeaderWithAWarning) {
    const auto file = points("open.tsv", "A\tP1\t0\t0\n\tP2\t10\t0\n\tP3\t10\t10\n");
    const fs::path csv = m_dir / "area.csv";
    const auto result = run({"--area-csv", utf8(csv), utf8(file)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(slurp(csv), "\xEF\xBB\xBF区画,点名,X,Y,Yn+1-Yn-1,Xn(Yn+1-Yn-1),境界標\r\n");
    EXPECT_NE(result.err.find("警告: 閉じた区画"), std::string::npos) << result.err;
}

TEST_F(CliTest, ConvertsToSimaWithoutAnEdition) {
    const auto file = points("pts.csv", "点名,X,Y\nP1,1.5,2\nP2,3,4\n");
    const auto sima = m_dir / "pts.sim";
    const auto result =
        run({"--columns", "name,x,y", "--sima-out", utf8(sima), "--out", drive(), utf8(file)});
    ASSERT_EQ(result.status, 0) << result.err;
    // Two points of one open line: points only, since a reader closes every parcel.
    EXPECT_EQ(slurp(sima), "G00,01,pts,\r\nA00,\r\nA01,1,P1,1.5,2,,\r\nA01,2,P2,3,4,,\r\n"
                           "A99,\r\n");
    EXPECT_NE(result.err.find("警告: セル A6 から始まる区間は閉じていない"), std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(m_dir / "drive" / "ZAHYOU.SCR"));
}

TEST_F(CliTest, ASimaFileThatCannotBeWrittenChangesNoScript) {
    plantOldScripts();
    const auto missing = m_dir / "no such folder" / "pts.sim";
    const auto result =
        run({"--edition", "2000", "--sima-out", utf8(missing), "--out", drive(), kExample});
    EXPECT_EQ(result.status, 1);
    expectOldScripts();
}

TEST_F(CliTest, ADxfBesideTheScriptsIsWrittenInTheSameRun) {
    // The folder is locked once, whichever way its two paths are spelt.
    const auto file = points("points.tsv", "\tK1\t1\t2\n\tK2\t3\t4\n");
    const auto result = run({"--edition", "2000", "--out", ".", "--dxf", "plan.dxf", utf8(file)},
                            {}, m_dir / "drive");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(m_dir / "drive" / "plan.dxf"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "drive"), fs::directory_iterator()), 5);
}

TEST_F(CliTest, APointsFileThatCannotBeReadIsAnError) {
    fs::create_directory(m_dir / "folder.tsv");
    // Sparse: the size is what is refused, not the bytes.
    write(m_dir / "huge.tsv", "\tK1\t1\t2\n");
    fs::resize_file(m_dir / "huge.tsv", (std::uintmax_t{64} << 20) + 1);
    const std::pair<const char*, const char*> cases[] = {
        {"nothing.tsv", "開けません"}, {"folder.tsv", "フォルダ"}, {"huge.tsv", "64 MB"}};
    for (const auto& [name, says] : cases) {
        SCOPED_TRACE(name);
        const auto result = run({"--edition", "2000", "--out", drive(), utf8(m_dir / name)});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(says), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(m_dir / "drive" / "ZAHYOU.SCR"));
    }
}

TEST_F(CliTest, ReadOnlyScriptStopsTheRunBeforeAnyFileChanges) {
    plantOldScripts();
    fs::permissions(m_dir / "drive" / "PLOT.SCR", fs::perms::owner_read);
    const auto result = run({"--edition", "2000", "--out", drive(), kExample});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("PLOT.SCR"), std::string::npos) << result.err;
    fs::permissions(m_dir / "drive" / "PLOT.SCR", fs::perms::owner_write, fs::perm_options::add);
    expectOldScripts();
}

TEST_F(CliTest, OutputThatIsNotAFolderIsAnError) {
    write(m_dir / "plain-file", "x");
    const auto result = run({"--edition", "2000", "--out", utf8(m_dir / "plain-file"), kExample});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(slurp(m_dir / "plain-file"), "x");
}

} // namespace

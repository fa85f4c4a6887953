// The write run through the job, as every front end starts it: its checks, what the scripts
// hold for the settings and names given, the run made in memory, and the files on disk
// replaced all or nothing.
#include "jobsupport.h"

#include "job/completion.h"
#include "plan/degreesperradian.h"
#include "scripts/scriptset.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"
#include "transaction/atomicfileset.h"
#include "transaction/foldersession.h"
#include "transaction/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <memory>

using namespace karumenio;
using namespace karumenio::job::test;
using karumenio::scripts::test::lines;
using karumenio::scripts::test::num;
using karumenio::scripts::test::testFolder;
using karumenio::scripts::test::txt;
using spreadsheet::CellValue;
namespace fs = std::filesystem;

namespace {

using Edit = std::function<void(spreadsheet::Worksheet&)>;

// The worked example pasted at A6, changed by the edit, and read.
std::unique_ptr<job::Job> workedExample(const Edit& edit = {},
                                        job::Settings settings = settingsOf("2000")) {
    auto job = std::make_unique<job::Job>();
    job->setSettings(std::move(settings));
    job->paste(workedExampleRows());
    if (edit) {
        edit(job->sheet());
    }
    job->read();
    return job;
}

// Cell B of slot: the name of the point read into it.
Edit names(std::vector<std::pair<int, CellValue>> bySlot) {
    return [bySlot](spreadsheet::Worksheet& sheet) {
        for (const auto& [slot, name] : bySlot) {
            sheet.setValue(points::kFirstDataRow + slot, points::kLabelTextColumn, name);
        }
    };
}

// The files of a run made in memory, by name.
std::map<std::string, std::string> madeInMemory(job::Job& job, const job::WriteTargets& targets) {
    std::map<std::string, std::string> files;
    for (job::MadeFile& file : job.writeToMemory(targets).files) {
        files[transaction::platform::displayPath(file.path)] = std::move(file.bytes);
    }
    return files;
}

std::map<std::string, std::string> scriptsOf(job::Job& job) {
    return madeInMemory(job, scriptsInto({}));
}

std::vector<std::string> scriptLines(job::Job& job, const char* name) {
    return lines(scriptsOf(job).at(name));
}

// Every file of a folder with its bytes: what "nothing changed" is checked against.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] = readFile(entry.path());
    }
    return files;
}

// Whether a run gave any point of the latest read its label point: what a run that went
// through leaves in the table, and one that failed must not.
bool anyLabelPoint(const job::Job& job) {
    for (int slot = 0; slot < std::max(job.table().count(), 1); ++slot) {
        if (!job.table().labelX.at(slot).isEmpty() || !job.table().labelY.at(slot).isEmpty()) {
            return true;
        }
    }
    return false;
}

void expectThrows(int number, const std::string& inMessage, const std::function<void()>& run) {
    try {
        run();
        ADD_FAILURE() << "no error";
    } catch (const spreadsheet::RunTimeError& e) {
        EXPECT_EQ(e.number(), number) << e.what();
        EXPECT_NE(std::string(e.what()).find(inMessage), std::string::npos) << e.what();
    }
}

TEST(WriteRun, ARunLeavesItsPlanAndLabelPointsInTheJob) {
    const auto job = workedExample();
    const auto made = job->writeToMemory(scriptsInto({}));
    EXPECT_TRUE(made.warnings.empty());
    ASSERT_NE(job->lastPlan(), nullptr);
    EXPECT_EQ(job->table().pointIndex.value(), 12);
    for (int slot = 0; slot < 12; ++slot) {
        const plan::PlanPoint& point = job->lastPlan()->points[static_cast<std::size_t>(slot)];
        EXPECT_EQ(job->table().labelX.at(slot).numberValue(), point.labelX);
        EXPECT_EQ(job->table().labelY.at(slot).numberValue(), point.labelY);
    }
}

TEST(WriteRun, RepeatedRunsGiveTheSameScripts) {
    // The label angle a run leaves behind must not accumulate into the next run.
    const auto job = workedExample({}, settingsOf("2000", "30.3000"));
    const auto first = scriptsOf(*job);
    EXPECT_EQ(job->lastPlan()->labelAngle, 59.5);
    EXPECT_EQ(scriptsOf(*job), first);
    EXPECT_EQ(job->lastPlan()->labelAngle, 59.5);
}

TEST(WriteRun, EditionDecidesUnitsLineAndSaveLine) {
    struct Case {
        const char* code;
        const char* units;
        const char* last;
    };
    const Case cases[] = {
        {"97", "UNITS 2 8 2 8 0 N", "saveas LT97 c:\\Zeva-zizudi.dwg"},
        {"98", "UNITS 2 8 2 8 0 N", "saveas LT98 c:\\Zeva-zizudi.dwg"},
        {"2000", "-UNITS 2 8 2 8 0 N", "saveas 2000 c:\\Zeva-zizudi.dwg"},
        {"2002", "-UNITS 2 8 2 8 0 N", "saveas 2000 c:\\Zeva-zizudi.dwg"},
        {"20001", "-UNITS 2 8 2 8 0 N", "saveas 2000 c:\\Zeva-zizudi.dwg"},
        {"97.0", "UNITS 2 8 2 8 0 N", "saveas LT97 c:\\Zeva-zizudi.dwg"},
        {"12345", "-UNITS 2 8 2 8 0 N", "FILEDIA 1 ZOOM E"},
        {"0", "-UNITS 2 8 2 8 0 N", "FILEDIA 1 ZOOM E"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const auto job = workedExample({}, settingsOf(c.code));
        const auto got = scriptLines(*job, "ZAHYOU.SCR");
        EXPECT_EQ(got[2], c.units);
        EXPECT_EQ(got.back(), c.last);
        EXPECT_EQ(got.size(), c.last[0] == 's' ? 26u : 25u);
    }
}

TEST(WriteRun, RotationLineUsesThePlainForm) {
    struct Case {
        const char* angle;
        const char* line;
    };
    const Case cases[] = {
        {"0.0000", "LINE 0,0 100<0 "},     {"0.3000", "LINE 0,0 100<0.5 "},
        {"0.1500", "LINE 0,0 100<0.25 "},  {"-12.1500", "LINE 0,0 100<-12.25 "},
        {"30.3000", "LINE 0,0 100<30.5 "}, {"130.1001", "LINE 0,0 100<130.166944444444 "},
        {"abc", "LINE 0,0 100<0 "},        {"12abc", "LINE 0,0 100<12 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        const auto job = workedExample({}, settingsOf("2000", c.angle));
        EXPECT_EQ(scriptLines(*job, "ZAHYOU.SCR")[3], c.line);
    }
}

TEST(WriteRun, JapaneseNamesAreCodePage932AndLostCharactersAreReported) {
    const auto job = workedExample(
        names({{0, txt("測点１")}, {1, txt("점2")}, {3, txt("ｶﾅ")}, {4, txt("A測B　点C①")}}));
    const auto made = job->writeToMemory(scriptsInto({}));
    const auto got = lines(made.files[3].bytes);
    EXPECT_EQ(got[7], "\x91\xaa\x93\x5f\x82\x50");
    EXPECT_EQ(got[11], "?2");
    EXPECT_EQ(got[19], "\xb6\xc5");
    EXPECT_EQ(got[23], "A\x91\xaa"
                       "B\x81\x40\x93\x5f"
                       "C\x87\x40");
    EXPECT_EQ(got[27], "T1");
    ASSERT_EQ(made.warnings.size(), 1u);
    EXPECT_NE(made.warnings[0].find("B7"), std::string::npos) << made.warnings[0];
    EXPECT_NE(made.warnings[0].find("점"), std::string::npos) << made.warnings[0];
}

TEST(WriteRun, NamesThatWouldBreakTheScriptAreMendedWithAWarning) {
    std::string huge;
    for (int i = 0; i < 1 << 16; ++i) {
        huge += "測";
    }
    std::string cut;
    for (int i = 0; i < 256; ++i) {
        cut += "\x91\xaa";
    }
    struct Case {
        const char* name;
        CellValue value;
        std::string written;
        const char* warned;
    };
    const Case cases[] = {
        {"CR LF", txt("K\r\n1"), "K 1", "改行"},
        {"LF and a CR at the end", txt("K\n3\r"), "K 3 ", "改行"},
        {"control characters", CellValue::text(std::string("K\0001\t2\x1b", 6)), "K 1 2 ",
         "制御文字"},
        {"longer than 256 characters", CellValue::text(huge), cut, "256 文字"},
        {"256 characters", CellValue::text(std::string(256, 'N')), std::string(256, 'N'), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto job = workedExample(names({{1, c.value}}));
        const auto made = job->writeToMemory(scriptsInto({}));
        const auto got = lines(made.files[3].bytes);
        // Every label still takes its four lines.
        ASSERT_EQ(got.size(), 56u);
        EXPECT_EQ(got[11], c.written);
        EXPECT_EQ(got[12], "TEXT J BL");
        if (c.warned == nullptr) {
            EXPECT_TRUE(made.warnings.empty());
            continue;
        }
        ASSERT_EQ(made.warnings.size(), 1u);
        EXPECT_NE(made.warnings[0].find("B7"), std::string::npos) << made.warnings[0];
        EXPECT_NE(made.warnings[0].find(c.warned), std::string::npos) << made.warnings[0];
        EXPECT_LT(made.warnings[0].size(), 400u);
    }
}

TEST(WriteRun, AFullTableOf3001Points) {
    std::string rows;
    for (int i = 0; i < points::kSlotCount; ++i) {
        rows += "\tP\t" + std::to_string(i * 0.5) + "\t" + std::to_string(-i * 0.25) + "\t" +
                std::to_string(i % 2) + "\n";
    }
    job::Job job;
    load(job, rows);
    const auto files = scriptsOf(job);
    EXPECT_EQ(lines(files.at("LINE.SCR")).size(), 3001u + 10u);
    EXPECT_EQ(lines(files.at("PLOT.SCR")).size(), 1500u * 3u + 8u);
    EXPECT_EQ(lines(files.at("TEXT.SCR")).size(), 4u * 3001u + 8u);
    EXPECT_EQ(lines(files.at("LINE.SCR"))[5 + 3000], "1500,-750");
    EXPECT_EQ(job.table().pointIndex.value(), 3001);
}

TEST(WriteRun, ChecksBeforeAnythingIsComputed) {
    struct Case {
        const char* name;
        const char* edition;
        const char* rows; // nullptr: never read
        int number;
        const char* message;
    };
    const Case cases[] = {
        {"no edition", "", "\tK1\t1\t2\n", 13, "バージョンを選んで下さい"},
        {"edition not a number", "LT", "\tK1\t1\t2\n", 13, "「LT」"},
        {"never read", "2000", nullptr, 91, "「座 標 読 込」"},
        {"no edition and never read", "", nullptr, 13, "バージョンを選んで下さい"},
        {"no points", "2000", "", 9, "0 点"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        job::Job job;
        job.setSettings(settingsOf(c.edition));
        if (c.rows != nullptr) {
            job.paste(c.rows);
            job.read();
        }
        expectThrows(c.number, c.message, [&] { job.writeToMemory(scriptsInto({})); });
        EXPECT_EQ(job.lastPlan(), nullptr);
        EXPECT_FALSE(anyLabelPoint(job));
    }
}

TEST(WriteRun, ExtentCellsThatAreTextNumbersOrEmptyTakePart) {
    const auto job = workedExample([](spreadsheet::Worksheet& sheet) {
        scripts::test::setExtent(sheet, txt("200"), {}, txt(" 1300 "), num(1000));
    });
    EXPECT_EQ(scriptLines(*job, "ZAHYOU.SCR")[23], "100,1150");
}

TEST(WriteRun, AnExtentCellWithTextNamesTheCellFirst) {
    // Also a coordinate that is no number: the extent cells are met first, in their order.
    for (const char* cell : {"E6", "E7", "F6", "F7"}) {
        SCOPED_TRACE(cell);
        const auto job = workedExample([cell](spreadsheet::Worksheet& sheet) {
            sheet.setValue(points::kFirstDataRow + 2, points::kPointXColumn, txt("x"));
            for (const char* other : {"F7", "F6", "E7", "E6"}) {
                const int row = other[1] - '0';
                const int column = other[0] - 'A' + 1;
                sheet.setValue(row, column, other >= std::string_view(cell) ? txt("最大") : num(1));
            }
        });
        try {
            job->writeToMemory(scriptsInto({}));
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
            EXPECT_EQ(e.cell(), cell);
            EXPECT_NE(std::string(e.what()).find(cell), std::string::npos);
        }
        EXPECT_EQ(job->lastPlan(), nullptr);
    }
}

TEST(WriteRun, AnAngleTooLargeToReadIsAnOverflowBeforeTheExtentCells) {
    const auto job =
        workedExample([](spreadsheet::Worksheet& sheet) { sheet.setValue(6, 5, txt("最大")); },
                      settingsOf("2000", "1e400"));
    expectThrows(6, "回転角", [&] { job->writeToMemory(scriptsInto({})); });
    expectThrows(6, "回転角", [&] { job->plan(); });
}

TEST(WriteRun, AListWithoutSelectionTakesTheLastRunsPaperAndScale) {
    // Before any run, the start-up choice.
    const auto job = workedExample();
    job::Settings none = settingsOf("2000");
    none.paper = nullptr;
    none.scale = nullptr;
    job->setSettings(none);
    EXPECT_EQ(job->settings().paper->token, plan::kDefaultPaper);
    EXPECT_EQ(job->settings().scale->token, plan::kDefaultScale);
    EXPECT_EQ(scriptsOf(*job), scriptsOf(*workedExample()));

    job->setSettings(settingsOf("2000", "0.0000", "A3", "2000"));
    const auto a3 = scriptsOf(*job);
    job->setSettings(none);
    EXPECT_EQ(job->settings().paper->token, "A3");
    EXPECT_EQ(job->settings().scale->token, "2000");
    EXPECT_EQ(scriptsOf(*job), a3);
}

TEST(WriteRun, ADefaultRadiusGoesIntoG6AndDownTheChain) {
    job::Job job;
    job::Settings settings = settingsOf("2000");
    settings.defaultRadius = 1.5;
    job.setSettings(settings);
    job.paste("\tA\t0\t0\n\tB\t10\t0\n\tC\t20\t0\t2.75\n\tD\t30\t0\n");
    ASSERT_EQ(job.read(), 4);
    const plan::Plan plan = job.plan();
    EXPECT_EQ(plan.points[0].radius, 1.5);
    EXPECT_EQ(plan.points[1].radius, 1.5);
    EXPECT_EQ(plan.points[2].radius, 2.75);
    // Settings without a radius leave G6 as the sheet holds it.
    job.setSettings(settingsOf("2000"));
    EXPECT_EQ(job.sheet().value(6, 7), num(1.5));
}

// The command-line tool's job keeps no undo records and calculates the sheet once, at the
// read; what it reads must not differ from the desktop program's job. Rows without a radius
// take theirs from the chain down G, which only a calculated sheet gives.
TEST(WriteRun, AJobWithoutHistoryWritesWhatAJobWithHistoryWrites) {
    const std::string rows = "K\t1\t10.5\t20\r\n"
                             "\t2\t11\t21\r\n"
                             "\t3\t12\t-22\t2.75\r\n"
                             "K\t4\t13.25\t23\r\n";
    std::vector<std::map<std::string, std::string>> made;
    for (const auto history : {job::Job::History::Kept, job::Job::History::None}) {
        job::Job job(history);
        job::Settings settings = settingsOf("2000");
        settings.defaultRadius = 1.5;
        job.setSettings(settings);
        const auto opened = job.openPointsFile(rows, "points.tsv");
        EXPECT_EQ(opened.record.empty(), history == job::Job::History::None);
        ASSERT_EQ(job.read(), 4);
        made.push_back(scriptsOf(job));
    }
    EXPECT_EQ(made[0], made[1]);
    for (const char* radius : {"1.5", "2.75"}) {
        EXPECT_NE(made[0].at("PLOT.SCR").find(radius), std::string::npos)
            << radius << " carried down G";
    }
}

class WriteRunFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = testFolder("karumenio-writerun-");
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code error;
        fs::permissions(m_folder, fs::perms::owner_all, error);
        for (const auto& entry : fs::directory_iterator(m_folder, error)) {
            fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write, error);
        }
        fs::remove_all(m_folder, error);
    }

    // Old scripts from an earlier run, each longer than the new one.
    void writeOldScripts(std::initializer_list<std::string_view> names) {
        for (const auto name : names) {
            std::ofstream out(m_folder / name, std::ios::binary);
            out << "old " << name << "\r\n" << std::string(5000, 'x') << "\r\n";
        }
    }

    // The four scripts of the worked example as a run writes them.
    static std::map<std::string, std::string> newScripts() { return scriptsOf(*workedExample()); }

    fs::path m_folder;
};

TEST_F(WriteRunFolder, WritesWhatIsMadeInMemoryReplacingLongerOldOnes) {
    writeOldScripts({"ZAHYOU.SCR", "PLOT.SCR"});
    const auto job = workedExample();
    const auto report = job->write(scriptsInto(m_folder));
    EXPECT_EQ(report.files, (std::vector<fs::path>{m_folder / "ZAHYOU.SCR", m_folder / "LINE.SCR",
                                                   m_folder / "PLOT.SCR", m_folder / "TEXT.SCR"}));
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_EQ(snapshot(m_folder), newScripts());
    EXPECT_EQ(job->table().pointIndex.value(), 12);
    ASSERT_NE(job->lastPlan(), nullptr);
    EXPECT_EQ(job->lastPlan()->scaleFactor, 0.1);
}

TEST_F(WriteRunFolder, AFailedCheckOrBadCellChangesNoFile) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    struct Case {
        const char* name;
        const char* edition;
        Edit edit;
        const char* inMessage;
    };
    const auto cell = [](int row, int column, CellValue value) {
        return [=](spreadsheet::Worksheet& sheet) { sheet.setValue(row, column, value); };
    };
    const Case cases[] = {
        {"no edition", "", {}, "バージョン"},
        {"a decimal comma", "2000", cell(12, 4, txt("12,5")), "D12"},
        {"a radius of letters", "2000", cell(17, 7, txt("r")), "G17"},
        // A huge field is quoted shortened.
        {"a huge field", "2000", cell(8, 3, CellValue::text(std::string(1 << 20, 'x'))), "C8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto job = workedExample(c.edit, settingsOf(c.edition));
        try {
            job->write(scriptsInto(m_folder));
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
            EXPECT_NE(std::string(e.what()).find(c.inMessage), std::string::npos) << e.what();
            EXPECT_LT(std::string(e.what()).size(), 300u);
        }
        EXPECT_EQ(job->lastPlan(), nullptr);
        EXPECT_EQ(snapshot(m_folder), before);
    }
}

TEST_F(WriteRunFolder, ANumberThatIsNotFiniteIsAnOverflowAndNothingChanges) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        int row;
        int column;
        CellValue value;
        std::array<CellValue, 4> extent;
        const char* inMessage;
    };
    const std::array<CellValue, 4> example = {num(110), num(-50), num(150), num(-60)};
    const Case cases[] = {
        {"infinite coordinate", 9, 3, num(inf), example, "C9"},
        {"NaN radius", 11, 7, num(std::nan("")), example, "G11"},
        {"extent too wide for the half-diagonal",
         6,
         3,
         num(0),
         {num(1e200), num(-1e200), num(1e200), num(-1e200)},
         "E6:F7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto job = workedExample([&c](spreadsheet::Worksheet& sheet) {
            sheet.setValue(c.row, c.column, c.value);
            scripts::test::setExtent(sheet, c.extent[0], c.extent[1], c.extent[2], c.extent[3]);
        });
        expectThrows(6, c.inMessage, [&] { job->write(scriptsInto(m_folder)); });
        EXPECT_EQ(snapshot(m_folder), before);
    }
}

TEST_F(WriteRunFolder, ATargetOrFolderThatCannotBeWrittenIsAnAccessErrorAndNothingChanges) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    fs::permissions(m_folder / "PLOT.SCR", fs::perms::owner_read | fs::perms::group_read);
    const auto before = snapshot(m_folder);
    const auto job = workedExample();
    expectThrows(75, "PLOT.SCR", [&] { job->write(scriptsInto(m_folder)); });
    EXPECT_EQ(snapshot(m_folder), before);
    EXPECT_EQ(job->lastPlan(), nullptr);
    EXPECT_FALSE(anyLabelPoint(*job));
    fs::permissions(m_folder / "PLOT.SCR", fs::perms::owner_read | fs::perms::owner_write);

#ifndef _WIN32
    // Windows has no read-only folders to make; there only the failing temporary file tells.
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec);
    expectThrows(75, "ZAHYOU.SCR", [&] { job->write(scriptsInto(m_folder)); });
    fs::permissions(m_folder, fs::perms::owner_all);
    EXPECT_EQ(snapshot(m_folder), before);
#endif
    expectThrows(75, "ZAHYOU.SCR", [&] { job->write(scriptsInto(m_folder / "missing")); });
    EXPECT_EQ(snapshot(m_folder), before);
}

TEST_F(WriteRunFolder, AFailedRenameRestoresTheFilesAlreadyReplaced) {
    // ZAHYOU and PLOT exist, LINE and TEXT do not; the rename of each file fails in turn.
    for (int failing = 0; failing < 4; ++failing) {
        SCOPED_TRACE(failing);
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            fs::remove(entry.path());
        }
        writeOldScripts({"ZAHYOU.SCR", "PLOT.SCR"});
        const auto before = snapshot(m_folder);
        auto operations = transaction::FileOperations::system();
        int renames = 0;
        const auto realRename = operations.rename;
        operations.rename = [&](const fs::path& from, const fs::path& to, std::error_code& error) {
            // The new file's rename onto its target; the old one's goes aside first.
            if (from.extension() == ".tmp" && renames++ == failing) {
                error = std::make_error_code(std::errc::permission_denied);
                return;
            }
            realRename(from, to, error);
        };
        const auto job = workedExample();
        expectThrows(75, std::string(scripts::kScriptFileNames[static_cast<std::size_t>(failing)]),
                     [&] { job->write(scriptsInto(m_folder), operations); });
        EXPECT_EQ(snapshot(m_folder), before);
        EXPECT_EQ(job->lastPlan(), nullptr);
    }
}

TEST_F(WriteRunFolder, AFailedTemporaryFileChangesNothing) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    auto operations = transaction::FileOperations::system();
    int created = 0;
    const auto realCreate = operations.createFile;
    operations.createFile = [&](const fs::path& path, std::string_view bytes) {
        // The third new file finds the disk full half-way.
        if (path.extension() == ".tmp" && created++ == 2) {
            realCreate(path, bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return realCreate(path, bytes);
    };
    const auto job = workedExample();
    expectThrows(75, "PLOT.SCR", [&] { job->write(scriptsInto(m_folder), operations); });
    EXPECT_EQ(snapshot(m_folder), before);
}

TEST_F(WriteRunFolder, PlantedLinksNeverLeadTheRunOutOfTheFolder) {
    // An attacker who sees the first temporary file plants links where the others go, since
    // the run's names share its token (which its journal shows as well), or wins the race for
    // the very name asked for: the run stops before it has touched anything, and never writes
    // through a link.
    const fs::path outside = m_folder / "outside";
    fs::create_directory(outside);
    const fs::path victim = outside / "victim";
    {
        // Windows gives links to administrators and developer mode only, and MinGW's library
        // makes none at all.
        std::error_code error;
        fs::create_symlink(victim, m_folder / "probe", error);
        if (error) {
            GTEST_SKIP() << "symbolic links cannot be made here: " << error.message();
        }
        fs::remove(m_folder / "probe");
    }
    for (const bool exactName : {false, true}) {
        SCOPED_TRACE(exactName ? "at the name asked for" : "at names sharing its token");
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            if (entry.path() != outside) {
                fs::remove(entry.path());
            }
        }
        std::ofstream(victim, std::ios::binary) << "victim";
        fs::create_symlink(victim, m_folder / "LINE.SCR");
        auto operations = transaction::FileOperations::system();
        const auto realCreate = operations.createFile;
        operations.createFile = [&](const fs::path& path, std::string_view bytes) {
            if (exactName) {
                fs::create_symlink(victim, path);
            } else if (path.filename().string().starts_with("~ZAHYOU.SCR.")) {
                std::string name = path.filename().string();
                for (const auto other : {"LINE.SCR", "PLOT.SCR", "TEXT.SCR"}) {
                    const std::string planted = "~" + std::string(other) + name.substr(11);
                    fs::create_symlink(victim, m_folder / planted);
                }
            }
            return realCreate(path, bytes);
        };
        const auto job = workedExample();
        expectThrows(75, "を書き込めません",
                     [&] { job->write(scriptsInto(m_folder), operations); });
        EXPECT_EQ(readFile(victim), "victim");
        EXPECT_TRUE(fs::is_symlink(m_folder / "LINE.SCR"));
        EXPECT_FALSE(fs::exists(m_folder / "ZAHYOU.SCR"));
    }
}

TEST_F(WriteRunFolder, ASecondWriterWaitsThenFailsAndNothingIsLeftBehind) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "flock holds nothing in emscripten's file system; a page writes alone";
#endif
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    auto operations = transaction::FileOperations::system();
    operations.lockWait = std::chrono::milliseconds(100);
    transaction::platform::LockHandle held = transaction::platform::kNoLock;
    ASSERT_EQ(transaction::platform::tryLockFolder(m_folder, held),
              transaction::platform::LockAttempt::Locked);
    const auto job = workedExample();
    expectThrows(75, "別の出力が書き込み中",
                 [&] { job->write(scriptsInto(m_folder), operations); });
    // On Windows the held lock is a file in the folder until it is released.
    transaction::platform::unlockFolder(held);
    EXPECT_EQ(snapshot(m_folder), before);

    job->write(scriptsInto(m_folder), operations);
    EXPECT_EQ(snapshot(m_folder), newScripts());
}

TEST_F(WriteRunFolder, TheNextRunFinishesOrUndoesAnInterruptedOne) {
    struct Killed {};
    struct Case {
        const char* name;
        int createsBeforeKill; // -1: not killed while creating
        int renamesBeforeKill; // -1: not killed while renaming
        bool nextRunFails;
        bool finished;
    };
    const Case cases[] = {
        {"killed as it wrote the third temporary file", 2, -1, false, false},
        {"killed before the first rename", -1, 0, true, true},
        {"killed between renames", -1, 2, false, true},
        {"killed before the last rename, next run has no edition", -1, 3, true, true},
    };
    const auto newFiles = newScripts();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            fs::remove(entry.path());
        }
        writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "TEXT.SCR"});
        const auto before = snapshot(m_folder);
        auto operations = transaction::FileOperations::system();
        int creates = 0;
        int renames = 0;
        const auto realCreate = operations.createFile;
        const auto realRename = operations.rename;
        // Counted: the new files (not the journal), and their renames onto the targets.
        operations.createFile = [&](const fs::path& path, std::string_view bytes) {
            if (path.extension() == ".tmp" && creates++ == c.createsBeforeKill) {
                // Created, nothing written yet. A file cut short later is not provably the
                // run's own, and is left (see test_recovery).
                realCreate(path, "");
                throw Killed{};
            }
            return realCreate(path, bytes);
        };
        operations.rename = [&](const fs::path& from, const fs::path& to, std::error_code& error) {
            if (from.extension() == ".tmp" && renames++ == c.renamesBeforeKill) {
                throw Killed{};
            }
            realRename(from, to, error);
        };
        EXPECT_THROW(workedExample()->write(scriptsInto(m_folder), operations), Killed);
        ASSERT_TRUE(fs::exists(m_folder / transaction::AtomicFileSet::kJournalName));

        const std::string said = c.finished ? "完了しました" : "取り消し";
        if (c.nextRunFails) {
            const auto next = workedExample({}, settingsOf(""));
            expectThrows(13, said, [&] { next->write(scriptsInto(m_folder)); });
            EXPECT_EQ(snapshot(m_folder), c.finished ? newFiles : before);
        } else {
            const auto report = workedExample()->write(scriptsInto(m_folder));
            ASSERT_FALSE(report.warnings.empty());
            EXPECT_NE(report.warnings[0].find(said), std::string::npos) << report.warnings[0];
            EXPECT_EQ(snapshot(m_folder), newFiles);
        }
    }
}

TEST(Completion, DefaultFolderAndCompletionMessage) {
    EXPECT_EQ(job::kCompletionTitle, "SCR作成");
#ifdef _WIN32
    EXPECT_EQ(transaction::platform::defaultOutputFolder(), fs::path("C:\\"));
    EXPECT_EQ(job::completionMessage("C:\\"), "Cdrに ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。");
    // Read in UTF-16, so a name outside the ANSI code page arrives whole.
    const fs::path drive(L"D:\\測量\\出力先\U00020BB7");
    ASSERT_EQ(::_wputenv_s(L"KARUMENIO_DRIVE_C", drive.c_str()), 0);
    EXPECT_EQ(transaction::platform::defaultOutputFolder(), drive);
    ::_wputenv_s(L"KARUMENIO_DRIVE_C", L"");
    EXPECT_EQ(transaction::platform::defaultOutputFolder(), fs::path("C:\\"));
#else
    const char* oldDrive = std::getenv("KARUMENIO_DRIVE_C");
    const std::string saved = oldDrive ? oldDrive : "";
    ::setenv("KARUMENIO_DRIVE_C", "/srv/drive-c", 1);
    EXPECT_EQ(transaction::platform::defaultOutputFolder(), fs::path("/srv/drive-c"));
    ::setenv("KARUMENIO_DRIVE_C", "", 1);
    EXPECT_EQ(transaction::platform::defaultOutputFolder(), fs::path(std::getenv("HOME")));
    ::unsetenv("KARUMENIO_DRIVE_C");
    EXPECT_EQ(transaction::platform::defaultOutputFolder(), fs::path(std::getenv("HOME")));
    if (oldDrive != nullptr) {
        ::setenv("KARUMENIO_DRIVE_C", saved.c_str(), 1);
    }
    EXPECT_EQ(job::completionMessage("/home/sokuryo/図面"),
              "Cdrに ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。\n/home/sokuryo/図面");
#endif
}

TEST(Completion, PathsFromUtf8KeepEveryCharacter) {
    // Kanji, half-width katakana, a letter outside code page 932 and a character that takes
    // two UTF-16 units.
    const std::string text = "測量/ｻﾞﾋｮｳ/ß/\U00020BB7.tsv";
    const fs::path path = transaction::platform::pathFromUtf8(text);
    EXPECT_EQ(path, fs::path(u8"測量/ｻﾞﾋｮｳ/ß/\U00020BB7.tsv"));
    EXPECT_EQ(transaction::platform::displayPath(path), text);
    EXPECT_EQ(transaction::platform::displayPath(path.filename()), "\U00020BB7.tsv");
}

} // namespace

#include "testsupport.h"

#include "scripts/writerun.h"

#include "scripts/atomicfileset.h"
#include "scripts/foldersession.h"
#include "scripts/platform.h"

#include "points/runtimeerror.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <random>

using namespace karumenio;
using namespace karumenio::scripts::test;
namespace fs = std::filesystem;

namespace {

plan::Settings lt2000() {
    plan::Settings settings;
    settings.versionCode = "2000";
    return settings;
}

// The worked example as the reader leaves it: table, bound sheet with its extent cells.
struct WorkedExample {
    points::PointTable table;
    points::Worksheet sheet;
    plan::WriteState state;

    WorkedExample() {
        fillTable(table, workedExampleRows());
        setExtent(sheet, num(110), num(-50), num(150), num(-60));
    }

    scripts::ScriptSet generate(const plan::Settings& settings = lt2000()) {
        return scripts::generateScripts(settings, table, &sheet, state);
    }
};

// Every file of a folder with its bytes: what "nothing changed" is checked against.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] = readFile(entry.path());
    }
    return files;
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

    void expectThrows(int number, const std::string& inMessage, const auto& run) {
        try {
            run();
            ADD_FAILURE() << "no error";
        } catch (const points::RunTimeError& e) {
            EXPECT_EQ(e.number(), number) << e.what();
            EXPECT_NE(std::string(e.what()).find(inMessage), std::string::npos) << e.what();
        }
    }

    fs::path m_folder;
};

TEST(WriteRun, WorkedExampleGivesTheFourGoldenScripts) {
    WorkedExample example;
    const auto set = example.generate();
    for (std::size_t i = 0; i < scripts::kScriptFileNames.size(); ++i) {
        expectGolden(set.bytes(i), "worked12/" + std::string(scripts::kScriptFileNames[i]));
    }
    EXPECT_TRUE(set.warnings.empty());
    EXPECT_EQ(example.table.pointIndex.value(), 12);
}

TEST(WriteRun, RepeatedRunsGiveTheSameScripts) {
    // The label angle left in RotationAngle must not accumulate into the next run.
    WorkedExample example;
    plan::Settings settings = lt2000();
    settings.angleText = "30.3000";
    const auto first = example.generate(settings);
    const auto second = example.generate(settings);
    EXPECT_EQ(first.zahyou, second.zahyou);
    EXPECT_EQ(first.text, second.text);
    EXPECT_EQ(example.state.rotationAngle.numberValue(), 59.5);
}

TEST(WriteRun, VersionDecidesUnitsLineAndSaveLine) {
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
        WorkedExample example;
        plan::Settings settings;
        settings.versionCode = c.code;
        const auto got = lines(example.generate(settings).zahyou);
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        WorkedExample example;
        plan::Settings settings = lt2000();
        settings.angleText = c.angle;
        EXPECT_EQ(lines(example.generate(settings).zahyou)[3], c.line);
    }
}

TEST(WriteRun, JapaneseNamesAreCodePage932AndLostCharactersAreReported) {
    WorkedExample example;
    example.table.labelText.at(0) = txt("測点１");
    example.table.labelText.at(1) = txt("점2");
    example.table.labelText.at(3) = txt("ｶﾅ");
    example.table.labelText.at(4) = txt("A測B　点C①");
    const auto set = example.generate();
    const auto got = lines(set.text);
    EXPECT_EQ(got[7], "\x91\xaa\x93\x5f\x82\x50");
    EXPECT_EQ(got[11], "?2");
    EXPECT_EQ(got[19], "\xb6\xc5");
    EXPECT_EQ(got[23], "A\x91\xaa"
                       "B\x81\x40\x93\x5f"
                       "C\x87\x40");
    EXPECT_EQ(got[27], "T1");
    ASSERT_EQ(set.warnings.size(), 1u);
    EXPECT_NE(set.warnings[0].find("B7"), std::string::npos) << set.warnings[0];
    EXPECT_NE(set.warnings[0].find("점"), std::string::npos) << set.warnings[0];
}

TEST(WriteRun, ALineBreakInANameCannotShiftTheScript) {
    WorkedExample example;
    example.table.labelText.at(0) = txt("K\r\n1");
    example.table.labelText.at(2) = txt("K\n3\r");
    const auto set = example.generate();
    const auto got = lines(set.text);
    ASSERT_EQ(got.size(), 56u);
    EXPECT_EQ(got[7], "K 1");
    EXPECT_EQ(got[15], "K 3 ");
    EXPECT_EQ(got[16], "TEXT J BL");
    ASSERT_EQ(set.warnings.size(), 2u);
    EXPECT_NE(set.warnings[0].find("B6"), std::string::npos) << set.warnings[0];
    EXPECT_NE(set.warnings[1].find("B8"), std::string::npos) << set.warnings[1];
}

TEST(WriteRun, ControlCharactersInANameBecomeBlanksWithAWarning) {
    WorkedExample example;
    example.table.labelText.at(0) = CellValue::text(std::string("K\0"
                                                                "1\t2\x1b",
                                                                6));
    const auto set = example.generate();
    const auto got = lines(set.text);
    ASSERT_EQ(got.size(), 56u);
    EXPECT_EQ(got[7], "K 1 2 ");
    ASSERT_EQ(set.warnings.size(), 1u);
    EXPECT_NE(set.warnings[0].find("B6"), std::string::npos) << set.warnings[0];
    EXPECT_NE(set.warnings[0].find("制御文字"), std::string::npos) << set.warnings[0];
}

TEST(WriteRun, ANameLongerThan256CharactersIsCutThereWithAWarning) {
    WorkedExample example;
    std::string huge;
    for (int i = 0; i < 1 << 16; ++i) {
        huge += "測";
    }
    example.table.labelText.at(1) = CellValue::text(huge);
    example.table.labelText.at(2) = CellValue::text(std::string(256, 'N'));
    const auto set = example.generate();
    const auto got = lines(set.text);
    ASSERT_EQ(got.size(), 56u);
    std::string cut;
    for (int i = 0; i < 256; ++i) {
        cut += "\x91\xaa";
    }
    EXPECT_EQ(got[11], cut);
    EXPECT_EQ(got[15], std::string(256, 'N')) << "256 characters are kept whole";
    ASSERT_EQ(set.warnings.size(), 1u);
    EXPECT_NE(set.warnings[0].find("B7"), std::string::npos) << set.warnings[0];
    EXPECT_LT(set.warnings[0].size(), 400u);
}

TEST(WriteRun, AFullTableOf3001Points) {
    points::PointTable table;
    std::vector<PointRow> rows;
    for (int i = 0; i < points::kSlotCount; ++i) {
        rows.push_back({{}, txt("P"), num(i * 0.5), num(-i * 0.25), num(i % 2)});
    }
    fillTable(table, rows);
    points::Worksheet sheet;
    setExtent(sheet, num(1500), num(0), num(0), num(-750));
    plan::WriteState state;
    const auto set = scripts::generateScripts(lt2000(), table, &sheet, state);
    EXPECT_EQ(lines(set.line).size(), 3001u + 10u);
    EXPECT_EQ(lines(set.plot).size(), 1500u * 3u + 8u);
    EXPECT_EQ(lines(set.text).size(), 4u * 3001u + 8u);
    EXPECT_EQ(lines(set.line)[5 + 3000], "1500,-750");
    EXPECT_EQ(table.pointIndex.value(), 3001);
}

TEST(WriteRun, ChecksBeforeAnythingIsComputed) {
    struct Case {
        const char* name;
        const char* version;
        bool bound;
        CellValue count;
        int number;
        const char* message;
    };
    const Case cases[] = {
        {"no edition", "", true, num(12), 13, "バージョンを選んで下さい"},
        {"edition not a number", "LT", true, num(12), 13, "「LT」"},
        {"never read", "2000", false, num(12), 91, "「座 標 読 込」"},
        {"no edition and never read", "", false, {}, 13, "バージョンを選んで下さい"},
        {"no points", "2000", true, num(0), 9, "0 点"},
        {"count empty", "2000", true, {}, 9, "0 点"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkedExample example;
        example.table.pointCount = c.count;
        plan::Settings settings;
        settings.versionCode = c.version;
        try {
            scripts::generateScripts(settings, example.table, c.bound ? &example.sheet : nullptr,
                                     example.state);
            ADD_FAILURE() << "no error";
        } catch (const points::RunTimeError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_TRUE(example.state.rotationAngle.isEmpty());
    }
}

TEST_F(WriteRunFolder, WritesTheFourFilesReplacingLongerOldOnes) {
    writeOldScripts({"ZAHYOU.SCR", "PLOT.SCR"});
    const auto set = WorkedExample().generate();
    WorkedExample example;
    const auto report =
        scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder);
    EXPECT_EQ(report.files, (std::vector<fs::path>{m_folder / "ZAHYOU.SCR", m_folder / "LINE.SCR",
                                                   m_folder / "PLOT.SCR", m_folder / "TEXT.SCR"}));
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_EQ(snapshot(m_folder), (std::map<std::string, std::string>{
                                      {"ZAHYOU.SCR", set.zahyou},
                                      {"LINE.SCR", set.line},
                                      {"PLOT.SCR", set.plot},
                                      {"TEXT.SCR", set.text},
                                  }));
    EXPECT_EQ(example.state.scaleFactor, 0.1);
}

TEST_F(WriteRunFolder, AFailedCheckOrBadCellChangesNoFile) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    {
        WorkedExample example;
        plan::Settings settings;
        expectThrows(13, "バージョン", [&] {
            scripts::writeRun(settings, example.table, &example.sheet, example.state, m_folder);
        });
    }
    {
        WorkedExample example;
        example.table.pointY.at(6) = txt("12,5");
        expectThrows(13, "D12", [&] {
            scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder);
        });
    }
    {
        WorkedExample example;
        example.table.markRadius.at(11) = txt("r");
        expectThrows(13, "G17", [&] {
            scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder);
        });
    }
    {
        // A huge field is quoted shortened.
        WorkedExample example;
        example.table.pointX.at(2) = CellValue::text(std::string(1 << 20, 'x'));
        try {
            scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder);
            ADD_FAILURE() << "no error";
        } catch (const points::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
            EXPECT_NE(std::string(e.what()).find("C8"), std::string::npos);
            EXPECT_LT(std::string(e.what()).size(), 300u);
        }
    }
    EXPECT_EQ(snapshot(m_folder), before);
}

TEST_F(WriteRunFolder, ANumberThatIsNotFiniteIsAnOverflowAndNothingChanges) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        int slot;
        CellValue x;
        CellValue radius;
        std::array<CellValue, 4> extent;
        const char* inMessage;
    };
    const Case cases[] = {
        {"infinite coordinate",
         3,
         num(inf),
         num(0),
         {num(110), num(-50), num(150), num(-60)},
         "C9"},
        {"NaN radius",
         5,
         num(60),
         num(std::nan("")),
         {num(110), num(-50), num(150), num(-60)},
         "G11"},
        {"extent too wide for the half-diagonal",
         0,
         num(0),
         num(0),
         {num(1e200), num(-1e200), num(1e200), num(-1e200)},
         "E6:F7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkedExample example;
        example.table.pointX.at(c.slot) = c.x;
        example.table.markRadius.at(c.slot) = c.radius;
        setExtent(example.sheet, c.extent[0], c.extent[1], c.extent[2], c.extent[3]);
        expectThrows(6, c.inMessage, [&] {
            scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder);
        });
        EXPECT_EQ(snapshot(m_folder), before);
    }
}

TEST_F(WriteRunFolder, AReadOnlyTargetIsAnAccessErrorAndNothingChanges) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    fs::permissions(m_folder / "PLOT.SCR", fs::perms::owner_read | fs::perms::group_read);
    const auto before = snapshot(m_folder);
    WorkedExample example;
    const plan::WriteState stateBefore = example.state;
    expectThrows(75, "PLOT.SCR", [&] {
        scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder);
    });
    EXPECT_EQ(snapshot(m_folder), before);
    EXPECT_EQ(example.state.scaleFactor, stateBefore.scaleFactor);
    EXPECT_TRUE(example.state.rotationAngle.isEmpty());
}

TEST_F(WriteRunFolder, AFolderThatCannotBeWrittenIsAnAccessErrorAndNothingChanges) {
    writeOldScripts({"ZAHYOU.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    WorkedExample example;
#ifndef _WIN32
    // Windows has no read-only folders to make; there only the failing temporary file tells.
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec);
    expectThrows(75, "ZAHYOU.SCR", [&] {
        scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder);
    });
    fs::permissions(m_folder, fs::perms::owner_all);
    EXPECT_EQ(snapshot(m_folder), before);
#endif
    expectThrows(75, "ZAHYOU.SCR", [&] {
        scripts::writeRun(lt2000(), example.table, &example.sheet, example.state,
                          m_folder / "missing");
    });
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
        auto operations = scripts::FileOperations::system();
        int renames = 0;
        const auto realRename = operations.rename;
        operations.rename = [&](const fs::path& from, const fs::path& to, std::error_code& error) {
            if (renames++ == failing) {
                error = std::make_error_code(std::errc::permission_denied);
                return;
            }
            realRename(from, to, error);
        };
        WorkedExample example;
        expectThrows(75, std::string(scripts::kScriptFileNames[static_cast<std::size_t>(failing)]),
                     [&] {
                         scripts::writeRun(lt2000(), example.table, &example.sheet, example.state,
                                           m_folder, operations);
                     });
        EXPECT_EQ(snapshot(m_folder), before);
        EXPECT_EQ(example.state.scaleFactor, 0.0);
    }
}

TEST_F(WriteRunFolder, AFailedTemporaryFileChangesNothing) {
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    auto operations = scripts::FileOperations::system();
    int created = 0;
    const auto realCreate = operations.createFile;
    operations.createFile = [&](const fs::path& path, std::string_view bytes) {
        // The third file finds the disk full half-way.
        if (created++ == 2) {
            realCreate(path, bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return realCreate(path, bytes);
    };
    WorkedExample example;
    expectThrows(75, "PLOT.SCR", [&] {
        scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder,
                          operations);
    });
    EXPECT_EQ(snapshot(m_folder), before);
}

TEST_F(WriteRunFolder, PlantedLinksNeverLeadTheRunOutOfTheFolder) {
    // An attacker who sees the first temporary file plants links where the others would go
    // if their names could be derived from it, or wins the race for the very name asked for.
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
        auto operations = scripts::FileOperations::system();
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
        WorkedExample example;
        try {
            scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder,
                              operations);
            EXPECT_FALSE(exactName) << "wrote through a link";
        } catch (const points::RunTimeError& e) {
            EXPECT_TRUE(exactName) << e.what();
            EXPECT_EQ(e.number(), 75);
        }
        EXPECT_EQ(readFile(victim), "victim");
        EXPECT_EQ(fs::is_symlink(m_folder / "LINE.SCR"), exactName);
        if (!exactName) {
            for (const auto name : scripts::kScriptFileNames) {
                EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(m_folder / name))) << name;
            }
        }
    }
}

TEST_F(WriteRunFolder, ASecondWriterWaitsThenFailsAndNothingIsLeftBehind) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "flock holds nothing in emscripten's file system; a page writes alone";
#endif
    writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"});
    const auto before = snapshot(m_folder);
    auto operations = scripts::FileOperations::system();
    operations.lockWait = std::chrono::milliseconds(100);
    scripts::platform::LockHandle held = scripts::platform::kNoLock;
    ASSERT_EQ(scripts::platform::tryLockFolder(m_folder, held),
              scripts::platform::LockAttempt::Locked);
    WorkedExample example;
    expectThrows(75, "別の出力が書き込み中", [&] {
        scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder,
                          operations);
    });
    // On Windows the held lock is a file in the folder until it is released.
    scripts::platform::unlockFolder(held);
    EXPECT_EQ(snapshot(m_folder), before);

    const auto set = WorkedExample().generate();
    scripts::writeRun(lt2000(), example.table, &example.sheet, example.state, m_folder, operations);
    EXPECT_EQ(snapshot(m_folder), (std::map<std::string, std::string>{
                                      {"ZAHYOU.SCR", set.zahyou},
                                      {"LINE.SCR", set.line},
                                      {"PLOT.SCR", set.plot},
                                      {"TEXT.SCR", set.text},
                                  }));
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
        {"killed writing the third temporary file", 2, -1, false, false},
        {"killed before the first rename", -1, 0, true, true},
        {"killed between renames", -1, 2, false, true},
        {"killed before the last rename, next run has no edition", -1, 3, true, true},
    };
    const auto newSet = WorkedExample().generate();
    const std::map<std::string, std::string> newFiles = {{"ZAHYOU.SCR", newSet.zahyou},
                                                         {"LINE.SCR", newSet.line},
                                                         {"PLOT.SCR", newSet.plot},
                                                         {"TEXT.SCR", newSet.text}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            fs::remove(entry.path());
        }
        writeOldScripts({"ZAHYOU.SCR", "LINE.SCR", "TEXT.SCR"});
        const auto before = snapshot(m_folder);
        auto operations = scripts::FileOperations::system();
        int creates = 0;
        int renames = 0;
        const auto realCreate = operations.createFile;
        const auto realRename = operations.rename;
        operations.createFile = [&](const fs::path& path, std::string_view bytes) {
            if (creates++ == c.createsBeforeKill) {
                realCreate(path, bytes.substr(0, 10));
                throw Killed{};
            }
            return realCreate(path, bytes);
        };
        operations.rename = [&](const fs::path& from, const fs::path& to, std::error_code& error) {
            if (renames++ == c.renamesBeforeKill) {
                throw Killed{};
            }
            realRename(from, to, error);
        };
        WorkedExample example;
        EXPECT_THROW(scripts::writeRun(lt2000(), example.table, &example.sheet, example.state,
                                       m_folder, operations),
                     Killed);
        ASSERT_TRUE(fs::exists(m_folder / scripts::AtomicFileSet::kJournalName));

        const std::string said = c.finished ? "完了しました" : "取り消し";
        WorkedExample next;
        if (c.nextRunFails) {
            expectThrows(13, said, [&] {
                scripts::writeRun({}, next.table, &next.sheet, next.state, m_folder);
            });
            EXPECT_EQ(snapshot(m_folder), c.finished ? newFiles : before);
        } else {
            const auto report =
                scripts::writeRun(lt2000(), next.table, &next.sheet, next.state, m_folder);
            ASSERT_FALSE(report.warnings.empty());
            EXPECT_NE(report.warnings[0].find(said), std::string::npos) << report.warnings[0];
            EXPECT_EQ(snapshot(m_folder), newFiles);
        }
    }
}

TEST(ScriptFolder, DefaultFolderAndCompletionMessage) {
    EXPECT_EQ(scripts::kCompletionTitle, "SCR作成");
#ifdef _WIN32
    EXPECT_EQ(scripts::defaultScriptFolder(), fs::path("C:\\"));
    EXPECT_EQ(scripts::completionMessage("C:\\"),
              "Cdrに ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。");
    // Read in UTF-16, so a name outside the ANSI code page arrives whole.
    const fs::path drive(L"D:\\測量\\出力先\U00020BB7");
    ASSERT_EQ(::_wputenv_s(L"KARUMENIO_DRIVE_C", drive.c_str()), 0);
    EXPECT_EQ(scripts::defaultScriptFolder(), drive);
    ::_wputenv_s(L"KARUMENIO_DRIVE_C", L"");
    EXPECT_EQ(scripts::defaultScriptFolder(), fs::path("C:\\"));
#else
    const char* oldDrive = std::getenv("KARUMENIO_DRIVE_C");
    const std::string saved = oldDrive ? oldDrive : "";
    ::setenv("KARUMENIO_DRIVE_C", "/srv/drive-c", 1);
    EXPECT_EQ(scripts::defaultScriptFolder(), fs::path("/srv/drive-c"));
    ::setenv("KARUMENIO_DRIVE_C", "", 1);
    EXPECT_EQ(scripts::defaultScriptFolder(), fs::path(std::getenv("HOME")));
    ::unsetenv("KARUMENIO_DRIVE_C");
    EXPECT_EQ(scripts::defaultScriptFolder(), fs::path(std::getenv("HOME")));
    if (oldDrive != nullptr) {
        ::setenv("KARUMENIO_DRIVE_C", saved.c_str(), 1);
    }
    EXPECT_EQ(scripts::completionMessage("/home/sokuryo/図面"),
              "Cdrに ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。\n/home/sokuryo/図面");
#endif
}

TEST(ScriptFolder, PathsFromUtf8KeepEveryCharacter) {
    // Kanji, half-width katakana, a letter outside code page 932 and a character that takes
    // two UTF-16 units.
    const std::string text = "測量/ｻﾞﾋｮｳ/ß/\U00020BB7.tsv";
    const fs::path path = scripts::platform::pathFromUtf8(text);
    EXPECT_EQ(path, fs::path(u8"測量/ｻﾞﾋｮｳ/ß/\U00020BB7.tsv"));
    EXPECT_EQ(scripts::platform::displayPath(path), text);
    EXPECT_EQ(scripts::platform::displayPath(path.filename()), "\U00020BB7.tsv");
}

} // namespace

// The session that runs the job's flow for both front ends: its questions, its read, write and
// export messages, which exports refuse when, and its edits with their undo steps.
#include "jobsupport.h"

#include "geodesy/planesystem.h"
#include "job/session.h"
#include "points/pointtable.h"
#include "spreadsheet/worksheet.h"
#include "transaction/foldersession.h"
#include "transaction/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace karumenio::job {
namespace {

using test::readFile;
using test::settingsOf;
namespace fs = std::filesystem;

const std::string kWorked = "K\tK1\t0\t0\r\n\tK2\t100\t0\r\n\tK3\t100\t100\r\n\tK4\t0\t100\r\n"
                            "\tK1\t0\t0\r\nK\tT1\t60\t-60\t1\r\n\tT2\t0\t120\t2\r\n";

// The settings as the page's controls give them: edition 2000, A3, 1:500, the angle given.
Settings pageSettings(std::string_view angle = "-33.2547", int system = 0, bool surveyMap = false) {
    Settings settings = settingsOf("2000", angle, "A3", "500");
    settings.planeSystem = geodesy::planeSystem(system);
    settings.surveyMap = surveyMap;
    return settings;
}

std::string rows(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "\tP" + std::to_string(i) + "\t" + std::to_string(i) + "\t1\r\n";
    }
    return text;
}

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(m_folder); }
    void TearDown() override { fs::remove_all(m_folder); }

    // The rows pasted at A6 and read with the settings.
    void load(Session& session, const std::string& text, Settings settings = pageSettings()) {
        session.setSettings(std::move(settings));
        ASSERT_TRUE(session.edits().paste(6, 1, text, false).ok);
        ASSERT_TRUE(session.read().ok);
    }

    std::vector<std::string> filesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path m_folder = scripts::test::testFolder("karumenio-session-");
};

// With the survey map and system IX: the five scripts and each file of the format table, made
// in memory for the browser and written to disk for the desktop, against one run of the job
// into a folder.
TEST_F(SessionTest, TheWriteAndEveryExportGiveTheBytesOfAWriteRunIntoAFolder) {
    Session session;
    load(session, kWorked, pageSettings("-33.2547", 9, true));
    const Outcome written = session.writeToMemory("図面");
    ASSERT_TRUE(written.ok) << written.message.text;
    EXPECT_TRUE(contains(written.message.text, "図面"));
    std::vector<OutputFile> files = written.files;
    fs::create_directories(m_folder / "disk");
    for (const OutputFormat& format : outputFormats()) {
        const Outcome exported = session.exportToMemory(format.token);
        ASSERT_TRUE(exported.ok) << exported.message.text;
        ASSERT_EQ(exported.files.size(), 1U);
        EXPECT_EQ(exported.files.front().name, format.defaultName);
        files.push_back(exported.files.front());
        const fs::path onDisk =
            m_folder / "disk" / transaction::platform::pathFromUtf8(format.defaultName);
        ASSERT_TRUE(session.exportFile(format.token, onDisk).ok);
        EXPECT_EQ(readFile(onDisk), exported.files.front().bytes) << format.token;
    }

    Job job;
    test::load(job, kWorked, session.settings());
    WriteTargets targets = WriteTargets::scriptsInto(m_folder / "run");
    fs::create_directories(targets.folder);
    for (const OutputFormat& format : outputFormats()) {
        targets.files.push_back(
            {&format, targets.folder / transaction::platform::pathFromUtf8(format.defaultName)});
    }
    const transaction::WriteReport report = job.write(targets);
    ASSERT_EQ(report.files.size(), files.size());
    EXPECT_EQ(files[4].name, "KYUSEKI.SCR");
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].name, transaction::platform::displayPath(report.files[i].filename()));
        EXPECT_EQ(files[i].bytes, readFile(report.files[i])) << files[i].name;
    }
}

TEST_F(SessionTest, TheStaleSheetQuestionComesWithAnEditAfterTheReadAndGoesWithTheNext) {
    struct Case {
        ReadUse use;
        const char* title;
        const char* readAgain;
    };
    for (const Case& c : {Case{ReadUse::Write, "SCR作成", "読み込み直して出力"},
                          Case{ReadUse::Export, "図面プレビュー", "読み込み直して出力"},
                          Case{ReadUse::Suggestion, "図面プレビュー", "読み込み直して確かめる"}}) {
        SCOPED_TRACE(c.title);
        Session session;
        EXPECT_FALSE(session.questionBeforeUse(c.use));
        ASSERT_TRUE(session.edits().paste(6, 1, kWorked, false).ok);
        // An edit before any read asks nothing: there is no read to mix with.
        EXPECT_FALSE(session.questionBeforeUse(c.use));
        ASSERT_TRUE(session.read().ok);
        EXPECT_FALSE(session.questionBeforeUse(c.use));

        session.edits().enter(7, 3, "101");
        const std::optional<Question> question = session.questionBeforeUse(c.use);
        ASSERT_TRUE(question);
        EXPECT_EQ(question->title, c.title);
        EXPECT_EQ(question->text, "ワークシートは最後の「座 標 読 込」の後に変更されています。");
        ASSERT_EQ(question->answers.size(), 3U);
        EXPECT_EQ(question->answers[0], c.readAgain);
        EXPECT_EQ(staleAnswer(0), StaleAnswer::ReadAgain);
        EXPECT_EQ(staleAnswer(1), StaleAnswer::UseRead);
        EXPECT_EQ(staleAnswer(-1), StaleAnswer::Cancel);

        ASSERT_TRUE(session.read().ok);
        EXPECT_TRUE(session.readIsCurrent());
        // Undo is an edit too; and so is an edit the desktop's worksheet made past the session.
        session.edits().undo();
        EXPECT_TRUE(session.questionBeforeUse(c.use));
        session.read();
        session.noteSheetChanged();
        EXPECT_TRUE(session.questionBeforeUse(c.use));
    }
}

// Whatever the state of the job, every export refuses exactly where the write run refuses, with
// its message and cell, and writes nothing.
TEST_F(SessionTest, EveryExportRefusesWhereTheWriteRunRefusesWithItsMessage) {
    struct Case {
        const char* name;
        std::string rows;
        bool read;
        int row;
        const char* typed;   // typed into column C of that row after the paste
        const char* refusal; // a part of the message; "" for none
        const char* cell;
    };
    const std::vector<Case> cases{
        {"never read", kWorked, false, 0, "", "実行時エラー 91", ""},
        {"no points", "", true, 0, "", "実行時エラー 9", ""},
        {"a coordinate that is text", kWorked, true, 8, "abc", "実行時エラー 13", "C8"},
        // The error value reaches the hidden extent cell E6; the surveyor typed into C8.
        {"a formula error", kWorked, true, 8, "=1/0", "実行時エラー 13", "C8"},
        {"a good sheet", kWorked, true, 0, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session session;
        session.setSettings(pageSettings("0.0000", 9));
        session.edits().paste(6, 1, c.rows, false);
        if (c.row > 0) {
            session.edits().enter(c.row, 3, c.typed);
        }
        if (c.read) {
            ASSERT_TRUE(session.read().ok);
        }
        const Outcome write = session.write(m_folder);
        EXPECT_EQ(write.ok, *c.refusal == '\0') << write.message.text;
        const std::optional<Message> refusal = session.exportRefusal();
        ASSERT_EQ(refusal.has_value(), !write.ok);
        if (write.ok) {
            continue;
        }
        EXPECT_TRUE(contains(write.message.text, c.refusal)) << write.message.text;
        EXPECT_EQ(write.message.cell, c.cell);
        EXPECT_EQ(refusal->text, write.message.text);
        EXPECT_EQ(refusal->cell, c.cell);
        for (const OutputFormat& format : outputFormats()) {
            const Outcome onDisk = session.exportFile(format.token, m_folder / format.defaultName);
            const Outcome inMemory = session.exportToMemory(format.token);
            for (const Outcome* outcome : {&onDisk, &inMemory}) {
                EXPECT_FALSE(outcome->ok) << format.token;
                EXPECT_EQ(outcome->message.text, write.message.text) << format.token;
                EXPECT_TRUE(outcome->files.empty());
            }
        }
        EXPECT_FALSE(session.writeFile(m_folder / "plan.pdf", "%PDF").ok);
        EXPECT_TRUE(filesInFolder().empty());
    }
}

// A mistyped angle is used as the angle box reads it, so the scripts stay as they were, and
// every message says which angle that was.
TEST_F(SessionTest, AMistypedAngleIsWrittenAsTheBoxReadsItAndWarnedOf) {
    struct Case {
        const char* typed;
        const char* readAs;  // the plain angle that gives the same scripts
        const char* degrees; // in the warning; "" for none
    };
    for (const Case& c :
         {Case{"abc", "0.0000", " 0 度"}, Case{"", "0.0000", " 0 度"},
          Case{"30,0000", "30.0000", " 30 度"}, Case{"359.5960", "360.0000", " 360 度"},
          Case{"30.1500", "30.1500", ""}}) {
        SCOPED_TRACE(std::string("「") + c.typed + "」");
        Session session;
        load(session, kWorked, pageSettings(c.typed));
        const Outcome read = session.read();
        const Preview preview = session.preview();
        const Outcome write = session.writeToMemory("");
        Session plain;
        load(plain, kWorked, pageSettings(c.readAs));
        const Outcome plainWrite = plain.writeToMemory("");
        ASSERT_TRUE(write.ok && plainWrite.ok);
        for (std::size_t i = 0; i < write.files.size(); ++i) {
            EXPECT_EQ(write.files[i].bytes, plainWrite.files[i].bytes) << write.files[i].name;
        }
        const bool warned = *c.degrees != '\0';
        for (const Message* message : {&read.message, &write.message}) {
            EXPECT_EQ(contains(message->text, "角度(UCS) の「"), warned) << message->text;
            EXPECT_EQ(message->warning, warned);
            EXPECT_TRUE(!warned || contains(message->text, c.degrees)) << message->text;
        }
        const bool listed =
            std::any_of(preview.warnings.begin(), preview.warnings.end(),
                        [](const Message& w) { return contains(w.text, "ddd.mmss"); });
        EXPECT_EQ(listed, warned);
    }
}

TEST_F(SessionTest, AReplacementClearsEveryRowOfTheEarlierJobInOneStep) {
    Session session;
    SheetEdits& edits = session.edits();
    // Past the template's rows, and past what one read takes.
    ASSERT_TRUE(edits.paste(6, 1, rows(3002), false).ok);
    EXPECT_TRUE(edits.asksBeforePasting(6, 1));
    EXPECT_FALSE(edits.asksBeforePasting(7, 1));
    const EditOutcome replaced = edits.paste(6, 1, rows(3001), true);
    ASSERT_TRUE(replaced.ok);
    EXPECT_EQ(replaced.bottom, 3006);
    EXPECT_EQ(session.sheet().inputText(3007, 2), "");
    const Outcome read = session.read();
    EXPECT_TRUE(read.ok) << read.message.text;
    EXPECT_EQ(session.job().table().count(), 3001);

    ASSERT_TRUE(edits.undo());
    EXPECT_EQ(session.sheet().inputText(3007, 2), "P3001");

    // Rows that would run past the sheet's last row: refused before anything is asked, and a
    // paste that tries anyway keeps the old job.
    const std::string tooLong = rows(spreadsheet::Worksheet::kRowCount);
    const std::optional<Message> refusal = edits.pasteRefusal(6, 1, tooLong);
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(contains(refusal->text, std::to_string(spreadsheet::Worksheet::kRowCount)));
    EXPECT_FALSE(edits.pasteRefusal(6, 1, rows(3001)));
    EXPECT_FALSE(edits.paste(6, 1, tooLong, true).ok);
    EXPECT_EQ(session.sheet().inputText(3007, 2), "P3001");
}

// The marks and classes in H and I are part of the job: a replacement takes them with it, a
// table of marks adds to the job without the question (and is not tried on a sheet of its own,
// which has no points for it), and the map's preview says what the registry asks for.
TEST_F(SessionTest, MarksGoWithTheirJobATableOfMarksAddsToItAndThePreviewSaysWhatTheMapLacks) {
    Session session;
    SheetEdits& edits = session.edits();
    ASSERT_TRUE(edits.paste(6, 1, "K\tK1\t0\t0\t\t石杭\t\n\tK2\t9\t0\t\t\t引照点\n", false).ok);
    EXPECT_TRUE(edits.asksBeforePasting(6, 1));
    // A replacement takes the old job's marks and classes with it.
    ASSERT_TRUE(edits.paste(6, 1, "\tP1\t5\t6\r\n\tP2\t7\t8\r\n", true).ok);
    EXPECT_EQ(session.sheet().inputText(6, points::kBoundaryMarkColumn), "");
    EXPECT_EQ(session.sheet().inputText(7, points::kPointClassColumn), "");

    const std::string marks = "点名,境界標\nP2,木杭\n";
    EXPECT_TRUE(Session::addsToTheJob(marks, "marks.csv"));
    EXPECT_FALSE(Session::addsToTheJob(kWorked, "points.csv"));
    EXPECT_FALSE(Session::pointsFileRefusal(marks, "marks.csv", "marks.csv"));
    ASSERT_TRUE(edits.openFile(marks, "marks.csv", false).ok);
    EXPECT_EQ(session.sheet().inputText(6, 2), "P1");
    EXPECT_EQ(session.sheet().inputText(7, points::kBoundaryMarkColumn), "木杭");

    ASSERT_TRUE(session.read().ok);
    const auto says = [&](bool surveyMap, std::string_view what) {
        session.setSettings(pageSettings("-33.2547", 9, surveyMap));
        const std::vector<Message> warnings = session.preview().warnings;
        return std::any_of(warnings.begin(), warnings.end(),
                           [&](const Message& warning) { return contains(warning.text, what); });
    };
    EXPECT_TRUE(says(true, "申請人が入力されていません"));
    EXPECT_FALSE(says(false, "申請人"));
}

TEST_F(SessionTest, TheKeptSheetComesBackAsItWasLeft) {
    Session before;
    SheetEdits& edits = before.edits();
    ASSERT_TRUE(edits.paste(6, 1, kWorked, false).ok);
    // A name with a tab and a backslash, a formula, a typed radius, an overwritten title.
    ASSERT_TRUE(edits.enter(8, 2, "K\\3\t").ok);
    ASSERT_TRUE(edits.enter(9, 2, "=B7").ok);
    ASSERT_TRUE(edits.enter(9, 7, "2.5").ok);
    ASSERT_TRUE(edits.enter(1, 1, "現場A").ok);
    ASSERT_TRUE(edits.undo());
    const std::string kept = edits.keptCells();

    Session after;
    after.edits().restoreKeptCells(kept);
    for (int row = 1; row <= 3006; ++row) {
        for (int column = 1; column <= 7; ++column) {
            ASSERT_EQ(after.sheet().inputText(row, column), before.sheet().inputText(row, column))
                << row << ',' << column;
        }
    }
    EXPECT_EQ(after.sheet().value(7, 5), before.sheet().value(7, 5));
    // A new start: nothing to undo, nothing read.
    EXPECT_FALSE(after.edits().canUndo());
    EXPECT_FALSE(after.hasRead());
}

// Sessions are large; more than two in one test overflow Windows' 2 MB stack when unoptimised.
TEST_F(SessionTest, AnUntouchedSheetKeepsNothingAndALineThatNamesNoCellIsPassedOver) {
    EXPECT_EQ(Session().edits().keptCells(), "");
    Session odd;
    odd.edits().restoreKeptCells("garbage\n0\t1\tX\n6\t2\tP1\n");
    EXPECT_EQ(odd.sheet().inputText(6, 2), "P1");
}

// A parcel near Tokyo Station in system IX (its origin is 36°N, 139°50′E).
TEST_F(SessionTest, AChosenCoordinateSystemPutsThePlanOnTheMapOrSaysWhatLooksWrong) {
    const std::string tokyo = "K\tA\t-35000\t-6500\r\n\tB\t-34900\t-6500\r\n"
                              "\tC\t-34900\t-6400\r\n\tD\t-35000\t-6400\r\n";
    // Sendai in system X with the columns exchanged: in the Sea of Japan.
    const std::string swapped = "K\tA\t1800\t-192000\r\n\tB\t1900\t-192000\r\n";
    const int last = static_cast<int>(geodesy::planeSystems().size());
    struct Case {
        const std::string* rows;
        int system;
        bool mapped;
        const char* warning; // a part of the placement warning; "" for none
    };
    const std::string far = "\tA\t1e7\t1e7\r\n";
    const std::vector<Case> cases{
        {&tokyo, 0, false, ""},
        {&tokyo, 9, true, ""},
        {&swapped, 10, true, "X と Y が入れ替わっている"},
        // The last system is Minamitorishima's: Tokyo's numbers put the parcel at sea.
        {&tokyo, last, true, "座標系の指定か X・Y の取り方"},
        // Ten thousand kilometres off: no latitude at all.
        {&far, 9, false, "範囲外"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(*c.rows + " in system " + std::to_string(c.system));
        Session session;
        load(session, *c.rows, pageSettings("0.0000", c.system));
        const Preview preview = session.preview();
        ASSERT_TRUE(preview.plan.has_value()) << preview.problem;
        EXPECT_EQ(preview.mapAddress.empty(), !c.mapped);
        EXPECT_EQ(preview.mapUnavailable.empty(), c.mapped);
        const auto placement =
            std::find_if(preview.warnings.begin(), preview.warnings.end(),
                         [](const Message& w) { return contains(w.text, "重心"); });
        if (*c.warning == '\0') {
            EXPECT_EQ(placement, preview.warnings.end());
        } else {
            ASSERT_NE(placement, preview.warnings.end());
            EXPECT_TRUE(contains(placement->text, c.warning)) << placement->text;
        }
    }

    // The map's centre is the parcel's centroid, as PROJ puts it: 35.684958°N 139.762072°E.
    Session session;
    load(session, tokyo, pageSettings("0.0000", 9));
    const std::string address = session.preview().mapAddress;
    double latitude = 0.0;
    double longitude = 0.0;
    int zoom = 0;
    ASSERT_EQ(std::sscanf(address.c_str(), "https://maps.gsi.go.jp/#%d/%lf/%lf/", &zoom, &latitude,
                          &longitude),
              3)
        << address;
    EXPECT_NEAR(latitude, 35.6849579, 1e-6);
    EXPECT_NEAR(longitude, 139.7620720, 1e-6);
    // A square of 100 m needs a close view.
    EXPECT_GE(zoom, 16);
}

TEST_F(SessionTest, APointsFileThatCannotBeOpenedIsRefusedBeforeTheQuestion) {
    Session session;
    const std::string huge(kPointsFileLimit + 1, '1');
    EXPECT_TRUE(Session::pointsFileRefusal(huge.size(), "huge.csv"));
    const std::optional<Message> large = Session::pointsFileRefusal(huge, "huge.csv", "huge.csv");
    ASSERT_TRUE(large);
    EXPECT_TRUE(contains(large->text, "huge.csv"));
    const std::optional<Message> comma =
        Session::pointsFileRefusal("P,\"10,5\",\"20,5\"\n", "bad.csv", "bad.csv");
    ASSERT_TRUE(comma);
    EXPECT_TRUE(contains(comma->text, "1 行目")) << comma->text;
    EXPECT_FALSE(Session::pointsFileRefusal("P1,10,20\n", "good.csv", "good.csv"));
    EXPECT_FALSE(session.edits().openFile(huge, "huge.csv", false).ok);
    EXPECT_FALSE(session.edits().canUndo());
}

TEST_F(SessionTest, AnExportWaitsForTheFolderOfAWrite) {
    Session session;
    load(session, kWorked);
    transaction::FileOperations quick = transaction::FileOperations::system();
    quick.lockWait = std::chrono::milliseconds(100);
    const fs::path dxf = m_folder / "plan.dxf";
    const fs::path pdf = m_folder / "plan.pdf";
    {
        // A write run into the same folder holds it.
        const transaction::FolderSession writing(m_folder, outputFolderScope());
        for (const Outcome& outcome :
             {session.exportFile("dxf", dxf, quick), session.writeFile(pdf, "%PDF", quick)}) {
            EXPECT_FALSE(outcome.ok);
            EXPECT_TRUE(contains(outcome.message.text, "実行時エラー 75")) << outcome.message.text;
        }
    }
    // On Windows the held lock is a file in the folder until it is released.
    EXPECT_TRUE(filesInFolder().empty());
    // Once the write has ended, the export goes through.
    EXPECT_TRUE(session.exportFile("dxf", dxf, quick).ok);
    EXPECT_TRUE(contains(readFile(dxf), "K1"));
    EXPECT_TRUE(session.writeFile(pdf, "%PDF", quick).ok);
    EXPECT_EQ(readFile(pdf), "%PDF");
}

} // namespace
} // namespace karumenio::job

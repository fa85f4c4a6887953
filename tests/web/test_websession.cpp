// The session behind the browser page: its undo steps, its questions and its write run into
// memory, natively (the page's own tests drive the WebAssembly build in a browser).
#include "web/websession.h"

#include "geodesy/planesystem.h"
#include "job/outputformat.h"
#include "plan/drawingscale.h"
#include "plan/papersize.h"
#include "spreadsheet/worksheet.h"
#include "transaction/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace karumenio::web {
namespace {

const std::string kWorked = "K\tK1\t0\t0\r\n\tK2\t100\t0\r\n\tK3\t100\t100\r\n\tK4\t0\t100\r\n"
                            "\tK1\t0\t0\r\nK\tT1\t60\t-60\t1\r\n\tT2\t0\t120\t2\r\n";

// The settings as the page's controls give them: edition 2000, A3, 1:500, -33°25'47".
job::Settings pageSettings(int system = 0, bool surveyMap = false) {
    job::Settings settings;
    settings.edition = "2000";
    settings.paper = plan::findPaper("A3");
    settings.scale = plan::findScale("500");
    settings.angle = plan::RotationAngle("-33.2547");
    settings.planeSystem = geodesy::planeSystem(system);
    settings.surveyMap = surveyMap;
    return settings;
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Session : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        m_scratch = std::filesystem::temp_directory_path() /
                    ("karumenio-websession-" + std::to_string(random()));
        std::filesystem::create_directories(m_scratch);
    }
    void TearDown() override { std::filesystem::remove_all(m_scratch); }

    std::string text(const WebSession& session, int row, int column) {
        return session.sheet().inputText(row, column);
    }

    std::filesystem::path m_scratch;
};

// With the survey map and system IX: the five scripts of the write, and each file of the
// format table exported from the preview, against one run of the job into a folder.
TEST_F(Session, TheWriteAndEveryExportGiveTheBytesOfAWriteRunIntoAFolder) {
    WebSession session;
    ASSERT_TRUE(session.paste(6, 1, kWorked, false).ok);
    ASSERT_TRUE(session.read().ok);
    const job::Settings settings = pageSettings(9, true);
    const WriteOutcome written = session.write(settings, "図面");
    ASSERT_TRUE(written.ok) << written.message.text;
    EXPECT_NE(written.message.text.find("図面"), std::string::npos);
    std::vector<OutputFile> files = written.files;
    for (const job::OutputFormat& format : job::outputFormats()) {
        const std::string name = "図面" + std::string(format.extension);
        const WriteOutcome exported = session.exportFile(settings, format.token, name);
        ASSERT_TRUE(exported.ok) << exported.message.text;
        ASSERT_EQ(exported.files.size(), 1U);
        files.push_back(exported.files.front());
    }

    job::Job job;
    job.paste(kWorked);
    job.read();
    job.setSettings(settings);
    job::WriteTargets targets = job::WriteTargets::scriptsInto(m_scratch);
    for (const job::OutputFormat& format : job::outputFormats()) {
        targets.files.push_back({&format, m_scratch / transaction::platform::pathFromUtf8(
                                                          "図面" + std::string(format.extension))});
    }
    const transaction::WriteReport report = job.write(targets);
    ASSERT_EQ(report.files.size(), files.size());
    EXPECT_EQ(files[4].name, "KYUSEKI.SCR");
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].name, transaction::platform::displayPath(report.files[i].filename()));
        EXPECT_EQ(files[i].bytes, fileBytes(report.files[i])) << files[i].name;
    }

    // The run left the job as a run into a folder does: a second one writes the same bytes.
    const WriteOutcome second = session.write(pageSettings(), "図面");
    ASSERT_TRUE(second.ok);
    ASSERT_EQ(second.files.size(), 4U);
    for (std::size_t i = 0; i < second.files.size(); ++i) {
        EXPECT_EQ(second.files[i].bytes, files[i].bytes);
    }
}

TEST_F(Session, AReplacementIsOneStepAndAFailedOneKeepsTheEarlierJob) {
    WebSession session;
    ASSERT_TRUE(session.paste(6, 1, kWorked, false).ok);
    ASSERT_TRUE(session.paste(3010, 2, "beyond the template", false).ok);
    EXPECT_TRUE(session.asksBeforePasting(6, 1));
    EXPECT_FALSE(session.asksBeforePasting(7, 1));

    const EditOutcome replaced = session.paste(6, 1, "\tP1\t5\t6\r\n", true);
    ASSERT_TRUE(replaced.ok);
    EXPECT_EQ(replaced.bottom, 6);
    EXPECT_EQ(text(session, 7, 2), "");
    EXPECT_EQ(text(session, 3010, 2), "");
    ASSERT_TRUE(session.undo());
    EXPECT_EQ(text(session, 6, 2), "K1");
    EXPECT_EQ(text(session, 12, 2), "T2");

    // Rows that would run past the sheet's last row: refused, the old job untouched.
    std::string tooLong;
    for (int i = 0; i < spreadsheet::Worksheet::kRowCount; ++i) {
        tooLong += "\tP\t1\t2\n";
    }
    const EditOutcome refused = session.paste(6, 1, tooLong, true);
    EXPECT_FALSE(refused.ok);
    ASSERT_TRUE(refused.message.has_value());
    EXPECT_EQ(text(session, 12, 2), "T2");
    EXPECT_TRUE(session.redo());
    EXPECT_EQ(text(session, 6, 2), "P1");
}

TEST_F(Session, TheSheetCountsAsChangedFromAnyEditAfterARead) {
    WebSession session;
    EXPECT_FALSE(session.changedSinceRead());
    session.paste(6, 1, kWorked, false);
    EXPECT_FALSE(session.changedSinceRead());
    ASSERT_TRUE(session.read().ok);
    EXPECT_FALSE(session.changedSinceRead());
    session.enter(7, 3, "101");
    EXPECT_TRUE(session.changedSinceRead());
    session.read();
    session.undo();
    EXPECT_TRUE(session.changedSinceRead());
}

TEST_F(Session, WhatCannotBeWrittenSaysWhyAndNamesItsCell) {
    WebSession session;
    const WriteOutcome unread = session.write(pageSettings(), "図面");
    EXPECT_FALSE(unread.ok);
    EXPECT_TRUE(unread.message.warning);
    EXPECT_NE(unread.message.text.find("91"), std::string::npos);

    session.paste(6, 1, kWorked, false);
    session.enter(8, 4, "abc");
    const ReadOutcome read = session.read();
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.message.cell, "D8");
    const WriteOutcome refused = session.write(pageSettings(), "図面");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message.cell, "D8");
    EXPECT_TRUE(refused.files.empty());
    EXPECT_FALSE(session.plan(pageSettings()).problem.empty());

    // GeoJSON needs a coordinate system; the message says to choose one.
    session.enter(8, 4, "100");
    ASSERT_TRUE(session.read().ok);
    const WriteOutcome noSystem = session.exportFile(pageSettings(), "geojson", "図面.geojson");
    EXPECT_FALSE(noSystem.ok);
    EXPECT_TRUE(noSystem.files.empty());
    EXPECT_NE(noSystem.message.text.find("座標系"), std::string::npos);
}

// A parcel near Tokyo Station in system IX (its origin is 36°N, 139°50′E).
TEST_F(Session, AChosenCoordinateSystemPutsThePlanOnTheMapOrSaysWhatLooksWrong) {
    const std::string tokyo = "K\tA\t-35000\t-6500\r\n\tB\t-34900\t-6500\r\n"
                              "\tC\t-34900\t-6400\r\n\tD\t-35000\t-6400\r\n";
    // Sendai in system X with the columns exchanged: in the Sea of Japan.
    const std::string swapped = "K\tA\t1800\t-192000\r\n\tB\t1900\t-192000\r\n";
    struct Case {
        const char* rows;
        int system;
        bool mapped;
        const char* warning; // a part of the placement warning; "" for none
    };
    const std::vector<Case> cases{
        {tokyo.c_str(), 0, false, ""},
        {tokyo.c_str(), 9, true, ""},
        {swapped.c_str(), 10, true, "X と Y が入れ替わっている"},
        // System XIX is Minamitorishima's: Tokyo's numbers put the parcel at sea.
        {tokyo.c_str(), 19, true, "座標系の指定か X・Y の取り方"},
        // Ten thousand kilometres off: no latitude at all.
        {"\tA\t1e7\t1e7\r\n", 9, false, "範囲外"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rows) + " in system " + std::to_string(c.system));
        WebSession session;
        ASSERT_TRUE(session.paste(6, 1, c.rows, false).ok);
        ASSERT_TRUE(session.read().ok);
        const PlanOutcome outcome = session.plan(pageSettings(c.system));
        ASSERT_TRUE(outcome.plan.has_value()) << outcome.problem;
        EXPECT_EQ(outcome.mapAddress.empty(), !c.mapped);
        EXPECT_EQ(outcome.mapUnavailable.empty(), c.mapped);
        const auto placement =
            std::find_if(outcome.warnings.begin(), outcome.warnings.end(),
                         [](const std::string& w) { return w.find("重心") != std::string::npos; });
        if (*c.warning == '\0') {
            EXPECT_EQ(placement, outcome.warnings.end());
        } else {
            ASSERT_NE(placement, outcome.warnings.end());
            EXPECT_NE(placement->find(c.warning), std::string::npos) << *placement;
        }
    }

    // The map's centre is the parcel's centroid, as PROJ puts it: 35.684958°N 139.762072°E.
    WebSession session;
    session.paste(6, 1, tokyo, false);
    session.read();
    const std::string address = session.plan(pageSettings(9)).mapAddress;
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

TEST_F(Session, AFileBeyondTheLimitIsRefusedUnread) {
    WebSession session;
    const std::string huge(job::kPointsFileLimit + 1, '1');
    const EditOutcome outcome = session.openFile(huge, "huge.csv", false);
    EXPECT_FALSE(outcome.ok);
    ASSERT_TRUE(outcome.message.has_value());
    EXPECT_NE(outcome.message->text.find("huge.csv"), std::string::npos);
    EXPECT_FALSE(session.canUndo());
}

TEST_F(Session, TheKeptSheetComesBackAsItWasLeft) {
    WebSession before;
    ASSERT_TRUE(before.paste(6, 1, kWorked, false).ok);
    // A name with a tab and a backslash, a formula, a typed radius, an overwritten title.
    ASSERT_TRUE(before.enter(8, 2, "K\\3\t").ok);
    ASSERT_TRUE(before.enter(9, 2, "=B7").ok);
    ASSERT_TRUE(before.enter(9, 7, "2.5").ok);
    ASSERT_TRUE(before.enter(1, 1, "現場A").ok);
    ASSERT_TRUE(before.undo());
    const std::string kept = before.keptCells();

    WebSession after;
    after.restoreKeptCells(kept);
    for (int row = 1; row <= 3006; ++row) {
        for (int column = 1; column <= 7; ++column) {
            ASSERT_EQ(text(after, row, column), text(before, row, column)) << row << ',' << column;
        }
    }
    EXPECT_EQ(after.sheet().value(7, 5), before.sheet().value(7, 5));
    // A new start: nothing to undo, nothing read.
    EXPECT_FALSE(after.canUndo());
    EXPECT_FALSE(after.hasRead());
    EXPECT_EQ(WebSession().keptCells(), "");
    // A line that names no cell is passed over.
    WebSession odd;
    odd.restoreKeptCells("garbage\n0\t1\tX\n6\t2\tP1\n");
    EXPECT_EQ(text(odd, 6, 2), "P1");
}

} // namespace
} // namespace karumenio::web

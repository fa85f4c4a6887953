// The session behind the browser page: its undo steps, its questions and its write run into
// memory, natively (the page's own tests drive the WebAssembly build in a browser).
#include "web/websession.h"

#include "plan/drawingscale.h"
#include "plan/papersize.h"
#include "points/worksheet.h"

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
const PageSettings kSettings{"2000", "A3", "500", "-33.2547"};

class Session : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        m_scratch = std::filesystem::temp_directory_path() /
                    ("karumenio-websession-" + std::to_string(random()));
    }
    void TearDown() override { std::filesystem::remove_all(m_scratch); }

    std::string text(const WebSession& session, int row, int column) {
        return session.sheet().inputText(row, column);
    }

    std::filesystem::path m_scratch;
};

TEST_F(Session, AWriteIntoMemoryGivesTheFilesOfAWriteRunIntoAFolderAndLeavesNothingBehind) {
    WebSession session(m_scratch);
    ASSERT_TRUE(session.paste(6, 1, kWorked, false).ok);
    ASSERT_TRUE(session.read().ok);
    const WriteOutcome first = session.write(kSettings, "図面", true, true);
    ASSERT_TRUE(first.ok) << first.message.text;

    job::Job job;
    job.paste(kWorked);
    job.read();
    job.settings().versionCode = "2000";
    job.settings().paper = plan::findPaper(kSettings.paper);
    job.settings().scale = plan::findScale(kSettings.scale);
    job.settings().angleText = "-33.2547";
    const std::filesystem::path folder = m_scratch / "folder";
    std::filesystem::create_directories(folder);
    const auto report = job.write(folder, folder / "plan.dxf", folder / "site.sim",
                                  scripts::FileOperations::system());
    ASSERT_EQ(first.files.size(), report.files.size());
    for (std::size_t i = 0; i < report.files.size(); ++i) {
        std::ifstream in(report.files[i], std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(first.files[i].name, report.files[i].filename().string());
        EXPECT_EQ(first.files[i].bytes, bytes) << first.files[i].name;
    }
    EXPECT_NE(first.message.text.find("図面"), std::string::npos);

    // The run left the job as a run into a folder does: a second run writes the same bytes,
    // and the in-memory folder is empty between runs.
    const WriteOutcome second = session.write(kSettings, "図面");
    ASSERT_TRUE(second.ok);
    for (std::size_t i = 0; i < second.files.size(); ++i) {
        EXPECT_EQ(second.files[i].bytes, first.files[i].bytes);
    }
    EXPECT_TRUE(std::filesystem::is_empty(m_scratch / "out"));
}

TEST_F(Session, AReplacementIsOneStepAndAFailedOneKeepsTheEarlierJob) {
    WebSession session(m_scratch);
    ASSERT_TRUE(session.paste(6, 1, kWorked, false).ok);
    EXPECT_TRUE(session.asksBeforePasting(6, 1));
    EXPECT_FALSE(session.asksBeforePasting(7, 1));

    const EditOutcome replaced = session.paste(6, 1, "\tP1\t5\t6\r\n", true);
    ASSERT_TRUE(replaced.ok);
    EXPECT_EQ(replaced.bottom, 6);
    EXPECT_EQ(text(session, 7, 2), "");
    ASSERT_TRUE(session.undo());
    EXPECT_EQ(text(session, 6, 2), "K1");
    EXPECT_EQ(text(session, 12, 2), "T2");

    // Rows that would run past the sheet's last row: refused, the old job untouched.
    std::string tooLong;
    for (int i = 0; i < points::Worksheet::kRowCount; ++i) {
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
    WebSession session(m_scratch);
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
    WebSession session(m_scratch);
    const WriteOutcome unread = session.write(kSettings, "図面");
    EXPECT_FALSE(unread.ok);
    EXPECT_TRUE(unread.message.warning);
    EXPECT_NE(unread.message.text.find("91"), std::string::npos);

    session.paste(6, 1, kWorked, false);
    session.enter(8, 4, "abc");
    const ReadOutcome read = session.read();
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.message.cell, "D8");
    const WriteOutcome refused = session.write(kSettings, "図面");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message.cell, "D8");
    EXPECT_TRUE(refused.files.empty());
    EXPECT_FALSE(session.plan(kSettings).problem.empty());
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
        WebSession session(m_scratch);
        ASSERT_TRUE(session.paste(6, 1, c.rows, false).ok);
        ASSERT_TRUE(session.read().ok);
        PageSettings settings = kSettings;
        settings.planeSystem = c.system;
        const PlanOutcome outcome = session.plan(settings);
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
    WebSession session(m_scratch);
    session.paste(6, 1, tokyo, false);
    session.read();
    PageSettings settings = kSettings;
    settings.planeSystem = 9;
    const std::string address = session.plan(settings).mapAddress;
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
    WebSession session(m_scratch);
    const std::string huge(job::kPointsFileLimit + 1, '1');
    const EditOutcome outcome = session.openFile(huge, "huge.csv", false);
    EXPECT_FALSE(outcome.ok);
    ASSERT_TRUE(outcome.message.has_value());
    EXPECT_NE(outcome.message->text.find("huge.csv"), std::string::npos);
    EXPECT_FALSE(session.canUndo());
}

} // namespace
} // namespace karumenio::web

// The read points written as SIMA: the records of each section, and a file that reads back
// into the same worksheet rows.
#include "sheetrows.h"

#include "job/job.h"
#include "job/outputformat.h"
#include "points/pointtable.h"
#include "spreadsheet/codepage.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace karumenio;
using karumenio::survey::test::sheetRows;
namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The points of the latest read written alone as a SIMA file; returns the warnings.
std::vector<std::string> writeSima(job::Job& job, const fs::path& file) {
    job::WriteTargets targets;
    targets.scripts = false;
    targets.files.push_back({job::findFormat("sima"), file});
    return job.write(targets).warnings;
}

class SimaWriter : public testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("karumenio-sima-" +
                 std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

TEST_F(SimaWriter, OneParcelPerClosedSection) {
    job::Job job;
    EXPECT_THROW(writeSima(job, m_dir / "early.sim"), spreadsheet::RunTimeError);
    job.paste("K\tK1\t0\t0\n\tK2\t100\t0\n\tK3\t100\t100\n\tK1\t0\t0\n"
              "K\tT1\t60.5\t-60\n\tT2\t0\t120\n\tT3\t1\t1\n\tT1\t60.5\t-60\n"
              "*\t測点,1\t1.5\t2\n");
    ASSERT_EQ(job.read(), 9);
    EXPECT_TRUE(writeSima(job, m_dir / "plan.sim").empty());
    EXPECT_EQ(
        slurp(m_dir / "plan.sim"),
        spreadsheet::toCp932("G00,01,plan,\r\nA00,\r\n"
                             "A01,1,K1,0,0,,\r\nA01,2,K2,100,0,,\r\nA01,3,K3,100,100,,\r\n"
                             "A01,5,T1,60.5,-60,,\r\nA01,6,T2,0,120,,\r\nA01,7,T3,1,1,,\r\n"
                             "A01,9,\"測点,1\",1.5,2,,\r\nA99,\r\n"
                             "D00,1,K,1,\r\nB01,1,K1,\r\nB01,2,K2,\r\nB01,3,K3,\r\nD99,\r\n"
                             "D00,2,K,1,\r\nB01,5,T1,\r\nB01,6,T2,\r\nB01,7,T3,\r\nD99,\r\n"));
    EXPECT_FALSE(fs::exists(m_dir / "early.sim"));
}

// A reader closes every parcel on its first corner, so an open section written as one would
// come back with a side that was never surveyed (and LINE.SCR with a closing vertex). Open
// sections go as points only, named in a warning, and each section reads back as closed or
// as open as it was, or as points.
TEST_F(SimaWriter, AnOpenSectionIsWrittenAsPointsAndNeverComesBackClosed) {
    struct Case {
        const char* name;
        const char* rows;
        // The rows read back, and where the warning says open sections start ("" for none).
        int readBack;
        const char* open;
    };
    const Case cases[] = {
        {"an open line of three points", "L\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n", 3, "A6"},
        {"an open line of two points beside a parcel",
         "K\tK1\t0\t0\n\tK2\t10\t0\n\tK3\t10\t10\n\tK1\t0\t0\nL\tA\t20\t0\n\tB\t30\t0\n", 6, "A10"},
        {"a parcel closed on its first point",
         "K\tK1\t0\t0\n\tK2\t10\t0\n\tK3\t10\t10\n\tK1\t0\t0\n", 4, ""},
        {"four open lines",
         "L\tA\t0\t0\n\tB\t1\t0\nL\tC\t2\t0\n\tD\t3\t0\nL\tE\t4\t0\n\tF\t5\t0\n"
         "L\tG\t6\t0\n\tH\t7\t0\n",
         8, "A6、A8、A10 ほか 1 区間"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        job::Job first;
        first.paste(c.rows);
        const int rows = first.read();
        const auto warnings = writeSima(first, m_dir / "plan.sim");
        if (*c.open == '\0') {
            EXPECT_TRUE(warnings.empty());
        } else {
            ASSERT_EQ(warnings.size(), 1u);
            EXPECT_TRUE(
                warnings[0].starts_with(std::string("セル ") + c.open + " から始まる区間は"))
                << warnings[0];
        }
        const std::string sima = slurp(m_dir / "plan.sim");
        EXPECT_EQ(sima.find("D00,") != std::string::npos, rows == 4 || rows == 6);

        job::Job second;
        second.openPointsFile(sima, "plan.sim");
        EXPECT_EQ(second.read(), c.readBack);
        job::Settings settings;
        settings.edition = "2000";
        second.setSettings(settings);
        const job::MadeFiles scripts = second.writeToMemory(job::WriteTargets::scriptsInto({}));
        // No vertex of LINE.SCR closes a line that was open: each polyline's last vertex
        // repeats its first only in the parcel.
        const std::string line = scripts.files[1].bytes;
        EXPECT_EQ(line.find("10,10\r\n0,0\r\n") != std::string::npos, rows == 4 || rows == 6)
            << line;
    }
}

TEST_F(SimaWriter, ReadsBackIntoTheSameRows) {
    const std::string sima = spreadsheet::toCp932(
        "G00,01,現場,\r\nA00,\r\nA01,1,ｲ-1,-23795.960,-32832.251,0.000,\r\n"
        "A01,2,\"No.2, 北\",-23790.5,-32830,,\r\nA01,3,003,-23780,-32840.125,,\r\n"
        "A01,4,K4,-23770,-32850,,\r\nA01,5,S1,1,2,,\r\nA99,END\r\n"
        "D00,1,669,1,\r\nB01,1,,\r\nB01,2,,\r\nB01,3,,\r\nD99,\r\n"
        "D00,2,区画ﾛ,1,\r\nB01,3,,\r\nB01,4,,\r\nB01,2,,\r\nD99,\r\n");
    job::Job first;
    first.openPointsFile(sima, "site.sim");
    ASSERT_EQ(first.read(), 9);
    writeSima(first, m_dir / "again.sim");

    job::Job second;
    second.openPointsFile(slurp(m_dir / "again.sim"), "again.sim");
    EXPECT_EQ(sheetRows(second.sheet()), sheetRows(first.sheet()));
    EXPECT_EQ(second.read(), 9);
}

TEST_F(SimaWriter, NamesAndMarksLongerThan256CharactersAreCutWithAWarning) {
    job::Job job;
    // Pasted, so the sheet holds them whole; the file does not.
    const std::string name(100000, 'N');
    job.paste(std::string(300, 'M') + "\t" + name + "\t0\t0\n\tP2\t1\t1\n\t" + name + "\t0\t0\n");
    ASSERT_EQ(job.read(), 3);
    const auto warnings = writeSima(job, m_dir / "long.sim");
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_NE(warnings[0].find("B6"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[1].find("B8"), std::string::npos) << warnings[1];
    EXPECT_NE(warnings[2].find("A6"), std::string::npos) << warnings[2];
    const std::string file = slurp(m_dir / "long.sim");
    EXPECT_NE(file.find("A01,1," + std::string(256, 'N') + ",0,0,,\r\n"), std::string::npos);
    EXPECT_NE(file.find("D00,1," + std::string(256, 'M') + ",1,\r\n"), std::string::npos);
    EXPECT_LT(file.size(), 1000u);
}

} // namespace

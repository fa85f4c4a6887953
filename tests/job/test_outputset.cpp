// Outputs of one run that would be written over each other, over the points file or over the
// names the write keeps for itself are refused before anything is written; names compare as
// on Windows.
#include "jobsupport.h"

#include "job/writetargets.h"
#include "transaction/atomicfileset.h"
#include "transaction/filenames.h"
#include "transaction/platform.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace karumenio;
using karumenio::scripts::test::testFolder;
namespace fs = std::filesystem;

namespace {

class OutputSet : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = testFolder("karumenio-outputset-");
        fs::create_directories(m_root / "out" / "sub");
        fs::create_directories(m_root / "other");
        std::ofstream(m_root / "points.sim") << "A00,\r\n";
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(m_root, error);
    }

    // "out/LINE.SCR" under the test's folder, as given on a command line.
    fs::path at(const std::string& relative) const {
        return m_root / transaction::platform::pathFromUtf8(relative);
    }

    job::WriteTargets targets(const char* dxf, const char* sima,
                              const char* points = "points.sim") const {
        job::WriteTargets t;
        t.folder = m_root / "out";
        if (dxf != nullptr) {
            t.files.push_back({job::findFormat("dxf"), at(dxf)});
        }
        if (sima != nullptr) {
            t.files.push_back({job::findFormat("sima"), at(sima)});
        }
        t.inputs.push_back(at(points));
        return t;
    }

    fs::path m_root;
};

struct Clash {
    const char* name;
    const char* dxf;
    const char* sima;
    const char* points;
    // File names the message must show: the two that clash.
    const char* first;
    const char* second;
};

TEST_F(OutputSet, ClashingOutputsAreRefusedNamingBoth) {
    const Clash cases[] = {
        {"DXF over a script", "out/LINE.SCR", nullptr, "points.sim", "LINE.SCR", "LINE.SCR"},
        {"DXF over a script in another case", "out/line.scr", nullptr, "points.sim", "line.scr",
         "LINE.SCR"},
        {"DXF over a script with a trailing dot", "out/LINE.SCR.", nullptr, "points.sim",
         "LINE.SCR.", "LINE.SCR"},
        {"DXF over a script through ..", "out/sub/../PLOT.SCR", nullptr, "points.sim", "PLOT.SCR",
         "PLOT.SCR"},
        {"SIMA over a script", nullptr, "out/ZAHYOU.SCR", "points.sim", "ZAHYOU.SCR", "ZAHYOU.SCR"},
        {"a script name in another folder", "other/TEXT.SCR", nullptr, "points.sim", "TEXT.SCR",
         "TEXT.SCR"},
        {"DXF and SIMA one file", "other/plan.dat", "other/./PLAN.DAT", "points.sim", "plan.dat",
         "PLAN.DAT"},
        {"DXF over the journal", "out/~karumenio.journal", nullptr, "points.sim",
         "~karumenio.journal", "~karumenio.journal"},
        {"DXF over a temporary name", "other/~plan.dxf.0123456789ABCDEF.tmp", nullptr, "points.sim",
         "~plan.dxf.0123456789ABCDEF.tmp", "一時ファイル"},
        {"DXF over the points file", "points.sim", nullptr, "points.sim", "points.sim",
         "points.sim"},
        {"SIMA over its own input", nullptr, "Points.SIM", "points.sim", "points.sim",
         "Points.SIM"},
        {"a points file that is a script", nullptr, nullptr, "out/LINE.SCR", "LINE.SCR",
         "LINE.SCR"},
        // A run killed half-way could not be put right: the recovery touches no such name.
        {"a DXF of no output's extension", "other/plan", nullptr, "points.sim", "other/plan",
         ".dxf を付けて"},
        {"a SIMA file with a trailing blank", nullptr, "other/plan.sim ", "points.sim", "plan.sim ",
         ".sim を付けて"},
    };
    for (const Clash& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            targets(c.dxf, c.sima, c.points).check();
            ADD_FAILURE() << "not refused";
        } catch (const transaction::OutputClash& e) {
            const std::string message = e.what();
            EXPECT_EQ(e.number(), 75);
            EXPECT_NE(message.find(c.first), std::string::npos) << message;
            EXPECT_NE(message.find(c.second), std::string::npos) << message;
        }
    }
}

TEST_F(OutputSet, OutputsThatAreDifferentFilesPass) {
    const Clash cases[] = {
        {"DXF and SIMA beside the scripts", "out/plan.dxf", "out/plan.sim", "points.sim", "", ""},
        {"DXF and SIMA elsewhere", "other/plan.dxf", "plan.sim", "points.sim", "", ""},
        {"points file beside the scripts", "out/plan.dxf", nullptr, "out/points.sim", "", ""},
        {"names that only look alike", "out/LINE.SCR.dxf", "out/~LINE.SCR.sim", "points.sim", "",
         ""},
    };
    for (const Clash& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NO_THROW(targets(c.dxf, c.sima, c.points).check());
    }
}

TEST_F(OutputSet, AFolderReachedThroughALinkIsTheSameFolder) {
    std::error_code error;
    fs::create_directory_symlink(m_root / "out", m_root / "link", error);
    if (error) {
        GTEST_SKIP() << "symbolic links cannot be made here: " << error.message();
    }
    EXPECT_THROW(targets("link/plan.dxf", "out/PLAN.dxf").check(), transaction::OutputClash);
    // A link in the last place is replaced by the write, not followed: no clash.
    fs::create_symlink(m_root / "points.sim", m_root / "out" / "points-link.sim");
    EXPECT_NO_THROW(targets(nullptr, "out/points-link.sim").check());
}

TEST_F(OutputSet, AFileSetRefusesTwoTargetsThatAreOneFile) {
    transaction::AtomicFileSet files;
    files.add(m_root / "out" / "a.dxf", "first");
    files.add(m_root / "out" / "sub" / ".." / "A.DXF", "second");
    EXPECT_THROW(files.commit(), transaction::OutputClash);
    EXPECT_FALSE(fs::exists(m_root / "out" / "a.dxf"));
    EXPECT_FALSE(fs::exists(m_root / "out" / "A.DXF"));
}

TEST(FileNames, FoldedAsWindowsComparesThem) {
    const std::pair<const char*, const char*> same[] = {
        {"LINE.SCR", "line.scr"},
        {"Plan.DXF. . ", "plan.dxf"},
        {"ＡＢＣ.sim", "ａｂｃ.sim"},
        {"ÉTÉ.dxf", "été.dxf"},
        {"ΣΧΕΔΙΟ", "σχεδιο"},
        {"ПЛАН", "план"},
        {"測点ﾃﾞｰﾀ.csv", "測点ﾃﾞｰﾀ.csv"},
    };
    for (const auto& [a, b] : same) {
        EXPECT_EQ(transaction::windowsFoldedName(a), transaction::windowsFoldedName(b)) << a;
    }
    const std::pair<const char*, const char*> different[] = {
        {"ＬＩＮＥ.SCR", "LINE.SCR"}, {"ﾃﾞｰﾀ", "データ"}, {"a.b", "ab"}};
    for (const auto& [a, b] : different) {
        EXPECT_NE(transaction::windowsFoldedName(a), transaction::windowsFoldedName(b)) << a;
    }
}

} // namespace

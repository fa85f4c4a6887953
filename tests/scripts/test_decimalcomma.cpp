// A desktop set to a language that writes "1,5" must still read and write "1.5": cells,
// formulas and scripts never follow the C or the C++ locale.
#include "../job/jobsupport.h"

#include "spreadsheet/cellformat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>

using namespace karumenio;
using namespace karumenio::scripts::test;

namespace {

#ifdef _WIN32
// Windows names its locales its own way. MinGW's C++ library knows only the classic locale, so
// there the C runtime's, which printf and strtod follow, is the one that is changed.
constexpr const char* kDecimalCommaLocale = "German_Germany.1252";
constexpr bool kCppLocales = false;
#else
constexpr const char* kDecimalCommaLocale = "de_DE.UTF-8";
constexpr bool kCppLocales = true;
#endif

class DecimalCommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, kDecimalCommaLocale) == nullptr) {
            GTEST_SKIP() << kDecimalCommaLocale << " is not installed (tools/test.sh makes it)";
        }
        if (kCppLocales) {
            std::locale::global(std::locale(kDecimalCommaLocale));
        }
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
};

TEST_F(DecimalCommaLocale, CellsShowAndFormulasReadWithAPoint) {
    struct Case {
        const char* typed;
        const char* format;
        const char* shown;
    } const cases[] = {
        {"=1.5*2", "0.0_ ", "3.0 "},
        {"=-2.25", "0.0_ ", "-2.3 "},
        {"=1/3", "General", "0.3333333333"},
        {"=1.25E+20", "General", "1.25E+20"},
        {"=-0.00000000012345", "General", "-1.2345E-10"},
        {"2.5", "0", "3"},
        {"1,5", "General", "1,5"},
    };
    spreadsheet::Worksheet sheet;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        sheet.enter(1, 1, c.typed);
        EXPECT_EQ(spreadsheet::formatValue(sheet.value(1, 1), c.format), c.shown);
    }
}

// The files of the worked example's run, with its DXF and SIMA file, made in memory.
std::vector<std::string> workedExampleFiles() {
    job::Job job;
    job::test::load(job, job::test::workedExampleRows(), job::test::settingsOf("2000", "30.1501"));
    std::vector<std::string> files;
    for (job::MadeFile& file :
         job.writeToMemory(job::test::scriptsInto({}, {{"dxf", "plan.dxf"}, {"sima", "plan.sim"}}))
             .files) {
        files.push_back(std::move(file.bytes));
    }
    return files;
}

TEST(DecimalComma, WorkedExampleFilesUnchanged) {
    // In the classic locale first: the files every other test checks.
    const std::vector<std::string> classic = workedExampleFiles();
    if (std::setlocale(LC_ALL, kDecimalCommaLocale) == nullptr) {
        GTEST_SKIP() << kDecimalCommaLocale << " is not installed (tools/test.sh makes it)";
    }
    if (kCppLocales) {
        std::locale::global(std::locale(kDecimalCommaLocale));
    }
    const std::vector<std::string> comma = workedExampleFiles();
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    ASSERT_EQ(comma.size(), 6u);
    EXPECT_EQ(comma, classic);
}

} // namespace

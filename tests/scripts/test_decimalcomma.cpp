// A desktop set to a language that writes "1,5" must still read and write "1.5": cells,
// formulas and scripts never follow the C or the C++ locale.
#include "testsupport.h"

#include "scripts/writerun.h"

#include "points/cellformat.h"
#include "points/inputtemplate.h"
#include "points/paste.h"
#include "points/reader.h"
#include "points/workbook.h"

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
    points::Worksheet sheet;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        sheet.enter(1, 1, c.typed);
        EXPECT_EQ(points::formatValue(sheet.value(1, 1), c.format), c.shown);
    }
}

TEST_F(DecimalCommaLocale, WorkedExampleScriptsUnchanged) {
    points::Workbook book = points::makeInputTemplate();
    points::paste(book.worksheets("Sheet1"), 6, 1,
                  readFile(std::filesystem::path(KARUMENIO_TEST_DATA) / "worked_example.tsv"));
    points::PointTable table;
    const points::Worksheet& dataSheet = points::readPoints(book, table);
    plan::Settings settings;
    settings.versionCode = "2000";
    plan::WriteState state;
    const scripts::ScriptSet set = scripts::generateScripts(settings, table, &dataSheet, state);
    for (std::size_t i = 0; i < scripts::kScriptFileNames.size(); ++i) {
        const std::string name(scripts::kScriptFileNames[i]);
        SCOPED_TRACE(name);
        EXPECT_EQ(set.bytes(i), golden("worked12/" + name));
    }
}

} // namespace

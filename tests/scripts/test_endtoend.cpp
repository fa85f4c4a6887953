// From the clipboard to the four script files, through the shipped template and the reader.
#include "testsupport.h"

#include "scripts/writerun.h"

#include "points/inputtemplate.h"
#include "points/paste.h"
#include "points/reader.h"
#include "points/workbook.h"

#include <gtest/gtest.h>

#include <random>

using namespace karumenio;
using namespace karumenio::scripts::test;
namespace fs = std::filesystem;

namespace {

TEST(EndToEnd, WorkedExamplePastedReadAndWritten) {
    points::Workbook book = points::makeInputTemplate();
    points::Worksheet& input = book.worksheets("SHEET1");
    points::paste(input, 6, 1, readFile(fs::path(KARUMENIO_TEST_DATA) / "worked_example.tsv"));
    points::PointTable table;
    points::Worksheet& dataSheet = points::readPoints(book, table);
    ASSERT_EQ(table.count(), 12);

    std::random_device device;
    const fs::path folder =
        fs::temp_directory_path() / ("karumenio-endtoend-" + std::to_string(device()));
    fs::create_directories(folder);
    plan::Settings settings;
    settings.versionCode = "2000";
    plan::WriteState state;
    const auto report = scripts::writeRun(settings, table, &dataSheet, state, folder);
    EXPECT_TRUE(report.warnings.empty());
    for (const auto name : scripts::kScriptFileNames) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readFile(folder / name), golden("worked12/" + std::string(name)));
    }
    fs::remove_all(folder);
}

} // namespace

// From the clipboard to the script files, through the job: the shipped template, the paste,
// the reader and the write run. (The DXF of a job is read back with ezdxf in tests/dxf.)
#include "testsupport.h"

#include "job/job.h"
#include "scripts/scriptset.h"

#include <gtest/gtest.h>

#include <random>

using namespace karumenio;
using namespace karumenio::scripts::test;
namespace fs = std::filesystem;

namespace {

TEST(EndToEnd, WorkedExamplePastedReadAndWritten) {
    job::Job job;
    job.paste(readFile(fs::path(KARUMENIO_TEST_DATA) / "worked_example.tsv"));
    ASSERT_EQ(job.read(), 12);

    std::random_device device;
    const fs::path folder =
        fs::temp_directory_path() / ("karumenio-endtoend-" + std::to_string(device()));
    fs::create_directories(folder);
    job.settings().versionCode = "2000";
    const auto report = job.write(folder);
    EXPECT_TRUE(report.warnings.empty());
    for (const auto name : scripts::kScriptFileNames) {
        expectGolden(readFile(folder / name), "worked12/" + std::string(name));
    }
    EXPECT_EQ(job.table().pointIndex.value(), 12);
    fs::remove_all(folder);
}

} // namespace

// From the clipboard to the script files, through the job: the shipped template, the paste,
// the reader and the write run. (The DXF of a job is read back with ezdxf in tests/dxf.)
#include "testsupport.h"

#include "job/job.h"
#include "scripts/scriptset.h"
#include "scripts/writerun.h"

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

// The command-line tool's job keeps no undo records and calculates the sheet once, at the
// read; what it reads must not differ from the desktop program's job. Rows without a radius
// take theirs from the chain down G, which only a calculated sheet gives.
TEST(EndToEnd, AJobWithoutHistoryReadsWhatAJobWithHistoryReads) {
    const std::string points = "K\t1\t10.5\t20\r\n"
                               "\t2\t11\t21\r\n"
                               "\t3\t12\t-22\t2.75\r\n"
                               "K\t4\t13.25\t23\r\n";
    std::vector<std::string> scripts;
    for (const auto history : {job::Job::History::Kept, job::Job::History::None}) {
        job::Job job(history);
        job.settings().versionCode = "2000";
        job.setDefaultRadius(1.5);
        const auto opened = job.openPointsFile(points, "points.tsv");
        EXPECT_EQ(opened.record.empty(), history == job::Job::History::None);
        ASSERT_EQ(job.read(), 4);
        const auto set = scripts::writeScripts(job.settings(), job.plan());
        scripts.push_back(set.zahyou + set.line + set.plot + set.text);
    }
    EXPECT_EQ(scripts[0], scripts[1]);
    for (const char* radius : {"1.5", "2.75"}) {
        EXPECT_NE(scripts[0].find(radius), std::string::npos) << radius << " carried down G";
    }
}

} // namespace

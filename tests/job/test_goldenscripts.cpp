// The scripts' bytes against the golden files, through the job as every front end drives it.
// The other tests of the core compare with a run of theirs or assert what the scripts do;
// the command-line tool and the desktop program each check the same files once more.
// With KARUMENIO_REGENERATE_GOLDEN=1 the bytes written become the golden files instead.
#include "jobsupport.h"

#include "scripts/scriptset.h"

#include <gtest/gtest.h>

#include <random>

using namespace karumenio;
using namespace karumenio::job::test;
namespace fs = std::filesystem;

namespace {

struct Example {
    const char* folder;
    std::string rows;
    std::vector<std::string_view> scripts;
};

TEST(GoldenScripts, ExamplesWrittenByAJob) {
    const Example examples[] = {
        // The worked example of the input worksheet: three sections, circles, 12 labels.
        {"worked12", workedExampleRows(), {"ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"}},
        // Three points, the third starting a new line, one circle.
        {"worked3", "\tA\t1\t2\t0\n\tB\t1.5\t-0.5\t0.5\n*\tC\t0.25\t3\t0\n", {"LINE.SCR", "PLOT.SCR"}},
    };
    const fs::path folder =
        fs::temp_directory_path() / ("karumenio-golden-" + std::to_string(std::random_device()()));
    for (const Example& example : examples) {
        SCOPED_TRACE(example.folder);
        fs::remove_all(folder);
        fs::create_directories(folder);
        job::Job job;
        load(job, example.rows, settingsOf("2000"));
        const auto report = job.write(scriptsInto(folder));
        EXPECT_TRUE(report.warnings.empty());
        for (const std::string_view script : example.scripts) {
            scripts::test::expectGolden(readFile(folder / script),
                                        std::string(example.folder) + "/" + std::string(script));
        }
    }
    fs::remove_all(folder);
}

} // namespace

#pragma once

// Plans made the way a job makes them, for the parcel and survey-map tests.

#include "../job/jobsupport.h"
#include "../scripts/testsupport.h"

#include "job/job.h"
#include "plan/drawingscale.h"
#include "plan/papersize.h"
#include "plan/plan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace karumenio::parcel::test {

using scripts::test::expectGolden;
using scripts::test::readFile;

struct Sheet {
    const char* angle = "0.0000";
    const char* paper = "A1";
    const char* scale = "100";
};

// The sheet's lists selected by token; a token of no paper or scale is a fault of the test.
inline void choose(job::Job& job, const Sheet& sheet) {
    job.setSettings(job::test::settingsOf("", sheet.angle, sheet.paper, sheet.scale));
}

// The plan of rows pasted at A6 (mark, name, X, Y separated by TABs).
inline plan::Plan planOf(const std::string& rows, const Sheet& sheet = {}) {
    job::Job job(job::Job::History::None);
    job.paste(rows);
    job.read();
    choose(job, sheet);
    return job.plan();
}

// The plan of a points file of the examples folder.
inline plan::Plan planOfExample(const std::string& name, const Sheet& sheet = {}) {
    const std::filesystem::path path =
        std::filesystem::path(KARUMENIO_TEST_DATA) / ".." / ".." / "examples" / name;
    job::Job job(job::Job::History::None);
    job.openPointsFile(readFile(path), name);
    job.read();
    choose(job, sheet);
    return job.plan();
}

} // namespace karumenio::parcel::test

#pragma once

// Jobs made the way the front ends make them, for the tests of the job and its write runs.

#include "../scripts/testsupport.h"

#include "job/job.h"
#include "job/outputformat.h"
#include "plan/drawingscale.h"
#include "plan/papersize.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace karumenio::job::test {

using scripts::test::readFile;

// Settings as a front end builds them, its lists selected by token.
inline Settings settingsOf(std::string edition, std::string_view angle = "0.0000",
                           std::string_view paper = "A1", std::string_view scale = "100") {
    Settings settings;
    settings.edition = std::move(edition);
    settings.angle = plan::RotationAngle(angle);
    settings.paper = plan::findPaper(paper);
    settings.scale = plan::findScale(scale);
    if (settings.paper == nullptr || settings.scale == nullptr) {
        throw std::invalid_argument("no paper or scale of that token");
    }
    return settings;
}

inline std::string workedExampleRows() {
    return readFile(std::filesystem::path(KARUMENIO_TEST_DATA) / "worked_example.tsv");
}

// The rows pasted at A6 and read, with the settings given.
inline void load(Job& job, const std::string& rows, Settings settings = settingsOf("2000")) {
    job.setSettings(std::move(settings));
    job.paste(rows);
    job.read();
}

// A run that writes the four scripts into the folder, and the format files given as
// token and path.
inline WriteTargets scriptsInto(
    const std::filesystem::path& folder,
    std::initializer_list<std::pair<std::string_view, std::filesystem::path>> files = {}) {
    WriteTargets targets;
    targets.folder = folder;
    for (const auto& [token, path] : files) {
        targets.files.push_back({findFormat(token), path});
    }
    return targets;
}

// A run that writes only the file of one format, as a converter.
inline WriteTargets onlyFile(std::string_view token, const std::filesystem::path& path) {
    WriteTargets targets;
    targets.scripts = false;
    targets.files.push_back({findFormat(token), path});
    return targets;
}

} // namespace karumenio::job::test

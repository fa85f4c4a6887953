#include "outputformat.h"

#include "dxf/dxfwriter.h"
#include "output/platform.h"
#include "plan/plan.h"
#include "scripts/scriptset.h"
#include "survey/simawriter.h"

#include <array>

namespace karumenio::job {

namespace {

const std::array kFormats{
    OutputFormat{
        "dxf", "--dxf",
        "also write the plan as a DXF (R12) drawing to PATH, in world coordinates, in the same "
        "run as the scripts: all files or none",
        "DXF", "DXF ファイル", "DXF 図面 (*.dxf)", ".dxf", true,
        // The scripts of the run report the labels the code page cannot hold.
        [](const FormatInput& input) { return FormatBytes{dxf::writeDxf(input.plan), {}}; }},
    OutputFormat{"sima", "--sima-out",
                 "also write the read points as a SIMA file to PATH; without --edition only "
                 "this file is written",
                 "SIMA", "SIMA ファイル", "SIMA ファイル (*.sim)", ".sim", false,
                 [](const FormatInput& input) {
                     // The site is named after the file.
                     FormatBytes file;
                     file.bytes = survey::writeSima(
                         input.plan, output::platform::displayPath(input.target.stem()),
                         file.warnings);
                     return file;
                 }},
};

} // namespace

std::span<const OutputFormat> outputFormats() {
    return kFormats;
}

const OutputFormat* findFormat(std::string_view token) {
    for (const OutputFormat& format : kFormats) {
        if (format.token == token) {
            return &format;
        }
    }
    return nullptr;
}

output::RecoveryScope outputFolderScope(std::vector<std::filesystem::path> inputs) {
    output::RecoveryScope scope;
    scope.names.assign(scripts::kScriptFileNames.begin(), scripts::kScriptFileNames.end());
    for (const OutputFormat& format : kFormats) {
        scope.extensions.emplace_back(format.extension);
    }
    scope.inputs = std::move(inputs);
    return scope;
}

} // namespace karumenio::job

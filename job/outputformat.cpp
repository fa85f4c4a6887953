#include "outputformat.h"

#include "planlocation.h"
#include "settings.h"
#include "surveymapfiles.h"

#include "dxf/dxfwriter.h"
#include "plan/plan.h"
#include "scripts/kyusekiscript.h"
#include "scripts/scriptset.h"
#include "survey/simawriter.h"
#include "transaction/platform.h"

#include <algorithm>
#include <array>

namespace karumenio::job {

namespace {

const std::array kFormats{
    OutputFormat{
        "dxf", "--dxf",
        "also write the plan as a DXF (R12) drawing to PATH, in world coordinates, in the same "
        "run as the scripts: all files or none",
        "DXF", "DXF ファイル", "DXF 図面 (*.dxf)", ".dxf", "図面.dxf", true,
        // The scripts of the run report the labels the code page cannot hold, and the run the
        // survey map's parts that do not fit.
        [](const FormatInput& input) {
            if (!input.settings.surveyMap) {
                return FormatBytes{dxf::writeDxf(input.plan), {}};
            }
            if (input.surveyMap != nullptr) {
                return FormatBytes{dxf::writeDxf(input.plan, *input.surveyMap), {}};
            }
            return FormatBytes{dxf::writeDxf(input.plan, surveyMapOf(input.plan, input.settings)),
                               {}};
        }},
    OutputFormat{"sima", "--sima-out",
                 "also write the read points as a SIMA file to PATH; without --edition only "
                 "this file is written",
                 "SIMA", "SIMA ファイル", "SIMA ファイル (*.sim)", ".sim", "座標.sim", false,
                 [](const FormatInput& input) {
                     // The site is named after the file.
                     FormatBytes file;
                     file.bytes = survey::writeSima(
                         input.plan, transaction::platform::displayPath(input.target.stem()),
                         file.warnings);
                     return file;
                 }},
    OutputFormat{"area-csv", "--area-csv",
                 "also write the area table of the closed parcels (coordinate method, exact "
                 "on millimetres) as a CSV file to PATH: UTF-8 with BOM, CR LF",
                 "求積表 CSV", "求積表 CSV ファイル", "CSV ファイル (*.csv)", ".csv", "求積表.csv",
                 false,
                 [](const FormatInput& input) { return areaCsvFile(input.plan, input.settings); }},
    OutputFormat{"geojson", "--geojson",
                 "also write the parcels, open sections and points in longitude and latitude "
                 "(WGS 84) as GeoJSON to PATH; needs --zone",
                 "GeoJSON", "GeoJSON ファイル", "GeoJSON (*.geojson)", ".geojson", "図面.geojson",
                 false,
                 [](const FormatInput& input) { return geoJsonFile(input.plan, input.settings); }},
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

transaction::RecoveryScope outputFolderScope(std::vector<std::filesystem::path> inputs) {
    transaction::RecoveryScope scope;
    scope.names.assign(scripts::kScriptFileNames.begin(), scripts::kScriptFileNames.end());
    // A run with the survey map writes it as a fifth script; an interrupted one may have.
    scope.names.emplace_back(scripts::kKyusekiFileName);
    for (const OutputFormat& format : kFormats) {
        if (std::find(scope.extensions.begin(), scope.extensions.end(), format.extension) ==
            scope.extensions.end()) {
            scope.extensions.emplace_back(format.extension);
        }
    }
    scope.inputs = std::move(inputs);
    return scope;
}

} // namespace karumenio::job

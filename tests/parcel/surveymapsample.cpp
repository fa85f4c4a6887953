// Writes the survey map of a points file the way the job will once it offers it, for the
// tests that read its files with other programs:
//   surveymap-sample POINTS_FILE PAPER SCALE ANGLE FOLDER [LAND_CATEGORY]
// gives FOLDER/plan.dxf (the plan with the survey map), FOLDER/KYUSEKI.SCR and
// FOLDER/area.csv; the fit messages and warnings go to stderr.

#include "dxf/dxfwriter.h"
#include "job/job.h"
#include "parcel/areacsv.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/surveymap.h"
#include "plan/drawingscale.h"
#include "plan/papersize.h"
#include "scripts/kyusekiscript.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>

using namespace karumenio;

int main(int argc, char** argv) {
    if (argc < 6) {
        std::cerr << "usage: surveymap-sample POINTS_FILE PAPER SCALE ANGLE FOLDER [LAND]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    job::Job job(job::Job::History::None);
    job.openPointsFile(bytes, std::filesystem::path(argv[1]).filename().string());
    job.read();
    job::Settings chosen;
    chosen.paper = plan::findPaper(argv[2]);
    chosen.scale = plan::findScale(argv[3]);
    chosen.angle = plan::RotationAngle(argv[4]);
    job.setSettings(std::move(chosen));
    const plan::Plan plan = job.plan();

    parcel::SurveyMapSettings settings;
    if (argc > 6) {
        settings.landCategory = parcel::findLandCategory(argv[6]);
    }
    settings.titleBlock = {"東京都千代田区一番町", "", "", "2024-05-01", "山田太郎"};
    const parcel::ParcelSearch found = parcel::findParcels(plan);
    const layout::SheetLayout map = parcel::layOutSurveyMap(plan, found.parcels, settings);

    std::vector<std::string> warnings = found.warnings;
    const std::filesystem::path folder = argv[5];
    std::ofstream(folder / "plan.dxf", std::ios::binary) << dxf::writeDxf(plan, map, &warnings);
    const scripts::EncodedScript script = scripts::kyusekiScript(plan, map);
    std::ofstream(folder / "KYUSEKI.SCR", std::ios::binary) << script.bytes;
    const parcel::AreaCsv csv =
        parcel::writeAreaCsv(plan, parcel::computeAreas(found.parcels, *settings.landCategory));
    std::ofstream(folder / "area.csv", std::ios::binary) << csv.bytes;
    for (const std::vector<std::string>* list :
         {&map.messages, &std::as_const(warnings), &script.warnings, &csv.warnings}) {
        for (const std::string& message : *list) {
            std::cerr << message << '\n';
        }
    }
    return 0;
}

// Paste, read, plan and scripts with random settings, as a surveyor's run: it may be refused
// with a run-time error, but scripts that are made hold only finite numbers, every line ends
// with CR LF and none begins as the drawing program reads otherwise (";", "(", "!"). The
// survey map of the same plan (the angle text its surveyor), its script and its area CSV too,
// where no name begins as a formula.
#include "job/job.h"
#include "job/surveymapfiles.h"
#include "parcel/areacsv.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/surveymap.h"
#include "plan/drawingscale.h"
#include "plan/edition.h"
#include "plan/papersize.h"
#include "scripts/kyusekiscript.h"
#include "scripts/scriptset.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace karumenio;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

void checkLines(const std::string& script) {
    check(script.empty() || script.ends_with("\r\n"), "a script does not end with CR LF");
    for (std::size_t start = 0; start < script.size(); start = script.find('\n', start) + 1) {
        check(script[start] != ';' && script[start] != '(' && script[start] != '!',
              "a script line begins with ; ( or !");
        if (script.find('\n', start) == std::string::npos) {
            break;
        }
    }
    for (std::size_t i = script.find('\n'); i != std::string::npos; i = script.find('\n', i + 1)) {
        check(i > 0 && script[i - 1] == '\r', "a line ends without CR");
    }
    for (std::size_t i = script.find('\r'); i != std::string::npos; i = script.find('\r', i + 1)) {
        check(i + 1 < script.size() && script[i + 1] == '\n', "a CR inside a line");
    }
}

void checkFinite(const plan::Plan& plan) {
    for (const plan::PlanPoint& p : plan.points) {
        check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.radius) &&
                  std::isfinite(p.labelX) && std::isfinite(p.labelY),
              "a point that is not finite");
    }
    const plan::FrameValues& f = plan.frame;
    for (const double v :
         {f.frameCentreX, f.frameCentreY, f.outerFirstX, f.outerFirstY, f.outerSecondX,
          f.outerSecondY, f.innerFirstX, f.innerSecondY, plan.scaleFactor, plan.rotationAngle}) {
        check(std::isfinite(v), "a frame value that is not finite");
    }
}

// The fields of one CSV line, unquoted.
std::vector<std::string> csvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"' && (quoted || fields.back().empty())) {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// Every name of the area CSV reads as text in a spreadsheet, every number as a number.
void checkAreaCsv(const std::string& csv) {
    std::size_t start = csv.find("\r\n") + 2;
    // A quoted field may hold a line break; a row ends at a CR LF outside quotes.
    while (start < csv.size()) {
        std::size_t end = start;
        bool quoted = false;
        for (; end < csv.size() && (quoted || csv.compare(end, 2, "\r\n") != 0); ++end) {
            quoted = csv[end] == '"' ? !quoted : quoted;
        }
        const std::vector<std::string> fields =
            csvFields(std::string_view(csv).substr(start, end - start));
        // The table's six columns, then the corner's boundary mark.
        check(fields.size() == 7, "an area CSV row of other than seven fields");
        for (const std::size_t i : std::array<std::size_t, 3>{0, 1, 6}) {
            check(fields[i].empty() ||
                      std::string_view("=+-@\t\r").find(fields[i][0]) == std::string_view::npos,
                  "an area CSV name begins as a formula");
        }
        for (std::size_t i = 2; i < 6; ++i) {
            check(fields[i].find_first_not_of("-.0123456789") == std::string::npos,
                  "an area CSV number is not a plain number");
        }
        start = end + 2;
    }
}

void checkSurveyMap(const plan::Plan& plan, const job::Settings& settings) {
    const std::vector<parcel::Parcel> parcels = parcel::findParcels(plan).parcels;
    const layout::SheetLayout map = job::surveyMapOf(plan, settings);
    for (const layout::Sheet& sheet : map.sheets) {
        for (const layout::Text& t : sheet.texts) {
            const plan::WorldPoint at = sheet.toWorld(t.at);
            check(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(t.rotation),
                  "a map text that is not finite");
            check(!t.text.empty() && t.text.find_first_of("\r\n") == std::string::npos,
                  "a map text empty or of two lines");
        }
        for (const layout::Line& line : sheet.lines) {
            for (const layout::Point& p : line.vertices) {
                const plan::WorldPoint at = sheet.toWorld(p);
                check(std::isfinite(at.x) && std::isfinite(at.y), "a map line that is not finite");
            }
        }
    }
    checkLines(scripts::kyusekiScript(plan, map).bytes);
    for (const parcel::LandCategory& category : parcel::kLandCategories) {
        const std::vector<parcel::ParcelArea> areas = parcel::computeAreas(parcels, category);
        for (const parcel::ParcelArea& area : areas) {
            check(!area.doubleArea.isNegative() && area.area <= area.doubleArea,
                  "an area out of order");
        }
        const std::string csv = parcel::writeAreaCsv(plan, areas).bytes;
        check(csv.ends_with("\r\n"), "the area CSV does not end with CR LF");
        checkAreaCsv(csv);
    }
}
// One job for every input: building the template and calculating its three thousand
// formulas took most of each run. Each input's paste is undone afterwards, which puts the
// sheet back to the template, and the sheet is held uncalculated in between, so that an
// input costs one calculation, at its read.
struct SharedJob {
    job::Job job;
    int templateLastRow;

    SharedJob() : templateLastRow(job.sheet().lastUsedRow()) { job.sheet().holdRecalculation(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    static SharedJob shared;
    job::Job& job = shared.job;
    job::Settings settings;
    // Every edition of the table, and one it lacks.
    const std::size_t edition = data[0] % (plan::kEditions.size() + 1);
    settings.edition =
        edition < plan::kEditions.size() ? std::string(plan::kEditions[edition].code) : "12345";
    settings.paper = &plan::kPaperSizes[data[1] % plan::kPaperSizes.size()];
    settings.scale = &plan::kDrawingScales[data[2] % plan::kDrawingScales.size()];
    std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
    // The first line is the angle text, the rest the pasted rows.
    const std::size_t end = rest.find('\n');
    settings.angle = plan::RotationAngle(rest.substr(0, std::min(end, rest.size())));
    settings.map.titleBlock.surveyor = rest.substr(0, std::min(end, rest.size()));
    job.setSettings(std::move(settings));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    spreadsheet::EditRecord pasted;
    try {
        pasted = job.paste(rest);
        job.sheet().releaseRecalculation();
        try {
            job.read();
            const plan::Plan plan = job.plan();
            checkFinite(plan);
            const scripts::ScriptSet set = scripts::writeScripts(plan);
            for (std::size_t i = 0; i < 4; ++i) {
                checkLines(set.bytes(i));
            }
            checkSurveyMap(plan, job.settings());
        } catch (const spreadsheet::RunTimeError&) {
        }
        job.sheet().holdRecalculation();
    } catch (const spreadsheet::RunTimeError&) {
        // The paste was refused and changed nothing; the hold stands.
    }
    job.sheet().undo(pasted);
    check(job.sheet().lastUsedRow() == shared.templateLastRow, "an undone paste left cells behind");
    return 0;
}

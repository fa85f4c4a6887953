#include "surveymapfiles.h"

#include "registrationcheck.h"
#include "settings.h"

#include "parcel/areacsv.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "plan/plan.h"
#include "points/pointname.h"
#include "points/pointtable.h"
#include "scripts/scripttext.h"
#include "spreadsheet/cellname.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>

namespace karumenio::job {

namespace {

const parcel::LandCategory& categoryOf(const Settings& settings) {
    return settings.map.landCategory != nullptr ? *settings.map.landCategory
                                                : parcel::kDefaultLandCategory;
}

// What the survey map draws of the surveyor's own texts: the parcels' names and the title
// block's fields, each cut and on one line as a point's name is (points::drawnName).
struct MapSources {
    parcel::ParcelSearch search;
    parcel::SurveyMapSettings map;
    // Each such text as drawn, with what names its cell or field.
    std::vector<std::pair<std::string, std::string>> named;
    // The texts that had to be cut or put on one line.
    std::vector<std::string> warnings;
};

MapSources mapSourcesOf(const plan::Plan& plan, const Settings& settings) {
    MapSources sources{parcel::findParcels(plan), settings.map, {}, {}};
    for (parcel::Parcel& parcel : sources.search.parcels) {
        std::string what = "セル " +
                           spreadsheet::cellName(points::kFirstDataRow + parcel.firstSlot,
                                                 points::kBreakMarkColumn) +
                           " の区画名";
        parcel.name = points::drawnName(std::move(parcel.name), what, sources.warnings);
        sources.named.emplace_back(std::move(what), parcel.name);
    }
    parcel::TitleBlock& title = sources.map.titleBlock;
    for (const auto& [field, label] :
         {std::pair{&title.location, "所在"}, std::pair{&title.lotNumber, "地番"},
          std::pair{&title.date, "作成年月日"}, std::pair{&title.surveyor, "作成者"},
          std::pair{&title.surveyDate, "測量年月日"}, std::pair{&title.applicant, "申請人"}}) {
        const std::string what = std::string("表題欄の") + label;
        *field = points::drawnName(std::move(*field), what, sources.warnings);
        sources.named.emplace_back(what, *field);
    }
    return sources;
}

} // namespace

layout::SheetLayout surveyMapOf(const plan::Plan& plan, const Settings& settings,
                                std::vector<std::string>* warnings) {
    const MapSources sources = mapSourcesOf(plan, settings);
    const parcel::SubdivisionCheck subdivision = parcel::checkSubdivision(
        plan, sources.search.parcels,
        parcel::computeAreas(sources.search.parcels, categoryOf(settings)), settings.subdivision);
    layout::SheetLayout map = parcel::layOutSurveyMap(plan, sources.search.parcels, sources.map,
                                                      settings.neighbours, &subdivision);
    if (warnings != nullptr) {
        const std::vector<std::string> missing =
            checkRegistration(plan, sources.search.parcels, settings);
        for (const auto* said : std::initializer_list<const std::vector<std::string>*>{
                 &missing, &subdivision.warnings, &sources.search.warnings, &sources.warnings,
                 &map.messages}) {
            warnings->insert(warnings->end(), said->begin(), said->end());
        }
    }
    return map;
}

std::vector<std::string> surveyMapScriptWarnings(const plan::Plan& plan, const Settings& settings) {
    std::vector<std::string> warnings;
    for (const auto& [what, text] : mapSourcesOf(plan, settings).named) {
        // The map draws a text without the blanks it begins with.
        const std::string_view drawn =
            std::string_view(text).substr(std::min(text.find_first_not_of(' '), text.size()));
        if (const scripts::ScriptText written = scripts::scriptText(drawn); written.changed()) {
            warnings.push_back(scripts::scriptTextWarning(what, drawn, written));
        }
    }
    return warnings;
}

FormatBytes areaCsvFile(const plan::Plan& plan, const Settings& settings) {
    parcel::ParcelSearch search = parcel::findParcels(plan);
    const std::vector<parcel::ParcelArea> areas =
        parcel::computeAreas(search.parcels, categoryOf(settings));
    const parcel::SubdivisionCheck subdivision =
        parcel::checkSubdivision(plan, search.parcels, areas, settings.subdivision);
    parcel::AreaCsv csv = parcel::writeAreaCsv(plan, areas, &subdivision);
    FormatBytes file{std::move(csv.bytes), std::move(search.warnings)};
    file.warnings.insert(file.warnings.end(), csv.warnings.begin(), csv.warnings.end());
    return file;
}

parcel::SubdivisionCheck subdivisionOf(const plan::Plan& plan, const Settings& settings) {
    const std::vector<parcel::Parcel> parcels = parcel::findParcels(plan).parcels;
    return parcel::checkSubdivision(
        plan, parcels, parcel::computeAreas(parcels, categoryOf(settings)), settings.subdivision);
}

bool isCalendarDate(std::string_view text) {
    const auto digits = [&](std::size_t from, std::size_t count, int& value) {
        value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return false;
            }
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(0, 4, year) ||
        !digits(5, 2, month) || !digits(8, 2, day) || year < 1 || month < 1 || month > 12) {
        return false;
    }
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day >= 1 && day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string todayDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}

} // namespace karumenio::job

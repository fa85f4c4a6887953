#include "surveymapfiles.h"

#include "registrationcheck.h"
#include "settings.h"

#include "parcel/areacsv.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"

#include <cstdio>
#include <ctime>

namespace karumenio::job {

namespace {

const parcel::LandCategory& categoryOf(const Settings& settings) {
    return settings.map.landCategory != nullptr ? *settings.map.landCategory
                                                : parcel::kLandCategories[0];
}

} // namespace

layout::SheetLayout surveyMapOf(const plan::Plan& plan, const Settings& settings,
                                std::vector<std::string>* warnings) {
    parcel::ParcelSearch search = parcel::findParcels(plan);
    const parcel::SubdivisionCheck subdivision = parcel::checkSubdivision(
        plan, search.parcels, parcel::computeAreas(search.parcels, categoryOf(settings)),
        settings.subdivision);
    layout::SheetLayout map = parcel::layOutSurveyMap(plan, search.parcels, settings.map,
                                                      settings.neighbours, &subdivision);
    if (warnings != nullptr) {
        const std::vector<std::string> missing = checkRegistration(plan, search.parcels, settings);
        warnings->insert(warnings->end(), missing.begin(), missing.end());
        warnings->insert(warnings->end(), subdivision.warnings.begin(), subdivision.warnings.end());
        warnings->insert(warnings->end(), search.warnings.begin(), search.warnings.end());
        warnings->insert(warnings->end(), map.messages.begin(), map.messages.end());
    }
    return map;
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

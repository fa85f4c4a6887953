#include "surveymapfiles.h"

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
                                                : parcel::kDefaultLandCategory;
}

} // namespace

parcel::SurveyMap surveyMapOf(const plan::Plan& plan, const Settings& settings,
                              std::vector<std::string>* warnings) {
    parcel::ParcelSearch search = parcel::findParcels(plan);
    parcel::SurveyMap map = parcel::drawSurveyMap(plan, search.parcels, settings.map);
    if (warnings != nullptr) {
        warnings->insert(warnings->end(), search.warnings.begin(), search.warnings.end());
        warnings->insert(warnings->end(), map.fitMessages.begin(), map.fitMessages.end());
    }
    return map;
}

FormatBytes areaCsvFile(const plan::Plan& plan, const Settings& settings) {
    parcel::ParcelSearch search = parcel::findParcels(plan);
    parcel::AreaCsv csv =
        parcel::writeAreaCsv(plan, parcel::computeAreas(search.parcels, categoryOf(settings)));
    FormatBytes file{std::move(csv.bytes), std::move(search.warnings)};
    file.warnings.insert(file.warnings.end(), csv.warnings.begin(), csv.warnings.end());
    return file;
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

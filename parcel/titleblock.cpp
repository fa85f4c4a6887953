#include "titleblock.h"

#include "landcategory.h"
#include "parcelarea.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/numberformat.h"

namespace karumenio::parcel {

namespace {

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& part : parts) {
        out += out.empty() ? "" : "、";
        out += part;
    }
    return out;
}

// The digits of date[from, from + count) as a number without leading zeros; empty when any
// is not a digit.
std::string number(std::string_view date, std::size_t from, std::size_t count) {
    std::string digits;
    for (std::size_t i = from; i < from + count; ++i) {
        if (!spreadsheet::ascii::isDigit(date[i])) {
            return {};
        }
        if (!digits.empty() || date[i] != '0' || i + 1 == from + count) {
            digits += date[i];
        }
    }
    return digits;
}

} // namespace

std::string japaneseDate(std::string_view date) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') {
        return std::string(date);
    }
    const std::string year = number(date, 0, 4);
    const std::string month = number(date, 5, 2);
    const std::string day = number(date, 8, 2);
    if (year.empty() || month.empty() || day.empty()) {
        return std::string(date);
    }
    return year + "年" + month + "月" + day + "日";
}

std::vector<TitleRow> titleRows(const TitleBlock& fields, const LandCategory& category,
                                const std::vector<ParcelArea>& areas, double scaleFactor) {
    std::vector<std::string> names;
    std::vector<std::string> registered;
    for (const ParcelArea& area : areas) {
        names.push_back(area.name);
        registered.push_back((areas.size() > 1 ? area.name + " " : std::string()) +
                             area.registeredAreaText() + "㎡");
    }
    return {
        {"所在", fields.location},
        {"地番", fields.lotNumber.empty() ? joined(names) : fields.lotNumber},
        {"地目", std::string(category.titleText)},
        {"地積", joined(registered)},
        // The areas are computed from the coordinates alone, as the area table shows.
        {"求積方法", "座標法"},
        {"縮尺", "1/" + spreadsheet::formatNumber(scaleFactor * 1000, true)},
        {"座標系", fields.coordinateSystem},
        {"測量年月日", japaneseDate(fields.surveyDate)},
        {"作成年月日", japaneseDate(fields.date)},
        {"申請人", fields.applicant},
        {"作成者", fields.surveyor},
    };
}

} // namespace karumenio::parcel

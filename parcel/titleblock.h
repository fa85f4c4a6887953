#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::parcel {

struct LandCategory;
struct ParcelArea;

// The fields of the title block that the surveyor enters.
struct TitleBlock {
    // 所在
    std::string location;
    // 地番; empty: the parcels' names.
    std::string lotNumber;
    // 座標系: the plane rectangular system, blank until one is given.
    std::string coordinateSystem;
    // 作成年月日 as YYYY-MM-DD (shown as 2024年5月1日); other text is shown as it stands.
    std::string date;
    // 作成者
    std::string surveyor;
    // 測量年月日, the day of the survey, apart from the day the map is made; as date.
    std::string surveyDate;
    // 申請人
    std::string applicant;
};

struct TitleRow {
    std::string_view label;
    std::string value;
};

// The rows of the title block in their order: 所在, 地番, 地目, 地積, 求積方法 (座標法), 縮尺,
// 座標系, 測量年月日, 作成年月日, 申請人, 作成者. 地積 is each parcel's registered area in m² (with
// its name when there are several), 縮尺 "1/250" from the scale factor.
std::vector<TitleRow> titleRows(const TitleBlock& fields, const LandCategory& category,
                                const std::vector<ParcelArea>& areas, double scaleFactor);

// A date given as YYYY-MM-DD in the Japanese form "2024年5月1日"; other text unchanged.
std::string japaneseDate(std::string_view date);

} // namespace karumenio::parcel

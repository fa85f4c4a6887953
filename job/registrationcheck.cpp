#include "registrationcheck.h"

#include "settings.h"

#include "geodesy/prefectures.h"
#include "parcel/boundarymarks.h"
#include "parcel/neighbours.h"
#include "parcel/parcel.h"
#include "plan/plan.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/messagetext.h"

namespace karumenio::job {

namespace {

// Places listed in one warning beyond these are counted, not named.
constexpr std::size_t kNamedPlaces = 10;

std::string listed(const std::vector<std::string>& places) {
    std::string text;
    for (std::size_t i = 0; i < places.size() && i < kNamedPlaces; ++i) {
        text += (text.empty() ? "" : "、") + places[i];
    }
    if (places.size() > kNamedPlaces) {
        text += " ほか " + std::to_string(places.size() - kNamedPlaces) + " か所";
    }
    return text;
}

std::string systemsText(const geodesy::Prefecture& prefecture) {
    std::string text;
    for (const geodesy::PlaneSystem* system : prefecture.planeSystems()) {
        text += (text.empty() ? "" : "・") + geodesy::systemLabel(*system);
    }
    return text;
}

std::string parcelText(const parcel::Parcel& parcel) {
    return "区画「" + spreadsheet::quotedInMessage(parcel.name) + "」";
}

std::string pointName(const plan::Plan& plan, const parcel::Vertex& v) {
    return "「" + spreadsheet::quotedInMessage(plan.points[static_cast<std::size_t>(v.slot)].name) +
           "」";
}

// The stretches of each parcel's boundary with no neighbour along them, as
// "区画「1」の「P2」〜「P4」".
std::vector<std::string> sidesWithoutNeighbour(const plan::Plan& plan,
                                               const std::vector<parcel::Parcel>& parcels,
                                               const parcel::NeighbourSearch& found) {
    std::vector<std::string> stretches;
    for (std::size_t p = 0; p < parcels.size(); ++p) {
        const std::vector<parcel::Vertex>& v = parcels[p].vertices;
        const auto& lots = found.lots[p];
        const std::size_t n = v.size();
        std::size_t start = 0;
        while (start < n && lots[start].empty()) {
            ++start;
        }
        if (start == n) {
            stretches.push_back(parcelText(parcels[p]) + "の全周");
            continue;
        }
        // From a side with a neighbour once round, so that no stretch is cut at the first corner.
        for (std::size_t i = 1; i <= n; ++i) {
            const std::size_t side = (start + i) % n;
            if (!lots[side].empty()) {
                continue;
            }
            std::size_t last = side;
            while (i < n && lots[(start + i + 1) % n].empty()) {
                ++i;
                last = (start + i) % n;
            }
            stretches.push_back(parcelText(parcels[p]) + "の" + pointName(plan, v[side]) + "〜" +
                                pointName(plan, v[(last + 1) % n]));
        }
    }
    return stretches;
}

} // namespace

const geodesy::PlaneSystem* mapSystem(const Settings& settings) {
    if (settings.planeSystem != nullptr) {
        return settings.planeSystem;
    }
    const geodesy::Prefecture* prefecture = geodesy::prefectureOf(settings.map.titleBlock.location);
    if (prefecture == nullptr) {
        return nullptr;
    }
    const std::vector<const geodesy::PlaneSystem*> systems = prefecture->planeSystems();
    return systems.size() == 1 ? systems.front() : nullptr;
}

std::vector<std::string> checkRegistration(const plan::Plan& plan,
                                           const std::vector<parcel::Parcel>& parcels,
                                           const Settings& settings) {
    std::vector<std::string> warnings;
    const parcel::TitleBlock& fields = settings.map.titleBlock;
    auto missing = [&](const std::string& field, const char* item) {
        if (spreadsheet::trimWideBlanks(field).empty()) {
            warnings.push_back(std::string(item) + "が入力されていません。");
        }
    };
    missing(fields.location, "所在（地番区域の名称）");
    if (spreadsheet::trimWideBlanks(fields.lotNumber).empty()) {
        std::string names;
        for (const parcel::Parcel& parcel : parcels) {
            names += "「" + spreadsheet::quotedInMessage(parcel.name) + "」";
        }
        warnings.push_back("地番が入力されていません" +
                           (names.empty() ? std::string("。")
                                          : "（表題欄には区画名 " + names + " を書きます）。"));
    }
    if (settings.map.landCategory == nullptr) {
        warnings.emplace_back("地目が選ばれていません。");
    }
    const geodesy::Prefecture* prefecture = geodesy::prefectureOf(fields.location);
    if (settings.planeSystem == nullptr) {
        if (const geodesy::PlaneSystem* filled = mapSystem(settings)) {
            warnings.push_back("座標系が選ばれていないため、所在の" +
                               std::string(prefecture->name) + "の座標系 " +
                               geodesy::systemLabel(*filled) + " を表題欄に書きます。");
        } else if (prefecture != nullptr) {
            warnings.push_back("座標系（平面直角座標系の番号）が選ばれていません（所在の" +
                               std::string(prefecture->name) + "は " + systemsText(*prefecture) +
                               " のいずれかです）。");
        } else {
            warnings.emplace_back("座標系（平面直角座標系の番号）が選ばれていません。");
        }
    } else if (prefecture != nullptr && !prefecture->hasSystem(*settings.planeSystem)) {
        warnings.push_back("座標系 " + geodesy::systemLabel(*settings.planeSystem) + " は所在の" +
                           std::string(prefecture->name) + "の座標系（" + systemsText(*prefecture) +
                           "）ではありません。座標系を確かめて下さい。");
    }
    missing(fields.surveyDate, "測量年月日");
    missing(fields.applicant, "申請人");
    missing(fields.surveyor, "作成者");

    const parcel::BoundaryMarks marks = parcel::findBoundaryMarks(plan, parcels);
    std::vector<std::string> unmarked;
    for (const parcel::BoundaryPoint& point : marks.points) {
        if (!point.hasMark()) {
            unmarked.push_back(pointName(plan, point.vertex));
        }
    }
    if (!unmarked.empty()) {
        warnings.push_back(
            "境界標の種類（ない場合は「なし」）が入力されていない筆界点があります: " +
            listed(unmarked) + "。");
    }
    const parcel::NeighbourSearch neighbours =
        parcel::findNeighbours(plan, parcels, settings.neighbours);
    if (const std::vector<std::string> open = sidesWithoutNeighbour(plan, parcels, neighbours);
        !open.empty()) {
        warnings.push_back("隣接地の地番（道路・水路なども）が入力されていない辺があります: " +
                           listed(open) + "。");
    }
    warnings.insert(warnings.end(), neighbours.warnings.begin(), neighbours.warnings.end());
    warnings.insert(warnings.end(), marks.warnings.begin(), marks.warnings.end());
    return warnings;
}

} // namespace karumenio::job

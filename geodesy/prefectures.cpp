#include "prefectures.h"

#include "spreadsheet/cellvalue.h"

#include <algorithm>
#include <array>

namespace karumenio::geodesy {

namespace {

// The areas of the systems in the notice that defines them (平面直角座標系,
// 平成十四年国土交通省告示第九号, as last amended by 平成二十二年国土交通省告示第二百八十九号),
// read by prefecture: 鹿児島県 lies in I (its islands south of 32°N) and II, 東京都 in IX and in
// XIV, XVIII and XIX (the islands south of 28°N), 北海道 in XI, XII and XIII by its cities and
// 振興局, 沖縄県 in XV, XVI and XVII.
constexpr std::array<Prefecture, 47> kPrefectures{{
    {"北海道", {11, 12, 13}},
    {"青森県", {10}},
    {"岩手県", {10}},
    {"宮城県", {10}},
    {"秋田県", {10}},
    {"山形県", {10}},
    {"福島県", {9}},
    {"茨城県", {9}},
    {"栃木県", {9}},
    {"群馬県", {9}},
    {"埼玉県", {9}},
    {"千葉県", {9}},
    {"東京都", {9, 14, 18, 19}},
    {"神奈川県", {9}},
    {"新潟県", {8}},
    {"富山県", {7}},
    {"石川県", {7}},
    {"福井県", {6}},
    {"山梨県", {8}},
    {"長野県", {8}},
    {"岐阜県", {7}},
    {"静岡県", {8}},
    {"愛知県", {7}},
    {"三重県", {6}},
    {"滋賀県", {6}},
    {"京都府", {6}},
    {"大阪府", {6}},
    {"兵庫県", {5}},
    {"奈良県", {6}},
    {"和歌山県", {6}},
    {"鳥取県", {5}},
    {"島根県", {3}},
    {"岡山県", {5}},
    {"広島県", {3}},
    {"山口県", {3}},
    {"徳島県", {4}},
    {"香川県", {4}},
    {"愛媛県", {4}},
    {"高知県", {4}},
    {"福岡県", {2}},
    {"佐賀県", {2}},
    {"長崎県", {1}},
    {"熊本県", {2}},
    {"大分県", {2}},
    {"宮崎県", {2}},
    {"鹿児島県", {1, 2}},
    {"沖縄県", {15, 16, 17}},
}};

} // namespace

std::vector<const PlaneSystem*> Prefecture::planeSystems() const {
    std::vector<const PlaneSystem*> found;
    for (const int number : systems) {
        if (const PlaneSystem* system = planeSystem(number)) {
            found.push_back(system);
        }
    }
    return found;
}

bool Prefecture::hasSystem(const PlaneSystem& system) const {
    return std::find(std::begin(systems), std::end(systems), system.number) != std::end(systems);
}

std::span<const Prefecture> prefectures() {
    return kPrefectures;
}

const Prefecture* prefectureOf(std::string_view location) {
    const std::string trimmed = spreadsheet::trimWideBlanks(location);
    for (const Prefecture& prefecture : kPrefectures) {
        if (std::string_view(trimmed).starts_with(prefecture.name)) {
            return &prefecture;
        }
    }
    return nullptr;
}

} // namespace karumenio::geodesy

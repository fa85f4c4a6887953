// The prefectures' plane rectangular systems against the notice's list of each system's areas,
// read the other way round: by system, as the notice writes it.
#include "geodesy/prefectures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

using namespace karumenio::geodesy;

namespace {

// The prefecture an area of the notice names: "北海道後志総合振興局の所管区域" is in 北海道,
// "鹿児島県のうち…" in 鹿児島県; a city ("小樽市") names none.
std::string prefectureNamed(std::string area) {
    for (const char* end : {"のうち", "（"}) {
        area = area.substr(0, area.find(end));
    }
    if (area.starts_with("北海道")) {
        return "北海道";
    }
    for (const char* suffix : {"都", "道", "府", "県"}) {
        if (area.ends_with(suffix)) {
            return area;
        }
    }
    return {};
}

std::map<std::string, std::set<int>> systemsByPrefectureOfTheNotice() {
    std::map<std::string, int> numberOf;
    for (const PlaneSystem& system : planeSystems()) {
        numberOf[system.roman] = system.number;
    }
    std::ifstream in(KARUMENIO_TEST_DATA "/plane_systems_areas.txt");
    EXPECT_TRUE(in.good());
    std::map<std::string, std::set<int>> systems;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t tab = line.find('\t');
        const int number = numberOf.at(line.substr(0, tab));
        std::istringstream areas(line.substr(tab + 1));
        for (std::string area; areas >> area;) {
            if (const std::string name = prefectureNamed(area); !name.empty()) {
                systems[name].insert(number);
            }
        }
    }
    return systems;
}

TEST(Prefectures, EachHasTheSystemsTheNoticeGivesItsLand) {
    const std::map<std::string, std::set<int>> notice = systemsByPrefectureOfTheNotice();
    ASSERT_EQ(notice.size(), 47u);
    ASSERT_EQ(prefectures().size(), 47u);
    std::set<std::string> seen;
    for (const Prefecture& prefecture : prefectures()) {
        const std::string name(prefecture.name);
        EXPECT_TRUE(seen.insert(name).second) << name;
        std::set<int> table;
        for (const PlaneSystem* system : prefecture.planeSystems()) {
            table.insert(system->number);
            EXPECT_TRUE(prefecture.hasSystem(*system));
        }
        ASSERT_TRUE(notice.count(name)) << name;
        EXPECT_EQ(table, notice.at(name)) << name;
    }
    // Those with several systems, as the notice divides them.
    const std::map<std::string, std::set<int>> several{{"北海道", {11, 12, 13}},
                                                       {"東京都", {9, 14, 18, 19}},
                                                       {"鹿児島県", {1, 2}},
                                                       {"沖縄県", {15, 16, 17}}};
    for (const auto& [name, systems] : notice) {
        EXPECT_EQ(systems.size() > 1, several.count(name) == 1) << name;
    }
}

TEST(Prefectures, TheLocationStartsWithOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"千葉県市川市八幡一丁目", "千葉県"},
        {"　東京都八王子市", "東京都"},
        {"京都府京都市", "京都府"},
        {"北海道函館市", "北海道"},
        {"八王子市元本郷町", ""},
        {"", ""},
    };
    for (const auto& [location, name] : cases) {
        const Prefecture* found = prefectureOf(location);
        EXPECT_EQ(found != nullptr ? std::string(found->name) : std::string(), name) << location;
    }
}

} // namespace

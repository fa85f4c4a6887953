#pragma once

#include <array>
#include <string_view>

namespace karumenio::parcel {

// How the registered area (地積) is cut from the computed area: always to 0.01 m², or to
// whole square metres once the area is more than 10 m².
enum class AreaRule { Hundredths, WholeAboveTen };

// A land category (地目) of the list. The categories other than 宅地 and 鉱泉地 share one rule,
// so one row stands for all of them.
struct LandCategory {
    // What the command line and settings call it.
    std::string_view token;
    // What the lists show.
    std::string_view listText;
    // What the title block shows as 地目.
    std::string_view titleText;
    AreaRule rule;
};

inline constexpr auto kLandCategories = std::to_array<LandCategory>({
    {"宅地", "宅地", "宅地", AreaRule::Hundredths},
    {"鉱泉地", "鉱泉地", "鉱泉地", AreaRule::Hundredths},
    {"その他", "その他（宅地・鉱泉地以外）", "その他", AreaRule::WholeAboveTen},
});

// The category with this token; nullptr when there is none.
const LandCategory* findLandCategory(std::string_view token);

// The category of a token written in the program; a token of no category does not compile.
consteval const LandCategory& landCategoryByToken(std::string_view token) {
    for (const LandCategory& category : kLandCategories) {
        if (category.token == token) {
            return category;
        }
    }
    throw "no land category of this token";
}

// The category of a job until the surveyor chooses one.
inline constexpr const LandCategory& kDefaultLandCategory = landCategoryByToken("宅地");

} // namespace karumenio::parcel

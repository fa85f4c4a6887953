#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace karumenio::parcel {

// How the new lots of a subdivision are told apart on the map (符号).
struct LotSignStyle {
    // What the command line and settings call it.
    std::string_view token;
    // What the lists show.
    std::string_view listText;
    // The signs in order; a lot past the end is numbered in parentheses.
    std::span<const std::string_view> signs;
};

namespace detail {
// Only the circled numbers code page 932 holds.
inline constexpr std::array<std::string_view, 20> kCircled{"①", "②", "③", "④", "⑤", "⑥", "⑦",
                                                           "⑧", "⑨", "⑩", "⑪", "⑫", "⑬", "⑭",
                                                           "⑮", "⑯", "⑰", "⑱", "⑲", "⑳"};
inline constexpr std::array<std::string_view, 47> kIroha{
    "(イ)", "(ロ)", "(ハ)", "(ニ)", "(ホ)", "(ヘ)", "(ト)", "(チ)", "(リ)", "(ヌ)", "(ル)", "(ヲ)",
    "(ワ)", "(カ)", "(ヨ)", "(タ)", "(レ)", "(ソ)", "(ツ)", "(ネ)", "(ナ)", "(ラ)", "(ム)", "(ウ)",
    "(ヰ)", "(ノ)", "(オ)", "(ク)", "(ヤ)", "(マ)", "(ケ)", "(フ)", "(コ)", "(エ)", "(テ)", "(ア)",
    "(サ)", "(キ)", "(ユ)", "(メ)", "(ミ)", "(シ)", "(ヱ)", "(ヒ)", "(モ)", "(セ)", "(ス)"};
inline constexpr std::array<std::string_view, 26> kLetters{
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
} // namespace detail

inline constexpr std::array<LotSignStyle, 3> kLotSignStyles{{
    {"circled", "①②③…", detail::kCircled},
    {"iroha", "(イ)(ロ)(ハ)…", detail::kIroha},
    {"abc", "A B C…", detail::kLetters},
}};

// The style with this token; nullptr when there is none.
const LotSignStyle* findLotSignStyle(std::string_view token);

// The sign of the lot at this place (0 for the first) in the style.
std::string lotSign(const LotSignStyle& style, std::size_t index);

} // namespace karumenio::parcel

#pragma once

#include <array>
#include <string>
#include <string_view>

namespace karumenio::points {

// The symbol a boundary mark of a kind is drawn with at its point and in the legend. Every kind
// of the list has one of its own; None draws nothing (no mark was found), Other stands for a
// kind the list does not know.
enum class MarkSymbol {
    Square,
    CrossedSquare,
    DoubleCircle,
    CrossedCircle,
    Circle,
    Triangle,
    Diamond,
    Cross,
    None,
    Other
};

// A kind of boundary mark (境界標) as the registry's maps name them.
struct MarkKind {
    // What the column 境界標 holds and the legend shows.
    std::string_view text;
    MarkSymbol symbol;
};

inline constexpr std::array<MarkKind, 9> kMarkKinds{{
    {"コンクリート杭", MarkSymbol::Square},
    {"石杭", MarkSymbol::CrossedSquare},
    {"金属標", MarkSymbol::DoubleCircle},
    {"金属鋲", MarkSymbol::CrossedCircle},
    {"金属杭", MarkSymbol::Circle},
    {"プラスチック杭", MarkSymbol::Triangle},
    {"木杭", MarkSymbol::Diamond},
    {"刻印", MarkSymbol::Cross},
    {"なし", MarkSymbol::None},
}};

// The kind a cell names, blanks around it (full-width ones too) left out; nullptr for a text
// that is not one of the list, and for an empty one.
const MarkKind* findMarkKind(std::string_view text);

// The kinds of the list joined with "・", for messages and notes.
std::string markKindList();

} // namespace karumenio::points

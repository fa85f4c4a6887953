#pragma once

#include <array>
#include <string>
#include <string_view>

namespace karumenio::layout {

// What a text of a sheet is, which fixes its height on the paper whatever the scale.
enum class TextRole {
    PointName,
    SideLength,
    AreaName,
    TableTitle,
    TableCell,
    TitleField,
    Heading,
    SheetNumber,
    NorthLetter,
};

struct TextSize {
    TextRole role;
    // Millimetres on the paper: the height of a capital, as the drawing programs take it.
    double height;
};

// The sizes a registration map is read at: the names and lengths beside the drawing, the
// tables and the title block 2–2.5 mm, the map's title 5 mm.
inline constexpr std::array<TextSize, 9> kTextSizes{{
    {TextRole::PointName, 2.5},
    {TextRole::SideLength, 2.0},
    {TextRole::AreaName, 3.0},
    {TextRole::TableTitle, 2.5},
    {TextRole::TableCell, 2.0},
    {TextRole::TitleField, 2.5},
    {TextRole::Heading, 5.0},
    {TextRole::SheetNumber, 2.5},
    {TextRole::NorthLetter, 3.5},
}};

constexpr double textHeight(TextRole role) {
    for (const TextSize& size : kTextSizes) {
        if (size.role == role) {
            return size.height;
        }
    }
    return kTextSizes[0].height;
}

// How wide a line of text of this height is drawn: each ASCII character as wide as the
// single-stroke roman font advances it (a digit 0.95 of the height), a full-width character
// 1.05. Every front end keeps its text within this width, so that boxes that do not meet hold
// texts that do not touch.
double textWidth(std::string_view text, double height);

// The text as one line for the drawing: control characters become blanks (CR LF one blank),
// ASCII blanks at both ends go.
std::string drawingText(std::string_view text);

// How far below the baseline a text's box reaches, as a share of its height: descenders and
// the lower part of full-width glyphs.
inline constexpr double kDescent = 0.2;

// The descent of this text: kDescent when it has a character that reaches below the baseline
// (a descender, a bracket, anything full-width), else 0, as for digits and capitals.
double textDescent(std::string_view text);

} // namespace karumenio::layout

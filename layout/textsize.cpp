#include "textsize.h"

#include "plan/textcolumns.h"
#include "spreadsheet/codepage.h"

namespace karumenio::layout {

namespace {

// The advance of each printable ASCII character (from the blank) in the single-stroke roman
// font the drawing programs draw texts with, in its units, whose capitals are 21 tall.
constexpr unsigned char kStrokeAdvance[95] = {
    16, 10, 16, 21, 20, 24, 26, 10, 14, 14, 16, 26, 10, 26, 10, 22, // blank to /
    20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 10, 10, 24, 26, 24, 18, // 0 to ?
    27, 18, 21, 21, 21, 19, 18, 21, 22, 8,  16, 21, 17, 24, 22, 22, // @ to O
    21, 22, 21, 20, 16, 22, 18, 24, 20, 18, 20, 14, 14, 14, 16, 16, // P to _
    10, 19, 19, 18, 19, 18, 12, 19, 19, 8,  10, 17, 8,  30, 19, 19, // ` to o
    19, 19, 13, 17, 12, 19, 16, 22, 17, 16, 17, 14, 8,  14, 24,     // p to ~
};
constexpr double kStrokeCapital = 21.0;
// Half-width kana and full-width characters from the big font, as shares of the height.
constexpr double kHalfWidthKana = 0.55;
constexpr double kFullWidth = 1.05;

} // namespace

double textWidth(std::string_view text, double height) {
    double width = 0.0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = spreadsheet::utf8SequenceLength(lead);
        if (length == 1) {
            width +=
                lead >= 0x20 && lead < 0x7f ? kStrokeAdvance[lead - 0x20] / kStrokeCapital : 1.0;
        } else if (plan::textColumns(text.substr(i, length)).fullWidth == 0) {
            width += kHalfWidthKana;
        } else {
            width += kFullWidth;
        }
        i += length;
    }
    return width * height;
}

double textDescent(std::string_view text) {
    constexpr std::string_view kDescending = "gjpqy,;()[]{}|_@$";
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80 ||
            kDescending.find(c) != std::string_view::npos) {
            return kDescent;
        }
    }
    return 0.0;
}

std::string drawingText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += c < 0x20 || c == 0x7f ? ' ' : text[i];
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

} // namespace karumenio::layout

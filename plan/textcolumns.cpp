#include "textcolumns.h"

#include "spreadsheet/codepage.h"

namespace karumenio::plan {

TextColumns textColumns(std::string_view utf8) {
    TextColumns count;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = spreadsheet::utf8SequenceLength(lead);
        // U+FF61..U+FF9F (half-width katakana) are EF BD A1..EF BE 9F in UTF-8.
        const bool halfWidthKana = length == 3 && lead == 0xEF && i + 1 < utf8.size() &&
                                   (static_cast<unsigned char>(utf8[i + 1]) == 0xBD ||
                                    static_cast<unsigned char>(utf8[i + 1]) == 0xBE);
        if (length == 1 || halfWidthKana) {
            ++count.halfWidth;
        } else {
            ++count.fullWidth;
        }
        i += length;
    }
    return count;
}

} // namespace karumenio::plan

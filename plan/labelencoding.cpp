#include "labelencoding.h"

#include "plan.h"

#include "points/pointtable.h"
#include "spreadsheet/ascii.h"
#include "spreadsheet/cellname.h"
#include "spreadsheet/codepage.h"

namespace karumenio::plan {

std::string toDrawingCodePage(std::string_view utf8, bool* lostAny) {
    std::vector<std::string> lost;
    std::string out = spreadsheet::toCp932(utf8, lostAny != nullptr ? &lost : nullptr);
    if (lostAny != nullptr) {
        *lostAny = !lost.empty();
    }
    return out;
}

std::string unmappableCharacters(std::string_view utf8) {
    if (spreadsheet::ascii::endOfAscii(utf8) == utf8.size()) {
        return {};
    }
    std::vector<std::string> lost;
    spreadsheet::toCp932(utf8, &lost);
    std::string characters;
    for (const std::string& c : lost) {
        characters += "「" + c + "」";
    }
    return characters;
}

void warnUnmappableLabels(const Plan& plan, std::vector<std::string>& warnings) {
    for (std::size_t slot = 0; slot < plan.points.size(); ++slot) {
        const std::string& name = plan.points[slot].label;
        const std::string characters = unmappableCharacters(name);
        if (characters.empty()) {
            continue;
        }
        warnings.push_back("セル " +
                           spreadsheet::cellName(points::kFirstDataRow + static_cast<int>(slot),
                                                 points::kLabelTextColumn) +
                           " の測点名「" + name + "」の文字" + characters +
                           "はシフトJISで表せないため、「?」として書き出しました。");
    }
}

} // namespace karumenio::plan

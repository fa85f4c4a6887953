#include "labelencoding.h"

#include "plan.h"

#include "points/ascii.h"
#include "points/codepage.h"
#include "points/pointtable.h"
#include "points/worksheet.h"

namespace karumenio::plan {

std::string toDrawingCodePage(std::string_view utf8, bool* lostAny) {
    std::vector<std::string> lost;
    std::string out = points::toCp932(utf8, lostAny != nullptr ? &lost : nullptr);
    if (lostAny != nullptr) {
        *lostAny = !lost.empty();
    }
    return out;
}

void warnUnmappableLabels(const Plan& plan, std::vector<std::string>& warnings) {
    for (std::size_t slot = 0; slot < plan.points.size(); ++slot) {
        const std::string& name = plan.points[slot].label;
        if (points::ascii::endOfAscii(name) == name.size()) {
            continue;
        }
        std::vector<std::string> lost;
        points::toCp932(name, &lost);
        if (lost.empty()) {
            continue;
        }
        std::string characters;
        for (const std::string& c : lost) {
            characters += "「" + c + "」";
        }
        warnings.push_back("セル " +
                           points::cellName(points::kFirstDataRow + static_cast<int>(slot),
                                            points::kLabelTextColumn) +
                           " の測点名「" + name + "」の文字" + characters +
                           "はシフトJISで表せないため、「?」として書き出しました。");
    }
}

} // namespace karumenio::plan

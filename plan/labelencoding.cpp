#include "labelencoding.h"

#include "plan.h"

#include "points/codepage.h"
#include "points/pointtable.h"
#include "points/worksheet.h"

namespace karumenio::plan {

namespace {

bool isAscii(std::string_view text) {
    // No early exit: a plain loop the compiler vectorises is faster on whole files.
    unsigned char bits = 0;
    for (const char c : text) {
        bits |= static_cast<unsigned char>(c);
    }
    return bits < 0x80;
}

} // namespace

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
        if (isAscii(name)) {
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

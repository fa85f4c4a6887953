#include "labelencoding.h"

#include "plan.h"

#include "points/codepage.h"
#include "points/pointtable.h"
#include "points/worksheet.h"

#include <utility>

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

// The non-ASCII runs are converted in one call, joined by LF, which no code page 932
// character contains; that keeps a file of thousands of Japanese names fast.
std::string toDrawingCodePage(std::string_view utf8, bool* lostAny) {
    if (lostAny != nullptr) {
        *lostAny = false;
    }
    if (isAscii(utf8)) {
        return std::string(utf8);
    }
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::string joined;
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t begin = i;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) {
            ++i;
        }
        runs.emplace_back(begin, i - begin);
        joined.append(utf8, begin, i - begin);
        joined += '\n';
    }
    std::vector<std::string> lost;
    const std::string converted = points::toCp932(joined, &lost);
    if (lostAny != nullptr) {
        *lostAny = !lost.empty();
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t copied = 0;
    std::size_t from = 0;
    for (const auto& [begin, length] : runs) {
        const std::size_t end = converted.find('\n', from);
        if (end == std::string::npos) {
            // Cannot happen with a converter that keeps LF; never write a wrong file.
            return points::toCp932(utf8, nullptr);
        }
        out.append(utf8, copied, begin - copied);
        out.append(converted, from, end - from);
        copied = begin + length;
        from = end + 1;
    }
    out.append(utf8, copied, std::string_view::npos);
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

#include "simawriter.h"

#include "plan/plan.h"
#include "points/pointname.h"
#include "points/pointtable.h"
#include "spreadsheet/cellname.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/codepage.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/paste.h"

#include <unordered_map>

namespace karumenio::survey {

namespace {

// Commas, quotes and blanks at either end would not survive a reader without the quotes.
std::string quotedField(const std::string& text) {
    const bool plain = text.find_first_of(",\"") == std::string::npos &&
                       (text.empty() || (text.front() != ' ' && text.back() != ' '));
    return plain ? text : spreadsheet::quoteField(text);
}

std::string coordinate(double value) {
    return spreadsheet::CellValue::number(value).textForm();
}

struct SimaPoint {
    int number = 0;
    std::string name;
    // The coordinates as the file holds them.
    std::string x;
    std::string y;
};

// The text of a name or mark as the file holds it: cut where it is longer than any name
// written, with a warning naming its cell.
std::string keptText(std::string text, int slot, int column, std::vector<std::string>& warnings) {
    if (const std::string_view kept = points::cutPointName(text); kept.size() < text.size()) {
        text.resize(kept.size());
        warnings.push_back("セル " + spreadsheet::cellName(points::kFirstDataRow + slot, column) +
                           " の「" + spreadsheet::quotedInMessage(text) + "」は " +
                           std::to_string(points::kLongestPointName) +
                           " 文字を超えるため、SIMA ファイルにはそこまでを書き出しました。");
    }
    return text;
}

} // namespace

std::string writeSima(const plan::Plan& plan, std::string_view siteName,
                      std::vector<std::string>& warnings) {
    const int count = static_cast<int>(plan.points.size());
    std::string text = "G00,01," + quotedField(std::string(siteName)) + ",\r\nA00,\r\n";

    // Slot of each point's distinct entry; the same name at the same place is one point.
    std::vector<SimaPoint> pointOfSlot(static_cast<std::size_t>(count));
    std::unordered_map<std::string, int> numbers;
    for (int slot = 0; slot < count; ++slot) {
        const plan::PlanPoint& point = plan.points[static_cast<std::size_t>(slot)];
        const std::string name = keptText(point.name, slot, points::kLabelTextColumn, warnings);
        const std::string x = coordinate(point.x);
        const std::string y = coordinate(point.y);
        const auto [it, added] = numbers.try_emplace(name + '\x1f' + x + '\x1f' + y, slot + 1);
        pointOfSlot[static_cast<std::size_t>(slot)] = {it->second, name, x, y};
        if (added) {
            text += "A01," + std::to_string(slot + 1) + "," + quotedField(name) + "," + x + "," +
                    y + ",,\r\n";
        }
    }
    text += "A99,\r\n";

    int parcel = 0;
    // A reader closes every parcel on its first corner: an open section written as one would
    // come back closed, with a side that was never surveyed. Its points go as points only.
    std::vector<std::string> open;
    for (int start = 0; start < count;) {
        int end = start + 1;
        while (end < count && !plan.points[static_cast<std::size_t>(end)].breakBefore) {
            ++end;
        }
        const SimaPoint& first = pointOfSlot[static_cast<std::size_t>(start)];
        const SimaPoint& closing = pointOfSlot[static_cast<std::size_t>(end - 1)];
        const bool closed = end - start > 2 && closing.x == first.x && closing.y == first.y;
        int last = end;
        if (closed && closing.number == first.number) {
            --last;
        }
        if (closed) {
            text += "D00," + std::to_string(++parcel) + "," +
                    quotedField(keptText(plan.points[static_cast<std::size_t>(start)].breakMark,
                                         start, points::kBreakMarkColumn, warnings)) +
                    ",1,\r\n";
            for (int slot = start; slot < last; ++slot) {
                const SimaPoint& point = pointOfSlot[static_cast<std::size_t>(slot)];
                text +=
                    "B01," + std::to_string(point.number) + "," + quotedField(point.name) + ",\r\n";
            }
            text += "D99,\r\n";
        } else if (end - start >= 2) {
            open.push_back(
                spreadsheet::cellName(points::kFirstDataRow + start, points::kBreakMarkColumn));
        }
        start = end;
    }
    if (!open.empty()) {
        constexpr std::size_t kShown = 3;
        std::string cells;
        for (std::size_t i = 0; i < open.size() && i < kShown; ++i) {
            cells += (i == 0 ? "" : "、") + open[i];
        }
        if (open.size() > kShown) {
            cells += " ほか " + std::to_string(open.size() - kShown) + " 区間";
        }
        warnings.push_back(
            "セル " + cells +
            " から始まる区間は閉じていない（最後の点が最初の点と同じ座標でない）"
            "ため、SIMA ファイルには区画 (D00) にせず、点 (A01) だけを書き出しました。"
            "読み込み直すと、これらの点は線で結ばれません。");
    }

    std::vector<std::string> lost;
    std::string bytes = spreadsheet::toCp932(text, &lost);
    if (!lost.empty()) {
        std::string characters;
        for (const std::string& c : lost) {
            characters += "「" + c + "」";
        }
        warnings.push_back("SIMA ファイルの文字" + characters +
                           "はシフトJISで表せないため、「?」として書き出しました。");
    }
    return bytes;
}

} // namespace karumenio::survey

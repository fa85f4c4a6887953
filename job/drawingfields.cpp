#include "drawingfields.h"

#include "surveymapfiles.h"

#include "spreadsheet/cellvalue.h"
#include "spreadsheet/messagetext.h"

namespace karumenio::job {

std::optional<FieldProblem> drawingFieldProblem(const parcel::TitleBlock& title,
                                                const std::vector<std::string>& neighbourLines) {
    if (!title.date.empty() && !isCalendarDate(title.date)) {
        return FieldProblem{"date", "作成年月日は 2024-05-01 のように年-月-日で入力して下さい"
                                    "（空欄なら作成する日）。"};
    }
    if (!title.surveyDate.empty() && !isCalendarDate(title.surveyDate)) {
        return FieldProblem{"surveyDate",
                            "測量年月日は 2025-03-20 のように年-月-日で入力して下さい。"};
    }
    for (const std::string& line : neighbourLines) {
        if (!spreadsheet::trimWideBlanks(line).empty() && !parcel::parseNeighbour(line)) {
            return FieldProblem{"neighbours", "隣接地「" + spreadsheet::quotedInMessage(line) +
                                                  "」は「地番:点名-点名」の形で入力して下さい"
                                                  "（例 670番:P1-P3、道路:P3-P4）。"};
        }
    }
    return std::nullopt;
}

std::vector<parcel::Neighbour> neighboursOf(const std::vector<std::string>& neighbourLines) {
    std::vector<parcel::Neighbour> neighbours;
    for (const std::string& line : neighbourLines) {
        if (std::optional<parcel::Neighbour> neighbour = parcel::parseNeighbour(line)) {
            neighbours.push_back(std::move(*neighbour));
        }
    }
    return neighbours;
}

} // namespace karumenio::job

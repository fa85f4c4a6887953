#include "drawingfields.h"

#include "surveymapfiles.h"

#include "parcel/accuracyclass.h"

#include "spreadsheet/cellvalue.h"
#include "spreadsheet/messagetext.h"

#include <tuple>

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

std::string registeredAreaMessage(std::string_view typed) {
    return "登記地積「" + spreadsheet::quotedInMessage(typed) +
           "」は使えません。m² の数で、小数 6 桁までで入力して下さい（例 330.57）。";
}

std::optional<FieldProblem> subdivisionFieldProblem(const SubdivisionFields& fields) {
    if (!fields.registeredArea.empty() && !parcel::squareMillimetresOf(fields.registeredArea)) {
        return FieldProblem{"registeredArea", registeredAreaMessage(fields.registeredArea)};
    }
    if (!fields.accuracyClass.empty() && !parcel::findAccuracyClass(fields.accuracyClass)) {
        return FieldProblem{"accuracyClass",
                            "精度区分「" + spreadsheet::quotedInMessage(fields.accuracyClass) +
                                "」は一覧にありません。一覧から選んで下さい。"};
    }
    if (!fields.signs.empty() && !parcel::findLotSignStyle(fields.signs)) {
        return FieldProblem{"signs", "符号「" + spreadsheet::quotedInMessage(fields.signs) +
                                         "」は一覧にありません。一覧から選んで下さい。"};
    }
    if (fields.parent.empty()) {
        // Without a parent these would be dropped unseen, though the surveyor meant something.
        for (const auto& [field, text, name] :
             {std::tuple{"registeredArea", &fields.registeredArea, "登記地積"},
              std::tuple{"accuracyClass", &fields.accuracyClass, "精度区分"},
              std::tuple{"remainder", &fields.remainder, "残地"}}) {
            if (!text->empty()) {
                return FieldProblem{field, std::string(name) +
                                               "は分筆元を指定したときだけ使えます。"
                                               "分筆元を指定するか、" +
                                               name + "を空欄にして下さい。"};
            }
        }
    }
    return std::nullopt;
}

parcel::SubdivisionSettings subdivisionOf(const SubdivisionFields& fields) {
    parcel::SubdivisionSettings settings;
    settings.parent = fields.parent;
    if (const parcel::LotSignStyle* signs = parcel::findLotSignStyle(fields.signs)) {
        settings.signs = signs;
    }
    settings.registeredArea = parcel::squareMillimetresOf(fields.registeredArea);
    settings.accuracyClass = parcel::findAccuracyClass(fields.accuracyClass);
    settings.remainder = fields.remainder;
    return settings;
}

} // namespace karumenio::job

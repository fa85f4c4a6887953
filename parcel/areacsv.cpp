#include "areacsv.h"

#include "boundarymarks.h"
#include "millimetres.h"
#include "parcelarea.h"
#include "subdivision.h"

#include "plan/plan.h"
#include "spreadsheet/messagetext.h"

#include <algorithm>

namespace karumenio::parcel {

namespace {

// A text field that a spreadsheet would take for a formula (or, with a TAB or CR first, that
// pastes into the wrong cell) when it begins so.
bool readsAsFormula(std::string_view field) {
    return !field.empty() &&
           std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}

// The names that were given a leading "'", each once, for the warning.
class GuardedNames {
  public:
    std::string_view guard(std::string_view name, std::string& kept) {
        if (!readsAsFormula(name)) {
            return name;
        }
        if (std::find(m_names.begin(), m_names.end(), name) == m_names.end()) {
            m_names.emplace_back(name);
        }
        kept = "'" + std::string(name);
        return kept;
    }

    void warn(std::vector<std::string>& warnings) const {
        if (m_names.empty()) {
            return;
        }
        constexpr std::size_t kShown = 3;
        std::string shown;
        for (std::size_t i = 0; i < m_names.size() && i < kShown; ++i) {
            shown += "「" + spreadsheet::quotedInMessage(m_names[i]) + "」";
        }
        if (m_names.size() > kShown) {
            shown += "ほか " + std::to_string(m_names.size() - kShown) + " 件";
        }
        warnings.push_back("求積表 CSV の名前" + shown +
                           "は「=」「+」「-」「@」やタブ・改行で始まり、表計算ソフトが数式として"
                           "読むため、先頭に「'」を付けて書き出しました。");
    }

  private:
    std::vector<std::string> m_names;
};

void appendField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

template <typename Fields> void appendRow(std::string& out, const Fields& fields) {
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first) {
            out += ',';
        }
        first = false;
        appendField(out, field);
    }
    out += "\r\n";
}

void appendSubdivisionSummary(std::string& out, const SubdivisionCheck& check) {
    const WideInteger difference = check.lotsArea - check.parentArea;
    const struct {
        std::string_view name;
        const WideInteger& doubleArea;
        const WideInteger& area;
    } rows[] = {{"分筆前", check.parentDoubleArea, check.parentArea},
                {"分筆後合計", check.lotsDoubleArea, check.lotsArea},
                {"差", check.difference, difference}};
    for (const auto& row : rows) {
        appendRow(out, std::array<std::string_view, 7>{row.name, "倍面積", "", "", "",
                                                       row.doubleArea.fixedPoint(6), ""});
        appendRow(out, std::array<std::string_view, 7>{row.name, "面積", "", "", "",
                                                       row.area.fixedPoint(6), ""});
    }
}

} // namespace

AreaCsv writeAreaCsv(const plan::Plan& plan, const std::vector<ParcelArea>& areas,
                     const SubdivisionCheck* subdivision) {
    AreaCsv csv;
    csv.bytes = "\xEF\xBB\xBF";
    std::array<std::string_view, kAreaTableColumns.size() + 1> header{};
    std::copy(kAreaTableColumns.begin(), kAreaTableColumns.end(), header.begin());
    header.back() = kMarkColumn;
    appendRow(csv.bytes, header);
    const std::map<Place, int> marks = markRows(plan);
    const bool summary = subdivision != nullptr && !subdivision->lots.empty();
    const std::size_t lastLot = summary ? subdivision->lots.back().parcel : areas.size();
    GuardedNames guarded;
    std::string parcelName;
    std::string pointName;
    std::string markName;
    for (std::size_t index = 0; index < areas.size(); ++index) {
        const ParcelArea& area = areas[index];
        const std::string_view name = guarded.guard(area.name, parcelName);
        for (const AreaRow& row : area.rows) {
            // The name as typed: a plan of the points alone has no drawn labels.
            const std::string_view point = guarded.guard(
                plan.points[static_cast<std::size_t>(row.vertex.slot)].name, pointName);
            const auto mark = marks.find({row.vertex.x, row.vertex.y});
            // A kind not of the list is written as typed: guarded as the names are.
            const std::string_view markText =
                mark == marks.end()
                    ? std::string_view()
                    : guarded.guard(plan.points[static_cast<std::size_t>(mark->second)].markText,
                                    markName);
            appendRow(csv.bytes, std::array<std::string_view, 7>{
                                     name, point, metresText(row.vertex.x),
                                     metresText(row.vertex.y), metresText(row.yDifference),
                                     row.term.fixedPoint(6), markText});
        }
        for (const ParcelArea::Total& total : area.totals()) {
            appendRow(csv.bytes,
                      std::array<std::string_view, 7>{name, total.name, "", "", "", total.value, ""});
        }
        if (index == lastLot) {
            appendSubdivisionSummary(csv.bytes, *subdivision);
        }
    }
    if (areas.empty()) {
        csv.warnings.emplace_back(kNoParcelsWarning);
    }
    guarded.warn(csv.warnings);
    return csv;
}

} // namespace karumenio::parcel

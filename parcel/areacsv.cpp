#include "areacsv.h"

#include "boundarymarks.h"
#include "millimetres.h"
#include "parcelarea.h"
#include "subdivision.h"

#include "plan/plan.h"

#include <algorithm>

namespace karumenio::parcel {

namespace {

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
    for (std::size_t index = 0; index < areas.size(); ++index) {
        const ParcelArea& area = areas[index];
        for (const AreaRow& row : area.rows) {
            // The name as typed: a plan of the points alone has no drawn labels.
            const std::string& pointName =
                plan.points[static_cast<std::size_t>(row.vertex.slot)].name;
            const auto mark = marks.find({row.vertex.x, row.vertex.y});
            const std::string_view markText =
                mark == marks.end() ? std::string_view()
                                    : plan.points[static_cast<std::size_t>(mark->second)].markText;
            appendRow(csv.bytes,
                      std::array<std::string_view, 7>{
                          area.name, pointName, metresText(row.vertex.x), metresText(row.vertex.y),
                          metresText(row.yDifference), row.term.fixedPoint(6), markText});
        }
        for (const ParcelArea::Total& total : area.totals()) {
            appendRow(csv.bytes, std::array<std::string_view, 7>{area.name, total.name, "", "", "",
                                                                 total.value, ""});
        }
        if (index == lastLot) {
            appendSubdivisionSummary(csv.bytes, *subdivision);
        }
    }
    if (areas.empty()) {
        csv.warnings.emplace_back(kNoParcelsWarning);
    }
    return csv;
}

} // namespace karumenio::parcel

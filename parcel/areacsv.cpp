#include "areacsv.h"

#include "boundarymarks.h"
#include "millimetres.h"
#include "parcelarea.h"

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

} // namespace

AreaCsv writeAreaCsv(const plan::Plan& plan, const std::vector<ParcelArea>& areas) {
    AreaCsv csv;
    csv.bytes = "\xEF\xBB\xBF";
    std::array<std::string_view, kAreaTableColumns.size() + 1> header{};
    std::copy(kAreaTableColumns.begin(), kAreaTableColumns.end(), header.begin());
    header.back() = kMarkColumn;
    appendRow(csv.bytes, header);
    const std::map<Place, int> marks = markRows(plan);
    for (const ParcelArea& area : areas) {
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
    }
    if (areas.empty()) {
        csv.warnings.emplace_back(kNoParcelsWarning);
    }
    return csv;
}

} // namespace karumenio::parcel

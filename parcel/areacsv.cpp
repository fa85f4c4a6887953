#include "areacsv.h"

#include "millimetres.h"
#include "parcelarea.h"

#include "plan/plan.h"

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
    appendRow(csv.bytes, kAreaTableColumns);
    for (const ParcelArea& area : areas) {
        for (const AreaRow& row : area.rows) {
            // The name as typed: a plan of the points alone has no drawn labels.
            const std::string& pointName =
                plan.points[static_cast<std::size_t>(row.vertex.slot)].name;
            appendRow(csv.bytes,
                      std::array<std::string_view, 6>{
                          area.name, pointName, metresText(row.vertex.x), metresText(row.vertex.y),
                          metresText(row.yDifference), row.term.fixedPoint(6)});
        }
        for (const ParcelArea::Total& total : area.totals()) {
            appendRow(csv.bytes, std::array<std::string_view, 6>{area.name, total.name, "", "", "",
                                                                 total.value});
        }
    }
    if (areas.empty()) {
        csv.warnings.emplace_back(kNoParcelsWarning);
    }
    return csv;
}

} // namespace karumenio::parcel

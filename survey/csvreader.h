#pragma once

#include "pointrows.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::survey {

enum class HeaderMode { Auto, Yes, No };

// Which input column feeds each worksheet column. Written as a list such as "name,x,y" or
// "mark,name,x,y,r,kind,class": a bare role takes the input column at its place in the list, "-"
// skips one, and "x=4" or "x=X座標" names the column by number (from 1) or header text.
struct ColumnMapping {
    struct Entry {
        Role role = Role::Mark;
        // 0-based input column; unset when the header text names it.
        std::optional<int> position;
        std::string header;
    };
    std::vector<Entry> entries;
    // False for the standard order, which a header line that names its columns overrides.
    bool given = false;

    bool namesHeaders() const;
    // The worksheet's order: A, B, C, D, then G, H and I.
    static ColumnMapping standard();
    // Throws the type mismatch error with a message naming the part that cannot be read, or
    // the two parts that name one column.
    static ColumnMapping parse(std::string_view text);
};

struct CsvOptions {
    HeaderMode header = HeaderMode::Auto;
    ColumnMapping columns = ColumnMapping::standard();
};

// Reads rows as a spreadsheet copies them (TAB-separated, comma-separated on a line without
// TAB). The first line is a header when told, or when none of its coordinate fields reads as
// a number, or when it names an X and a Y column and holds no number. Without columns given,
// a header's columns are found by their names (区画, 点名, X座標, Y座標, 半径, 境界標, 種別,
// northing…, in either width); one that names no point name, X or Y column (nor a table of
// marks, isMarkTable) throws naming the line and its columns. A coordinate written with a decimal
// comma ("1234,567"), in a comma-separated file a line with more fields than its header, or a
// column given that no line of the file reaches, throws naming it.
PointRows readDelimited(std::string_view text, const CsvOptions& options);
// Whether the text is a table of marks: a header line that names a point name column and a
// 境界標 or 種別 column, and no X or Y column. Its rows go to the points of those names.
bool isMarkTable(std::string_view text, const CsvOptions& options);

// The same, handing each row to the sink as it is read instead of keeping them all.
void readDelimited(std::string_view text, const CsvOptions& options,
                   const std::function<void(const PointRow&)>& sink);

} // namespace karumenio::survey

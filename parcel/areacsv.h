#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {

struct ParcelArea;
struct SubdivisionCheck;

// The columns of the area table, in the CSV file and on the sheet.
inline constexpr std::array<std::string_view, 6> kAreaTableColumns{
    "区画", "点名", "X", "Y", "Yn+1-Yn-1", "Xn(Yn+1-Yn-1)"};

// The CSV file's columns: the table's, then each corner's boundary mark (境界標) last, so that
// a program reading the earlier columns by their place reads them as before.
inline constexpr std::string_view kMarkColumn = "境界標";

// What a job without parcels says when its area table is asked for.
inline constexpr std::string_view kNoParcelsWarning =
    "閉じた区画（最後の点が最初の点と同じ座標で、異なる点が 3 点以上の区画）がないため、"
    "求積表は見出しだけです。";

struct AreaCsv {
    std::string bytes;
    std::vector<std::string> warnings;
};

// The area table as a CSV file: UTF-8 with a byte order mark, CR LF after every line, the
// header, then per parcel one row per corner (X, Y and Yn+1−Yn−1 with 3 decimals, the term
// with 6, and the mark at the corner as written, which any row at that place may give) and its
// three totals (倍面積 and 面積 with 6 decimals, 地積 with 2, or none where it
// is cut to whole square metres). Point names are the plan's rows' names as typed. A name or
// mark a spreadsheet would read as a formula (first "=", "+", "-", "@", TAB or CR) gets a "'"
// before it, with a warning naming it; the numbers stay numbers. A field holding a comma, a
// quote or a line break is quoted, its quotes doubled. Without parcels: the header alone, and
// kNoParcelsWarning.
// With a subdivision that has new lots, its summary follows the last new lot's totals: rows
// 分筆前, 分筆後合計 and 差 (the latter less the former), each with 倍面積 and 面積 exact to the
// square millimetre; 分筆後合計's 面積 is half its 倍面積, truncated once.
AreaCsv writeAreaCsv(const plan::Plan& plan, const std::vector<ParcelArea>& areas,
                     const SubdivisionCheck* subdivision = nullptr);

} // namespace karumenio::parcel

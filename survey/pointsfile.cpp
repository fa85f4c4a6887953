#include "pointsfile.h"

#include "simareader.h"
#include "warninglist.h"

#include "points/pointname.h"
#include "points/pointtable.h"
#include "spreadsheet/ascii.h"
#include "spreadsheet/codepage.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_map>

namespace karumenio::survey {

namespace {

constexpr std::array<int, kRoleCount> kRoleColumns{
    points::kBreakMarkColumn, points::kLabelTextColumn,  points::kPointXColumn,
    points::kPointYColumn,    points::kMarkRadiusColumn, points::kBoundaryMarkColumn,
    points::kPointClassColumn};

bool endsWithSim(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    std::string suffix(name.substr(name.size() - 4));
    for (char& c : suffix) {
        c = spreadsheet::ascii::toLower(c);
    }
    return suffix == ".sim";
}

// As a paste reads a field: empty empties the cell, a number becomes a Number except in the
// name column, anything else is text as written.
spreadsheet::CellContent cellContent(int column, const std::string& field) {
    if (field.empty()) {
        return {};
    }
    if (column != spreadsheet::Worksheet::kTextColumn) {
        if (auto number = spreadsheet::readNumber(field)) {
            return spreadsheet::CellContent::value(spreadsheet::CellValue::number(*number));
        }
    }
    return spreadsheet::CellContent::value(spreadsheet::CellValue::text(field));
}

} // namespace

bool looksLikeSima(std::string_view bytes, std::string_view fileName) {
    if (endsWithSim(fileName)) {
        return true;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return false;
    }
    // A record code is three letters; a long first field is no SIMA header.
    std::size_t end = bytes.find_first_of(",\r\n", start);
    end = std::min({end, bytes.size(), start + 16});
    std::string code = spreadsheet::trimBlanks(bytes.substr(start, end - start));
    for (char& c : code) {
        c = spreadsheet::ascii::toUpper(c);
    }
    return code == "G00" || code == "Z00" || code == "A00";
}

namespace {

// The file's text as UTF-8: the bytes themselves when they are UTF-8 (a byte order mark left
// out), else converted from code page 932 into storage.
std::string_view decodedText(std::string_view bytes, std::string& storage) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (spreadsheet::isValidUtf8(bytes)) {
        return bytes;
    }
    if (auto text = spreadsheet::cp932ToUtf8(bytes)) {
        storage = std::move(*text);
        return storage;
    }
    throw spreadsheet::RunTimeError(
        spreadsheet::RunError::TypeMismatch,
        "座標ファイルの文字コードを読み取れません: UTF-8 でもシフト JIS "
        "(コードページ 932) でもないため、何も貼り付けませんでした。");
}

} // namespace

std::string decodePointsFile(std::string_view bytes) {
    std::string storage;
    const std::string_view text = decodedText(bytes, storage);
    return text.data() == storage.data() ? storage : std::string(text);
}

void decodeInPlace(std::string& bytes) {
    std::string converted;
    const std::string_view text = decodedText(bytes, converted);
    if (text.data() == converted.data()) {
        bytes = std::move(converted);
    }
}

bool isMarkFile(std::string_view bytes, std::string_view fileName, const OpenOptions& options) {
    if (options.format == FileFormat::Sima ||
        (options.format == FileFormat::Auto && looksLikeSima(bytes, fileName))) {
        return false;
    }
    std::string converted;
    try {
        return isMarkTable(decodedText(bytes, converted), options.csv);
    } catch (const spreadsheet::RunTimeError&) {
        return false;
    }
}

PointRows readPointsFile(std::string_view bytes, std::string_view fileName,
                         const OpenOptions& options) {
    const bool sima = options.format == FileFormat::Sima ||
                      (options.format == FileFormat::Auto && looksLikeSima(bytes, fileName));
    std::string converted;
    const std::string_view text = decodedText(bytes, converted);
    return sima ? readSima(text) : readDelimited(text, options.csv);
}

namespace {

constexpr std::string_view kLongName = "長すぎる名前の警告";

// True for a row of a blank line: no field, or only empty ones (a single blank is a value).
bool isBlankRow(const PointRow& row) {
    return std::all_of(
        row.fields.begin(), row.fields.end(),
        [](const std::optional<std::string>& field) { return !field || field->empty(); });
}

// The worksheet changes of a points file, gathered row by row from A6 down and applied as
// one action. Rows past the table's last slot are only counted, for the message, and blank
// rows count only once a row with something follows them: the blank lines at the end of a
// file make no rows.
class RowChanges {
  public:
    RowChanges(const spreadsheet::Worksheet& sheet, std::size_t rowsExpected,
               std::vector<std::string>& warnings)
        : m_sheet(sheet), m_warnings(warnings) {
        m_changes.reserve(std::min<std::size_t>(rowsExpected, points::kSlotCount) * kRoleCount);
    }

    void add(const PointRow& row) {
        if (isBlankRow(row)) {
            // Kept only while they may still fit on the sheet.
            if (m_rows + m_blank.size() < points::kSlotCount) {
                m_blank.push_back(row);
            } else {
                ++m_blankNotKept;
            }
            return;
        }
        for (const PointRow& blank : m_blank) {
            write(blank);
        }
        m_rows += m_blankNotKept;
        m_blank.clear();
        m_blankNotKept = 0;
        write(row);
    }

    // Rows a reader made but did not keep; least: it stopped counting too.
    void countMore(std::size_t rows, bool least) {
        m_rows += rows;
        m_countIsLeast = m_countIsLeast || least;
    }

    std::size_t rows() const { return m_rows; }

    spreadsheet::EditRecord apply(spreadsheet::Worksheet& sheet) {
        if (m_rows > points::kSlotCount) {
            throw spreadsheet::RunTimeError(
                spreadsheet::RunError::SubscriptOutOfRange,
                "インデックスが有効範囲にありません: 座標ファイルから" +
                    std::string(m_countIsLeast ? "少なくとも " : " ") + std::to_string(m_rows) +
                    " 行のデータができましたが、ワークシートに入るのは " +
                    std::to_string(points::kSlotCount) + " 行までです。何も貼り付けませんでした。",
                spreadsheet::cellName(points::kFirstDataRow + points::kSlotCount,
                                      points::kPointXColumn));
        }
        // Rows an earlier paste left below would otherwise be read as part of this file.
        const int last = sheet.lastUsedRow();
        for (int row = points::kFirstDataRow + static_cast<int>(m_rows); row <= last; ++row) {
            for (int role = 0; role < kRoleCount; ++role) {
                // The radius column keeps the template's chain.
                if (role != static_cast<int>(Role::Radius) &&
                    !sheet.isEmpty(row, kRoleColumns[role])) {
                    m_changes.push_back({row, kRoleColumns[role], {}, {}});
                }
            }
        }
        m_warnings.finish();
        return sheet.apply(std::move(m_changes));
    }

  private:
    void write(const PointRow& row) {
        if (++m_rows > points::kSlotCount) {
            return;
        }
        const int target = points::kFirstDataRow + static_cast<int>(m_rows) - 1;
        for (int role = 0; role < kRoleCount; ++role) {
            const std::optional<std::string>& field = row.fields[role];
            if (!field && role == static_cast<int>(Role::Radius)) {
                continue;
            }
            const int column = kRoleColumns[role];
            std::string_view text = field ? std::string_view(*field) : std::string_view();
            if (role <= static_cast<int>(Role::Name) && points::cutPointName(text) != text) {
                text = points::cutPointName(text);
                m_warnings.add(kLongName, [&] {
                    return "ワークシートの " + spreadsheet::cellName(target, column) + " に入る" +
                           (role == static_cast<int>(Role::Name) ? "測点名" : "区画") + "「" +
                           spreadsheet::quotedInMessage(text) + "」は " +
                           std::to_string(points::kLongestPointName) +
                           " 文字を超えるため、そこまでで切りました。";
                });
            }
            spreadsheet::CellContent content =
                field ? cellContent(column, std::string(text)) : spreadsheet::CellContent{};
            // An empty field over an empty cell changes nothing; the record needs no room for it.
            if (content.isEmpty() && m_sheet.isEmpty(target, column)) {
                continue;
            }
            m_changes.push_back({target, column, {}, std::move(content)});
        }
    }

    const spreadsheet::Worksheet& m_sheet;
    WarningList m_warnings;
    spreadsheet::EditRecord m_changes;
    std::size_t m_rows = 0;
    bool m_countIsLeast = false;
    std::vector<PointRow> m_blank;
    std::size_t m_blankNotKept = 0;
};

constexpr std::string_view kUnknownName = "座標にない点名の警告";
constexpr std::string_view kNameTwice = "同じ点名の警告";

// A table of marks put into the worksheet: each point row whose name the table lists gets the
// kind and class the table gives (those of the first row of that name), in H and I; the rows
// the table has no column for keep theirs.
spreadsheet::EditRecord putMarks(spreadsheet::Worksheet& sheet, const std::vector<PointRow>& rows,
                                 std::vector<std::string>& out, int& matched) {
    WarningList warnings(out);
    std::unordered_map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string name = spreadsheet::trimBlanks(rows[i][Role::Name].value_or(""));
        if (name.empty()) {
            continue;
        }
        if (!byName.try_emplace(name, i).second) {
            warnings.add(kNameTwice, [&] {
                return "境界標・種別の表の " + std::to_string(i + 2) + " 行目の点名「" +
                       spreadsheet::quotedInMessage(name) +
                       "」は前の行にもあります。先の行の境界標・種別を使います。";
            });
        }
    }
    std::vector<bool> used(rows.size(), false);
    spreadsheet::EditRecord changes;
    matched = 0;
    int row = points::kFirstDataRow;
    for (; !sheet.value(row, points::kPointXColumn).equalsEmptyText(); ++row) {
        const auto found = byName.find(sheet.value(row, points::kLabelTextColumn).textForm());
        if (found == byName.end()) {
            continue;
        }
        used[found->second] = true;
        ++matched;
        for (const Role role : {Role::MarkKind, Role::PointClass}) {
            const std::optional<std::string>& field = rows[found->second][role];
            const int column = kRoleColumns[static_cast<int>(role)];
            spreadsheet::CellContent content =
                field ? cellContent(column, *field) : sheet.content(row, column);
            if (content != sheet.content(row, column)) {
                changes.push_back({row, column, {}, std::move(content)});
            }
        }
    }
    if (row == points::kFirstDataRow) {
        throw spreadsheet::RunTimeError(
            spreadsheet::RunError::TypeMismatch,
            "境界標・種別の表（点名と境界標・種別だけの表）を当てはめる座標がワークシートに"
            "ありません。先に座標のファイルを開くか貼り付けて下さい。何も変更していません。");
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string name = spreadsheet::trimBlanks(rows[i][Role::Name].value_or(""));
        if (!used[i] && !name.empty() && byName.at(name) == i) {
            warnings.add(kUnknownName, [&] {
                return "境界標・種別の表の " + std::to_string(i + 2) + " 行目の点名「" +
                       spreadsheet::quotedInMessage(name) +
                       "」はワークシートの座標にないため、使いませんでした。";
            });
        }
    }
    warnings.finish();
    return sheet.apply(std::move(changes));
}

} // namespace

spreadsheet::EditRecord putRows(spreadsheet::Worksheet& sheet, const std::vector<PointRow>& rows,
                                std::vector<std::string>& warnings) {
    RowChanges changes(sheet, rows.size(), warnings);
    for (const PointRow& row : rows) {
        changes.add(row);
    }
    return changes.apply(sheet);
}

OpenedFile openPointsFile(spreadsheet::Worksheet& sheet, std::string_view bytes,
                          std::string_view fileName, const OpenOptions& options) {
    OpenedFile opened;
    const bool sima = options.format == FileFormat::Sima ||
                      (options.format == FileFormat::Auto && looksLikeSima(bytes, fileName));
    // The text is read where it lies when it is UTF-8, never copied whole.
    std::string converted;
    const std::string_view text = decodedText(bytes, converted);
    if (sima) {
        PointRows rows = readSima(text);
        opened.warnings = std::move(rows.warnings);
        RowChanges changes(sheet, rows.rows.size(), opened.warnings);
        for (const PointRow& row : rows.rows) {
            changes.add(row);
        }
        changes.countMore(rows.rowsNotKept, rows.countIsLeast);
        opened.rowCount = static_cast<int>(std::min<std::size_t>(changes.rows(), INT_MAX));
        if (changes.rows() > 0) {
            opened.record = changes.apply(sheet);
        }
        return opened;
    }
    if (isMarkTable(text, options.csv)) {
        PointRows rows = readDelimited(text, options.csv);
        opened.marksOnly = true;
        opened.record = putMarks(sheet, rows.rows, opened.warnings, opened.rowCount);
        return opened;
    }
    // A table of points goes into the changes as it is read, never held as rows.
    RowChanges changes(sheet,
                       static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1,
                       opened.warnings);
    readDelimited(text, options.csv, [&changes](const PointRow& row) { changes.add(row); });
    opened.rowCount = static_cast<int>(std::min<std::size_t>(changes.rows(), INT_MAX));
    if (opened.rowCount > 0) {
        opened.record = changes.apply(sheet);
    }
    return opened;
}

} // namespace karumenio::survey

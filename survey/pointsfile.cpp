#include "pointsfile.h"

#include "simareader.h"

#include "points/ascii.h"
#include "points/codepage.h"
#include "points/pointtable.h"
#include "points/runtimeerror.h"
#include "points/worksheet.h"

#include <algorithm>
#include <array>

namespace karumenio::survey {

namespace {

constexpr std::array<int, kRoleCount> kRoleColumns{
    points::kBreakMarkColumn, points::kLabelTextColumn, points::kPointXColumn,
    points::kPointYColumn, points::kMarkRadiusColumn};

bool endsWithSim(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    std::string suffix(name.substr(name.size() - 4));
    for (char& c : suffix) {
        c = points::ascii::toLower(c);
    }
    return suffix == ".sim";
}

// As a paste reads a field: empty empties the cell, a number becomes a Number except in the
// name column, anything else is text as written.
points::CellContent cellContent(int column, const std::string& field) {
    if (field.empty()) {
        return {};
    }
    if (column != points::Worksheet::kTextColumn) {
        if (auto number = points::readNumber(field)) {
            return points::CellContent::value(points::CellValue::number(*number));
        }
    }
    return points::CellContent::value(points::CellValue::text(field));
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
    std::size_t end = bytes.find_first_of(",\r\n", start);
    if (end == std::string_view::npos) {
        end = bytes.size();
    }
    std::string code = points::trimBlanks(bytes.substr(start, end - start));
    for (char& c : code) {
        c = points::ascii::toUpper(c);
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
    if (points::isValidUtf8(bytes)) {
        return bytes;
    }
    if (auto text = points::cp932ToUtf8(bytes)) {
        storage = std::move(*text);
        return storage;
    }
    throw points::RunTimeError(points::RunError::TypeMismatch,
                               "座標ファイルの文字コードを読み取れません: UTF-8 でもシフト JIS "
                               "(コードページ 932) でもないため、何も貼り付けませんでした。");
}

} // namespace

std::string decodePointsFile(std::string_view bytes) {
    std::string storage;
    const std::string_view text = decodedText(bytes, storage);
    return text.data() == storage.data() ? storage : std::string(text);
}

PointRows readPointsFile(std::string_view bytes, std::string_view fileName,
                         const OpenOptions& options) {
    const bool sima = options.format == FileFormat::Sima ||
                      (options.format == FileFormat::Auto && looksLikeSima(bytes, fileName));
    const std::string text = decodePointsFile(bytes);
    return sima ? readSima(text) : readDelimited(text, options.csv);
}

namespace {

// The worksheet changes of a points file, gathered row by row from A6 down and applied as
// one action. Rows past the table's last slot are only counted, for the message.
class RowChanges {
  public:
    RowChanges(const points::Worksheet& sheet, std::size_t rowsExpected) : m_sheet(sheet) {
        m_changes.reserve(std::min<std::size_t>(rowsExpected, points::kSlotCount) * kRoleCount);
    }

    void add(const PointRow& row) {
        if (++m_rows > points::kSlotCount) {
            return;
        }
        const int target = points::kFirstDataRow + m_rows - 1;
        for (int role = 0; role < kRoleCount; ++role) {
            const std::optional<std::string>& field = row.fields[role];
            if (!field && role == static_cast<int>(Role::Radius)) {
                continue;
            }
            const int column = kRoleColumns[role];
            points::CellContent content =
                field ? cellContent(column, *field) : points::CellContent{};
            // An empty field over an empty cell changes nothing; the record needs no room for it.
            if (content.isEmpty() && m_sheet.isEmpty(target, column)) {
                continue;
            }
            m_changes.push_back({target, column, {}, std::move(content)});
        }
    }

    int rows() const { return m_rows; }

    points::EditRecord apply(points::Worksheet& sheet) {
        if (m_rows > points::kSlotCount) {
            throw points::RunTimeError(
                points::RunError::SubscriptOutOfRange,
                "インデックスが有効範囲にありません: 座標ファイルから " + std::to_string(m_rows) +
                    " 行のデータができましたが、ワークシートに入るのは " +
                    std::to_string(points::kSlotCount) + " 行までです。何も貼り付けませんでした。",
                points::cellName(points::kFirstDataRow + points::kSlotCount,
                                 points::kPointXColumn));
        }
        // Rows an earlier paste left below would otherwise be read as part of this file.
        const int last = sheet.lastUsedRow();
        for (int row = points::kFirstDataRow + m_rows; row <= last; ++row) {
            for (int role = 0; role < static_cast<int>(Role::Radius); ++role) {
                if (!sheet.isEmpty(row, kRoleColumns[role])) {
                    m_changes.push_back({row, kRoleColumns[role], {}, {}});
                }
            }
        }
        return sheet.apply(std::move(m_changes));
    }

  private:
    const points::Worksheet& m_sheet;
    points::EditRecord m_changes;
    int m_rows = 0;
};

} // namespace

points::EditRecord putRows(points::Worksheet& sheet, const std::vector<PointRow>& rows) {
    RowChanges changes(sheet, rows.size());
    for (const PointRow& row : rows) {
        changes.add(row);
    }
    return changes.apply(sheet);
}

OpenedFile openPointsFile(points::Worksheet& sheet, std::string_view bytes,
                          std::string_view fileName, const OpenOptions& options) {
    OpenedFile opened;
    const bool sima = options.format == FileFormat::Sima ||
                      (options.format == FileFormat::Auto && looksLikeSima(bytes, fileName));
    if (sima) {
        PointRows rows = readSima(decodePointsFile(bytes));
        opened.rowCount = static_cast<int>(rows.rows.size());
        opened.warnings = std::move(rows.warnings);
        if (!rows.rows.empty()) {
            opened.record = putRows(sheet, rows.rows);
        }
        return opened;
    }
    // A table of points goes into the changes as it is read, never held as rows or as a
    // second copy of its text.
    std::string converted;
    const std::string_view text = decodedText(bytes, converted);
    RowChanges changes(sheet,
                       static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    readDelimited(text, options.csv, [&changes](const PointRow& row) { changes.add(row); });
    opened.rowCount = changes.rows();
    if (opened.rowCount > 0) {
        opened.record = changes.apply(sheet);
    }
    return opened;
}

} // namespace karumenio::survey

#include "paste.h"

#include "cellformat.h"
#include "codepage.h"
#include "messagetext.h"
#include "runtimeerror.h"
#include "worksheet.h"

#include <algorithm>
#include <limits>

namespace karumenio::spreadsheet {

namespace {

struct Record {
    std::vector<std::string> fields;
    // Fields past this many are read over but not kept: a paste drops those beyond the
    // sheet's last column anyway, and one long line of them would otherwise take many
    // times its size in memory.
    std::size_t keep = std::numeric_limits<std::size_t>::max();
    // Bytes kept of one field; the rest is read over and the field marked as cut.
    std::size_t keepBytes = std::numeric_limits<std::size_t>::max();
    std::size_t next = 0;
    bool separated = false;
};

// Reads into record, whose field list keeps its room from one row to the next.
void readRecord(std::string_view text, std::size_t pos, char separator, Record& record) {
    record.fields.clear();
    record.separated = false;
    std::string field;
    bool fieldStart = true;
    bool cut = false;
    auto keeping = [&record] { return record.fields.size() < record.keep; };
    auto put = [&](const char* bytes, std::size_t count) {
        const std::size_t room = record.keepBytes - std::min(field.size(), record.keepBytes);
        cut = cut || count > room;
        field.append(bytes, std::min(count, room));
    };
    auto finish = [&] {
        if (cut) {
            // The last byte kept may be part of a character cut in two.
            field = cutText(field, field.empty() ? 0 : field.size() - 1);
            cut = false;
        }
        record.fields.push_back(std::move(field));
    };
    while (pos < text.size()) {
        const char c = text[pos];
        if (fieldStart && c == '"') {
            // Quoted field: runs to the quote that is not doubled.
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        if (keeping()) {
                            field.push_back('"');
                        }
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                if (keeping()) {
                    put(&text[pos], 1);
                }
                ++pos;
            }
            fieldStart = false;
            continue;
        }
        fieldStart = false;
        if (c != separator && c != '\r' && c != '\n') {
            // The rest of an unquoted field in one piece.
            std::size_t end = pos + 1;
            while (end < text.size() && text[end] != separator && text[end] != '\r' &&
                   text[end] != '\n') {
                ++end;
            }
            if (keeping()) {
                put(text.data() + pos, end - pos);
            }
            pos = end;
            continue;
        }
        if (c == separator) {
            if (keeping()) {
                finish();
            }
            field.clear();
            cut = false;
            record.separated = true;
            fieldStart = true;
            ++pos;
            continue;
        }
        if (c == '\r' || c == '\n') {
            pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
            break;
        }
    }
    if (keeping()) {
        finish();
    }
    record.next = pos;
}

CellContent fieldContent(int column, std::string&& field) {
    if (field.empty()) {
        return {};
    }
    if (column != Worksheet::kTextColumn) {
        if (auto number = readNumber(field)) {
            return CellContent::value(CellValue::number(*number));
        }
    }
    return CellContent::value(CellValue::text(std::move(field)));
}

// The next row of the clipboard text at pos: TAB-separated, or comma-separated when the line
// has no TAB.
void nextRow(std::string_view text, std::size_t pos, Record& record) {
    readRecord(text, pos, '\t', record);
    if (!record.separated) {
        readRecord(text, pos, ',', record);
    }
}

std::vector<int> visibleColumns(const Worksheet& sheet, int from, int to) {
    std::vector<int> columns;
    for (int column = from; column <= to; ++column) {
        if (!sheet.layout().isColumnHidden(column)) {
            columns.push_back(column);
        }
    }
    return columns;
}

std::string quoted(const std::string& text) {
    if (text.find_first_of("\t\r\n\"") == std::string::npos) {
        return text;
    }
    return quoteField(text);
}

} // namespace

std::string decodeClipboard(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    if (auto text = cp932ToUtf8(bytes)) {
        return *text;
    }
    throw RunTimeError(RunError::TypeMismatch,
                       "貼り付けるデータの文字コードを読み取れません: UTF-8 でもシフト JIS "
                       "(コードページ 932) でもないため、何も貼り付けませんでした。");
}

ClipboardRows::ClipboardRows(std::string_view text, std::size_t keepFields,
                             std::size_t keepFieldBytes)
    : m_text(text), m_keep(keepFields), m_keepBytes(keepFieldBytes) {}

std::vector<std::string>* ClipboardRows::next() {
    if (m_pos >= m_text.size()) {
        return nullptr;
    }
    Record record;
    record.keep = m_keep;
    record.keepBytes = m_keepBytes;
    record.fields = std::move(m_fields);
    nextRow(m_text, m_pos, record);
    m_pos = record.next;
    m_fields = std::move(record.fields);
    ++m_count;
    return &m_fields;
}

std::vector<std::vector<std::string>> splitClipboardText(std::string_view text,
                                                         std::size_t keepFields) {
    std::vector<std::vector<std::string>> rows;
    ClipboardRows reader(text, keepFields);
    while (const std::vector<std::string>* fields = reader.next()) {
        rows.push_back(*fields);
    }
    return rows;
}

std::string quoteField(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    return out + "\"";
}

namespace {

void checkPasteCell(int row, int column) {
    if (row < 1 || row > Worksheet::kRowCount || column < 1 || column > Worksheet::kColumnCount) {
        throw RunTimeError(RunError::SubscriptOutOfRange,
                           "インデックスが有効範囲にありません: 貼り付け先の行 " +
                               std::to_string(row) + "、列 " + std::to_string(column) +
                               " はワークシートの外です。");
    }
}

void checkPasteRows(int row, int column, std::size_t rowCount) {
    if (static_cast<long>(row) + static_cast<long>(rowCount) - 1 > Worksheet::kRowCount) {
        throw RunTimeError(RunError::SubscriptOutOfRange,
                           "インデックスが有効範囲にありません: " + std::to_string(rowCount) +
                               " 行を " + cellName(row, column) + " から貼り付けると最終行 " +
                               std::to_string(Worksheet::kRowCount) +
                               " を超えます。何も貼り付けませんでした。",
                           cellName(row, column));
    }
}

} // namespace

void checkPasteFits(int row, int column, std::string_view clipboardBytes) {
    checkPasteCell(row, column);
    const std::string text = decodeClipboard(clipboardBytes);
    ClipboardRows reader(text, 0, 0);
    while (reader.next() != nullptr) {
    }
    checkPasteRows(row, column, reader.count());
}

EditRecord paste(Worksheet& sheet, int row, int column, std::string_view clipboardBytes) {
    checkPasteCell(row, column);
    const std::string text = decodeClipboard(clipboardBytes);
    const std::vector<int> columns = visibleColumns(sheet, column, Worksheet::kColumnCount);
    // Rows are turned into changes as they are read; rows beyond the grid are only counted,
    // for the message.
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    EditRecord changes;
    changes.reserve(lines * std::min<std::size_t>(columns.size(), 5));
    ClipboardRows reader(text, columns.size());
    while (std::vector<std::string>* fields = reader.next()) {
        const long target = static_cast<long>(row) + static_cast<long>(reader.count()) - 1;
        if (target > Worksheet::kRowCount) {
            continue;
        }
        const std::size_t n = std::min(fields->size(), columns.size());
        for (std::size_t i = 0; i < n; ++i) {
            CellContent content = fieldContent(columns[i], std::move((*fields)[i]));
            // An empty field over an empty cell changes nothing; a record of a paste with
            // sparse columns needs no room for it.
            if (content.isEmpty() && sheet.value(static_cast<int>(target), columns[i]).isEmpty() &&
                !sheet.content(static_cast<int>(target), columns[i]).isFormula()) {
                continue;
            }
            changes.push_back(
                CellChange{static_cast<int>(target), columns[i], {}, std::move(content)});
        }
    }
    if (reader.count() == 0) {
        return {};
    }
    checkPasteRows(row, column, reader.count());
    return sheet.apply(std::move(changes));
}

std::string copyText(const Worksheet& sheet, int top, int left, int bottom, int right) {
    const std::vector<int> columns =
        visibleColumns(sheet, std::max(left, 1), std::min(right, Worksheet::kColumnCount));
    std::string out;
    for (int row = std::max(top, 1); row <= std::min(bottom, Worksheet::kRowCount); ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) {
                out.push_back('\t');
            }
            out += quoted(displayText(sheet, row, columns[i]));
        }
        out += "\r\n";
    }
    return out;
}

} // namespace karumenio::spreadsheet

#include "csvreader.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/paste.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <algorithm>
#include <array>

namespace karumenio::survey {

namespace {

struct RoleName {
    std::string_view token;
    Role role;
};

// The first kRoleCount entries are in the order of the roles, so that a role's token is
// kRoleNames[role]; other spellings follow.
constexpr std::array<RoleName, 8> kRoleNames{{{"mark", Role::Mark},
                                              {"name", Role::Name},
                                              {"x", Role::X},
                                              {"y", Role::Y},
                                              {"r", Role::Radius},
                                              {"kind", Role::MarkKind},
                                              {"class", Role::PointClass},
                                              {"radius", Role::Radius}}};

// The names a header line gives its columns, as headerKey() writes them.
constexpr std::array<RoleName, 27> kHeaderNames{{{"区画", Role::Mark},
                                                 {"筆", Role::Mark},
                                                 {"地番", Role::Mark},
                                                 {"mark", Role::Mark},
                                                 {"点名", Role::Name},
                                                 {"測点名", Role::Name},
                                                 {"測点", Role::Name},
                                                 {"name", Role::Name},
                                                 {"point", Role::Name},
                                                 {"x", Role::X},
                                                 {"x座標", Role::X},
                                                 {"北", Role::X},
                                                 {"n", Role::X},
                                                 {"northing", Role::X},
                                                 {"y", Role::Y},
                                                 {"y座標", Role::Y},
                                                 {"東", Role::Y},
                                                 {"e", Role::Y},
                                                 {"easting", Role::Y},
                                                 {"半径", Role::Radius},
                                                 {"plot半径", Role::Radius},
                                                 {"radius", Role::Radius},
                                                 {"境界標", Role::MarkKind},
                                                 {"標識", Role::MarkKind},
                                                 {"杭種", Role::MarkKind},
                                                 {"種別", Role::PointClass},
                                                 {"点種", Role::PointClass}}};

constexpr std::array<std::string_view, kRoleCount> kRoleTexts{"区画", "測点名", "X 座標", "Y 座標",
                                                              "半径", "境界標", "種別"};

// A header field as it is compared: blanks (full-width too) left out, full-width letters
// and digits made half-width, letters in lower case. "Ｘ 座標" and "x座標" are one name.
std::string headerKey(std::string_view field) {
    std::string key;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte == ' ' || byte == '\t') {
            continue;
        }
        if (byte == 0xE3 && field.substr(i, 3) == "\u3000") {
            i += 2;
            continue;
        }
        if (byte == 0xEF && i + 2 < field.size()) {
            const char32_t c = ((byte & 0x0Fu) << 12) |
                               ((static_cast<unsigned char>(field[i + 1]) & 0x3Fu) << 6) |
                               (static_cast<unsigned char>(field[i + 2]) & 0x3Fu);
            if (c >= 0xFF01 && c <= 0xFF5E) {
                key += spreadsheet::ascii::toLower(static_cast<char>(c - 0xFEE0));
                i += 2;
                continue;
            }
        }
        key += spreadsheet::ascii::toLower(field[i]);
    }
    return key;
}

std::optional<Role> headerRole(std::string_view field) {
    const std::string key = headerKey(field);
    for (const RoleName& name : kHeaderNames) {
        if (name.token == key) {
            return name.role;
        }
    }
    return std::nullopt;
}

std::string folded(std::string_view text) {
    std::string out = spreadsheet::trimBlanks(text);
    for (char& c : out) {
        c = spreadsheet::ascii::toLower(c);
    }
    return out;
}

[[noreturn]] void failColumns(const std::string& what) {
    throw spreadsheet::RunTimeError(spreadsheet::RunError::TypeMismatch,
                                    "列の指定を読めません: " + what);
}

[[noreturn]] void failLine(std::size_t line, const std::string& what) {
    throw spreadsheet::RunTimeError(spreadsheet::RunError::TypeMismatch,
                                    "座標ファイルの " + std::to_string(line) + " 行目: " + what +
                                        "何も貼り付けませんでした。");
}

// True for "1234,567": a number once its one comma is read as the decimal point.
bool hasDecimalComma(std::string_view field) {
    const std::size_t comma = field.find(',');
    if (comma == std::string_view::npos || field.find(',', comma + 1) != std::string_view::npos) {
        return false;
    }
    std::string dotted(field);
    dotted[comma] = '.';
    return spreadsheet::readNumber(dotted).has_value();
}

bool isBlankField(std::string_view field) {
    return field.find_first_not_of(' ') == std::string_view::npos;
}

// Fields up to the last one that holds anything; a trailing separator adds none.
std::size_t usedFields(const std::vector<std::string>& fields) {
    std::size_t n = fields.size();
    while (n > 0 && isBlankField(fields[n - 1])) {
        --n;
    }
    return n;
}

std::array<std::optional<int>, kRoleCount> resolve(const ColumnMapping& mapping,
                                                   const std::vector<std::string>* header) {
    std::array<std::optional<int>, kRoleCount> columns;
    for (const ColumnMapping::Entry& entry : mapping.entries) {
        std::optional<int> column = entry.position;
        if (!column) {
            const std::string wanted = folded(entry.header);
            for (std::size_t i = 0; header && i < header->size(); ++i) {
                if (folded((*header)[i]) == wanted) {
                    column = static_cast<int>(i);
                    break;
                }
            }
            if (!column) {
                failColumns("見出しに「" + entry.header + "」の列がありません。");
            }
        }
        columns[static_cast<int>(entry.role)] = column;
    }
    // Two roles read from one column would each take the other's value.
    for (int a = 0; a < kRoleCount; ++a) {
        for (int b = a + 1; b < kRoleCount; ++b) {
            if (columns[a] && columns[a] == columns[b]) {
                failColumns(std::string(kRoleNames[static_cast<std::size_t>(a)].token) + " と " +
                            std::string(kRoleNames[static_cast<std::size_t>(b)].token) +
                            " が同じ " + std::to_string(*columns[a] + 1) + " 列目を指しています。");
            }
        }
    }
    return columns;
}

// The header's fields as a message lists them: the first few, each shortened.
std::string listedFields(const std::vector<std::string>& fields) {
    constexpr std::size_t kShown = 10;
    std::string text;
    for (std::size_t i = 0; i < fields.size() && i < kShown; ++i) {
        text += "「" + spreadsheet::quotedInMessage(fields[i], 32) + "」";
    }
    if (fields.size() > kShown) {
        text += "…ほか " + std::to_string(fields.size() - kShown) + " 列";
    }
    return text;
}

bool has(const std::array<std::optional<int>, kRoleCount>& columns, Role role) {
    return columns[static_cast<int>(role)].has_value();
}

// A header of a point name and a mark's kind or a class, with no coordinates.
bool namesMarks(const std::array<std::optional<int>, kRoleCount>& columns) {
    return has(columns, Role::Name) && !has(columns, Role::X) && !has(columns, Role::Y) &&
           (has(columns, Role::MarkKind) || has(columns, Role::PointClass));
}

// The columns a header line names, each role where it first finds it, and the first two
// columns that name one role.
struct HeaderColumns {
    std::array<std::optional<int>, kRoleCount> columns;
    std::optional<std::pair<int, int>> twice;
    Role twiceRole = Role::Mark;
};

HeaderColumns headerColumns(const std::vector<std::string>& header) {
    HeaderColumns found;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::optional<Role> role = headerRole(header[i]);
        if (!role) {
            continue;
        }
        std::optional<int>& column = found.columns[static_cast<int>(*role)];
        if (column) {
            if (!found.twice) {
                found.twice = std::pair{*column, static_cast<int>(i)};
                found.twiceRole = *role;
            }
            continue;
        }
        column = static_cast<int>(i);
    }
    return found;
}

// The columns a header line names. A point name, X and Y column are needed (or, for a table
// of marks, a point name and a kind or class column), and a role named twice is ambiguous;
// either throws naming the line and the header's columns.
std::array<std::optional<int>, kRoleCount> namedColumns(const std::vector<std::string>& header,
                                                        std::size_t line) {
    const HeaderColumns found = headerColumns(header);
    if (found.twice) {
        failLine(line, "見出しの「" +
                           spreadsheet::quotedInMessage(
                               header[static_cast<std::size_t>(found.twice->first)], 32) +
                           "」と「" +
                           spreadsheet::quotedInMessage(
                               header[static_cast<std::size_t>(found.twice->second)], 32) +
                           "」がどちらも" +
                           std::string(kRoleTexts[static_cast<std::size_t>(found.twiceRole)]) +
                           "の列を表しています。");
    }
    if (namesMarks(found.columns)) {
        return found.columns;
    }
    for (const Role role : {Role::Name, Role::X, Role::Y}) {
        if (!has(found.columns, role)) {
            failLine(line, "見出し行の列 " + listedFields(header) +
                               " のうち、どれが測点名・X 座標・Y 座標の列か分かりません (" +
                               std::string(kRoleTexts[static_cast<std::size_t>(role)]) +
                               "の列がありません)。見出しを「測点名」「X座標」「Y座標」などに"
                               "して下さい。");
        }
    }
    return found.columns;
}

const std::string* fieldAt(const std::vector<std::string>& fields, std::optional<int> column) {
    if (!column || static_cast<std::size_t>(*column) >= fields.size()) {
        return nullptr;
    }
    return &fields[static_cast<std::size_t>(*column)];
}

// A line that names an X and a Y column (or the columns of a table of marks) and holds no
// number is a header wherever its columns stand.
bool namesCoordinateColumns(const std::vector<std::string>& fields) {
    if (std::any_of(fields.begin(), fields.end(),
                    [](const std::string& field) { return spreadsheet::readNumber(field); })) {
        return false;
    }
    const HeaderColumns found = headerColumns(fields);
    return (has(found.columns, Role::X) && has(found.columns, Role::Y)) ||
           namesMarks(found.columns);
}

bool looksLikeHeader(const std::vector<std::string>& fields,
                     const std::array<std::optional<int>, kRoleCount>& columns) {
    bool anyText = false;
    for (Role role : {Role::X, Role::Y}) {
        const std::string* field = fieldAt(fields, columns[static_cast<int>(role)]);
        if (field == nullptr || isBlankField(*field)) {
            continue;
        }
        if (spreadsheet::readNumber(*field) || hasDecimalComma(*field)) {
            return false;
        }
        anyText = true;
    }
    return anyText;
}

} // namespace

bool ColumnMapping::namesHeaders() const {
    return std::any_of(entries.begin(), entries.end(),
                       [](const Entry& entry) { return !entry.position; });
}

ColumnMapping ColumnMapping::standard() {
    ColumnMapping mapping;
    for (int i = 0; i < kRoleCount; ++i) {
        mapping.entries.push_back({static_cast<Role>(i), i, {}});
    }
    return mapping;
}

ColumnMapping ColumnMapping::parse(std::string_view text) {
    ColumnMapping mapping;
    std::array<bool, kRoleCount> seen{};
    int place = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find(',', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string item = spreadsheet::trimBlanks(text.substr(pos, end - pos));
        pos = end + 1;
        const int here = place++;
        if (item == "-" || item.empty()) {
            continue;
        }
        const std::size_t eq = item.find('=');
        const std::string roleText = folded(item.substr(0, eq));
        const auto role = std::find_if(kRoleNames.begin(), kRoleNames.end(),
                                       [&](const RoleName& r) { return r.token == roleText; });
        if (role == kRoleNames.end()) {
            std::string tokens;
            for (std::size_t i = 0; i < static_cast<std::size_t>(kRoleCount); ++i) {
                tokens += std::string(kRoleNames[i].token) + ", ";
            }
            failColumns("「" + item + "」(使えるのは " + tokens + "と「-」)");
        }
        const int index = static_cast<int>(role->role);
        if (seen[index]) {
            failColumns("「" + roleText + "」が二度指定されています。");
        }
        seen[index] = true;
        Entry entry{role->role, here, {}};
        if (eq != std::string::npos) {
            const std::string target = spreadsheet::trimBlanks(item.substr(eq + 1));
            const auto number = spreadsheet::readNumber(target);
            if (number && *number >= 1 && *number <= 256 &&
                *number == static_cast<double>(static_cast<int>(*number))) {
                entry.position = static_cast<int>(*number) - 1;
            } else if (!target.empty() && !number) {
                entry.position.reset();
                entry.header = target;
            } else {
                failColumns("「" + item + "」の列番号は 1 以上の整数で指定して下さい。");
            }
        }
        mapping.entries.push_back(std::move(entry));
    }
    if (!seen[static_cast<int>(Role::X)] || !seen[static_cast<int>(Role::Y)]) {
        failColumns("x と y の列は必ず指定して下さい。");
    }
    // Columns given by number must not meet; those given by header text are checked once the
    // header is read.
    if (!mapping.namesHeaders()) {
        resolve(mapping, nullptr);
    }
    mapping.given = true;
    return mapping;
}

bool isMarkTable(std::string_view text, const CsvOptions& options) {
    if (options.columns.given || options.header == HeaderMode::No) {
        return false;
    }
    spreadsheet::ClipboardRows lines(text, spreadsheet::Worksheet::kColumnCount + 1, kLongestField);
    const std::vector<std::string>* fields = lines.next();
    return fields != nullptr &&
           std::none_of(fields->begin(), fields->end(),
                        [](const std::string& field) { return spreadsheet::readNumber(field); }) &&
           namesMarks(headerColumns(*fields).columns);
}

PointRows readDelimited(std::string_view text, const CsvOptions& options) {
    PointRows result;
    result.marksOnly = isMarkTable(text, options);
    readDelimited(text, options, [&result](const PointRow& row) { result.rows.push_back(row); });
    return result;
}

void readDelimited(std::string_view text, const CsvOptions& options,
                   const std::function<void(const PointRow&)>& sink) {
    // One more field than the worksheet has columns still shows a line longer than its header.
    spreadsheet::ClipboardRows lines(text, spreadsheet::Worksheet::kColumnCount + 1, kLongestField);
    std::vector<std::string>* fields = lines.next();
    if (fields == nullptr) {
        return;
    }
    const bool headerNamed = options.columns.namesHeaders();
    if (headerNamed && options.header == HeaderMode::No) {
        failColumns("見出しの文字で列を選ぶには見出し行が要ります (--header no とは使えません)。");
    }
    auto columns = resolve(options.columns, headerNamed ? fields : nullptr);
    const bool header = headerNamed || options.header == HeaderMode::Yes ||
                        (options.header == HeaderMode::Auto &&
                         (looksLikeHeader(*fields, columns) ||
                          (!options.columns.given && namesCoordinateColumns(*fields))));
    // A header names the columns unless they were given.
    if (header && !options.columns.given) {
        columns = namedColumns(*fields, lines.count());
    }
    // The widest line, so that a column given past it is found out.
    std::size_t widest = fields->size();
    // Without TAB every line was split at its commas, where a decimal comma also splits.
    const bool commaSeparated = text.find('\t') == std::string_view::npos;
    const std::size_t headerFields = header ? usedFields(*fields) : 0;
    if (header) {
        fields = lines.next();
    }
    PointRow row;
    for (; fields != nullptr; fields = lines.next()) {
        const std::size_t lineNumber = lines.count();
        widest = std::max(widest, fields->size());
        if (header && commaSeparated && usedFields(*fields) > headerFields) {
            failLine(lineNumber, "見出しより列が " +
                                     std::to_string(usedFields(*fields) - headerFields) +
                                     " つ多くあります。小数点にカンマ (,) を使っていませんか。");
        }
        for (int role = 0; role < kRoleCount; ++role) {
            const std::string* field = fieldAt(*fields, columns[role]);
            if (field == nullptr) {
                row.fields[role].reset();
                continue;
            }
            if (role >= static_cast<int>(Role::X) && role <= static_cast<int>(Role::Radius) &&
                hasDecimalComma(*field)) {
                failLine(lineNumber, "「" + spreadsheet::quotedInMessage(*field) +
                                         "」は小数点にカンマを使った数値です。小数点は「.」で"
                                         "書いて下さい。");
            }
            row.fields[role] = *field;
        }
        sink(row);
    }
    if (!options.columns.given) {
        return;
    }
    for (const ColumnMapping::Entry& entry : options.columns.entries) {
        const std::optional<int> column = columns[static_cast<int>(entry.role)];
        if (column && static_cast<std::size_t>(*column) >= widest) {
            failColumns(std::string(kRoleNames[static_cast<std::size_t>(entry.role)].token) +
                        " の " + std::to_string(*column + 1) +
                        " 列目はファイルにありません (ファイルの列は多くて " +
                        std::to_string(widest) + " 列です)。何も貼り付けませんでした。");
        }
    }
}

} // namespace karumenio::survey

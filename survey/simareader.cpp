#include "simareader.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/runtimeerror.h"
#include "warninglist.h"

#include <algorithm>
#include <unordered_map>

namespace karumenio::survey {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct SimaPoint {
    std::string name;
    std::string x;
    std::string y;
    int line = 0;
    bool inParcel = false;
};

[[noreturn]] void fail(int line, const std::string& what) {
    throw spreadsheet::RunTimeError(spreadsheet::RunError::TypeMismatch,
                                    "SIMA ファイルの " + std::to_string(line) + " 行目: " + what +
                                        "何も貼り付けませんでした。");
}

std::string recordCode(std::string_view field) {
    std::string code(field);
    for (char& c : code) {
        c = spreadsheet::ascii::toUpper(c);
    }
    return code;
}

std::string field(const std::vector<std::string>& fields, std::size_t i) {
    return i < fields.size() ? fields[i] : std::string();
}

// Fills fields with the record's fields, reusing their storage from the record before. A
// field longer than kLongestField is kept cut (spreadsheet::cutText).
void splitInto(std::string_view line, std::vector<std::string>& fields) {
    std::size_t count = 0;
    std::size_t pos = 0;
    const std::size_t n = line.size();
    while (true) {
        while (pos < n && isBlank(line[pos])) {
            ++pos;
        }
        if (count == fields.size()) {
            fields.emplace_back();
        }
        std::string& value = fields[count++];
        value.clear();
        if (pos < n && line[pos] == '"') {
            ++pos;
            bool cut = false;
            while (pos < n) {
                if (line[pos] == '"') {
                    if (pos + 1 < n && line[pos + 1] == '"') {
                        pos += 2;
                    } else {
                        ++pos;
                        break;
                    }
                } else {
                    ++pos;
                }
                if (value.size() < kLongestField) {
                    value.push_back(line[pos - 1]);
                } else {
                    cut = true;
                }
            }
            if (cut) {
                value = spreadsheet::cutText(value, value.size() - 1);
            }
            // Anything between the closing quote and the comma is padding.
            while (pos < n && line[pos] != ',') {
                ++pos;
            }
        } else {
            const std::size_t start = pos;
            while (pos < n && line[pos] != ',') {
                ++pos;
            }
            std::size_t end = pos;
            while (end > start && isBlank(line[end - 1])) {
                --end;
            }
            if (end - start <= kLongestField) {
                value.assign(line.substr(start, end - start));
            } else {
                value = spreadsheet::cutText(line.substr(start, end - start), kLongestField);
            }
        }
        if (pos >= n) {
            break;
        }
        ++pos;
    }
    fields.resize(count);
}

} // namespace

std::vector<std::string> splitSimaRecord(std::string_view line) {
    std::vector<std::string> fields;
    splitInto(line, fields);
    return fields;
}

namespace {

// The records of a SIMA text one line at a time, blank lines passed over but counted.
class SimaLines {
  public:
    explicit SimaLines(std::string_view text) : m_text(text) {}

    bool next(std::string_view& line) {
        while (m_pos < m_text.size()) {
            std::size_t end = m_text.find_first_of("\r\n", m_pos);
            if (end == std::string_view::npos) {
                end = m_text.size();
            }
            line = m_text.substr(m_pos, end - m_pos);
            m_pos = end;
            if (m_pos < m_text.size()) {
                m_pos += (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() &&
                          m_text[m_pos + 1] == '\n')
                             ? 2
                             : 1;
            }
            ++m_number;
            if (line.find_first_not_of(" \t") != std::string_view::npos) {
                return true;
            }
        }
        return false;
    }

    int number() const { return m_number; }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_number = 0;
};

// The record's code in upper case. Only a quoted code needs the whole record split.
std::string codeOf(std::string_view line, std::vector<std::string>& fields, bool& split) {
    const std::size_t start = line.find_first_not_of(" \t");
    split = line[start] == '"';
    if (split) {
        splitInto(line, fields);
        return recordCode(fields[0]);
    }
    std::size_t end = line.find(',', start);
    end = end == std::string_view::npos ? line.size() : end;
    while (end > start && isBlank(line[end - 1])) {
        --end;
    }
    return recordCode(line.substr(start, end - start));
}

std::string lineText(int line) {
    return "SIMA ファイルの " + std::to_string(line) + " 行目: ";
}

// Kinds of warning, each shown a few times at most.
constexpr std::string_view kOutsideParcel = "区画の外の B01 の警告";
constexpr std::string_view kMissingVertex = "座標のない頂点の警告";
constexpr std::string_view kSameNumber = "同じ点番号の警告";

} // namespace

PointRows readSima(std::string_view text, std::size_t mostRows) {
    PointRows result;
    WarningList warnings(result.warnings);
    std::vector<SimaPoint> points;
    std::unordered_map<std::string, std::size_t> byNumber;
    std::unordered_map<std::string, std::size_t> byName;
    std::vector<std::string> fields;
    bool split = false;
    int skipped = 0;
    int firstSkippedLine = 0;
    std::string firstSkippedCode;

    // First the coordinates, so that a parcel may come before its points. Each point makes a
    // row at least: past the sheet's rows the points are only checked and counted.
    std::size_t pointCount = 0;
    std::string_view line;
    for (SimaLines lines(text); lines.next(line);) {
        const std::string code = codeOf(line, fields, split);
        if (code == "A01") {
            if (!split) {
                splitInto(line, fields);
            }
            for (const std::size_t i : {3, 4}) {
                const std::string coordinate = field(fields, i);
                if (!spreadsheet::readNumber(coordinate)) {
                    fail(lines.number(), "A01 の座標「" + spreadsheet::quotedInMessage(coordinate) +
                                             "」を数値として読めません。");
                }
            }
            if (++pointCount > mostRows) {
                continue;
            }
            SimaPoint point{field(fields, 2), field(fields, 3), field(fields, 4), lines.number()};
            const std::string number = field(fields, 1);
            if (!number.empty()) {
                const auto entry = byNumber.try_emplace(number, points.size());
                if (!entry.second) {
                    const int firstLine = points[entry.first->second].line;
                    warnings.add(kSameNumber, [&] {
                        return lineText(point.line) + "点番号「" +
                               spreadsheet::quotedInMessage(number) + "」は " +
                               std::to_string(firstLine) + " 行目と同じです。先の " +
                               std::to_string(firstLine) + " 行目の座標を使います。";
                    });
                }
            }
            if (!point.name.empty()) {
                byName.try_emplace(point.name, points.size());
            }
            points.push_back(std::move(point));
        } else if (code == "D00" || code == "B01" || code == "D99" || code == "G00" ||
                   code == "Z00" || code == "A00" || code == "A99") {
            continue;
        } else if (skipped++ == 0) {
            firstSkippedLine = lines.number();
            splitInto(line, fields);
            firstSkippedCode = spreadsheet::quotedInMessage(fields[0]);
        }
    }
    if (pointCount > mostRows) {
        result.rowsNotKept = pointCount;
        result.countIsLeast = true;
        return result;
    }

    // Then the parcels, each vertex looked up as it comes and made a row at once.
    auto addRow = [&](std::size_t point, std::string mark) {
        points[point].inParcel = true;
        if (result.rows.size() >= mostRows) {
            ++result.rowsNotKept;
            return;
        }
        PointRow row;
        row[Role::Mark] = std::move(mark);
        row[Role::Name] = points[point].name;
        row[Role::X] = points[point].x;
        row[Role::Y] = points[point].y;
        result.rows.push_back(std::move(row));
    };
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    bool parcelOpen = false;
    std::string mark;
    std::size_t firstVertex = kNone;
    std::size_t lastVertex = kNone;
    // Closed on its first vertex, as the drawing program draws a parcel.
    auto closeParcel = [&] {
        if (firstVertex != kNone && lastVertex != firstVertex) {
            addRow(firstVertex, std::string());
        }
        parcelOpen = false;
        firstVertex = lastVertex = kNone;
    };
    for (SimaLines lines(text); lines.next(line);) {
        const std::string code = codeOf(line, fields, split);
        if (code == "D00") {
            // A parcel without its D99 ends where the next one starts.
            closeParcel();
            splitInto(line, fields);
            const std::string number = field(fields, 1);
            const std::string name = field(fields, 2);
            mark = !name.empty() ? name : !number.empty() ? number : std::string("*");
            parcelOpen = true;
        } else if (code == "B01") {
            if (!parcelOpen) {
                warnings.add(kOutsideParcel, [&] {
                    return lineText(lines.number()) + "区画 (D00) の外の B01 を読み飛ばしました。";
                });
                continue;
            }
            splitInto(line, fields);
            const std::string number = field(fields, 1);
            auto found = number.empty() ? byNumber.end() : byNumber.find(number);
            if (found == byNumber.end()) {
                const std::string name = field(fields, 2);
                found = name.empty() ? byName.end() : byName.find(name);
                if (found == byName.end()) {
                    warnings.add(kMissingVertex, [&] {
                        return lineText(lines.number()) + "測点「" +
                               spreadsheet::quotedInMessage(number) +
                               (name.empty() ? "" : " " + spreadsheet::quotedInMessage(name)) +
                               "」の座標がないため、区画の頂点から外しました。";
                    });
                    continue;
                }
            }
            addRow(found->second, firstVertex == kNone ? mark : std::string());
            if (firstVertex == kNone) {
                firstVertex = found->second;
            }
            lastVertex = found->second;
        } else if (code == "D99") {
            closeParcel();
        }
    }
    closeParcel();
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i].inParcel) {
            addRow(i, "*");
        }
    }
    if (skipped > 0) {
        result.warnings.push_back("SIMA ファイルの対象外のレコード " + std::to_string(skipped) +
                                  " 件を読み飛ばしました (最初は " +
                                  std::to_string(firstSkippedLine) + " 行目の「" +
                                  firstSkippedCode + "」)。");
    }
    warnings.finish();
    return result;
}

} // namespace karumenio::survey

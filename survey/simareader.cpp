#include "simareader.h"

#include "points/ascii.h"
#include "points/cellvalue.h"
#include "points/messagetext.h"
#include "points/runtimeerror.h"

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
    bool inParcel = false;
};

struct VertexRef {
    std::string number;
    std::string name;
    int line = 0;
};

struct Parcel {
    std::string number;
    std::string name;
    std::vector<VertexRef> vertices;
};

[[noreturn]] void fail(int line, const std::string& what) {
    throw points::RunTimeError(points::RunError::TypeMismatch,
                               "SIMA ファイルの " + std::to_string(line) + " 行目: " + what +
                                   "何も貼り付けませんでした。");
}

std::string recordCode(std::string_view field) {
    std::string code(field);
    for (char& c : code) {
        c = points::ascii::toUpper(c);
    }
    return code;
}

std::string field(const std::vector<std::string>& fields, std::size_t i) {
    return i < fields.size() ? fields[i] : std::string();
}

// Fills fields with the record's fields, reusing their storage from the record before.
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
            while (pos < n) {
                if (line[pos] == '"') {
                    if (pos + 1 < n && line[pos + 1] == '"') {
                        value.push_back('"');
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                value.push_back(line[pos++]);
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
            value.assign(line.substr(start, end - start));
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

PointRows readSima(std::string_view text) {
    PointRows result;
    std::vector<SimaPoint> points;
    std::unordered_map<std::string, std::size_t> byNumber;
    std::unordered_map<std::string, std::size_t> byName;
    std::vector<Parcel> parcels;
    bool parcelOpen = false;
    int skipped = 0;
    int firstSkippedLine = 0;
    std::string firstSkippedCode;

    // Every record is one line at most, so the line count bounds the points.
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    points.reserve(lines);
    byNumber.reserve(lines);
    byName.reserve(lines);
    std::vector<std::string> fields;

    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size()) {
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        }
        ++lineNumber;
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }

        splitInto(line, fields);
        const std::string code = recordCode(fields[0]);
        if (code == "A01") {
            SimaPoint point{field(fields, 2), field(fields, 3), field(fields, 4)};
            for (const std::string* coordinate : {&point.x, &point.y}) {
                if (!points::readNumber(*coordinate)) {
                    fail(lineNumber, "A01 の座標「" + points::quotedInMessage(*coordinate) +
                                         "」を数値として読めません。");
                }
            }
            const std::string number = field(fields, 1);
            if (!number.empty()) {
                byNumber.try_emplace(number, points.size());
            }
            if (!point.name.empty()) {
                byName.try_emplace(point.name, points.size());
            }
            points.push_back(std::move(point));
        } else if (code == "D00") {
            // A parcel without its D99 ends where the next one starts.
            parcels.push_back({field(fields, 1), field(fields, 2), {}});
            parcelOpen = true;
        } else if (code == "B01") {
            if (!parcelOpen) {
                result.warnings.push_back("SIMA ファイルの " + std::to_string(lineNumber) +
                                          " 行目: 区画 (D00) の外の B01 を読み飛ばしました。");
                continue;
            }
            parcels.back().vertices.push_back({field(fields, 1), field(fields, 2), lineNumber});
        } else if (code == "D99") {
            parcelOpen = false;
        } else if (code == "G00" || code == "Z00" || code == "A00" || code == "A99") {
            continue;
        } else {
            if (skipped++ == 0) {
                firstSkippedLine = lineNumber;
                firstSkippedCode = fields[0];
            }
        }
    }

    std::size_t rowCount = points.size();
    for (const Parcel& parcel : parcels) {
        rowCount += parcel.vertices.size() + 1;
    }
    result.rows.reserve(rowCount);
    // Vertices are looked up once every point is known, so a parcel may come first.
    for (const Parcel& parcel : parcels) {
        std::vector<std::size_t> vertices;
        for (const VertexRef& ref : parcel.vertices) {
            auto found = byNumber.find(ref.number);
            if (ref.number.empty() || found == byNumber.end()) {
                found = ref.name.empty() ? byName.end() : byName.find(ref.name);
                if (found == byName.end()) {
                    result.warnings.push_back("SIMA ファイルの " + std::to_string(ref.line) +
                                              " 行目: 測点「" + ref.number +
                                              (ref.name.empty() ? "" : " " + ref.name) +
                                              "」の座標がないため、区画の頂点から外しました。");
                    continue;
                }
            }
            vertices.push_back(found->second);
        }
        if (vertices.empty()) {
            continue;
        }
        std::string mark = !parcel.name.empty()     ? parcel.name
                           : !parcel.number.empty() ? parcel.number
                                                    : std::string("*");
        if (vertices.back() != vertices.front()) {
            vertices.push_back(vertices.front());
        }
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            SimaPoint& point = points[vertices[i]];
            point.inParcel = true;
            PointRow row;
            row[Role::Mark] = i == 0 ? mark : std::string();
            row[Role::Name] = point.name;
            row[Role::X] = point.x;
            row[Role::Y] = point.y;
            result.rows.push_back(std::move(row));
        }
    }
    for (const SimaPoint& point : points) {
        if (!point.inParcel) {
            PointRow row;
            row[Role::Mark] = std::string("*");
            row[Role::Name] = point.name;
            row[Role::X] = point.x;
            row[Role::Y] = point.y;
            result.rows.push_back(std::move(row));
        }
    }
    if (skipped > 0) {
        result.warnings.push_back("SIMA ファイルの対象外のレコード " + std::to_string(skipped) +
                                  " 件を読み飛ばしました (最初は " +
                                  std::to_string(firstSkippedLine) + " 行目の「" +
                                  firstSkippedCode + "」)。");
    }
    return result;
}

} // namespace karumenio::survey

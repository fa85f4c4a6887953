#include "pointname.h"

#include "spreadsheet/codepage.h"

#include <algorithm>

namespace karumenio::points {

namespace {

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
}

// Each byte that begins no UTF-8 character becomes U+FFFD: a field given as other bytes (a
// command line passes any) would otherwise take the line break after it into a character.
std::string validUtf8(std::string name) {
    if (spreadsheet::isValidUtf8(name)) {
        return name;
    }
    std::string valid;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length =
            spreadsheet::utf8SequenceLength(static_cast<unsigned char>(name[i]));
        if (i + length <= name.size() &&
            spreadsheet::isValidUtf8(std::string_view(name).substr(i, length))) {
            valid.append(name, i, length);
            i += length;
        } else {
            valid += "\uFFFD";
            ++i;
        }
    }
    return valid;
}

} // namespace

std::string drawnName(std::string name, std::string_view what, std::vector<std::string>& warnings) {
    name = validUtf8(std::move(name));
    if (const std::string_view kept = cutPointName(name); kept.size() < name.size()) {
        name.resize(kept.size());
        warnings.push_back(std::string(what) + "「" + spreadsheet::quotedInMessage(name) + "」は " +
                           std::to_string(kLongestPointName) +
                           " 文字を超えるため、そこまでを書き出しました。");
    }
    if (std::none_of(name.begin(), name.end(), isControl)) {
        return name;
    }
    std::string oneLine;
    bool onlyLineBreaks = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\r' && i + 1 < name.size() && name[i + 1] == '\n') {
            continue;
        }
        onlyLineBreaks =
            onlyLineBreaks && (!isControl(name[i]) || name[i] == '\r' || name[i] == '\n');
        oneLine += isControl(name[i]) ? ' ' : name[i];
    }
    warnings.push_back(std::string(what) + "「" + spreadsheet::quotedInMessage(oneLine) +
                       (onlyLineBreaks
                            ? "」に改行が含まれていたため、改行を空白にして書き出しました。"
                            : "」に制御文字が含まれていたため、空白にして書き出しました。"));
    return oneLine;
}

} // namespace karumenio::points

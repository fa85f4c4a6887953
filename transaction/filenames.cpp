#include "filenames.h"

#include "platform.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/codepage.h"

#include <algorithm>
#include <array>

namespace karumenio::transaction {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTokenLength = 16;

std::u8string u8(std::string_view text) {
    return std::u8string(text.begin(), text.end());
}

bool isHexDigit(char c) {
    return spreadsheet::ascii::isDigit(c) || (c >= 'a' && c <= 'f');
}

// The lower-case letter Windows takes an upper-case one for, over the ranges names use.
char32_t lowerCase(char32_t c) {
    struct Range {
        char32_t first;
        char32_t last;
        char32_t shift;
        char32_t except;
    };
    constexpr std::array<Range, 6> kRanges{{{U'A', U'Z', 0x20, 0},
                                            {0xC0, 0xDE, 0x20, 0xD7},
                                            {0x391, 0x3A9, 0x20, 0x3A2},
                                            {0x400, 0x40F, 0x50, 0},
                                            {0x410, 0x42F, 0x20, 0},
                                            {0xFF21, 0xFF3A, 0x20, 0}}};
    for (const Range& range : kRanges) {
        if (c >= range.first && c <= range.last && c != range.except) {
            return c + range.shift;
        }
    }
    return c;
}

// The code point at pos and its length in bytes; a byte that starts no valid sequence stands
// for itself, so that any name folds.
std::pair<char32_t, std::size_t> decodeAt(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (length == 1 || lead < 0xC2 || pos + length > text.size()) {
        return {lead, 1};
    }
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return {lead, 1};
        }
        c = (c << 6) | (next & 0x3F);
    }
    return {c, length};
}

// "~NAME.<token>.SUFFIX" for some NAME; the name is returned through target.
bool splitSibling(std::string_view name, std::string_view suffix, std::string_view* target) {
    const std::size_t tail = 1 + kTokenLength + 1 + suffix.size();
    if (name.size() < 1 + tail || name[0] != '~') {
        return false;
    }
    const std::string_view end = name.substr(name.size() - tail);
    if (end[0] != '.' || end[1 + kTokenLength] != '.' || end.substr(2 + kTokenLength) != suffix ||
        !isRunToken(end.substr(1, kTokenLength))) {
        return false;
    }
    if (target != nullptr) {
        *target = name.substr(1, name.size() - 1 - tail);
    }
    return true;
}

} // namespace

fs::path siblingName(const fs::path& target, std::string_view token, std::string_view suffix) {
    return target.parent_path() /
           fs::path(u8"~" + target.filename().u8string() + u8"." + u8(token) + u8"." + u8(suffix));
}

bool isRunToken(std::string_view text) {
    return text.size() == kTokenLength && std::all_of(text.begin(), text.end(), isHexDigit);
}

bool isTransactionName(std::string_view name) {
    const std::string folded = windowsFoldedName(name);
    if (folded == kJournalName || folded == kLockFileName) {
        return true;
    }
    constexpr std::array<std::string_view, 3> kSuffixes{kTemporarySuffix, kBackupSuffix,
                                                        kSetAsideSuffix};
    return std::any_of(kSuffixes.begin(), kSuffixes.end(), [&](std::string_view suffix) {
        return splitSibling(folded, suffix, nullptr);
    });
}

std::string windowsFoldedName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        const auto [c, length] = decodeAt(name, pos);
        // Every letter folded lies in the Basic Multilingual Plane; the rest is kept as it is.
        if (const char32_t lower = lowerCase(c); lower != c) {
            spreadsheet::appendUtf8(out, lower);
        } else {
            out.append(name, pos, length);
        }
        pos += length;
    }
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) {
        out.pop_back();
    }
    return out;
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20;
    });
}

std::string fileNameOf(const fs::path& path) {
    return platform::displayPath(path.filename());
}

std::string pathKey(const fs::path& path, bool resolveLast) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) {
        absolute = path;
    }
    absolute = absolute.lexically_normal();
    if (!absolute.has_filename()) {
        absolute = absolute.parent_path();
    }
    fs::path resolved = resolveLast ? absolute : absolute.parent_path();
    resolved = fs::weakly_canonical(resolved, error);
    if (error) {
        resolved = resolveLast ? absolute : absolute.parent_path();
    }
    if (!resolveLast) {
        resolved /= absolute.filename();
    }
    std::string key;
    for (const fs::path& part : resolved) {
        const std::string text = platform::displayPath(part);
        if (text == "/" || text == "\\" || text.empty()) {
            continue;
        }
        key += '/';
        key += windowsFoldedName(text);
    }
    return key;
}

} // namespace karumenio::transaction

// Code page 932 by table, so that every system writes the same bytes: the table holds what
// glibc's iconv does, down to its choice among the NEC and IBM duplicates.
#include "codepage.h"

#include "ascii.h"
#include "cp932table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace karumenio::spreadsheet {

namespace {

constexpr char32_t kNotScalar = 0xFFFFFFFF;

// The scalar value of one UTF-8 sequence; kNotScalar for a stray byte, a sequence cut short
// or broken, an overlong one, a surrogate or a value past U+10FFFF.
char32_t scalarOf(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (lead < 0x80) {
        return lead;
    }
    if (sequence.size() == 1 || sequence.size() != utf8SequenceLength(lead)) {
        return kNotScalar;
    }
    char32_t code = lead & (0x7F >> sequence.size());
    for (std::size_t k = 1; k < sequence.size(); ++k) {
        const auto next = static_cast<unsigned char>(sequence[k]);
        if ((next & 0xC0) != 0x80) {
            return kNotScalar;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const bool overlong =
        (sequence.size() == 3 && code < 0x800) || (sequence.size() == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return kNotScalar;
    }
    return code;
}

// The character of a pair of bytes, 0 when code page 932 has none.
char16_t pairCharacter(unsigned lead, unsigned trail) {
    using namespace cp932;
    if (trail < kFirstTrail || trail > kLastTrail || trail == 0x7F) {
        return 0;
    }
    if (lead >= kUserFirstLead && lead <= kUserLastLead) {
        // Each lead takes the trail bytes but 0x7F: kLastTrail - kFirstTrail of them.
        const unsigned index = (lead - kUserFirstLead) * (kLastTrail - kFirstTrail) +
                               (trail - kFirstTrail) - (trail > 0x7F ? 1 : 0);
        return static_cast<char16_t>(kUserFirstCharacter + index);
    }
    const int row = kRowOfLead[lead - 0x80];
    return row < 0 ? 0 : kRows[static_cast<std::size_t>(row)][trail - kFirstTrail];
}

// The code of each character below U+10000: one byte below 0x100, else a pair; 0 for none.
using EncodeTable = std::array<std::uint16_t, 0x10000>;

// The inverse of the decoding. Where several codes decode to one character the first wins,
// leads in order and the yielding ones last; then the characters that encode to a code of
// another character.
std::unique_ptr<const EncodeTable> buildEncodeTable() {
    using namespace cp932;
    auto table = std::make_unique<EncodeTable>();
    for (unsigned c = 0; c < 0x80; ++c) {
        (*table)[c] = static_cast<std::uint16_t>(c);
    }
    std::vector<unsigned> leads;
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        if (std::find(kYieldingLeads.begin(), kYieldingLeads.end(), lead) == kYieldingLeads.end()) {
            leads.push_back(lead);
        }
    }
    leads.insert(leads.end(), kYieldingLeads.begin(), kYieldingLeads.end());
    for (const unsigned lead : leads) {
        if (const char16_t c = kSingleBytes[lead - 0x80]; c != 0 && (*table)[c] == 0) {
            (*table)[c] = static_cast<std::uint16_t>(lead);
        }
        for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
            if (const char16_t c = pairCharacter(lead, trail); c != 0 && (*table)[c] == 0) {
                (*table)[c] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
    }
    for (const ExtraEncoding& extra : kExtraEncodings) {
        (*table)[extra.character] = extra.code;
    }
    return table;
}

const EncodeTable& encodeTable() {
    static const std::unique_ptr<const EncodeTable> table = buildEncodeTable();
    return *table;
}

} // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        // The table holds no character past U+FFFF.
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead <= 0xEF ? 3 : 1;
    }
    if (lead >= 0xC2) {
        return 2;
    }
    return 1;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while ((i = ascii::endOfAscii(bytes, i)) < bytes.size()) {
        const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(bytes[i]));
        if (i + length > bytes.size() || scalarOf(bytes.substr(i, length)) == kNotScalar) {
            return false;
        }
        i += length;
    }
    return true;
}

// A sequence that is not a character is lost whole, as far as its lead byte says it reaches.
std::string toCp932(std::string_view utf8, std::vector<std::string>* unmappable) {
    const EncodeTable& table = encodeTable();
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            // ASCII, most of any script, is copied a stretch at a time.
            const std::size_t end = ascii::endOfAscii(utf8, pos);
            out.append(utf8, pos, end - pos);
            pos = end;
            continue;
        }
        const std::size_t length = std::min(utf8SequenceLength(lead), utf8.size() - pos);
        const std::string_view sequence = utf8.substr(pos, length);
        pos += length;
        const char32_t c = scalarOf(sequence);
        if (c >= cp932::kDroppedFirst && c <= cp932::kDroppedLast) {
            continue;
        }
        const std::uint16_t code = c < table.size() ? table[c] : 0;
        if (code == 0) {
            if (unmappable != nullptr) {
                unmappable->emplace_back(sequence);
            }
            out += '?';
            continue;
        }
        if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
        }
        out += static_cast<char>(code & 0xFF);
    }
    return out;
}

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            continue;
        }
        char16_t c = cp932::kSingleBytes[byte - 0x80];
        if (c == 0) {
            if (++i == bytes.size()) {
                return std::nullopt;
            }
            c = pairCharacter(byte, static_cast<unsigned char>(bytes[i]));
            if (c == 0) {
                return std::nullopt;
            }
        }
        appendUtf8(out, c);
    }
    return out;
}

} // namespace karumenio::spreadsheet

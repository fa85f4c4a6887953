// Writes spreadsheet/cp932table.h: code page 932 exactly as glibc's iconv converts it, so that
// every system converts the same bytes. Built and run by tools/cp932table.sh on a glibc system.
//
// Every byte and pair of bytes is decoded through iconv, every Unicode scalar value encoded.
// The table keeps the decoding; the encoding is the inverse of the decoding with the lead
// bytes in kYieldingLeads losing ties, plus the few characters glibc encodes to a code that
// decodes to another character, plus the range it writes as nothing. The run fails when
// glibc's encoding cannot be put that way, rather than write a table that differs.
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFC;
constexpr unsigned kRowLength = kLastTrail - kFirstTrail + 1;
// NEC's selection of IBM extensions repeats characters held elsewhere; glibc encodes those
// to the other pair.
constexpr std::array<unsigned, 2> kYieldingLeads = {0xED, 0xEE};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "cp932table: %s\n", message.c_str());
    std::exit(1);
}

std::string hex(unsigned value, int digits = 4) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
    return buffer;
}

class Iconv {
  public:
    Iconv(const char* to, const char* from) : m_handle(iconv_open(to, from)) {
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            fail(std::string("iconv cannot convert from ") + from + " to " + to);
        }
    }
    ~Iconv() { iconv_close(m_handle); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // The whole input converted, or nullopt when iconv refuses any of it.
    std::optional<std::string> convert(const std::string& input) {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[64];
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(m_handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(buffer, out);
    }

  private:
    iconv_t m_handle;
};

std::string utf32Of(char32_t c) {
    return {static_cast<char>(c >> 24), static_cast<char>(c >> 16), static_cast<char>(c >> 8),
            static_cast<char>(c)};
}

// The one character some bytes decoded to; fails on anything else.
char32_t onlyCharacter(const std::string& utf32) {
    if (utf32.size() != 4) {
        fail("bytes decoded to other than one character");
    }
    char32_t c = 0;
    for (const char byte : utf32) {
        c = (c << 8) | static_cast<unsigned char>(byte);
    }
    if (c > 0xFFFF) {
        fail("a character outside the table's range: " + hex(c));
    }
    return c;
}

struct Table {
    std::array<char16_t, 128> singleBytes{};
    std::map<unsigned, std::array<char16_t, kRowLength>> rows;
    std::vector<std::pair<char16_t, unsigned>> extras;
    // The user-defined area, kept as a rule instead of rows.
    unsigned userFirstLead = 0;
    unsigned userLastLead = 0;
    char16_t userFirstCharacter = 0;
    char32_t droppedFirst = 0;
    char32_t droppedLast = 0;
};

void decodeAll(Table& table) {
    Iconv decoder("UTF-32BE", "CP932");
    for (unsigned byte = 0; byte < 0x100; ++byte) {
        const auto decoded = decoder.convert(std::string(1, static_cast<char>(byte)));
        if (!decoded) {
            continue;
        }
        const char32_t c = onlyCharacter(*decoded);
        if (byte < 0x80 ? c != byte : c < 0x80) {
            fail("byte " + hex(byte, 2) + " is not ASCII as the converter expects");
        }
        if (byte >= 0x80) {
            table.singleBytes[byte - 0x80] = static_cast<char16_t>(c);
        }
    }
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        if (table.singleBytes[lead - 0x80] != 0) {
            continue;
        }
        std::array<char16_t, kRowLength> row{};
        bool any = false;
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            const auto decoded =
                decoder.convert({static_cast<char>(lead), static_cast<char>(trail)});
            if (!decoded) {
                continue;
            }
            if (trail < kFirstTrail || trail > kLastTrail) {
                fail("pair " + hex(lead << 8 | trail) + " lies outside the rows");
            }
            const char32_t c = onlyCharacter(*decoded);
            if (c < 0x80) {
                fail("pair " + hex(lead << 8 | trail) + " decodes to ASCII");
            }
            row[trail - kFirstTrail] = static_cast<char16_t>(c);
            any = true;
        }
        if (any) {
            table.rows[lead] = row;
        }
    }
}

// Finds the block of rows that hold consecutive characters in trail order, skipping 0x7F,
// which no row uses: the user-defined area.
void findUserArea(Table& table) {
    for (const auto& [lead, row] : table.rows) {
        if (row[0x7F - kFirstTrail] != 0) {
            fail("a row uses 0x7F as a trail byte");
        }
        bool linear = true;
        for (unsigned i = 0, index = 0; i < kRowLength && linear; ++i) {
            if (kFirstTrail + i != 0x7F) {
                linear = row[i] == row[0] + index++;
            }
        }
        if (!linear) {
            continue;
        }
        if (table.userFirstLead == 0) {
            table.userFirstLead = lead;
            table.userFirstCharacter = row[0];
        } else if (lead != table.userLastLead + 1 ||
                   row[0] != table.rows[table.userLastLead][kRowLength - 1] + 1) {
            fail("the rows of consecutive characters are not one block");
        }
        table.userLastLead = lead;
    }
    if (table.userFirstLead == 0) {
        fail("no user-defined area");
    }
}

// What the converter builds from the decoding: for each code point below 0x10000, the first
// code that decodes to it, leads in order with the yielding ones last.
std::vector<unsigned> inverse(const Table& table) {
    std::vector<unsigned> codes(0x10000, 0);
    for (unsigned c = 1; c < 0x80; ++c) {
        codes[c] = c;
    }
    std::vector<unsigned> leads;
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        if (std::find(kYieldingLeads.begin(), kYieldingLeads.end(), lead) == kYieldingLeads.end()) {
            leads.push_back(lead);
        }
    }
    leads.insert(leads.end(), kYieldingLeads.begin(), kYieldingLeads.end());
    for (const unsigned lead : leads) {
        if (const char16_t c = table.singleBytes[lead - 0x80]; c != 0 && codes[c] == 0) {
            codes[c] = lead;
        }
        const auto row = table.rows.find(lead);
        if (row == table.rows.end()) {
            continue;
        }
        for (unsigned i = 0; i < kRowLength; ++i) {
            if (const char16_t c = row->second[i]; c != 0 && codes[c] == 0) {
                codes[c] = lead << 8 | (kFirstTrail + i);
            }
        }
    }
    return codes;
}

char32_t decodedAs(const Table& table, unsigned code) {
    if (code < 0x80) {
        return code;
    }
    if (code < 0x100) {
        return table.singleBytes[code - 0x80];
    }
    const auto row = table.rows.find(code >> 8);
    const unsigned trail = code & 0xFF;
    if (row == table.rows.end() || trail < kFirstTrail || trail > kLastTrail) {
        return 0;
    }
    return row->second[trail - kFirstTrail];
}

void encodeAll(Table& table) {
    Iconv encoder("CP932", "UTF-32BE");
    const std::vector<unsigned> inverted = inverse(table);
    for (char32_t c = 1; c < 0x110000; ++c) {
        if (c >= 0xD800 && c < 0xE000) {
            continue;
        }
        const auto encoded = encoder.convert(utf32Of(c));
        const unsigned ours = c < inverted.size() ? inverted[c] : 0;
        if (!encoded) {
            if (ours != 0) {
                fail("glibc does not encode " + hex(c) + ", which decodes from " + hex(ours));
            }
            continue;
        }
        if (encoded->empty()) {
            if (table.droppedFirst == 0) {
                table.droppedFirst = c;
            } else if (c != table.droppedLast + 1) {
                fail("the characters written as nothing are not one range");
            }
            table.droppedLast = c;
            continue;
        }
        unsigned code = 0;
        for (const char byte : *encoded) {
            code = (code << 8) | static_cast<unsigned char>(byte);
        }
        if (code == ours) {
            continue;
        }
        if (decodedAs(table, code) == c) {
            fail("glibc encodes " + hex(c) + " to " + hex(code) + ", not " + hex(ours) +
                 "; the yielding leads need changing");
        }
        if (c > 0xFFFF || encoded->size() > 2) {
            fail("an extra encoding outside the table's range: " + hex(c));
        }
        table.extras.emplace_back(static_cast<char16_t>(c), code);
    }
}

template <typename Values, typename Format>
void writeValues(std::ostream& out, const Values& values, const char* indent, Format format,
                 std::size_t perLine = 12) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % perLine == 0 ? indent : " ") << format(values[i]) << ","
            << (i % perLine == perLine - 1 || i + 1 == values.size() ? "\n" : "");
    }
}

void write(const Table& table, std::ostream& out) {
    const auto code = [](unsigned value) { return hex(value); };
    out << R"(// Code page 932 as glibc's iconv converts it, for spreadsheet/codepage.cpp.
// Generated by tools/cp932table.sh; do not edit.
#pragma once

#include <array>
#include <cstdint>

namespace karumenio::spreadsheet::cp932 {

// clang-format off

// The character of each byte from 0x80 on its own; 0 where the byte leads a pair or is
// refused.
inline constexpr std::array<char16_t, 128> kSingleBytes = {
)";
    writeValues(out, table.singleBytes, "    ", code);

    std::map<unsigned, int> rowOf;
    for (const auto& [lead, row] : table.rows) {
        if (lead < table.userFirstLead || lead > table.userLastLead) {
            rowOf[lead] = static_cast<int>(rowOf.size());
        }
    }
    std::array<int, 128> rowOfLead{};
    for (unsigned i = 0; i < 128; ++i) {
        const auto found = rowOf.find(0x80 + i);
        rowOfLead[i] = found == rowOf.end() ? -1 : found->second;
    }
    out << R"(};

inline constexpr unsigned kFirstTrail = )"
        << hex(kFirstTrail, 2) << ";\ninline constexpr unsigned kLastTrail = " << hex(kLastTrail, 2)
        << R"(;
using Row = std::array<char16_t, kLastTrail - kFirstTrail + 1>;

// The row in kRows of the pairs each byte from 0x80 leads; -1 where it leads none.
inline constexpr std::array<std::int8_t, 128> kRowOfLead = {
)";
    // Sixteen to a line, so that each line holds the leads 0x80, 0x90 and so on.
    writeValues(
        out, rowOfLead, "    ", [](int row) { return std::to_string(row); }, 16);

    out << R"(};

// The character of each pair, by trail byte from kFirstTrail; 0 where the pair is refused.
inline constexpr std::array<Row, )"
        << rowOf.size() << "> kRows = {{\n";
    for (const auto& [lead, index] : rowOf) {
        out << "    // " << hex(lead, 2) << "\n    {{\n";
        writeValues(out, table.rows.at(lead), "        ", code);
        out << "    }},\n";
    }

    out << R"(}};

// The user-defined area: the pairs of these leads, in order and without trail 0x7F, hold
// consecutive characters.
inline constexpr unsigned kUserFirstLead = )"
        << hex(table.userFirstLead, 2)
        << ";\ninline constexpr unsigned kUserLastLead = " << hex(table.userLastLead, 2)
        << ";\ninline constexpr char16_t kUserFirstCharacter = " << hex(table.userFirstCharacter)
        << R"(;

// Leads whose pairs repeat characters held under other leads; encoding takes the other pair.
inline constexpr std::array<unsigned, )"
        << kYieldingLeads.size() << "> kYieldingLeads = {";
    for (std::size_t i = 0; i < kYieldingLeads.size(); ++i) {
        out << (i == 0 ? "" : ", ") << hex(kYieldingLeads[i], 2);
    }

    out << R"(};

// Characters encoded to a code that decodes to another character; a code below 0x100 is
// one byte.
struct ExtraEncoding {
    char16_t character;
    std::uint16_t code;
};
inline constexpr std::array<ExtraEncoding, )"
        << table.extras.size() << "> kExtraEncodings = {{\n";
    for (const auto& [c, extra] : table.extras) {
        out << "    {" << hex(c) << ", " << hex(extra) << "},\n";
    }

    out << R"(}};

// Characters written as nothing at all.
inline constexpr char32_t kDroppedFirst = )"
        << hex(table.droppedFirst, 5)
        << ";\ninline constexpr char32_t kDroppedLast = " << hex(table.droppedLast, 5) << R"(;

// clang-format on

} // namespace karumenio::spreadsheet::cp932
)";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cp932table OUTPUT\n");
        return 2;
    }
    Table table;
    decodeAll(table);
    findUserArea(table);
    encodeAll(table);
    std::ofstream out(argv[1], std::ios::binary);
    write(table, out);
    return out.good() ? 0 : 1;
}

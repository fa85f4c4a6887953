#include "spreadsheet/codepage.h"

#include <gtest/gtest.h>

#include <optional>

using namespace karumenio::spreadsheet;

namespace {

struct EncodeCase {
    const char* name;
    std::string utf8;
    std::string cp932;
    std::vector<std::string> lost;
};

// The same bytes on every system, as glibc writes them; the Windows conversion differed in the
// rows marked "glibc".
TEST(Codepage, EncodesLabelTextsAndReportsWhatItCannotHold) {
    const EncodeCase cases[] = {
        {"ascii stays", "K1 -12.5", "K1 -12.5", {}},
        {"kanji", "測点", "\x91\xaa\x93\x5f", {}},
        {"half-width katakana", "ｶﾅ", "\xb6\xc5", {}},
        {"full-width blank", "\u3000", "\x81\x40", {}},
        {"vendor extension", "①髙", "\x87\x40\xfb\xfc", {}},
        {"user-defined area", "\uE000\uE757", "\xf0\x40\xf9\xfc", {}},
        {"NEC row 13 before IBM", "Ⅰ∵", "\x87\x54\x81\xe6", {}},
        {"IBM before NEC's selection", "ⅰ纊", "\xfa\x40\xfa\x5c", {}},
        {"glibc: cent and pound", "¢£", "\x81\x91\x81\x92", {}},
        {"glibc: yen and overline are the ASCII bytes", "¥‾", "\x5c\x7e", {}},
        {"glibc: not sign", "¬", "\x81\xca", {}},
        {"glibc: dashes", "—−", "\x81\x5c\x81\x7c", {}},
        {"glibc: double vertical line", "‖", "\x81\x61", {}},
        {"glibc: wave dash as the full-width tilde", "〜～", "\x81\x60\x81\x60", {}},
        {"glibc: U+0080 becomes ?", "\u0080", "?", {"\u0080"}},
        {"glibc: U+F8F0..F8F3 become ?",
         "\uF8F0\uF8F1\uF8F2\uF8F3",
         "????",
         {"\uF8F0", "\uF8F1", "\uF8F2", "\uF8F3"}},
        {"glibc: language tags are dropped", "a\U000E0041\U000E007Fb", "ab", {}},
        {"emoji becomes ?", "A\U0001F600B", "A?B", {"\U0001F600"}},
        {"hangul becomes ?", "점1", "?1", {"점"}},
        {"two lost in a row", "ÀÀ", "??", {"À", "À"}},
        {"stray byte", "a\xffz", "a?z", {"\xff"}},
        {"kanji cut short at the end", "a\xe6\xb8", "a?", {"\xe6\xb8"}},
        {"four bytes cut to two at the end", "a\xf0\x90", "a?", {"\xf0\x90"}},
        {"broken sequence reaches as far as its lead says", "\xe6xyz", "?z", {"\xe6xy"}},
        {"surrogate", "\xed\xa0\x80x", "?x", {"\xed\xa0\x80"}},
        {"overlong", "\xc0\x80", "??", {"\xc0", "\x80"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lost;
        EXPECT_EQ(toCp932(c.utf8, &lost), c.cp932);
        EXPECT_EQ(lost, c.lost);
    }
}

struct DecodeCase {
    const char* name;
    std::string cp932;
    std::optional<std::string> utf8;
};

TEST(Codepage, DecodesCodePage932AndRefusesWhatItIsNot) {
    const DecodeCase cases[] = {
        {"text", "\x8b\xe6\x81\x40\x89\xe6,\xb8\xde", "区\u3000画,ｸﾞ"},
        {"backslash and tilde stay ASCII", "\\~", "\\~"},
        {"tilde row", "\x81\x60\x81\x5c\x81\x7c", "～―－"},
        {"NEC's selection and IBM agree", "\xee\xef\xfa\x40", "ⅰⅰ"},
        {"user-defined area", "\xf9\xfc", "\uE757"},
        {"glibc: byte 0x80 refused", "a\x80", std::nullopt},
        {"glibc: byte 0xA0 refused", "\xa0", std::nullopt},
        {"glibc: byte 0xFD refused", "\xfd", std::nullopt},
        {"glibc: byte 0xFF refused", "\xff", std::nullopt},
        {"lone lead byte", "\x81", std::nullopt},
        {"trail 0x7F", "\x81\x7f", std::nullopt},
        {"trail below 0x40", "\x81\x20", std::nullopt},
        {"unassigned pair", "\x85\x40", std::nullopt},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cp932ToUtf8(c.cp932), c.utf8);
    }
}

TEST(Codepage, TellsUtf8FromShiftedBytes) {
    EXPECT_TRUE(isValidUtf8("測点 K1"));
    EXPECT_FALSE(isValidUtf8(toCp932("測点")));
    EXPECT_FALSE(isValidUtf8("\xc0\x80")) << "overlong";
    EXPECT_FALSE(isValidUtf8("\xed\xa0\x80")) << "surrogate";
}

} // namespace

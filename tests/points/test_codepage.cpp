#include "points/codepage.h"

#include <gtest/gtest.h>

using namespace karumenio::points;

namespace {

struct EncodeCase {
    const char* name;
    std::string utf8;
    std::string cp932;
    std::vector<std::string> lost;
};

TEST(Codepage, EncodesLabelTextsAndReportsWhatItCannotHold) {
    const EncodeCase cases[] = {
        {"ascii stays", "K1 -12.5", "K1 -12.5", {}},
        {"kanji", "測点", "\x91\xaa\x93\x5f", {}},
        {"half-width katakana", "ｶﾅ", "\xb6\xc5", {}},
        {"full-width blank", "\u3000", "\x81\x40", {}},
        {"vendor extension", "①髙", "\x87\x40\xfb\xfc", {}},
        {"emoji becomes ?", "A\U0001F600B", "A?B", {"\U0001F600"}},
        {"hangul becomes ?", "점1", "?1", {"점"}},
        {"two lost in a row", "ÀÀ", "??", {"À", "À"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lost;
        EXPECT_EQ(toCp932(c.utf8, &lost), c.cp932);
        EXPECT_EQ(lost, c.lost);
    }
}

TEST(Codepage, InvalidUtf8IsReplacedNotDropped) {
    std::vector<std::string> lost;
    EXPECT_EQ(toCp932("a\xff"
                      "b",
                      &lost),
              "a?b");
    EXPECT_EQ(lost.size(), 1u);
}

TEST(Codepage, DecodesWhatItEncodes) {
    const std::string text = "区\u3000画,測点名,X 座標,ﾀﾞﾌﾞﾙｸﾘｯｸ";
    const auto decoded = cp932ToUtf8(toCp932(text));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, text);
    EXPECT_FALSE(cp932ToUtf8("\x81").has_value()) << "a lone lead byte is not code page 932";
}

TEST(Codepage, TellsUtf8FromShiftedBytes) {
    EXPECT_TRUE(isValidUtf8("測点 K1"));
    EXPECT_FALSE(isValidUtf8(toCp932("測点")));
    EXPECT_FALSE(isValidUtf8("\xc0\x80")) << "overlong";
    EXPECT_FALSE(isValidUtf8("\xed\xa0\x80")) << "surrogate";
}

} // namespace

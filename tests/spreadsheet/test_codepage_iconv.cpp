// The code page 932 table against glibc's iconv, which it was generated from: every Unicode
// scalar value encoded and every sequence of one or two bytes decoded must come out the same,
// and broken UTF-8 must be lost as it was when the conversion went through iconv.
#include "spreadsheet/codepage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace karumenio::spreadsheet;

namespace {

class Iconv {
  public:
    Iconv(const char* to, const char* from) : m_handle(iconv_open(to, from)) {
        EXPECT_NE(m_handle, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
    }
    ~Iconv() { iconv_close(m_handle); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts up to the first sequence iconv refuses or finds cut short; returns the number
    // of input bytes it took.
    std::size_t convert(std::string_view input, std::string& output) {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[16];
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(m_handle, &in, &inLeft, &out, &outLeft);
        output.append(buffer, out);
        return input.size() - inLeft;
    }

  private:
    iconv_t m_handle;
};

std::string hexBytes(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned char>(byte));
        text += buffer;
    }
    return text;
}

// Failures are counted and only the first few reported, so a wrong table stays readable.
constexpr int kReported = 20;

// The conversion as it was through iconv: as far as iconv goes, then "?" for the sequence
// it stops at, as far as that sequence's lead byte reaches.
void expectEncodedAsThroughIconv(Iconv& encoder, const std::string& utf8, int& differ) {
    std::string expected;
    std::vector<std::string> expectedLost;
    for (std::size_t pos = encoder.convert(utf8, expected); pos < utf8.size();) {
        const std::size_t length =
            std::min(utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        expectedLost.push_back(utf8.substr(pos, length));
        expected += '?';
        pos += length;
        pos += encoder.convert(std::string_view(utf8).substr(pos), expected);
    }
    std::vector<std::string> lost;
    const std::string encoded = toCp932(utf8, &lost);
    if ((encoded != expected || lost != expectedLost) && ++differ <= kReported) {
        ADD_FAILURE() << hexBytes(utf8) << " (UTF-8) gives " << hexBytes(encoded) << ", iconv "
                      << hexBytes(expected);
    }
}

std::vector<std::string> everyOneAndTwoBytes() {
    std::vector<std::string> inputs;
    for (unsigned first = 0; first < 0x100; ++first) {
        inputs.emplace_back(1, static_cast<char>(first));
        for (unsigned second = 0; second < 0x100; ++second) {
            inputs.push_back({static_cast<char>(first), static_cast<char>(second)});
        }
    }
    return inputs;
}

TEST(CodepageIconv, EveryCharacterEncodesAsGlibcDoes) {
    Iconv encoder("CP932", "UTF-8");
    Iconv toUtf8("UTF-8", "UTF-32LE");
    int characters = 0;
    int differ = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const char utf32[4] = {static_cast<char>(c), static_cast<char>(c >> 8),
                               static_cast<char>(c >> 16), 0};
        std::string utf8;
        toUtf8.convert(std::string_view(utf32, 4), utf8);
        expectEncodedAsThroughIconv(encoder, utf8, differ);
        ++characters;
    }
    EXPECT_EQ(differ, 0) << "of " << characters << " characters";
}

TEST(CodepageIconv, EveryByteAndPairDecodesAsGlibcDoes) {
    Iconv decoder("UTF-8", "CP932");
    const std::vector<std::string> inputs = everyOneAndTwoBytes();
    int differ = 0;
    for (const std::string& bytes : inputs) {
        std::string decoded;
        const bool whole = decoder.convert(bytes, decoded) == bytes.size();
        const auto expected = whole ? std::optional(decoded) : std::nullopt;
        if (cp932ToUtf8(bytes) != expected && ++differ <= kReported) {
            ADD_FAILURE() << "bytes " << hexBytes(bytes) << " decode differently";
        }
    }
    EXPECT_EQ(differ, 0) << "of " << inputs.size() << " sequences";
}

TEST(CodepageIconv, BrokenUtf8IsLostAsBefore) {
    Iconv encoder("CP932", "UTF-8");
    // Every string of one or two bytes, and of three from a lead byte on with continuation
    // bytes or a letter after it: every way a sequence can be cut short or broken.
    std::vector<std::string> inputs = everyOneAndTwoBytes();
    std::string later = "z";
    for (unsigned byte = 0x80; byte < 0xC0; ++byte) {
        later += static_cast<char>(byte);
    }
    for (unsigned lead = 0xC2; lead <= 0xF4; ++lead) {
        for (const char second : later) {
            for (const char third : later) {
                inputs.push_back({static_cast<char>(lead), second, third});
            }
        }
    }
    int differ = 0;
    for (const std::string& utf8 : inputs) {
        expectEncodedAsThroughIconv(encoder, utf8, differ);
    }
    EXPECT_EQ(differ, 0) << "of " << inputs.size() << " strings";
}

} // namespace

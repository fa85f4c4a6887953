#include "spreadsheet/cellvalue.h"
#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using karumenio::spreadsheet::CellValue;
using karumenio::spreadsheet::RunError;
using karumenio::spreadsheet::RunTimeError;

namespace {

RunError errorOf(auto&& action) {
    try {
        action();
    } catch (const RunTimeError& e) {
        return e.error();
    }
    ADD_FAILURE() << "no run-time error was thrown";
    return RunError::Overflow;
}

struct FormCase {
    const char* name;
    CellValue value;
    const char* str;
    const char* text;
};

class Forms : public testing::TestWithParam<FormCase> {};

TEST_P(Forms, StrAndTextFormsMatchTheScriptsNeeds) {
    const auto& c = GetParam();
    EXPECT_EQ(c.value.strForm(), c.str);
    EXPECT_EQ(c.value.textForm(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    CellValue, Forms,
    testing::Values(
        FormCase{"whole", CellValue::number(12), " 12", "12"},
        FormCase{"fraction", CellValue::number(12.5), " 12.5", "12.5"},
        FormCase{"half", CellValue::number(0.5), " .5", "0.5"},
        FormCase{"negative_quarter", CellValue::number(-0.25), "-.25", "-0.25"},
        FormCase{"negative_fraction", CellValue::number(-12.25), "-12.25", "-12.25"},
        FormCase{"zero", CellValue::number(0), " 0", "0"},
        FormCase{"negative_zero", CellValue::number(-0.0), " 0", "0"},
        FormCase{"empty", CellValue(), " 0", ""},
        FormCase{"numeric_text", CellValue::text("12.50"), " 12.5", "12.50"},
        FormCase{"text_blanks_trimmed", CellValue::text("  12 "), " 12", "12"},
        FormCase{"ten_to_the_15th", CellValue::number(1e15), " 1E+15", "1E+15"},
        FormCase{"below_ten_to_the_15th", CellValue::number(999999999999999.0), " 999999999999999",
                 "999999999999999"},
        FormCase{"rounds_up_into_exponent", CellValue::number(999999999999999.9), " 1E+15",
                 "1E+15"},
        FormCase{"residue", CellValue::number(2.5e-17), " 2.5E-17", "2.5E-17"},
        FormCase{"negative_residue", CellValue::number(-2.5e-17), "-2.5E-17", "-2.5E-17"},
        FormCase{"ten_thousandth", CellValue::number(0.0001), " .0001", "0.0001"},
        FormCase{"fifteen_digits", CellValue::number(130.16694444444443), " 130.166944444444",
                 "130.166944444444"},
        FormCase{"rounds_half_up_in_last_digit", CellValue::number(130.18055555555551),
                 " 130.180555555556", "130.180555555556"},
        FormCase{"one_tenth", CellValue::number(0.1), " .1", "0.1"},
        FormCase{"large_whole", CellValue::number(123456789012.0), " 123456789012", "123456789012"},
        FormCase{"cosine_residue", CellValue::number(7.960204194457797e-17), " 7.9602041944578E-17",
                 "7.9602041944578E-17"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CellValue, TextKeepsFullWidthBlanksWhenTrimmed) {
    EXPECT_EQ(CellValue::text(" \u3000K1\u3000 ").textForm(), "\u3000K1\u3000");
}

TEST(CellValue, LettersFailAsTypeMismatchInEveryNumericUse) {
    const auto letters = CellValue::text("abc");
    EXPECT_EQ(errorOf([&] { (void)letters.toNumber(); }), RunError::TypeMismatch);
    EXPECT_EQ(errorOf([&] { (void)letters.strForm(); }), RunError::TypeMismatch);
    EXPECT_EQ(errorOf([&] { (void)letters.equalsZero(); }), RunError::TypeMismatch);
    EXPECT_EQ(errorOf([&] { (void)CellValue::error("#N/A").toNumber(); }), RunError::TypeMismatch);
    EXPECT_EQ(letters.textForm(), "abc");
}

TEST(CellValue, EmptyTextEqualsEmptyButFailsAgainstZero) {
    const auto blankText = CellValue::text("");
    EXPECT_TRUE(blankText.equalsEmptyText());
    EXPECT_EQ(errorOf([&] { (void)blankText.equalsZero(); }), RunError::TypeMismatch);
}

TEST(CellValue, OnlyEmptyValuesEqualEmptyText) {
    EXPECT_TRUE(CellValue().equalsEmptyText());
    EXPECT_FALSE(CellValue::number(0).equalsEmptyText());
    EXPECT_FALSE(CellValue::text(" ").equalsEmptyText());
    EXPECT_FALSE(CellValue::text("K").equalsEmptyText());
}

TEST(CellValue, ComparisonWithZero) {
    EXPECT_TRUE(CellValue().equalsZero());
    EXPECT_TRUE(CellValue::number(0).equalsZero());
    EXPECT_TRUE(CellValue::text(" 0.0 ").equalsZero());
    EXPECT_FALSE(CellValue::number(-2).equalsZero());
    EXPECT_FALSE(CellValue::text("3").equalsZero());
}

TEST(CellValue, JoinFormWritesCountsAsDigits) {
    EXPECT_EQ(CellValue::number(25).joinForm(), "25");
    EXPECT_EQ(CellValue::number(0.5).joinForm(), "0.5");
}

struct ReadCase {
    const char* text;
    bool reads;
    double value;
};

TEST(ReadNumber, AcceptsPlainDecimalNotationOnly) {
    const ReadCase cases[] = {
        {"12", true, 12},        {" -3.5 ", true, -3.5}, {"+.25", true, 0.25}, {"1e3", true, 1000},
        {"2.5E-2", true, 0.025}, {"7.", true, 7},        {"", false, 0},       {"-", false, 0},
        {".", false, 0},         {"1e", false, 0},       {"12abc", false, 0},  {"1 2", false, 0},
        {"K1", false, 0},        {"1,5", false, 0},      {"1e999", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto n = karumenio::spreadsheet::readNumber(c.text);
        ASSERT_EQ(n.has_value(), c.reads);
        if (c.reads) {
            EXPECT_EQ(*n, c.value);
        }
    }
}

} // namespace

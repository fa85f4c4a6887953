#include "printers.h"
#include "spreadsheet/cellformat.h"
#include "spreadsheet/formulaparser.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <gtest/gtest.h>

#include <string>

using namespace karumenio::spreadsheet;

namespace {

// A sheet with a few constants for the formula table to refer to:
// A1 12, A2 "abc", A3 empty, A4 -3.5, A5 "7" (text), A6 "" (empty text), B1 TRUE.
Worksheet sampleSheet() {
    Worksheet sheet;
    EditRecord cells = {
        {1, 1, {}, CellContent::value(CellValue::number(12))},
        {2, 1, {}, CellContent::value(CellValue::text("abc"))},
        {4, 1, {}, CellContent::value(CellValue::number(-3.5))},
        {5, 1, {}, CellContent::value(CellValue::text("7"))},
        {6, 1, {}, CellContent::value(CellValue::text(""))},
        {1, 2, {}, CellContent::value(CellValue::boolean(true))},
    };
    sheet.apply(cells);
    return sheet;
}

struct FormulaCase {
    const char* name;
    const char* formula;
    CellValue expected;
};

class FormulaTable : public ::testing::TestWithParam<FormulaCase> {};

TEST_P(FormulaTable, EvaluatesLikeASpreadsheet) {
    const FormulaCase& c = GetParam();
    Worksheet sheet = sampleSheet();
    sheet.setFormula(10, 3, c.formula);
    EXPECT_EQ(sheet.value(10, 3), c.expected)
        << c.formula << " shows " << displayText(sheet, 10, 3);
    EXPECT_EQ(sheet.formula(10, 3), c.formula);
}

CellValue num(double v) {
    return CellValue::number(v);
}
CellValue txt(const char* v) {
    return CellValue::text(v);
}
CellValue boo(bool v) {
    return CellValue::boolean(v);
}
CellValue err(const char* v) {
    return CellValue::error(v);
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulaTable,
    ::testing::Values(FormulaCase{"EmptyReferenceIsZero", "=A3", num(0)},
                      FormulaCase{"EmptyInArithmeticIsZero", "=A3+1", num(1)},
                      FormulaCase{"EmptyEqualsEmptyText", "=A3=\"\"", boo(true)},
                      FormulaCase{"EmptyTextEqualsEmptyText", "=A6=\"\"", boo(true)},
                      FormulaCase{"NumberIsNotEmptyText", "=A1=\"\"", boo(false)},
                      FormulaCase{"ZeroIsNotEmptyText", "=(A1-12)=\"\"", boo(false)},
                      FormulaCase{"EmptyEqualsZero", "=A3=0", boo(true)},
                      FormulaCase{"TextComparesWithoutCase", "=A2=\"ABC\"", boo(true)},
                      FormulaCase{"NumbersSortBeforeText", "=A1<A2", boo(true)},
                      FormulaCase{"NotEqual", "=A1<>12", boo(false)},
                      FormulaCase{"LessOrEqual", "=A4<=-3.5", boo(true)},
                      FormulaCase{"GreaterOrEqual", "=A4>=0", boo(false)},
                      FormulaCase{"LiteralBeyondTheRangeOverflows", "=1/1E400", err("#NUM!")},
                      FormulaCase{"LargeLiteralOverflows", "=1e309", err("#NUM!")},
                      FormulaCase{"LiteralBelowTheRangeIsZero", "=.00001e-320=0", boo(true)},
                      FormulaCase{"Precedence", "=1+2*3-4/2", num(5)},
                      FormulaCase{"Parentheses", "=(1+2)*3", num(9)},
                      FormulaCase{"UnaryMinusBindsTighterThanPower", "=-2^2", num(4)},
                      FormulaCase{"DoubleMinus", "=--A4", num(-3.5)},
                      FormulaCase{"AbsoluteReferences", "=$A$1*A$1", num(144)},
                      FormulaCase{"LowerCaseNamesAndRefs", "=max(a1,a4)", num(12)},
                      FormulaCase{"NumericTextInArithmetic", "=A5*2", num(14)},
                      FormulaCase{"LettersInArithmetic", "=A2+1", err("#VALUE!")},
                      FormulaCase{"DivisionByZero", "=A1/A3", err("#DIV/0!")},
                      FormulaCase{"ErrorPropagatesThroughIf", "=IF(A1/0>1,1,2)", err("#DIV/0!")},
                      FormulaCase{"ErrorPropagatesThroughMax", "=MAX(A1:A6,1/0)", err("#DIV/0!")},
                      FormulaCase{"Concatenation", "=A2&\"-\"&A1&A3&B1", txt("abc-12TRUE")},
                      FormulaCase{"ConcatenatedDecimals", "=\"r=\"&(A4/2)", txt("r=-1.75")},
                      FormulaCase{"QuotedQuote", "=\"a\"\"b\"", txt("a\"b")},
                      FormulaCase{"IfChoosesEmptyText", "=IF(A3=\"\",\"\",A1)", txt("")},
                      FormulaCase{"IfChoosesReference", "=IF(A1=\"\",\"\",A4)", num(-3.5)},
                      FormulaCase{"IfReturningEmptyCellIsZero", "=IF(TRUE,A3,1)", num(0)},
                      FormulaCase{"IfWithoutElse", "=IF(A1>100,1)", boo(false)},
                      FormulaCase{"IfOnTextCondition", "=IF(A2,1,2)", err("#VALUE!")},
                      FormulaCase{"MaxIgnoresTextAndEmpty", "=MAX(A1:A6)", num(12)},
                      FormulaCase{"MinIgnoresTextAndEmpty", "=MIN(A1:A6)", num(-3.5)},
                      FormulaCase{"MaxWithoutNumbersIsZero", "=MAX(A2:A3,A5:A6)", num(0)},
                      FormulaCase{"MinOverEmptyRangeIsZero", "=MIN(C1:D9)", num(0)},
                      FormulaCase{"MaxCountsNumbersGivenDirectly", "=MAX(\"40\",A1)", num(40)},
                      FormulaCase{"ReversedRange", "=SUM(A6:A1)", num(8.5)},
                      FormulaCase{"Sum", "=SUM(A1:A6,1)", num(9.5)},
                      FormulaCase{"Average", "=AVERAGE(A1,A4)", num(4.25)},
                      FormulaCase{"AverageOfNothing", "=AVERAGE(A2:A3)", err("#DIV/0!")},
                      FormulaCase{"Count", "=COUNT(A1:B6)", num(2)},
                      FormulaCase{"AbsAndRound", "=ROUND(ABS(A4)*1.01,1)", num(3.5)},
                      FormulaCase{"RoundHalfAwayFromZero", "=ROUND(-2.5,0)", num(-3)},
                      FormulaCase{"UnknownFunction", "=FOO(1)", err("#NAME?")},
                      FormulaCase{"RangeOutsideAFunction", "=A1:A2", err("#VALUE!")},
                      FormulaCase{"CellsFarRightAreReachable", "=IV65536+A1", num(12)},
                      FormulaCase{"Unparseable", "=1+", err("#NAME?")},
                      FormulaCase{"UnbalancedParenthesis", "=(1+2", err("#NAME?")},
                      FormulaCase{"UnknownName", "=XYZ+1", err("#NAME?")},
                      FormulaCase{"ColumnBeyondTheGrid", "=IW1", err("#NAME?")},
                      FormulaCase{"RowBeyondTheGrid", "=A65537", err("#NAME?")},
                      FormulaCase{"UnterminatedText", "=\"abc", err("#NAME?")}),
    [](const ::testing::TestParamInfo<FormulaCase>& info) { return std::string(info.param.name); });

TEST(Formula, UnparseableTextStaysForTheUserToMend) {
    Worksheet sheet;
    const EditRecord record = sheet.enter(1, 3, "=SUM(A1:A3");
    EXPECT_EQ(sheet.inputText(1, 3), "=SUM(A1:A3");
    EXPECT_EQ(sheet.value(1, 3), CellValue::error("#NAME?"));
    ASSERT_EQ(record.size(), 1u);
    EXPECT_EQ(record[0].after.formula(), "=SUM(A1:A3");
    sheet.enter(1, 3, "=SUM(A1:A3)");
    EXPECT_EQ(sheet.value(1, 3), CellValue::number(0));
}

TEST(Formula, CircularReferencesGiveAnErrorValue) {
    Worksheet sheet;
    sheet.setFormula(1, 1, "=A1+1");
    EXPECT_EQ(sheet.value(1, 1), CellValue::error("#REF!"));

    sheet.setFormula(1, 2, "=C1");
    sheet.setFormula(1, 3, "=B1*2");
    EXPECT_TRUE(sheet.value(1, 2).isError());
    EXPECT_TRUE(sheet.value(1, 3).isError());

    // A range that takes in its own cell is circular too; breaking the loop mends it.
    sheet.setFormula(5, 4, "=SUM(D1:D9)");
    EXPECT_TRUE(sheet.value(5, 4).isError());
    sheet.setValue(1, 3, CellValue::number(4));
    EXPECT_EQ(sheet.value(1, 2), CellValue::number(4));
}

TEST(Formula, CycleDoesNotSpoilIndependentCells) {
    Worksheet sheet;
    sheet.setFormula(1, 1, "=B1");
    sheet.setFormula(1, 2, "=A1");
    sheet.setFormula(2, 1, "=IF(C1=\"\",5,A1)");
    EXPECT_EQ(sheet.value(2, 1), CellValue::number(5));
}

TEST(Formula, LongChainsInEitherDirectionNeitherOverflowNorRepeat) {
    constexpr int kLength = 20000;
    Worksheet sheet;
    EditRecord cells;
    // Row n refers to row n + 1, so row-major evaluation meets every reference before its
    // target: the deepest possible dependency chain.
    for (int row = 1; row < kLength; ++row) {
        cells.push_back(
            {row, 1, {}, CellContent::formulaText("=A" + std::to_string(row + 1) + "+1")});
        cells.push_back(
            {row, 8, {}, CellContent::formulaText("=H" + std::to_string(row + 1) + "+1")});
    }
    cells.push_back({kLength, 1, {}, CellContent::value(CellValue::number(0.5))});
    cells.push_back({kLength, 8, {}, CellContent::value(CellValue::number(1))});
    sheet.apply(cells);
    EXPECT_EQ(sheet.value(1, 1), CellValue::number(kLength - 1 + 0.5));
    EXPECT_EQ(sheet.value(1, 8), CellValue::number(kLength));

    // Closing the chain into a ring turns every member into an error.
    sheet.setFormula(kLength, 1, "=A1");
    EXPECT_TRUE(sheet.value(1, 1).isError());
    EXPECT_TRUE(sheet.value(kLength / 2, 1).isError());
}

TEST(Formula, CopiesDownAColumnReadAndEvaluateInTheirOwnCells) {
    // Column A holds 1 to 6; each group of rows in B holds copies of one formula, as a fill
    // down writes them, and each copy must read and count from its own row.
    struct Row {
        int row;
        const char* text;
        double value;
    } const rows[] = {
        {2, "=B1+A2", 2},         {3, "=B2+A3", 5},         {4, "=B3+A4", 9},
        {5, "=A5*$A$2+A$1", 11},  {6, "=A6*$A$2+A$1", 13},  {7, "=SUM($A$1:A2)", 3},
        {8, "=SUM($A$1:A3)", 6},  {9, "=SUM(A3:$A$1)", 6},  {10, "=a10+1", 1},
        {11, "=a11+1", 1},        {12, "=MAX(A1:A6)", 6},   {13, "=MAX(A1:A6)", 6},
        {65535, "=A65536+A1", 1}, {65536, "=A65537+A2", 0},
    };
    Worksheet sheet;
    for (int row = 1; row <= 6; ++row) {
        sheet.setValue(row, 1, CellValue::number(row));
    }
    EditRecord cells;
    for (const Row& r : rows) {
        cells.push_back({r.row, 2, {}, CellContent::formulaText(r.text)});
    }
    sheet.apply(cells);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(sheet.formula(r.row, 2), r.text);
        if (r.row != 65536) {
            EXPECT_EQ(sheet.value(r.row, 2), CellValue::number(r.value));
        }
    }
    EXPECT_EQ(sheet.value(65536, 2), CellValue::error("#NAME?"));

    // Changing one copy leaves the others, which now count on the new value.
    sheet.enter(3, 2, "=100");
    EXPECT_EQ(sheet.value(4, 2), CellValue::number(104));
    EXPECT_EQ(sheet.formula(4, 2), "=B3+A4");

    // A fill down writes the same copies; one whose last copy would refer beyond the grid
    // changes nothing.
    sheet.fillFormulaDown(20, 22, 3, "=C19+A$2");
    EXPECT_EQ(sheet.formula(22, 3), "=C21+A$2");
    EXPECT_EQ(sheet.value(22, 3), CellValue::number(6));
    EXPECT_THROW(sheet.fillFormulaDown(65530, 65536, 3, "=C65531"), RunTimeError);
    EXPECT_EQ(sheet.formula(65530, 3), "");
}

TEST(Formula, DeepNestingIsRefusedNotOverflowed) {
    Worksheet sheet;
    const std::string deep = "=" + std::string(5000, '(') + "1" + std::string(5000, ')');
    sheet.setFormula(1, 1, deep);
    EXPECT_EQ(sheet.value(1, 1), CellValue::error("#NAME?"));
    sheet.setFormula(1, 2, "=" + std::string(5000, '-') + "1");
    EXPECT_EQ(sheet.value(1, 2), CellValue::error("#NAME?"));
    // Chains of every operator are as deep as they are long.
    for (const char* op : {"+", "-", "*", "/", "^", "&", "=", "<>"}) {
        SCOPED_TRACE(op);
        std::string chain = "=1";
        for (int i = 1; i < 17500; ++i) {
            chain += op + std::string("1");
        }
        sheet.setFormula(2, 1, chain);
        EXPECT_EQ(sheet.value(2, 1), CellValue::error("#NAME?"));
    }
    std::string sum = "=1";
    for (int i = 1; i < 1000; ++i) {
        sum += "+1";
    }
    sheet.setFormula(3, 1, sum);
    EXPECT_EQ(sheet.value(3, 1), CellValue::number(1000));
}

TEST(Formula, CellNames) {
    EXPECT_EQ(parseCellName("G6"), std::make_pair(6, 7));
    EXPECT_EQ(parseCellName("$iv$65536"), std::make_pair(65536, 256));
    EXPECT_EQ(parseCellName("AA10"), std::make_pair(10, 27));
    for (const char* bad : {"", "6G", "G", "G0", "IW1", "A1B", "G 6"}) {
        EXPECT_FALSE(parseCellName(bad)) << bad;
    }
}

} // namespace

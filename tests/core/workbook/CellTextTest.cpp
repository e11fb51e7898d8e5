#include "workbook/CellText.h"

#include <gtest/gtest.h>

namespace impmap::workbook {
namespace {

struct Case
{
    const char* code;
    double value;
    const char* text;
};

void ExpectRendered(const Case* begin, const Case* end, bool date1904 = false)
{
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(NumberText(c->value, ClassifyFormatCode(c->code), date1904), c->text)
            << c->code << " " << c->value;
}

TEST(CellText, ZeroPatternsShowEveryDigitAndLiteral)
{
    const Case cases[] = {
        {"000000000", 12345678, "012345678"},
        {"000-00-0000", 12345678, "012-34-5678"},
        {"000-00-0000", 123456789, "123-45-6789"},
        {"00-0000000", 98765432, "09-8765432"},
        {"00000", 2138, "02138"},
        {"00000-0000", 111011234, "11101-1234"},
        {"0000", 7, "0007"},
        {"0", 1234.56, "1235"},
        {"00000", 123456, "123456"}, // more digits than placeholders: all shown
        {"000-00-0000", 1234567890, "1234-56-7890"},
        {"[$-409]00000", 501, "00501"}, // a locale changes nothing
        {"\"ID \"0000", 42, "ID 0042"},
        {"\\#0000", 42, "#0042"},
        {"00000;(00000)", -2138, "(02138)"}, // its own section for negatives
        {"00000", -2138, "-02138"},
        {"00000", 0, "00000"},
        {"[Red]00000", 2138, "02138"},
    };
    ExpectRendered(std::begin(cases), std::end(cases));
}

TEST(CellText, DatesAreMonthDayYear)
{
    const Case cases[] = {
        {"mm/dd/yyyy", 44576, "01/15/2022"},
        {"d-mmm-yy", 44620, "02/28/2022"},
        {"yyyy-mm-dd", 44926.75, "12/31/2022"}, // the time of day is dropped
        {"mmmm d, yyyy", 36585, "02/29/2000"},
        {"[$-409]mmmm d, yyyy;@", 36585, "02/29/2000"},
        {"dd/mm/yyyy hh:mm", 44576.5, "01/15/2022"},
        {"m/d", 44576, "01/15/2022"},
        {"mm/dd/yyyy", 1, "01/01/1900"},
        {"mm/dd/yyyy", 59, "02/28/1900"},
        {"mm/dd/yyyy", 60, "02/29/1900"}, // the sheet's own leap day of 1900
        {"mm/dd/yyyy", 61, "03/01/1900"},
        {"mm/dd/yyyy", 2958465, "12/31/9999"},
        {"mm/dd/yyyy", 2958466, "2958466"}, // no date: the number
        {"mm/dd/yyyy", -1, "-1"},
        {"\"day\" 0", 5, "day 5"}, // quoted letters are no date parts
    };
    ExpectRendered(std::begin(cases), std::end(cases));
    const Case in1904[] = {
        {"mm/dd/yyyy", 0, "01/01/1904"},
        {"mm/dd/yyyy", 43114, "01/15/2022"},
    };
    ExpectRendered(std::begin(in1904), std::end(in1904), true);
}

TEST(CellText, BuiltInFormatsByNumber)
{
    const std::pair<int, NumberStyle> cases[] = {
        {0, NumberStyle::Plain},    {1, NumberStyle::Digits}, {2, NumberStyle::Plain},
        {3, NumberStyle::Plain},    {4, NumberStyle::Plain},  {9, NumberStyle::Percent},
        {10, NumberStyle::Percent}, {11, NumberStyle::Plain}, {14, NumberStyle::Date},
        {15, NumberStyle::Date},    {17, NumberStyle::Date},  {18, NumberStyle::Plain},
        {21, NumberStyle::Plain},   {22, NumberStyle::Date},  {37, NumberStyle::Plain},
        {44, NumberStyle::Plain},   {45, NumberStyle::Plain}, {49, NumberStyle::Plain},
    };
    for (const auto& [id, style] : cases)
        EXPECT_EQ(BuiltInFormat(id).style, style) << id;
}

TEST(CellText, PercentIsTheNumberTimesHundred)
{
    const Case cases[] = {
        {"0.00%", 0.24, "24"},     {"0%", 1, "100"},       {"0.0%", 0.049, "4.9"},
        {"0.000%", 0.125, "12.5"}, {"0.00%", -0.5, "-50"}, {"#,##0.00%", 0.0001, "0.01"},
    };
    ExpectRendered(std::begin(cases), std::end(cases));
}

TEST(CellText, OtherNumbersArePlainDecimal)
{
    const Case cases[] = {
        {"General", 1234.5, "1234.5"},
        {"#,##0.00", 150000.5, "150000.5"},
        {"\"$\"#,##0.00", -250, "-250"},
        {"#,##0.00;(#,##0.00)", -1234.5, "-1234.5"},
        {"#,##0.00;[Red]#,##0.00", -3, "-3"},
        {"_(\"$\"* #,##0.00_)", 0.049, "0.049"},
        {"[$€-407] #,##0.00", 12, "12"},
        {"0.00E+00", 123456789, "123456789"},
        {"General", 0.1 + 0.2, "0.3"}, // as the sheet shows it: 15 significant digits
        {"General", 1e20, "100000000000000000000"},
        {"General", 1e-7, "0.0000001"},
        {"General", -0.0, "0"},
        {"General", 123456789012345678.0, "123456789012346000"},
        {"h:mm", 0.5, "0.5"}, // a time of day is no date
        {"@", 42, "42"},
        {"# ?/?", 1.5, "1.5"},
        {"[<100]0;000", 5, "5"}, // a condition: not a plain zero pattern
    };
    ExpectRendered(std::begin(cases), std::end(cases));
}

TEST(CellText, StoredNumbersAlreadyPlainAreKept)
{
    // Whatever IsPlainNumberText accepts must be what PlainNumber gives for it.
    const std::pair<const char*, bool> cases[] = {
        {"0", true},
        {"7", true},
        {"-250", true},
        {"1234.5", true},
        {"0.049", true},
        {"-0.5", true},
        {"123456789012345", true},
        {"1234567890123456", false},
        {"0.1234567890123456", false},
        {"1.50", false},
        {"01", false},
        {"-0", false},
        {"1e5", false},
        {".5", false},
        {"5.", false},
        {"1.2.3", false},
        {"", false},
        {"-", false},
        {"0.000000000000001", false}, // longer than kept: formatted again
    };
    for (const auto& [text, plain] : cases) {
        EXPECT_EQ(IsPlainNumberText(text), plain) << text;
        double value = 0;
        if (plain && ParseStoredNumber(text, value)) {
            EXPECT_EQ(PlainNumber(value), text);
        }
    }
}

TEST(CellText, TextKeepsItsBytesButBreaksAndTabsBecomeBlanks)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Pays\nquarterly", "Pays quarterly"},
        {"a\r\nb", "a b"},
        {"a\rb", "a b"},
        {"a\tb", "a b"},
        {"a\n\nb", "a  b"},
        {"  kept  ", "  kept  "},
        {"Müller", "Müller"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) {
        std::string text = "x";
        AppendCellText(text, in);
        EXPECT_EQ(text, std::string("x") + out) << in;
    }
}

TEST(CellText, StoredNumbersAndColumnNames)
{
    const std::pair<const char*, double> numbers[] = {
        {"1234.5", 1234.5},
        {"-1E-3", -0.001},
        {" 7 ", 7},
        {"1.5e2", 150},
    };
    for (const auto& [text, value] : numbers) {
        double parsed = 0;
        EXPECT_TRUE(ParseStoredNumber(text, parsed)) << text;
        EXPECT_EQ(parsed, value) << text;
    }
    for (const char* bad : {"", "abc", "1,5", "inf", "nan", "1x", "0x10"}) {
        double parsed = 0;
        EXPECT_FALSE(ParseStoredNumber(bad, parsed)) << bad;
    }
    const std::pair<unsigned, const char*> columns[] = {
        {0, "A"}, {25, "Z"}, {26, "AA"}, {51, "AZ"}, {701, "ZZ"}, {702, "AAA"}, {16383, "XFD"},
    };
    for (const auto& [column, name] : columns)
        EXPECT_EQ(ColumnName(column), name);
}

} // namespace
} // namespace impmap::workbook

#include "convert/Text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace impmap {
namespace {

TEST(Text, TrimDropsBytesUpToBlankAtBothEnds)
{
    struct Case
    {
        std::string input;
        std::string expected;
    };
    const Case cases[] = {{"\t a b \r\n", "a b"},
                          {std::string("\0x\x01 ", 4), "x"},
                          {"   ", ""},
                          {"", ""},
                          {"\xA0x\xA0", "\xA0x\xA0"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Trim(c.input), c.expected);
        std::string inPlace = c.input;
        TrimInPlace(inPlace);
        EXPECT_EQ(inPlace, c.expected);
    }
}

TEST(Text, UpperCasingIsAsciiOnly)
{
    EXPECT_EQ(UpperAscii("abc XYZ 1\xE9z"), "ABC XYZ 1\xE9Z");
    EXPECT_TRUE(EqualsIgnoreCaseAscii("Not Allocated", "NOT ALLOCATED"));
    EXPECT_FALSE(EqualsIgnoreCaseAscii("\xE9", "\xC9"));
    EXPECT_FALSE(EqualsIgnoreCaseAscii("ab", "abc"));
}

TEST(Text, IsAllDigitsAcceptsEmptyAndDigitsOnly)
{
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("000012345"));
    EXPECT_FALSE(IsAllDigits("12 345"));
    EXPECT_FALSE(IsAllDigits("-1"));
    EXPECT_FALSE(IsAllDigits("12a"));
}

TEST(Text, PieceHelpersClampAndPad)
{
    EXPECT_EQ(RepeatChar('*', 3), "***");
    EXPECT_EQ(RepeatChar('*', 0), "");
    EXPECT_EQ(RepeatChar('*', -2), "");
    EXPECT_EQ(LeftChars("abcdef", 2), "ab");
    EXPECT_EQ(LeftChars("ab", 5), "ab");
    EXPECT_EQ(LeftChars("ab", -1), "");
    EXPECT_EQ(RightChars("abcdef", 2), "ef");
    EXPECT_EQ(RightChars("ab", 5), "ab");
    EXPECT_EQ(RightChars("ab", 0), "");
    EXPECT_EQ(MidOrBlanks("abcdef", 2, 3), "bcd");
    EXPECT_EQ(MidOrBlanks("abcdef", 4, 3), "def");
    EXPECT_EQ(MidOrBlanks("abcdef", 5, 3), "   ");
    EXPECT_EQ(MidOrBlanks("abcdef", 0, 2), "  ");
    EXPECT_EQ(ZeroPad(3, "7"), "007");
    EXPECT_EQ(ZeroPad(3, "12345"), "345");
    EXPECT_EQ(ZeroPad(9, ""), "000000000");
    std::string s = "a,b,,c";
    RemoveChar(s, ',');
    EXPECT_EQ(s, "abc");
}

TEST(Text, CommaTextQuotesOnlyWhatNeedsIt)
{
    struct Case
    {
        std::vector<std::string> texts;
        std::string line;
    };
    const Case cases[] = {
        {{"abc", "123"}, "abc,123"},
        {{"a b", "x"}, "\"a b\",x"},
        {{"1,000"}, "\"1,000\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"", "", ""}, ",,"},
        {{""}, "\"\""},
        {{}, ""},
        {{"caf\xE9"}, "caf\xE9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommaText(c.texts), c.line);
}

} // namespace
} // namespace impmap

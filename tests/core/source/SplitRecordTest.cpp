#include "source/SplitRecord.h"

#include <gtest/gtest.h>

namespace impmap {
namespace {

using Fields = std::vector<std::string>;

struct SplitCase
{
    const char* text;
    char delimiter;
    Fields expected;
};

TEST(SplitRecord, FieldsByDelimiterQuotesAndTrimming)
{
    const SplitCase cases[] = {
        {"\"Doe, John\",12", ',', {"Doe, John", "12"}},
        {"a,b,", ',', {"a", "b", ""}},
        {",", ',', {"", ""}},
        {"", ',', {}},
        {"   ", ',', {""}},
        {"a|b,c,d", '|', {"a", "b,c,d"}},
        {"a\tb\t c ", '\t', {"a", "b", "c"}},
        {"say \"\"hi\"\",x", ',', {"say hi", "x"}},      // doubled quotes cancel out
        {"\"open,still open", ',', {"open,still open"}}, // unclosed quote
        {"New\xA0York,\xA0x\xA0", ',', {"New York", "x"}},
        {"\xE9t\xE9,\xFF", ',', {"\xE9t\xE9", "\xFF"}}, // bytes above 127 pass through
    };
    for (const SplitCase& c : cases) {
        Fields fields{"stale", "values", "to", "reuse", "here"};
        SplitRecord(c.text, c.delimiter, fields);
        EXPECT_EQ(fields, c.expected) << c.text;
    }
}

TEST(SplitRecord, ManyFieldsAndLongLines)
{
    std::string line;
    for (int i = 1; i <= 5000; ++i)
        line += (i > 1 ? "," : "") + std::to_string(i);
    Fields fields;
    SplitRecord(line, ',', fields);
    ASSERT_EQ(fields.size(), 5000u);
    EXPECT_EQ(fields[4999], "5000");

    const std::string big(1 << 20, 'x');
    SplitRecord(big + "|y", '|', fields);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].size(), big.size());
}

TEST(SplitRecord, UpToKeepsTheFirstFieldsAndCountsTheRest)
{
    struct Case
    {
        std::string text;
        size_t maxFields;
        Fields kept;
        size_t fieldCount;
        size_t restOffset;
    };
    const Case cases[] = {
        {"a,b,c,d", 2, {"a", "b"}, 4, 4},
        {"a,b", 2, {"a", "b"}, 2, 3},
        {"a,b,", 2, {"a", "b"}, 3, 4},
        {"\"x,y\",b,\"c,d\",e", 2, {"x,y", "b"}, 4, 8},
        {"a,\"b,c", 1, {"a"}, 2, 2}, // an unclosed quote hides the delimiters after it
        {"", 1, {}, 0, 0},
        {std::string(5000000, ','), 3, {"", "", ""}, 5000001, 3},
    };
    for (const Case& c : cases) {
        Fields fields{"stale"};
        const SplitExtent extent = SplitRecordUpTo(c.text, ',', fields, c.maxFields);
        EXPECT_EQ(fields, c.kept) << c.text.substr(0, 20);
        EXPECT_EQ(extent.fieldCount, c.fieldCount) << c.text.substr(0, 20);
        EXPECT_EQ(extent.restOffset, c.restOffset) << c.text.substr(0, 20);
    }
}

struct DetectCase
{
    const char* line;
    int current;
    int expected;
};

TEST(DetectDelimiter, MajorityWithPipeWinningTies)
{
    const DetectCase cases[] = {
        {"a,b|c", 0, 2},    {"a\tb\tc,d,e", 2, 2},  {"a,b,c", -1, 1},
        {"a\tb", 1, 0},     {"abc", 1, 1},          {"", 2, 2},
        {"a\tb,c|d", 0, 2}, {"a|b|c,d,e\tf", 1, 2}, {"a\tb,c", -1, -1},
    };
    for (const DetectCase& c : cases)
        EXPECT_EQ(DetectDelimiterIndex(c.line, c.current), c.expected) << c.line;
}

} // namespace
} // namespace impmap

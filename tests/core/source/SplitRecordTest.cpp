#include "source/SplitRecord.h"

#include <algorithm>
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
        // Rows of empty cells as spreadsheet programs write them.
        {",,,,", ',', {"", "", "", "", ""}},
        {"\t\t", '\t', {"", "", ""}},
        {"\"\",\" \",\xA0", ',', {"", "", ""}},
        {"\",\",", ',', {",", ""}},
        {"\"\t\"\t", '\t', {"", ""}},
    };
    for (const SplitCase& c : cases) {
        Fields fields{"stale", "values", "to", "reuse", "here"};
        SplitRecord(c.text, c.delimiter, fields);
        EXPECT_EQ(fields, c.expected) << c.text;
        // Counting and the blank test agree with splitting.
        EXPECT_EQ(FieldCount(c.text, c.delimiter), c.expected.size()) << c.text;
        const bool blank = std::all_of(c.expected.begin(), c.expected.end(),
                                       [](const std::string& f) { return f.empty(); });
        EXPECT_EQ(IsBlankRecord(c.text, c.delimiter), blank) << c.text;
    }
}

TEST(SplitRecord, BlankRecordsFieldCountsAndLengthsAgreeWithSplittingOnEveryShortText)
{
    // Every text of up to five bytes from the bytes that matter, in both encodings.
    const std::string alphabet = std::string(",\"\t a\xA0\xC2", 7);
    for (const TextEncoding encoding : {TextEncoding::Windows1252, TextEncoding::Utf8}) {
        for (size_t length = 0; length <= 5; ++length) {
            size_t total = 1;
            for (size_t i = 0; i < length; ++i)
                total *= alphabet.size();
            for (size_t n = 0; n < total; ++n) {
                std::string text;
                for (size_t i = 0, k = n; i < length; ++i, k /= alphabet.size())
                    text += alphabet[k % alphabet.size()];
                for (const char delimiter : {',', '\t'}) {
                    Fields fields;
                    SplitRecord(text, delimiter, fields, encoding);
                    const bool blank = std::all_of(fields.begin(), fields.end(),
                                                   [](const std::string& f) { return f.empty(); });
                    ASSERT_EQ(IsBlankRecord(text, delimiter, encoding), blank)
                        << '[' << text << "] " << static_cast<int>(encoding);
                    ASSERT_EQ(FieldCount(text, delimiter), fields.size()) << '[' << text << ']';
                    for (const size_t maxFields : {size_t{1}, size_t{2}, size_t{1000}}) {
                        Fields kept;
                        SplitRecordUpTo(text, delimiter, kept, maxFields, encoding);
                        std::vector<size_t> expected, lengths{7, 7};
                        for (const std::string& field : kept)
                            expected.push_back(field.size());
                        SplitFieldLengths(text, delimiter, lengths, maxFields, encoding);
                        ASSERT_EQ(lengths, expected) << '[' << text << "] " << maxFields;
                    }
                }
            }
        }
    }
}

TEST(SplitRecord, SemicolonDelimitedFirstLines)
{
    const std::pair<const char*, bool> cases[] = {
        {"Name;TIN;Amount", true},  {"Doe;123456789;980,50", false}, {"Name;TIN\tAmount", false},
        {"Name|TIN;x", false},      {"Name TIN Amount", false},      {"", false},
        {"\"Name\";\"TIN\"", true},
    };
    for (const auto& [line, semicolons] : cases)
        EXPECT_EQ(LooksSemicolonDelimited(line), semicolons) << line;
    EXPECT_EQ(SemicolonDelimitedMessage("/tmp/payees.csv"),
              "/tmp/payees.csv looks semicolon-delimited; save it with commas or tabs.");
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
    Delimiter current;
    Delimiter expected;
};

TEST(DetectDelimiter, MajorityWithPipeWinningTies)
{
    const DetectCase cases[] = {
        {"a,b|c", Delimiter::Tab, Delimiter::Pipe},
        {"a\tb\tc,d,e", Delimiter::Pipe, Delimiter::Pipe},
        {"a,b,c", Delimiter::None, Delimiter::Comma},
        {"a\tb", Delimiter::Comma, Delimiter::Tab},
        {"abc", Delimiter::Comma, Delimiter::Comma},
        {"", Delimiter::Pipe, Delimiter::Pipe},
        {"a\tb,c|d", Delimiter::Tab, Delimiter::Pipe},
        {"a|b|c,d,e\tf", Delimiter::Comma, Delimiter::Pipe},
        {"a\tb,c", Delimiter::None, Delimiter::None},
    };
    for (const DetectCase& c : cases)
        EXPECT_EQ(DetectedDelimiter(c.line, c.current), c.expected) << c.line;
}

} // namespace
} // namespace impmap

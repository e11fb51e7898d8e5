#include "convert/Converters.h"

#include "convert/Rejection.h"
#include "convert/Validators.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace impmap {
namespace {

struct AmountCase
{
    const char* input;
    char code;
    bool implied;
    const char* expected;
};

TEST(ConvertAmount, CleansSumsAndWritesThePlainForm)
{
    const AmountCase cases[] = {
        {"$1,234.50", 'C', false, "1234.5"},
        {"$1,234.50", 'C', true, "1234.5"},
        {"123450", 'C', false, "123450"},
        {"123450", 'C', true, "1234.5"},
        {"", 'c', false, "0"},
        {"", 'c', true, "0"},
        {"   ", 'C', true, "0"},
        {"(1,000)", 'C', false, "-1000"},
        {"(1,000)", 'c', false, "1000"},
        {"-5", 'c', false, "5"},
        {"-1.5", 'C', false, "-1.5"},
        {"not allocated", 'C', false, "0"},
        {"(5) NOT ALLOCATED?", 'C', true, "0"},
        {"+1e3", 'C', false, "1000"},
        {"1.23456", 'C', false, "1.2346"},
        {"0.00005", 'C', false, "0"},
        {"10 20 30", 'C', false, "60"},
        {"10  20", 'C', false, "30"},
        {"100 25.50", 'C', false, "125.5"},
        {"-0", 'C', false, "0"},
    };
    for (const AmountCase& c : cases) {
        std::string value = c.input;
        EXPECT_TRUE(TryConvertAmount(value, c.code, c.implied)) << c.input;
        EXPECT_EQ(value, c.expected) << c.input << " " << c.code << " " << c.implied;
    }
}

TEST(ConvertAmount, ImpliedDecimalCountsPiecesWithoutFullStopInCents)
{
    const AmountCase cases[] = {
        {"100", 'C', true, "1.00"},
        {"5", 'C', true, "0.05"},
        {"1", 'c', true, "0.01"},
        {"-500", 'C', true, "-5.00"},
        {"0", 'C', true, "0"},
        {"00", 'C', true, "0.00"},
        {"0.00", 'C', true, "0.00"},
        {"-0", 'C', true, "0.00"},
        {"150", 'C', true, "1.5"},
        {"12.345", 'C', true, "12.345"},
        {"12345 100", 'C', true, "124.45"},
        {"1.5 150", 'C', true, "3.00"},
        {"1E2", 'C', true, "1.00"},
        {"3", 'C', true, "0.03"},
    };
    for (const AmountCase& c : cases) {
        std::string value = c.input;
        EXPECT_TRUE(TryConvertAmount(value, c.code, c.implied)) << c.input;
        EXPECT_EQ(value, c.expected) << c.input;
    }
}

TEST(ConvertAmount, SecondPassLeavesEveryResultUnchanged)
{
    const char* const inputs[] = {"$1,234.50", "123450", "",       "(1,000)", "100",  "5",
                                  "00",        "0.00",   "12.345", "1.5 150", "-500", "0.00015"};
    for (bool implied : {false, true}) {
        for (char code : {'c', 'C'}) {
            for (const char* input : inputs) {
                std::string once = input;
                ASSERT_TRUE(TryConvertAmount(once, code, implied)) << input;
                std::string twice = once;
                ASSERT_TRUE(TryConvertAmount(twice, code, implied)) << once;
                EXPECT_EQ(twice, once) << input << " " << code << " " << implied;
            }
        }
    }
}

TEST(ConvertAmount, FailureNamesThePieceAndKeepsTheCleanedValue)
{
    struct Case
    {
        const char* input;
        char code;
        const char* leftValue;
        const char* message;
    };
    const Case cases[] = {
        {"abc", 'C', "ABC", "'ABC' is not a valid floating point value"},
        {"12-34", 'C', "12-34", "'12-34' is not a valid floating point value"},
        {"5%", 'C', "5%", "'5%' is not a valid floating point value"},
        {"1.2.3", 'c', "1.2.3", "'1.2.3' is not a valid floating point value"},
        {"75-", 'C', "75-", "'75-' is not a valid floating point value"},
        {" $1,000 abc ", 'C', "1000 ABC", "'ABC' is not a valid floating point value"},
        {"1e15", 'C', "1E15", "'1E15' is not a valid floating point value"},
        // Each piece fits, their total does not.
        {"900000000000000 900000000000000", 'C', "900000000000000 900000000000000",
         "'900000000000000' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        std::string tried = c.input;
        EXPECT_FALSE(TryConvertAmount(tried, c.code, false)) << c.input;
        EXPECT_EQ(tried, c.leftValue);

        std::string thrown = c.input;
        try {
            ConvertAmount(thrown, c.code, false);
            ADD_FAILURE() << "no rejection for " << c.input;
        } catch (const Rejection& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.ErrorLine(), c.message);
        }
        EXPECT_EQ(thrown, c.leftValue);
    }
}

// The message is read through what(), a C string: a NUL byte must not cut it short.
TEST(Rejection, NulBytesOfTheValueAreShownAsQuestionMarks)
{
    using namespace std::string_literals;
    std::string amount = "3\0\0"
                         "0"s;
    std::string date = "1/\0/2022"s;
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { ConvertAmount(amount, 'C', false); }, "'3??0' is not a valid floating point value"},
        {[&] {
             ConvertDate(4, date, true, false, "Date", {2022, 6, 1});
         },
         "'1/?/2022' is not a valid date"},
    };
    for (const auto& [convert, message] : cases) {
        try {
            convert();
            ADD_FAILURE() << "no rejection for " << message;
        } catch (const Rejection& e) {
            EXPECT_EQ(std::string(e.what()), message);
            EXPECT_EQ(e.ErrorLine(), message);
        }
    }
}

TEST(ConvertAmount, TrailingMinusOfNonNegativeFieldIsDropped)
{
    std::string value = "75-";
    ConvertAmount(value, 'c', false);
    EXPECT_EQ(value, "75");
}

struct TextCase
{
    const char* input;
    const char* expected;
};

template <typename Convert, size_t N>
void ExpectConversions(Convert convert, const TextCase (&cases)[N])
{
    for (const TextCase& c : cases) {
        std::string value = c.input;
        convert(value);
        EXPECT_EQ(value, c.expected) << "input '" << c.input << "'";
    }
}

TEST(ConvertWholeNumber, RewritesIntegralNumbersAndLeavesOthersCleaned)
{
    const TextCase cases[] = {
        {"+1,000", "1000"},
        {"7.00", "7"},
        {"7.5", "7.5"},
        {"3000000000", "3000000000"},
        {"", "0"},
        {"(5) NOT ALLOCATED?", "0"},
        {"1,234", "1234"},
        {"12.0", "12"},
        {"1E3", "1000"},
        {"abc", "ABC"},
        {"2147483647", "2147483647"},
        {"-2147483648", "-2147483648"},
        {"2147483648", "2147483648"},
        {"-0", "0"},
        {" 1 2 ", "12"},
        {"1.5e1", "15"},
        {"$5", "$5"},
        {"007", "7"},
        {"1e-1", "1E-1"},
        {"2147483647.00001", "2147483647.00001"},
    };
    ExpectConversions(ConvertWholeNumber, cases);
}

TEST(CleanFloat, RemovesSeparatorsAndParsesNothing)
{
    const TextCase cases[] = {
        {"$1,234.5", "1234.5"}, {"12.5%", "12.5%"}, {"", "0"},
        {"not allocated", "0"}, {" + 3 ", "3"},     {"1.5e3", "1.5E3"},
    };
    ExpectConversions(CleanFloat, cases);
}

TEST(ConvertTinType, MapsCodesAndKeepsEverythingElse)
{
    const TextCase cases[] = {
        {"", "N/A"},  {"t", "EIN"}, {"r", "SSN"}, {"ein", "EIN"},   {"ITIN", "ITIN"},
        {"1", "EIN"}, {"2", "SSN"}, {"s", "SSN"}, {" n/a ", "N/A"}, {"3", "3"},
    };
    ExpectConversions(ConvertTinType, cases);
}

TEST(ConvertIndicator, MapsYesAndNoWords)
{
    const TextCase cases[] = {
        {" yes ", "X"}, {"null", ""},  {"0", ""},     {"maybe", "MAYBE"}, {"x", "X"},
        {"", ""},       {"true", "X"}, {"False", ""}, {"no", ""},         {"1", "X"},
        {"y", "X"},     {"T", "X"},    {"n", ""},     {"f", ""},          {"2", "2"},
    };
    ExpectConversions(ConvertIndicator, cases);
}

TEST(NormalizeSsn, PadsShortValuesAndDropsSeparatorsOfElevenCharacters)
{
    const TextCase cases[] = {
        {"123-45-6789", "123456789"},
        {"1234", "000001234"},
        {"12-3456789", "12-3456789"},
        {"", ""},
        {" ab ", "0000000AB"},
        {"123456789", "123456789"},
        {"1234567890123", "1234567890123"},
    };
    ExpectConversions(NormalizeSsn, cases);
}

TEST(NormalizeTaxpayerId, HandlesEinAndSsnForms)
{
    const TextCase cases[] = {
        {"12-3456789", "123456789"},
        {"", ""},
        {"ABC", "000000ABC"},
        {"123-45-6789", "123456789"},
        {"12-34", "000012-34"},
        {" 123456789 ", "123456789"},
        {"123456789012", "123456789012"},
    };
    ExpectConversions(NormalizeTaxpayerId, cases);
}

TEST(NumberChecks, Int32AcceptsSignedDecimalDigitsWithinRange)
{
    struct Case
    {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"0", true},
        {"-2147483648", true},
        {"2147483647", true},
        {"2147483648", false},
        {"-2147483649", false},
        {"+5", true},
        {" 5 ", true},
        {"", false},
        {"-", false},
        {"5.0", false},
        {"1E3", false},
        {"$1F", false},
        {"0x1F", false},
        {"99999999999999999999", false},
        {"1 2", false},
        {"0007", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsesAsInt32(c.text), c.ok) << c.text;
}

TEST(NumberChecks, FloatAcceptsFiniteDecimalNumbersOnly)
{
    struct Case
    {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"1.5", true},
        {"-1e308", true},
        {"1.7976931348623157e308", true},
        {"179769313486231570000e288", true},
        {"1.8e308", false},
        {"+1.8e308", false},
        {"1e309", false},
        {"1e-400", true},
        {"0.00000000001e310", true},
        {"0e99999", true},
        {"inf", false},
        {"nan", false},
        {"0x1p3", false},
        {"12.5%", false},
        {"1,5", false},
        {"", false},
        {".", false},
        {"1e", false},
        {".5", true},
        {"5.", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsesAsFloat(c.text), c.ok) << c.text;
}

} // namespace
} // namespace impmap

namespace impmap {
namespace {

// Values that look converted but are not must still be rewritten.
TEST(ConvertAmount, NearlyPlainValuesAreStillRewritten)
{
    struct Case
    {
        const char* value;
        char code;
        bool implied;
        const char* expected;
    };
    const Case cases[] = {
        {"-0", 'C', false, "0"},
        {"007", 'C', false, "7"},
        {"1.50", 'c', false, "1.5"},
        {"1.", 'c', false, "1"},
        {".5", 'c', false, "0.5"},
        {"-5", 'c', false, "5"},
        {"-5", 'C', false, "-5"},
        {"100", 'c', true, "1.00"},
        {"1.5", 'c', true, "1.5"},
        {"0", 'c', true, "0"},
        {"-0.5", 'C', true, "-0.5"},
        {"1.23456", 'C', false, "1.2346"},
        {"12345678901234", 'C', false, "12345678901234"},
    };
    for (const Case& c : cases) {
        std::string value = c.value;
        ASSERT_TRUE(TryConvertAmount(value, c.code, c.implied)) << c.value;
        EXPECT_EQ(value, c.expected) << c.value << ' ' << c.code << ' ' << c.implied;
    }
}

} // namespace
} // namespace impmap

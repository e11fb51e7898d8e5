#include "convert/Amount.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>

namespace impmap {
namespace {

constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr long long kMin = std::numeric_limits<long long>::min();

TEST(Amount, ParseAcceptsPlainSignedFractionAndExponentForms)
{
    struct Case
    {
        const char* text;
        long long units;
    };
    const Case cases[] = {
        {"0", 0},
        {"1234.5", 12'345'000},
        {" 12\t", 120'000},
        {"+7", 70'000},
        {"-75.00", -750'000},
        {"-0", 0},
        {".5", 5'000},
        {"5.", 50'000},
        {"1E3", 10'000'000},
        {"1.5e-2", 150},
        {"2.5E+1", 250'000},
        {"0000000000000000000000000001", 10'000},
        {"0E999999999999", 0},
        {"1E-999999999999", 0},
        {"922337203685477.5807", kMax},
        {"-922337203685477.5808", kMin},
        {"1E14", 1'000'000'000'000'000'000},
    };
    for (const Case& c : cases) {
        const auto amount = Amount::Parse(c.text);
        ASSERT_TRUE(amount.has_value()) << c.text;
        EXPECT_EQ(amount->Units(), c.units) << c.text;
    }
}

TEST(Amount, ParsePlainReadsOnlyTheWrittenFormAsParseDoes)
{
    struct Case
    {
        const char* text;
        bool plain;
        long long units;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"-0", true, 0},
        {"1234.5", true, 12'345'000},
        {"-0.0001", true, -1},
        {"00012.3000", true, 123'000},
        {"99999999999999.9999", true, 999'999'999'999'999'999},
        {"999999999999999", false, 0}, // 15 digits: left to Parse
        {"12.34565", false, 0},
        {"12.", false, 0},
        {".5", false, 0},
        {"+5", false, 0},
        {" 7", false, 0},
        {"1e3", false, 0},
        {"1,234", false, 0},
        {"-", false, 0},
        {"", false, 0},
        {"123456789012345678901234567890.5", false, 0},
    };
    for (const Case& c : cases) {
        long long units = 0;
        EXPECT_EQ(Amount::ParsePlain(c.text, units), c.plain) << c.text;
        if (!c.plain)
            continue;
        EXPECT_EQ(units, c.units) << c.text;
        EXPECT_EQ(Amount::Parse(c.text), Amount::FromUnits(c.units)) << c.text;
    }
}

TEST(Amount, ParseRoundsBeyondFourDecimalsHalfToEven)
{
    struct Case
    {
        const char* text;
        long long units;
    };
    const Case cases[] = {
        {"0.00005", 0},
        {"0.00015", 2},
        {"0.00025", 2},
        {"0.000251", 3},
        {"-0.00015", -2},
        {"0.00004999", 0},
        {"5E-5", 0},
        {"1.5E-4", 2},
        {"0.00009", 1},
        {"1.23456", 12346},
        {"0.000050000000000000001", 1},
    };
    for (const Case& c : cases) {
        const auto amount = Amount::Parse(c.text);
        ASSERT_TRUE(amount.has_value()) << c.text;
        EXPECT_EQ(amount->Units(), c.units) << c.text;
    }
}

TEST(Amount, ParseRejectsBadSyntaxAndValuesOutOfRange)
{
    const char* const texts[] = {
        "",
        " ",
        "-",
        ".",
        "1,000",
        "1.2.3",
        "12-34",
        "75-",
        "5%",
        "ABC",
        "1E",
        "1E+",
        "inf",
        "nan",
        "0x10",
        "$5",
        "1 2",
        "--1",
        "+-1",
        "E5",
        ".E1",
        "1E15",
        "1E999999999999",
        "922337203685477.5808",
        "-922337203685477.5809",
        // Rounding the last cent up would pass the largest amount.
        "922337203685477.58075",
    };
    for (const char* text : texts)
        EXPECT_EQ(Amount::Parse(text), std::nullopt) << text;
}

TEST(Amount, PlainFormDropsTrailingZerosAndEmptyFraction)
{
    struct Case
    {
        long long units;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {12'345'000, "1234.5"},
        {1'000'000, "100"},
        {-750'000, "-75"},
        {1, "0.0001"},
        {-1, "-0.0001"},
        {10'500, "1.05"},
        {kMax, "922337203685477.5807"},
        {kMin, "-922337203685477.5808"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Amount::FromUnits(c.units).ToPlainString(), c.text) << c.units;
}

TEST(Amount, DividedBy100RoundsHalfToEven)
{
    struct Case
    {
        long long units;
        long long expected;
    };
    const Case cases[] = {
        {1'000'000, 10'000}, {12'345, 123}, {150, 2},   {250, 2},          {251, 3},
        {-150, -2},          {50, 0},       {-250, -2}, {kMin, kMin / 100}};
    for (const Case& c : cases)
        EXPECT_EQ(Amount::FromUnits(c.units).DividedBy100().Units(), c.expected) << c.units;
}

TEST(Amount, CheckedAddReportsOverflowInBothDirections)
{
    auto units = [](long long n) { return Amount::FromUnits(n); };
    EXPECT_EQ(units(1).CheckedAdd(units(2)), units(3));
    EXPECT_EQ(units(kMax).CheckedAdd(units(kMin)), units(-1));
    EXPECT_EQ(units(kMax).CheckedAdd(units(1)), std::nullopt);
    EXPECT_EQ(units(kMin).CheckedAdd(units(-1)), std::nullopt);
    EXPECT_EQ(units(kMin).CheckedAdd(units(0)), units(kMin));
}

} // namespace
} // namespace impmap

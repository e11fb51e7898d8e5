#include "schema/FieldGuide.h"

#include <gtest/gtest.h>

namespace impmap {
namespace {

struct GuideCase
{
    const char* caption;
    char code;
    const char* value;
    const char* expected;
};

TEST(FieldGuide, TextByTypeCode)
{
    const GuideCase cases[] = {
        {"Type of employer", 'e', " R ",
         "Type of employer\r\n\r\nA = Agriculture\r\nH = Household\r\nM = Military\r\nQ = MQGE"
         "\r\nX = Railroad\r\nR = Regular 941\r\nF = Regular 944\r\n\r\nData mapped = R"},
        {"Date won", 'D', "",
         "Date won\r\n(MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)\r\n(Required date field)"},
        {"Date of birth", 'b', "",
         "Date of birth\r\n(MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY, or null)"},
        {"TIN Type", 'T', "N/A",
         "TIN Type\r\n(SSN, EIN, N/A, 1=EIN, 2=SSN, T=EIN, S=SSN, R=ITIN, or computed from "
         "taxpayer id)"},
        {"Rents", 'c', "0",
         "Rents\r\n(Currency: Dollar signs and commas are acceptable)\r\nMust not be negative."
         "\r\n\r\nData mapped = 0"},
        {"Gain", 'C', "",
         "Gain\r\n(Currency: Dollar signs and commas are acceptable)\r\nNegative values are "
         "acceptable."},
        {"Name line 1", '$', "  John Doe  ", "Name line 1\r\n\r\nData mapped = John Doe"},
        {"Shares", '#', "", "Shares"},
        {"Type of wager code (1-9)", 'g', "",
         "Type of wager code (1-9)\r\n\r\n1 = Horses\r\n2 = Dogs\r\n3 = Jai-alai\r\n4 = Lottery"
         "\r\n5 = Keno\r\n6 = Bingo\r\n7 = Slots\r\n8 = Poker\r\n9 = Other"},
    };
    for (const GuideCase& c : cases)
        EXPECT_EQ(FieldGuideText(c.caption, c.code, c.value), c.expected) << c.caption;
}

TEST(FieldGuide, EveryGuidedCodeHasLines)
{
    for (char code : std::string("IcCw9nNTuDdbYyekEOohpg"))
        EXPECT_FALSE(FieldGuideLines(code).empty()) << code;
    EXPECT_TRUE(FieldGuideLines('$').empty());
    EXPECT_TRUE(FieldGuideLines('#').empty());
}

} // namespace
} // namespace impmap

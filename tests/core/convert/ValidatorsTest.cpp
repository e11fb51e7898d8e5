#include "convert/Validators.h"

#include "convert/Rejection.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace impmap {
namespace {

const CivilDate kToday{2022, 6, 15};

std::string FramedMessage(long recordNo, const std::string& caption, const std::string& line)
{
    return "Source record: " + std::to_string(recordNo) + "\r\n\r\nDestination Field:\r\n" +
           caption + "\r\n\r\n" + line;
}

using Validator = std::function<void(std::string&)>;

struct Accepted
{
    const char* input;
    const char* expected;
};

// A rejection: the whole message and its error line.
struct Rejected
{
    const char* input;
    std::string message;
    std::string errorLine;
};

void ExpectAccepted(const Validator& validate, std::initializer_list<Accepted> cases)
{
    for (const Accepted& c : cases) {
        std::string value = c.input;
        EXPECT_NO_THROW(validate(value)) << "input '" << c.input << "'";
        EXPECT_EQ(value, c.expected) << "input '" << c.input << "'";
    }
}

void ExpectRejected(const Validator& validate, std::initializer_list<Rejected> cases)
{
    for (const Rejected& c : cases) {
        std::string value = c.input;
        try {
            validate(value);
            ADD_FAILURE() << "accepted '" << c.input << "' as '" << value << "'";
        } catch (const Rejection& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << "input '" << c.input << "'";
            EXPECT_EQ(e.ErrorLine(), c.errorLine) << "input '" << c.input << "'";
        }
    }
}

// A rejection framed with record 7 and the caption "Field".
Rejected Framed(const char* input, const std::string& line)
{
    return {input, FramedMessage(7, "Field", line), line};
}

// A platform conversion error: the text alone.
Rejected Bare(const char* input, const std::string& text)
{
    return {input, text, text};
}

TEST(ValidateEmployerType, AcceptsKnownLettersAndDefaultsToRegular941)
{
    const Validator validate = [](std::string& v) { ValidateEmployerType(7, v, "Field"); };
    ExpectAccepted(validate, {{"", "R"},
                              {" q ", "Q"},
                              {"a", "A"},
                              {"F", "F"},
                              {"h", "H"},
                              {"M", "M"},
                              {"r", "R"},
                              {"x", "X"}});
    ExpectRejected(validate, {Framed("RR", "ERROR: Invalid employer type"),
                              Framed("B", "ERROR: Invalid employer type"),
                              Framed("1", "ERROR: Invalid employer type")});
}

TEST(ValidateEmployerType, RejectionNamesRecordAndFieldAndLeavesValue)
{
    std::string value = " b ";
    try {
        ValidateEmployerType(12, value, "Type of employer");
        FAIL() << "accepted";
    } catch (const Rejection& e) {
        EXPECT_EQ(std::string(e.what()), "Source record: 12\r\n\r\nDestination Field:\r\n"
                                         "Type of employer\r\n\r\nERROR: Invalid employer type");
        EXPECT_EQ(e.ErrorLine(), "ERROR: Invalid employer type");
    }
    EXPECT_EQ(value, " b ");
}

TEST(ValidateEmployerKind, AcceptsKnownLettersAndDefaultsToNone)
{
    const Validator validate = [](std::string& v) { ValidateEmployerKind(7, v, "Field"); };
    ExpectAccepted(validate,
                   {{"", "N"}, {"t", "T"}, {"F", "F"}, {" s", "S"}, {"y", "Y"}, {"n", "N"}});
    ExpectRejected(validate, {Framed("X", "ERROR: Invalid employer kind"),
                              Framed("NN", "ERROR: Invalid employer kind")});
}

TEST(ConvertYear, ExpandsTwoDigitYearsAndChecksShape)
{
    const Validator validate = [](std::string& v) { ConvertYear(7, v, "Field"); };
    ExpectAccepted(validate, {{"49", "2049"},
                              {"50", "1950"},
                              {"2023", "2023"},
                              {"00", "2000"},
                              {"0049", "2049"},
                              {"0099", "1999"},
                              {" 22 ", "2022"},
                              {"+5", "2005"},
                              {"9999", "9999"}});
    ExpectRejected(validate,
                   {Framed("", "ERROR: Year required"), Framed("123", "ERROR: Invalid Year"),
                    Framed("12345", "ERROR: Invalid Year"),
                    Framed("-1", "ERROR: Year is not acceptable"),
                    Framed("-999", "ERROR: Year is not acceptable"),
                    Bare("ab", "'AB' is not a valid integer value"),
                    Bare("1 23", "'1 23' is not a valid integer value")});
}

TEST(ValidateOptionalYear, AcceptsEmptyOrFourDigits)
{
    const Validator validate = [](std::string& v) { ValidateOptionalYear(7, v, "Field"); };
    ExpectAccepted(validate, {{"", ""}, {"2022", "2022"}, {"0000", "0000"}, {" 1999 ", "1999"}});
    ExpectRejected(validate,
                   {Framed("22", "ERROR: Enter a 4-digit year or leave blank"),
                    Framed("20222", "ERROR: Enter a 4-digit year or leave blank"),
                    Framed("20X2", "ERROR: Invalid year"), Framed("-202", "ERROR: Invalid year")});
}

Validator DateValidator(bool required, bool birthDate)
{
    return [=](std::string& v) { ConvertDate(7, v, required, birthDate, "Field", kToday); };
}

TEST(ConvertDate, AcceptsSlashAndDigitFormsAsMmDdYyyy)
{
    ExpectAccepted(DateValidator(true, false), {{"12/31/2022", "12312022"},
                                                {"12312022", "12312022"},
                                                {"123122", "12312022"},
                                                {"12/31/22", "12312022"},
                                                {"1/5/2022", "01052022"},
                                                {"1/5/22", "01052022"},
                                                {"1312022", "01312022"},
                                                {"013122", "01312022"},
                                                {" 02/29/2024 ", "02292024"},
                                                {"01/01/00", "01012100"},
                                                {"01/01/02", "01012002"},
                                                {"1/5/022", "01050022"},
                                                {"0012312022", "12312022"}});
}

TEST(ConvertDate, RejectsWhatIsNotADate)
{
    ExpectRejected(DateValidator(true, false),
                   {Framed("", "ERROR: Date required"),
                    Bare("2022", "'20/22/?\?' is not a valid date"),
                    Bare("ab", "'AB/?\?/AB?\?' is not a valid date"),
                    Bare("12345", "'01/23/45?\?' is not a valid date"),
                    Bare("1/5", "'1/5?\?' is not a valid date"),
                    Bare("02/30/2022", "'02/30/2022' is not a valid date"),
                    Bare("12-31-2022", "'-3/1-/2022' is not a valid date"),
                    Bare("13452022", "'13/45/2022' is not a valid date"),
                    Bare("13/01/2022", "'13/01/2022' is not a valid date"),
                    Bare("01/32/2022", "'01/32/2022' is not a valid date"),
                    Bare("1/257/2022", "'1/257/2022' is not a valid date"),
                    Bare("1/513/2022", "'1/513/2022' is not a valid date"),
                    Bare("12/1055/1999", "'12/1055/1999' is not a valid date"),
                    Bare("257/1/2022", "'257/1/2022' is not a valid date"),
                    Bare("1/5/2022/", "'1/5/2022/' is not a valid date"),
                    Bare("1//2022", "'1//2022' is not a valid date"),
                    Bare("1/5/ 22", "'1/5/ 22' is not a valid date"),
                    Bare("1/5/+22", "'1/5/+22' is not a valid date"),
                    Bare("01/01/0000", "'01/01/0000' is not a valid date"),
                    Bare("01/01/10000", "'01/01/10000' is not a valid date")});
}

TEST(ConvertDate, EveryAcceptedDateIsARealCalendarDate)
{
    std::vector<int> parts;
    for (int n = 0; n <= 40; ++n)
        parts.push_back(n);
    for (int n : {99, 100, 255, 256, 257, 268, 287, 300, 513, 1055, 4096})
        parts.push_back(n);
    for (const bool required : {false, true}) {
        for (const bool birthDate : {false, true}) {
            const Validator validate = DateValidator(required, birthDate);
            for (int month : parts) {
                for (int day : parts) {
                    const std::string text =
                        std::to_string(month) + "/" + std::to_string(day) + "/2012";
                    std::string value = text;
                    try {
                        validate(value);
                    } catch (const Rejection&) {
                        continue;
                    }
                    ASSERT_EQ(value.size(), 8u) << text;
                    const int m = std::stoi(value.substr(0, 2));
                    const int d = std::stoi(value.substr(2, 2));
                    const int y = std::stoi(value.substr(4));
                    EXPECT_TRUE(IsValidDate(y, m, d)) << text << " gave " << value;
                    EXPECT_EQ(std::pair(m, d), std::pair(month, day)) << text << " gave " << value;
                }
            }
        }
    }
}

TEST(ConvertDate, EmptyOptionalDateStaysEmpty)
{
    ExpectAccepted(DateValidator(false, false), {{"", ""}, {" \t", ""}});
    ExpectAccepted(DateValidator(false, true), {{"", ""}});
}

TEST(ConvertDate, FutureBirthDateMovesIntoThe1900s)
{
    ExpectAccepted(DateValidator(false, true), {{"01/15/60", "01151960"},
                                                {"07/04/55", "07041955"},
                                                {"01/15/2010", "01152010"},
                                                {"06/15/2022", "06152022"},
                                                {"06/16/2022", "06161922"},
                                                {"01/01/2150", "01011950"}});
    ExpectAccepted(DateValidator(false, false), {{"01/15/60", "01152060"}});
    // 29 February of a leap year ending in 00 has no day in 1900 to move to.
    ExpectAccepted(DateValidator(false, true), {{"02/29/2096", "02291996"}});
    ExpectRejected(DateValidator(false, true),
                   {Bare("02/29/2400", "'02/29/2400' is not a valid date")});
}

TEST(WindowTwoDigitYear, PlacesYearInTheHundredYearsFromTwentyYearsAgo)
{
    struct Case
    {
        int yy;
        int currentYear;
        int year;
    };
    const Case cases[] = {{0, 2022, 2100},  {1, 2022, 2101},  {2, 2022, 2002}, {99, 2022, 2099},
                          {20, 2040, 2020}, {19, 2040, 2119}, {0, 2020, 2000}, {99, 2020, 2099}};
    for (const Case& c : cases)
        EXPECT_EQ(WindowTwoDigitYear(c.yy, c.currentYear), c.year) << c.yy << " " << c.currentYear;
}

} // namespace
} // namespace impmap

#include "../mapping/WorkspaceFixture.h"
#include "check/ControlTotals.h"
#include "check/Plausibility.h"
#include "check/ProblemList.h"
#include "check/ProblemRecords.h"
#include "schema/FormCatalogue.h"

#include <gtest/gtest.h>

namespace impmap {
namespace {

struct ReasonCase
{
    std::string (*rule)(std::string_view);
    const char* value;
    const char* reason;
};

const char* const kNeverIssued = "a social security number never issued";
const char* const kMisused = "a social security number known from advertising and misuse";
const char* const kEqual = "a social security number of nine equal digits";
const char* const kNoItin = "an area of 900 to 999 that is no valid ITIN";
const char* const kNoPrefix = "an employer identification number with a prefix never assigned";

TEST(Plausibility, EachRuleAtItsEdges)
{
    const ReasonCase cases[] = {
        {SsnReason, "", ""},
        {SsnReason, "12345678", ""}, // not nine digits: the type check's business
        {SsnReason, "001010001", ""},
        {SsnReason, "000123456", kNeverIssued},
        {SsnReason, "666123456", kNeverIssued},
        {SsnReason, "665123456", ""},
        {SsnReason, "667123456", ""},
        {SsnReason, "123003456", kNeverIssued},
        {SsnReason, "123450000", kNeverIssued},
        {SsnReason, "123450001", ""},
        {SsnReason, "111111111", kEqual},
        {SsnReason, "000000000", kEqual},
        {SsnReason, "123456789", kMisused},
        {SsnReason, "078051120", kMisused},
        {SsnReason, "219099999", kMisused},
        {SsnReason, "457555462", kMisused},
        {SsnReason, "987654319", ""},
        {SsnReason, "987654320", kMisused},
        {SsnReason, "987654329", kMisused},
        {SsnReason, "987654330", ""},
        {SsnReason, "899991234", ""},
        {SsnReason, "900491234", kNoItin},
        {SsnReason, "900501234", ""},
        {SsnReason, "900651234", ""},
        {SsnReason, "900661234", kNoItin},
        {SsnReason, "900691234", kNoItin},
        {SsnReason, "900701234", ""},
        {SsnReason, "900881234", ""},
        {SsnReason, "900891234", kNoItin},
        {SsnReason, "900901234", ""},
        {SsnReason, "900921234", ""},
        {SsnReason, "900931234", kNoItin},
        {SsnReason, "999941234", ""},
        {SsnReason, "999991234", ""},
        {EinReason, "", ""},
        {EinReason, "001234567", kNoPrefix},
        {EinReason, "011234567", ""},
        {EinReason, "061234567", ""},
        {EinReason, "071234567", kNoPrefix},
        {EinReason, "091234567", kNoPrefix},
        {EinReason, "101234567", ""},
        {EinReason, "171234567", kNoPrefix},
        {EinReason, "191234567", kNoPrefix},
        {EinReason, "201234567", ""},
        {EinReason, "281234567", kNoPrefix},
        {EinReason, "291234567", kNoPrefix},
        {EinReason, "491234567", kNoPrefix},
        {EinReason, "691234567", kNoPrefix},
        {EinReason, "701234567", kNoPrefix},
        {EinReason, "781234567", kNoPrefix},
        {EinReason, "791234567", kNoPrefix},
        {EinReason, "801234567", ""},
        {EinReason, "891234567", kNoPrefix},
        {EinReason, "951234567", ""},
        {EinReason, "961234567", kNoPrefix},
        {EinReason, "971234567", kNoPrefix},
        {EinReason, "981234567", ""},
        {StateReason, "", ""},
        {StateReason, "NY", ""},
        {StateReason, "ny", "a state code in lower case"},
        {StateReason, "Ny", "a state code in lower case"},
        {StateReason, "PR", ""},
        {StateReason, "AE", ""},
        {StateReason, "N.Y.", "not a two-letter state code"},
        {StateReason, "NEW YORK", "not a two-letter state code"},
        {StateReason, "XX", "not a two-letter state code"},
        {EmailReason, "", ""},
        {EmailReason, "ann@example.com", ""},
        {EmailReason, "ann.lee@example", "not an e-mail address"},
        {EmailReason, "ann@@example.com", "not an e-mail address"},
        {EmailReason, "ann@x@example.com", "not an e-mail address"},
        {EmailReason, "example.com", "not an e-mail address"},
    };
    for (const ReasonCase& c : cases)
        EXPECT_EQ(c.rule(c.value), c.reason) << c.value;
}

TEST(Plausibility, ZipCodesAndTheForeignAddressIndicator)
{
    const char* const kLostZero = "a zip code that has lost its leading zero";
    const char* const kNoZip = "neither a 5-digit nor a 5+4-digit zip code";
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"", false, ""},
        {"12345", false, ""},
        {"12345-6789", false, ""},
        {"123456789", false, ""},
        {"1234", false, kLostZero},
        {"1234-5678", false, kLostZero},
        {"1234", true, kLostZero},
        {"123", false, kNoZip},
        {"123456", false, kNoZip},
        {"12345-678", false, kNoZip},
        {"SW1A 1AA", false, kNoZip},
        {"SW1A 1AA", true, ""},
        {"12345 6789", false, kNoZip},
    };
    for (const auto& [zip, foreign, reason] : cases)
        EXPECT_EQ(ZipReason(zip, foreign), reason) << zip << ' ' << foreign;
}

// A layout with every kind of row a warning stands on, and one record's values.
class PlausibilityRecord : public ::testing::Test
{
protected:
    std::vector<std::string> Warnings(const std::vector<std::string>& values,
                                      const std::vector<std::string>& fields,
                                      const std::string& tinTypeValue = "")
    {
        std::vector<FieldProblem> out;
        const std::vector<std::string_view> valueViews(values.begin(), values.end());
        const std::vector<std::string_view> fieldViews(fields.begin(), fields.end());
        PlausibilityRules(rows, tinTypeValue).Check(7, valueViews, fieldViews, out);
        std::vector<std::string> lines;
        for (const FieldProblem& p : out) {
            EXPECT_TRUE(p.warning);
            lines.push_back(std::to_string(p.row) + " [" + p.sourceValue + "] " +
                            PlausibilityRules::Line(p));
        }
        return lines;
    }

    std::vector<DestinationRow> rows = {
        {"TIN Type", "", 0, 'T'},
        {"Taxpayer id", "", 1, 'N'},
        {"Employer id", "", 2, 'n'},
        {"Social security number", "", 3, 'n'},
        {"Zip code", "", 4, '$'},
        {"Zip code extension", "", 5, '$'},
        {"Foreign address indicator", "", 6, 'I'},
        {"State 1", "", 7, '$'},
        {"Foreign state or province", "", 8, '$'},
        {"Previous State 1 ID", "", 9, '$'},
        {"E-Mail address", "", 10, '$'},
        {"Name line 1", "", 11, '$'},
    };
};

TEST_F(PlausibilityRecord, PlausibleRecordGivesNothing)
{
    EXPECT_EQ(Warnings({"SSN", "123456780", "101234567", "001010001", "10012", "0001", "", "NY",
                        "Ontario", "x", "a@b.c", "Ann"},
                       {"123-45-6780", "10-1234567", "001-01-0001", "10012", "0001", "", "NY",
                        "Ontario", "x", "a@b.c", "Ann"}),
              std::vector<std::string>{});
}

TEST_F(PlausibilityRecord, EveryRuleOnItsOwnField)
{
    EXPECT_EQ(
        Warnings({"SSN", "000012345", "001234567", "666121234", "1234", "12", "", "N.Y.", "Ont",
                  "1", "ann", "Ann"},
                 {"12345", "1234567", "666-12-1234", "1234", "12", "", "N.Y.", "Ont", "1", "ann",
                  "Ann"}),
        (std::vector<std::string>{
            "0 [] Record 7: Warning: Destination field \"TIN Type\" holds \"SSN\" from an "
            "earlier record: the taxpayer id \"12345\" has neither the EIN nor the SSN form",
            "1 [12345] Record 7: Warning: Destination field \"Taxpayer id\" holds \"000012345\", "
            "padded with leading zeros from \"12345\"",
            "1 [12345] Record 7: Warning: Destination field \"Taxpayer id\" holds \"000012345\", "
            "a social security number never issued",
            "2 [1234567] Record 7: Warning: Destination field \"Employer id\" holds "
            "\"001234567\", padded with leading zeros from \"1234567\"",
            "2 [1234567] Record 7: Warning: Destination field \"Employer id\" holds "
            "\"001234567\", an employer identification number with a prefix never assigned",
            "3 [666-12-1234] Record 7: Warning: Destination field \"Social security number\" "
            "holds \"666121234\", a social security number never issued",
            "4 [1234] Record 7: Warning: Destination field \"Zip code\" holds \"1234\", a zip "
            "code that has lost its leading zero",
            "5 [12] Record 7: Warning: Destination field \"Zip code extension\" holds \"12\", a "
            "zip code extension of fewer than 4 digits (lost leading zeros?)",
            "7 [N.Y.] Record 7: Warning: Destination field \"State 1\" holds \"N.Y.\", not a "
            "two-letter state code",
            "10 [ann] Record 7: Warning: Destination field \"E-Mail address\" holds \"ann\", not "
            "an e-mail address"}));
}

TEST_F(PlausibilityRecord, TaxpayerIdFollowsItsTinType)
{
    const std::vector<std::string> fields = {"071234567", "", "", "", "", "", "", "", "", "", ""};
    std::vector<std::string> values = {"EIN", "071234567", "", "", "", "", "", "", "", "", "", ""};
    EXPECT_EQ(Warnings(values, fields, "EIN"),
              std::vector<std::string>{"1 [071234567] Record 7: Warning: Destination field "
                                       "\"Taxpayer id\" holds \"071234567\", an employer "
                                       "identification number with a prefix never assigned"});
    values[0] = "N/A";
    EXPECT_EQ(Warnings(values, fields, "N/A"), std::vector<std::string>{});
}

TEST_F(PlausibilityRecord, TinTypeCarriedFromAnEarlierRecordWarnsOnTheTinTypeField)
{
    std::vector<std::string> values = {"EIN", "101234567", "", "", "", "", "", "", "", "", "", ""};
    std::vector<std::string> fields = {"101234567", "", "", "", "", "", "", "", "", "", ""};
    const std::string carried =
        "0 [] Record 7: Warning: Destination field \"TIN Type\" holds \"EIN\" from an earlier "
        "record: the taxpayer id \"101234567\" has neither the EIN nor the SSN form";
    EXPECT_EQ(Warnings(values, fields), std::vector<std::string>{carried});
    // The record's own form decides: no warning.
    fields[0] = "10-1234567";
    EXPECT_EQ(Warnings(values, fields), std::vector<std::string>{});
    // A fixed TIN type is the user's decision.
    fields[0] = "101234567";
    EXPECT_EQ(Warnings(values, fields, "EIN"), std::vector<std::string>{});
    // Nothing carried yet.
    values[0] = "N/A";
    EXPECT_EQ(Warnings(values, fields), std::vector<std::string>{});
    // A mapped TIN type comes from the record itself.
    values[0] = "EIN";
    rows[0].sourceFieldNo = 11;
    EXPECT_EQ(Warnings(values, fields), std::vector<std::string>{});
}

TEST(Plausibility, ValuesThatPassButAreUnlikelyNamedAsTheyStandInTheFile)
{
    const char* const kPositive = "a negative amount written as positive (the field takes none)";
    const char* const kDecimalComma = "a comma that is no thousands separator (a decimal comma?)";
    const char* const kPieces = "blank-separated pieces added up";
    const char* const kGrouping = "grouping commas in the wrong places";
    const char* const kFar = "a date more than a year away from the tax year 2022 (a two-digit "
                             "year?)";
    const char* const kPercent = "a percentage outside 0 to 100";
    struct Case
    {
        DestinationRow row;
        const char* source;
        const char* written;
        const char* reason; // empty: no warning
    };
    const DestinationRow rents{"Rents", "", 1, 'c'};
    const DestinationRow other{"Other income", "", 1, 'C'};
    const DestinationRow date{"Date of sale", "", 1, 'd'};
    const DestinationRow percent{"Payer percentage of maintenance paid", "", 1, '#'};
    const Case cases[] = {
        {rents, "($250.00)", "250", kPositive},
        {rents, "-250", "250", kPositive},
        {rents, "(0)", "0", ""},
        {rents, "$1,250.00", "1250", ""},
        {other, "($250.00)", "-250", ""},
        {other, "980,50", "98050", kDecimalComma},
        {other, "1.234,56", "1.23456", kDecimalComma},
        {other, "1,5", "15", kDecimalComma},
        {other, "1 234.56", "235.56", kPieces},
        {other, "$ 1 234", "235", kPieces},
        {other, "$ 250", "250", ""},
        {other, "12,34,567", "1234567", kGrouping},
        {other, "1,2345", "12345", kGrouping},
        {other, "1,234,567.89", "1234567.89", ""},
        {other, "12A", "12A", ""},                  // fails its rule: the run reports it
        {{"Rents", "(5)", 0, 'c'}, "(5)", "5", ""}, // a fixed value is the user's own
        {date, "12/31/99", "12312099", kFar},
        {date, "12/31/2020", "12312020", kFar},
        {date, "1/1/21", "01012021", ""},
        {date, "12/31/2023", "12312023", ""},
        {date, "01/01/2024", "01012024", kFar},
        {{"Date of contribution", "", 1, 'D'}, "1/1/24", "01012024", kFar},
        {{"Birth date", "", 1, 'b'}, "1/1/60", "01011960", ""},
        {{"Box 3 - Mortgage origination date", "", 1, 'd'}, "1/1/15", "01012015", ""},
        {percent, "150", "150", kPercent},
        {percent, "-5", "-5", kPercent},
        {percent, "100", "100", ""},
        {percent, "0.5", "0.5", ""},
        {percent, "", "", ""},
        {{"Zip code extension", "", 1, '$'},
         "123",
         "123",
         "a zip code extension of fewer than 4 "
         "digits (lost leading zeros?)"},
        {{"Zip code extension", "", 1, '$'}, "0123", "0123", ""},
        {{"State", "", 1, '$'}, "ny", "ny", "a state code in lower case"},
    };
    for (const Case& c : cases) {
        std::vector<FieldProblem> out;
        const std::vector<std::string_view> values{c.written};
        const std::vector<std::string_view> fields{c.source};
        PlausibilityRules({c.row}, "").Check(3, values, fields, out);
        std::string expected;
        if (*c.reason != '\0') {
            const std::string named =
                c.row.sourceFieldNo > 0 && std::string_view(c.source) != c.written &&
                        std::string_view("cCdD").find(c.row.typeCode) != std::string_view::npos
                    ? std::string(" from \"") + c.source + "\""
                    : "";
            expected = "Record 3: Warning: Destination field \"" + c.row.caption + "\" holds \"" +
                       c.written + "\"" + named + ", " + c.reason;
        }
        EXPECT_EQ(out.empty() ? "" : PlausibilityRules::Line(out.front()), expected) << c.source;
        EXPECT_LE(out.size(), 1u) << c.source;
    }
}

void AddValues(ControlTotals& totals, std::initializer_list<std::string_view> values)
{
    totals.Add(std::vector<std::string_view>(values));
}

TEST(ControlTotals, CountsNonZeroAmountsAndSumsThem)
{
    const std::vector<DestinationRow> rows = {
        {"Name", "", 1, '$'},        {"Rents", "", 2, 'c'},    {"Royalties", "0", 0, 'c'},
        {"Other", " 12.5 ", 0, 'C'}, {"Withheld", "", 3, 'C'},
    };
    ControlTotals totals(rows);
    AddValues(totals, {"A", "1234.5", "0", "12.5", "-7"});
    AddValues(totals, {"B", "0", "0", "12.5", "0.0001"});
    AddValues(totals, {"C", "X Y", "0", "12.5", "-0.0001"}); // a value a check let through
    EXPECT_EQ(totals.Report(), "Rents\t1\t1234.5\nOther\t3\t37.5\nWithheld\t3\t-7\n");
}

TEST(ControlTotals, ReadEveryTextAsTheAmountParserDoes)
{
    // The plain form is read directly; every other text must come out as the parser reads it.
    const char* const texts[] = {"0",
                                 "-0",
                                 "1",
                                 "-1",
                                 "12.5",
                                 "12.50",
                                 "0.0001",
                                 "-0.0001",
                                 "12.34565",
                                 "12.",
                                 ".5",
                                 "1e3",
                                 "99999999999999.9999",
                                 "999999999999999",
                                 "+5",
                                 " 7",
                                 "1,234",
                                 "X",
                                 "",
                                 "00012.3000",
                                 "-",
                                 "5-",
                                 "123456789012345678901234567890.5"};
    for (const char* text : texts) {
        ControlTotals totals({{"Rents", "", 1, 'C'}});
        AddValues(totals, {text});
        const std::optional<Amount> parsed = Amount::Parse(text);
        const bool counted = parsed && parsed->Units() != 0;
        EXPECT_EQ(totals.Report(), std::string("Rents\t") + (counted ? "1\t" : "0\t") +
                                       (counted ? parsed->ToPlainString() : "0") + "\n")
            << text;
    }
}

TEST(ControlTotals, OverflowingSumIsShownAsSuchAndNeverWraps)
{
    ControlTotals totals({{"Rents", "", 1, 'C'}});
    AddValues(totals, {"900000000000000"});
    AddValues(totals, {"22337203685477.5807"});
    EXPECT_EQ(totals.Report(), "Rents\t2\t922337203685477.5807\n");
    AddValues(totals, {"0.0001"});
    AddValues(totals, {"-922337203685477"});
    EXPECT_EQ(totals.Report(), "Rents\t4\toverflow\n");
}

// A check over a tab source under Header Read, its problems kept in a list of limited length.
class ProblemListCheck : public test::WorkspaceFixture
{
protected:
    struct Feed : ExecuteCallbacks
    {
        explicit Feed(ProblemList& list) : list(list) {}
        void OutputLine(std::string_view) override {}
        void FieldProblemFound(const FieldProblem& p) override { list.Add(p); }
        void RecordValues(long record, RecordViews values, RecordViews fields) override
        {
            list.EndRecord(record, values, fields);
        }
        ProblemList& list;
    };

    std::string Check(size_t maxListed, ProblemList*& out)
    {
        OpenSource("Ann\t12A\t7\r\nBo\t1\t101234567\r\n\r\nCy\tX\t5\r\nDi\t2\t101234568\r\n");
        workspace.SetDelimiter(Delimiter::Tab);
        workspace.ChooseForm(FindFormIndex("1099-NEC"));
        workspace.AssignSourceField(RowOf("Name line 1"), 1);
        workspace.AssignSourceField(RowOf("Nonemployee compensation"), 2);
        workspace.AssignSourceField(RowOf("Taxpayer id"), 3);
        workspace.GoToRecord(1);
        list = std::make_unique<ProblemList>(workspace, maxListed);
        Feed feed(*list);
        EXPECT_EQ(Execute(workspace, feed, ExecuteOptions{CivilDate{2022, 6, 1}, true}).outcome,
                  ExecuteResult::Outcome::Completed);
        out = list.get();
        list->Save(dir.File("p.txt"));
        return test::ReadFile(dir.File("p.txt"));
    }

    std::unique_ptr<ProblemList> list;

    // A check of a comma source mapping name, amount and taxpayer id from fields 1 to 3: every
    // problem line, then the problem records file.
    std::string CheckComma(const std::string& source, HeaderMode header)
    {
        OpenSource(source, header);
        workspace.ChooseForm(FindFormIndex("1099-NEC"));
        workspace.AssignSourceField(RowOf("Name line 1"), 1);
        workspace.AssignSourceField(RowOf("Nonemployee compensation"), 2);
        workspace.AssignSourceField(RowOf("Taxpayer id"), 3);
        workspace.GoToRecord(1);
        list = std::make_unique<ProblemList>(workspace);
        Feed feed(*list);
        EXPECT_EQ(Execute(workspace, feed, ExecuteOptions{CivilDate{2022, 6, 1}, true}).outcome,
                  ExecuteResult::Outcome::Completed);
        std::string text;
        for (const FieldProblem& p : list->Problems())
            text += "Record " + std::to_string(p.record) + ": " + ProblemColumnText(p) + "\n";
        list->Save(dir.File("p.csv"));
        return text + test::ReadFile(dir.File("p.csv"));
    }
};

TEST_F(ProblemListCheck, FieldCountsWarnAndProblemRecordsLineUp)
{
    const std::pair<const char*, HeaderMode> sources[] = {
        // A header with trailing empty cells and a short row.
        {"Name,Amount,TIN,,\r\nAnn,12A,101234567\r\nBo,5,101234568,,\r\n", HeaderMode::Skip},
        // An unquoted comma inside a name, without a header; blank rows are NULL records.
        {"Ann,5,101234567\r\n,,\r\nSmith, John,5,101234568\r\n", HeaderMode::Read},
        // A record broken inside a quoted value is written joined, its problems last.
        {"Ann,5,101234567\r\nBo,12A,\"1 Main St\r\nApt 2\",101234568\r\nCy,5,101234569\r\n",
         HeaderMode::Read},
    };
    const char* const expected[] = {
        "Record 1: Destination field \"Nonemployee compensation\" maps to an invalid currency "
        "value \"12A\"\n"
        "Record 1: Warning: the record has 3 fields where the header has 5 (a missing or extra "
        "delimiter?)\n"
        "Name,Amount,TIN,,,Problems\r\n"
        "Ann,12A,101234567,,,\"Destination field \"\"Nonemployee compensation\"\" maps to an "
        "invalid currency value \"\"12A\"\"; Warning: the record has 3 fields where the header "
        "has 5 (a missing or extra delimiter?)\"\r\n",

        "Record 3: Destination field \"Nonemployee compensation\" maps to an invalid currency "
        "value \"JOHN\"\n"
        "Record 3: Warning: the record has 4 fields where the first record has 3 (a missing or "
        "extra delimiter?)\n"
        "Record 3: Warning: Destination field \"Taxpayer id\" holds \"000000005\", padded with "
        "leading zeros from \"5\"\n"
        "Smith, John,5,101234568,\"Destination field \"\"Nonemployee compensation\"\" maps to "
        "an invalid currency value \"\"JOHN\"\"; Warning: the record has 4 fields where the "
        "first record has 3 (a missing or extra delimiter?); Warning: Destination field "
        "\"\"Taxpayer id\"\" holds \"\"000000005\"\", padded with leading zeros from "
        "\"\"5\"\"\"\r\n",

        "Record 2: Warning: Bad TIN 1 MAIN ST (assigned to 000000000)\n"
        "Record 2: Destination field \"Nonemployee compensation\" maps to an invalid currency "
        "value \"12A\"\n"
        "Bo,12A,\"1 Main St Apt 2\",101234568,\"Warning: Bad TIN 1 MAIN ST (assigned to "
        "000000000); Destination field \"\"Nonemployee "
        "compensation\"\" maps to an invalid currency value \"\"12A\"\"\"\r\n",
    };
    for (size_t i = 0; i < std::size(sources); ++i)
        EXPECT_EQ(CheckComma(sources[i].first, sources[i].second), expected[i]) << i;
}

TEST_F(ProblemListCheck, SavesEveryListedRecordWithItsProblemsJoined)
{
    ProblemList* problems = nullptr;
    EXPECT_EQ(Check(ProblemList::kMaxListed, problems),
              "Ann\t12A\t7\tDestination field \"Nonemployee compensation\" maps to an invalid "
              "currency value \"12A\"; Warning: Destination field \"Taxpayer id\" holds "
              "\"000000007\", padded with leading zeros from \"7\"\r\n"
              "Cy\tX\t5\tDestination field \"Nonemployee compensation\" maps to an invalid "
              "currency value \"X\"; Warning: Destination field \"Taxpayer id\" holds "
              "\"000000005\", padded with leading zeros from \"5\"\r\n");
    EXPECT_EQ(problems->Found(), 4);
    EXPECT_TRUE(problems->Complete());
    EXPECT_EQ(problems->RecordsWithProblems(), 2);
}

TEST_F(ProblemListCheck, ProblemsBeyondTheLimitAreCountedNotListed)
{
    ProblemList* problems = nullptr;
    EXPECT_EQ(Check(3, problems),
              "Ann\t12A\t7\tDestination field \"Nonemployee compensation\" maps to an invalid "
              "currency value \"12A\"; Warning: Destination field \"Taxpayer id\" holds "
              "\"000000007\", padded with leading zeros from \"7\"\r\n"
              "Cy\tX\t5\tDestination field \"Nonemployee compensation\" maps to an invalid "
              "currency value \"X\"\r\n");
    EXPECT_EQ(problems->Found(), 4);
    EXPECT_FALSE(problems->Complete());
    EXPECT_EQ(problems->Problems().size(), 3u);
}

} // namespace
} // namespace impmap

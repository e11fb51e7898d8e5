#include "execute/Engine.h"

#include "../mapping/WorkspaceFixture.h"
#include "schema/FormCatalogue.h"

namespace impmap {
namespace {

using test::WorkspaceFixture;

// Records everything a run reports.
class Recorder : public ExecuteCallbacks
{
public:
    void Progress(long position, long total) override
    {
        positions.push_back(position);
        totals = total;
    }
    bool Cancelled() override { return cancelAt > 0 && positions.back() >= cancelAt; }
    void Warning(const std::string& line) override { warnings.push_back(line); }
    void ProcessMessages() override { ++pumps; }
    void OutputLine(std::string_view line) override { lines.emplace_back(line); }
    void Problem(const std::string& line) override { problems.push_back(line); }
    void FieldProblemFound(const FieldProblem& p) override
    {
        parts.push_back(std::to_string(p.record) + "|" + std::to_string(p.row) + "|" +
                        p.sourceValue + "|" + p.text + (p.warning ? "|warning" : "|error"));
    }
    void RecordValues(long record, RecordViews values, RecordViews sourceFields) override
    {
        std::string text = std::to_string(record) + ":" + std::to_string(values.size());
        for (const std::string_view field : sourceFields)
            text.append(":").append(field);
        records.push_back(text);
    }

    std::vector<std::string> parts, records;
    std::vector<long> positions;
    long totals = 0;
    long cancelAt = 0;
    std::vector<std::string> warnings, lines, problems;
    int pumps = 0;
};

class Engine : public WorkspaceFixture
{
protected:
    ExecuteResult Run(bool checkAll = false)
    {
        recorder = Recorder();
        return Execute(workspace, recorder, ExecuteOptions{CivilDate{2022, 6, 1}, checkAll});
    }

    // One data record under a header line (Header Skip) whose first field is value, mapped onto
    // the row of the given caption of form.
    ExecuteResult RunValue(const std::string& form, const std::string& caption,
                           const std::string& value)
    {
        // A second field keeps a record of an empty value from being a row of empty cells.
        OpenSource("header\r\n\"" + value + "\",x\r\n", HeaderMode::Skip);
        workspace.ChooseForm(FindFormIndex(form));
        workspace.AssignSourceField(RowOf(caption), 1);
        return Run();
    }

    // The output cell of the given row of the only line.
    std::string Cell(const std::string& caption)
    {
        EXPECT_EQ(recorder.lines.size(), 1u);
        std::vector<std::string> cells;
        std::string cell;
        for (char c : recorder.lines.at(0)) {
            if (c == ',') {
                cells.push_back(cell);
                cell.clear();
            } else {
                cell += c;
            }
        }
        cells.push_back(cell);
        return cells.at(static_cast<size_t>(RowOf(caption)));
    }

    Recorder recorder;
};

struct GoodValue
{
    const char* form;
    const char* caption;
    const char* value;
    const char* written;
};

TEST_F(Engine, ValuesConvertedByType)
{
    const GoodValue cases[] = {
        {"1099-MISC", "Rents", "$1,234.50", "1234.5"},
        {"1099-MISC", "Rents", "(75.00)", "75"},
        {"1099-MISC", "Rents", "", "0"},
        {"1099-MISC", "Foreign address indicator", " yes", "X"},
        {"1099-MISC", "Taxpayer id", "123-45-6789", "123456789"},
        {"1099-MISC", "Taxpayer id", "", ""},
        {"ALE Group", "Average employee count", "1,234", "1234"},
        {"ALE Group", "Employer id", "123-45-6789", "123456789"},
        {"1098", "Payer shares", "$1,5", "15"},
        {"1098", "USPS Delivery Point", "07", "07"},
        {"1098", "Occupancy date (from)", "1/5/22", "01052022"},
        {"1098", "Occupancy date (from)", "", ""},
        {"1095-B", "Date of birth", "07/04/55", "07041955"},
        {"1098-C", "Date of contribution", "123122", "12312022"},
        {"W-2C", "Year corrected", "22", "2022"},
        {"1099-R", "First year of designated Roth contribution", "2021", "2021"},
        {"Clients", "Type of employer", " q ", "Q"},
        {"Clients", "Kind of employer", "", "N"},
    };
    for (const GoodValue& c : cases) {
        const ExecuteResult result = RunValue(c.form, c.caption, c.value);
        ASSERT_EQ(result.outcome, ExecuteResult::Outcome::Completed) << result.message;
        EXPECT_EQ(Cell(c.caption), c.written) << c.form << " / " << c.caption;
    }
}

struct BadValue
{
    const char* form;
    const char* caption;
    const char* value;
    const char* message;
};

TEST_F(Engine, BadValuesStopTheRunWithTheWholeMessage)
{
    const BadValue cases[] = {
        {"1099-MISC", "Rents", "12A",
         "Execution failed!\r\n\r\nDestination field \"Rents\" maps to an invalid currency value "
         "\"12A\""},
        {"1099-MISC", "Foreign address indicator", "maybe",
         "Execution failed!\r\n\r\nDestination field \"Foreign address indicator\" maps to an "
         "invalid indicator value \"MAYBE\""},
        {"1098", "USPS Delivery Point", "1.5",
         "Execution failed!\r\n\r\nDestination field \"USPS Delivery Point\" maps to an invalid US "
         "Postal Service Delivery Point value \"1.5\""},
        {"ALE Group", "Average employee count", "7.5",
         "Execution failed!\r\n\r\nDestination field \"Average employee count\" maps to an invalid "
         "whole number value \"7.5\""},
        {"1098", "Payer shares", "12.5%",
         "Execution failed!\r\n\r\nDestination field \"Payer shares\" maps to an invalid floating "
         "point value \"12.5%\""},
        {"ALE Group", "Employer id", "12-3456789",
         "Execution failed!\r\n\r\nDestination field \"Employer id\" maps to an invalid social "
         "security value \"12-3456789\""},
        {"1099-MISC", "Taxpayer id", "12-34",
         "Execution failed!\r\n\r\nDestination field \"Taxpayer id\" maps to an invalid taxpayer "
         "identification value \"000012-34\""},
        {"Clients", "Type of employer", "B",
         "Source record: 1\r\n\r\nDestination Field:\r\nType of employer\r\n\r\nERROR: Invalid "
         "employer type"},
        {"W-2C", "Year corrected", "AB", "'AB' is not a valid integer value"},
        {"1098-C", "Date of contribution", "",
         "Source record: 1\r\n\r\nDestination Field:\r\nDate of contribution\r\n\r\nERROR: Date "
         "required"},
        {"1098", "Occupancy date (from)", "02/30/2022", "'02/30/2022' is not a valid date"},
    };
    for (const BadValue& c : cases) {
        const ExecuteResult result = RunValue(c.form, c.caption, c.value);
        ASSERT_EQ(result.outcome, ExecuteResult::Outcome::Failed) << c.caption;
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.failingRecord, 1);
        EXPECT_EQ(result.failingRow, RowOf(c.caption));
        EXPECT_TRUE(recorder.lines.empty());
        EXPECT_FALSE(workspace.Executing());
    }
}

TEST_F(Engine, NothingMappedFailsBeforeAnything)
{
    OpenSource("a\r\n");
    workspace.ChooseForm(22);
    workspace.SetFixedValue(0, std::string("fixed"));
    const ExecuteResult result = Run();
    EXPECT_EQ(result.outcome, ExecuteResult::Outcome::Failed);
    EXPECT_EQ(result.message, "Execution failed!\r\n\r\nYou haven't mapped anything");
    EXPECT_TRUE(recorder.positions.empty());
}

TEST_F(Engine, HeaderHintOnlyForRecordOneUnderRead)
{
    OpenSource("Amount\r\n12\r\n");
    workspace.ChooseForm(22);
    workspace.AssignSourceField(RowOf("Rents"), 1);
    ExecuteResult result = Run();
    EXPECT_EQ(result.message,
              "Execution failed!\r\n\r\nDestination field \"Rents\" maps to an invalid currency "
              "value \"AMOUNT\"\r\n\r\nTry skipping the header (see the \"Header\" group above) "
              "and executing your mapping again");
    EXPECT_EQ(workspace.CurrentRecord(), 1);

    OpenSource("12\r\nAmount\r\n");
    result = Run();
    EXPECT_EQ(result.message, "Execution failed!\r\n\r\nDestination field \"Rents\" maps to an "
                              "invalid currency value \"AMOUNT\"");
    EXPECT_EQ(result.failingRecord, 2);
    EXPECT_EQ(workspace.CurrentRecord(), 2);
}

TEST_F(Engine, BadTaxpayerNumbersAfterRecordOneBecomeZerosWithAWarning)
{
    OpenSource("h\r\n111223333\r\n1\r\n2\r\n3\r\n12-34\r\nABCDEFGHIJKL\r\n", HeaderMode::Skip);
    workspace.ChooseForm(23);
    workspace.AssignSourceField(RowOf("Taxpayer id"), 1);
    const ExecuteResult result = Run();
    ASSERT_EQ(result.outcome, ExecuteResult::Outcome::Completed);
    EXPECT_EQ(recorder.warnings,
              (std::vector<std::string>{"Record 5: Bad TIN 000012-34 (assigned to 000000000)",
                                        "Record 6: Bad TIN ABCDEFGHIJKL (assigned to 000000000)"}));
    EXPECT_EQ(recorder.lines.size(), 6u);
    EXPECT_EQ(recorder.lines[4].substr(0, 24), ",,,,,,,,,,N/A,000000000,");
}

TEST_F(Engine, NullRecordsAndLinesOfDelimiters)
{
    OpenSource("a,b,c,d,e\r\n\r\n,\r\n\r\n");
    workspace.ChooseForm(2);
    workspace.AssignSourceField(0, 1);
    workspace.AssignSourceField(4, 5); // a field no record has
    const ExecuteResult result = Run();
    ASSERT_EQ(result.outcome, ExecuteResult::Outcome::Completed);
    // A line of delimiters is a row of empty cells: a NULL record too.
    EXPECT_EQ(result.nullRecords, 3);
    EXPECT_EQ(recorder.lines, std::vector<std::string>{"a,,,,e,0"});
    EXPECT_EQ(recorder.pumps, 1);
    EXPECT_EQ(NullRecordNotice(1),
              "Your source file contains 1 NULL record.\r\nNULL records are skipped during "
              "execution.");
    EXPECT_EQ(NullRecordNotice(2),
              "Your source file contains 2 NULL records.\r\nNULL records are skipped during "
              "execution.");
}

TEST_F(Engine, RowsOfEmptyCellsAreNullRecordsAndMissingFieldsAreWrittenEmpty)
{
    struct Case
    {
        const char* source;
        Delimiter delimiter;
        long nullRecords;
        std::vector<std::string> lines;
    };
    // Each source begins with a record of five fields, so that field 5 can be mapped.
    const Case cases[] = {
        {"a,b,c,d,e\r\n,,,,\r\n , ,\t,\xA0,\r\n\"\",\" \",,,\r\n",
         Delimiter::Comma,
         3,
         {"a,,,,e,0"}},
        {"a\tb\tc\td\te\r\n\t\t\t\r\n\" \"\t\t\r\na\tb\r\n",
         Delimiter::Tab,
         2,
         {"a,,,,e,0", "a,,,,,0"}},
        {"a|b|c|d|e\r\n||||\r\nf||||g\r\n", Delimiter::Pipe, 1, {"a,,,,e,0", "f,,,,g,0"}},
        // A delimiter inside quotes is a value; a short row writes the fields it lacks empty.
        {"a,b,c,d,e\r\n\",\",,\r\nf,g\r\n",
         Delimiter::Comma,
         0,
         {"a,,,,e,0", "\",\",,,,,0", "f,,,,,0"}},
    };
    for (const Case& c : cases) {
        OpenSource(c.source);
        workspace.SetDelimiter(c.delimiter);
        workspace.ChooseForm(2);
        workspace.AssignSourceField(0, 1);
        workspace.AssignSourceField(4, 5);
        const ExecuteResult result = Run();
        ASSERT_EQ(result.outcome, ExecuteResult::Outcome::Completed) << c.source;
        EXPECT_EQ(result.nullRecords, c.nullRecords) << c.source;
        EXPECT_EQ(recorder.lines, c.lines) << c.source;
        // The record display keeps showing what a record lacks.
        workspace.GoToRecord(static_cast<long>(workspace.RecordCount()));
        if (!workspace.SourceFields().empty() && workspace.SourceFields().size() < 5) {
            EXPECT_EQ(workspace.Rows()[4].value, "(5) NOT ALLOCATED?") << c.source;
        }
    }
}

TEST_F(Engine, ProgressStepsCancelAndTheRecordShownAfterwards)
{
    std::string bytes;
    for (int i = 1; i <= 1200; ++i)
        bytes += std::to_string(i) + "\r\n";
    OpenSource(bytes);
    workspace.ChooseForm(2);
    workspace.AssignSourceField(5, 1);
    workspace.GoToRecord(7);
    ExecuteResult result = Run();
    ASSERT_EQ(result.outcome, ExecuteResult::Outcome::Completed);
    ASSERT_EQ(recorder.positions.size(), 49u);
    EXPECT_EQ(recorder.positions[0], 1);
    EXPECT_EQ(recorder.positions[1], 25);
    EXPECT_EQ(recorder.positions.back(), 1200);
    EXPECT_EQ(workspace.CurrentRecord(), 7);
    EXPECT_EQ(recorder.lines.back(), ",,,,,1200");

    recorder.cancelAt = 700;
    result = Execute(workspace, recorder, ExecuteOptions{CivilDate{2022, 6, 1}, false});
    EXPECT_EQ(result.outcome, ExecuteResult::Outcome::Aborted);
    EXPECT_FALSE(workspace.Executing());
}

TEST_F(Engine, ARunLeavesTheMappingAsItFoundIt)
{
    struct Case
    {
        const char* source;
        long cancelAt;
        ExecuteResult::Outcome outcome;
    };
    const Case cases[] = {
        {"12\r\n13\r\n", 0, ExecuteResult::Outcome::Completed},
        {"12\r\n12A\r\n", 0, ExecuteResult::Outcome::Failed},
        {"12\r\n13\r\n14\r\n", 2, ExecuteResult::Outcome::Aborted},
    };
    for (const Case& c : cases) {
        OpenSource(c.source);
        workspace.ChooseForm(FindFormIndex("1099-MISC"));
        workspace.AssignSourceField(RowOf("Rents"), 1);
        workspace.SetFixedValue(RowOf("TIN Type"), std::string("0"));
        workspace.SetFixedValue(RowOf("Name line 1"), std::string("Fixed"));
        const std::vector<std::string> before = Values();
        workspace.SaveMapping(dir.File("before.map"));

        recorder = Recorder();
        recorder.cancelAt = c.cancelAt;
        const ExecuteResult result =
            Execute(workspace, recorder, ExecuteOptions{CivilDate{2022, 6, 1}, false});
        ASSERT_EQ(result.outcome, c.outcome) << c.source;
        workspace.SaveMapping(dir.File("after.map"));
        EXPECT_EQ(test::ReadFile(dir.File("after.map")), test::ReadFile(dir.File("before.map")))
            << c.source;
        // The record shown says what the run wrote: no taxpayer id, no TIN type.
        EXPECT_EQ(ValueOf("TIN Type"), "N/A") << c.source;
        EXPECT_EQ(workspace.TinTypeValue(), "0") << c.source;
        if (c.outcome == ExecuteResult::Outcome::Completed) {
            EXPECT_EQ(Values(), before);
        }
    }
}

TEST_F(Engine, ARecordTooLargeToMapStopsTheRunWithItsNumber)
{
    const std::string field(5 << 20, 'x');
    OpenSource("1\r\n" + field + "\r\n");
    workspace.ChooseForm(FindFormIndex("1099-MISC"));
    workspace.AssignSourceField(RowOf("Name line 1"), 1);
    workspace.AssignSourceField(RowOf("Name line 2"), 1);
    for (const bool checkAll : {false, true}) {
        const ExecuteResult result = Run(checkAll);
        ASSERT_EQ(result.outcome, ExecuteResult::Outcome::Failed);
        EXPECT_EQ(result.message,
                  "Execution failed!\r\n\r\nSource record 2 is too large to map: its merged fields "
                  "and mapped values need more than 10.0 MB, and at most 8 MB can be held for one "
                  "record");
        EXPECT_EQ(result.failingRecord, 2);
        EXPECT_EQ(recorder.lines.size(), 1u);
    }
}

TEST_F(Engine, SourceWithoutRecordsCompletesEmpty)
{
    OpenSource("only header\r\n", HeaderMode::Skip);
    workspace.ChooseForm(2);
    workspace.LoadDestinationFields();
    OpenSource("h\r\nx\r\n", HeaderMode::Skip);
    workspace.AssignSourceField(0, 1);
    workspace.DeleteCurrentRecord();
    const ExecuteResult result = Run();
    EXPECT_EQ(result.outcome, ExecuteResult::Outcome::Completed);
    EXPECT_EQ(result.lines, 0);
}

TEST_F(Engine, CheckModeListsEveryProblem)
{
    OpenSource("h\r\n12A,1,maybe\r\n5,2,y\r\nB,12-34,7.5\r\n", HeaderMode::Skip);
    workspace.ChooseForm(22);
    workspace.AssignSourceField(RowOf("Rents"), 1);
    workspace.AssignSourceField(RowOf("Taxpayer id"), 2);
    workspace.AssignSourceField(RowOf("Foreign address indicator"), 3);
    ExecuteResult result = Run(true);
    EXPECT_EQ(result.outcome, ExecuteResult::Outcome::Completed);
    EXPECT_EQ(recorder.problems,
              (std::vector<std::string>{
                  "Record 1: Destination field \"Foreign address indicator\" maps to an invalid "
                  "indicator value \"MAYBE\"",
                  "Record 1: Destination field \"Rents\" maps to an invalid currency value "
                  "\"12A\"",
                  "Record 3: Destination field \"Foreign address indicator\" maps to an invalid "
                  "indicator value \"7.5\"",
                  "Record 3: Bad TIN 000012-34 (assigned to 000000000)",
                  "Record 3: Destination field \"Rents\" maps to an invalid currency value \"B\"",
              }));
    EXPECT_EQ(result.problems, 5);
    EXPECT_EQ(result.failures, 4);
    EXPECT_TRUE(recorder.warnings.empty());
    // The same problems in parts, and every record's values with the fields they came from.
    const std::string foreign = std::to_string(RowOf("Foreign address indicator"));
    const std::string rents = std::to_string(RowOf("Rents"));
    const std::string tin = std::to_string(RowOf("Taxpayer id"));
    EXPECT_EQ(recorder.parts,
              (std::vector<std::string>{
                  "1|" + foreign +
                      "|maybe|Destination field \"Foreign address indicator\" maps "
                      "to an invalid indicator value \"MAYBE\"|error",
                  "1|" + rents +
                      "|12A|Destination field \"Rents\" maps to an invalid currency "
                      "value \"12A\"|error",
                  "3|" + foreign +
                      "|7.5|Destination field \"Foreign address indicator\" maps "
                      "to an invalid indicator value \"7.5\"|error",
                  "3|" + tin + "|12-34|Bad TIN 000012-34 (assigned to 000000000)|warning",
                  "3|" + rents +
                      "|B|Destination field \"Rents\" maps to an invalid currency "
                      "value \"B\"|error",
              }));
    const std::string rowCount = std::to_string(workspace.Rows().size());
    const std::vector<std::string> records = {"1:" + rowCount + ":12A:1:maybe",
                                              "2:" + rowCount + ":5:2:y",
                                              "3:" + rowCount + ":B:12-34:7.5"};
    EXPECT_EQ(recorder.records, records);
    // A run reports the values of every record it completes as well.
    OpenSource("h\r\n5,2,y\r\n\r\n6,3,n\r\n", HeaderMode::Skip);
    ASSERT_EQ(Run().outcome, ExecuteResult::Outcome::Completed);
    EXPECT_EQ(recorder.records,
              (std::vector<std::string>{"1:" + rowCount + ":5:2:y", "3:" + rowCount + ":6:3:n"}));
    EXPECT_TRUE(recorder.parts.empty());

    OpenSource("h\r\nB\r\n", HeaderMode::Skip);
    workspace.ChooseForm(0);
    workspace.AssignSourceField(RowOf("Type of employer"), 1);
    result = Run(true);
    EXPECT_EQ(recorder.problems,
              std::vector<std::string>{"Record 1: Destination field \"Type of employer\": ERROR: "
                                       "Invalid employer type"});
}

} // namespace
} // namespace impmap

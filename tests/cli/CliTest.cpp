#include "Cli.h"

#include "../core/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <streambuf>

namespace impmap {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::CliRun;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kExampleMap = std::string(IMPMAP_EXAMPLES) + "/example1099NEC.MAP";
const std::string kExampleSource = std::string(IMPMAP_EXAMPLES) + "/EXAMPLE_SOURCE.TXT";

TEST(CliCatalogue, FormsSchemaAndHeader)
{
    CliRun forms = Cli({"forms"});
    EXPECT_EQ(forms.status, 0);
    EXPECT_EQ(forms.out.rfind("0\tClients\t135\n1\tSponsors\t15\n2\tALE Group\t6\n", 0), 0u);
    EXPECT_NE(forms.out.find("\n37\tW-2G\t32\n"), std::string::npos);

    CliRun schema = Cli({"schema", "ale group"});
    EXPECT_EQ(schema.out,
              "1\t$\tClient ID\n2\t$\tName line 1\n3\t$\tName line 2\n4\tn\tEmployer id\n"
              "5\t$\tName control\n6\tw\tAverage employee count\n");
    EXPECT_EQ(Cli({"schema", "2"}).out, schema.out);

    CliRun header = Cli({"header", "ALE Group", "--delimiter", "pipe"});
    EXPECT_EQ(header.out, "Client ID|Name line 1|Name line 2|Employer id|Name control|Average "
                          "employee count\r\n");
    TempDir dir;
    EXPECT_EQ(Cli({"header", "2", "--delimiter", "comma", "-o", dir.File("h.csv")}).status, 0);
    EXPECT_EQ(ReadFile(dir.File("h.csv")).substr(0, 26), "\"Client ID\",\"Name line 1\",");
}

TEST(CliCatalogue, UsageErrorsExitTwoWithOneLine)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "impmap-cli: missing verb (try --help)\n"},
        {{"frobnicate"}, "impmap-cli: unknown verb frobnicate (try --help)\n"},
        {{"schema", "1099-XYZ"}, "impmap-cli schema: unknown form 1099-XYZ\n"},
        {{"schema", "38"}, "impmap-cli schema: unknown form 38\n"},
        {{"schema"}, "impmap-cli schema: missing FORM\n"},
        {{"header", "W-2"}, "impmap-cli header: missing --delimiter tab|comma|pipe\n"},
        {{"header", "W-2", "--delimiter", "semicolon"},
         "impmap-cli header: unknown delimiter semicolon\n"},
        {{"forms", "--bogus"}, "impmap-cli forms: unknown option --bogus\n"},
        {{"run"}, "impmap-cli run: missing MAPFILE\n"},
        {{"run", "x.MAP", "--today", "2022-13-01"},
         "impmap-cli run: --today takes a date as YYYY-MM-DD, not 2022-13-01\n"},
        {{"suggest", "W-2"}, "impmap-cli suggest: missing --source FILE\n"},
        {{"suggest", "--source", "x.csv"}, "impmap-cli suggest: missing FORM\n"},
        {{"suggest", "W-2", "--source", "x.csv", "--min-confidence", "101"},
         "impmap-cli suggest: --min-confidence takes a whole number from 0 to 100, not 101\n"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Cli({"--version"}).out, "impmap-cli 31.00\n");
    for (const char* verb : {"forms", "schema", "header", "run", "check", "tin-match", "suggest"}) {
        const CliRun help = Cli({verb, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("Usage: impmap-cli ", 0), 0u) << verb;
    }
}

TEST(CliRunVerb, ExampleMappingGivesTheImportLines)
{
    const CliRun run =
        Cli({"run", kExampleMap, "--source", kExampleSource, "--today", "2022-06-01"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadFile(test::DataPath("cli/example1099NEC.expected.txt")));
    EXPECT_EQ(run.err, "Your source file contains 2 NULL records.\nNULL records are skipped "
                       "during execution.\n");
}

// The learned choices of the tests live in a folder of their own, never the user's.
class CliSuggestVerb : public ::testing::Test
{
protected:
#ifdef _WIN32
    static constexpr const char* kVariable = "LOCALAPPDATA";
#else
    static constexpr const char* kVariable = "XDG_CONFIG_HOME";
#endif

    void SetUp() override
    {
        if (const char* value = std::getenv(kVariable))
            saved_ = value;
        SetVariable(dir.Path().string().c_str());
    }
    void TearDown() override
    {
        SetVariable(saved_ ? saved_->c_str() : nullptr);
    }

    // Sets the variable, or removes it for nullptr.
    static void SetVariable(const char* value)
    {
#ifdef _WIN32
        _putenv_s(kVariable, value != nullptr ? value : "");
#else
        if (value != nullptr)
            setenv(kVariable, value, 1);
        else
            unsetenv(kVariable);
#endif
    }

    TempDir dir;

private:
    std::optional<std::string> saved_;
};

TEST_F(CliSuggestVerb, PrintsEveryFieldAndWritesAMapFileThatRuns)
{
    const CliRun suggest = Cli({"suggest", "1099-NEC", "--source", kExampleSource});
    EXPECT_EQ(suggest.status, 0) << suggest.err;
    EXPECT_EQ(suggest.out, ReadFile(test::DataPath("cli/example1099NEC.suggest.txt")));
    EXPECT_EQ(suggest.err, "");

    const std::string map = dir.File("s.MAP");
    const CliRun write = Cli(
        {"suggest", "1099-NEC", "--source", kExampleSource, "--min-confidence", "91", "-o", map});
    EXPECT_EQ(write.status, 0);
    EXPECT_EQ(write.out, suggest.out);
    EXPECT_EQ(write.err, "6 of 28 fields mapped in " + map + "\n"); // not the 90 of the name
    const CliRun run = Cli({"run", map, "--today", "2022-06-01"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("\r\n")),
              ",,\"1 First Street\",,\"New York\",NY,10012-1002,,,,SSN,123456789,,,,,150000.5,,0,,"
              "0,0,,0,0,,,");

    // A learned choice from a map saved in the window comes first.
    WriteFile(dir.File("impmap-learned.txt"),
              "impmap learned choices 1\r\n1099-NEC\tAmount\tState 1 income\tCLIENT.MAP\r\n");
    const CliRun learned = Cli({"suggest", "1099-NEC", "--source", kExampleSource});
    EXPECT_NE(learned.out.find("State 1 income\t9\tAmount\t98\tlearned from your map CLIENT.MAP\n"),
              std::string::npos);
    EXPECT_NE(learned.out.find("Nonemployee compensation\t0\t\t0\t\n"), std::string::npos);
}

TEST_F(CliSuggestVerb, FilesThatCannotBeReadOrWrittenExitTwo)
{
    const CliRun missing = Cli({"suggest", "W-2", "--source", dir.File("none.csv")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("impmap-cli suggest: Cannot open file", 0), 0u) << missing.err;
    WriteFile(dir.File("empty.csv"), "");
    const CliRun empty = Cli({"suggest", "W-2", "--source", dir.File("empty.csv")});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "impmap-cli suggest: " + dir.File("empty.csv") + " is empty\n");
    const CliRun over = Cli({"suggest", "W-2", "--source", kExampleSource, "-o", kExampleSource});
    EXPECT_EQ(over.status, 2);
    EXPECT_NE(over.err.find("would replace"), std::string::npos) << over.err;
}

TEST(CliRunVerb, FailureLeavesNoOutput)
{
    TempDir dir;
    WriteFile(dir.File("src.csv"), "Name,TIN,Amount\r\nDoe,123456789,12A\r\n");
    WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + dir.File("src.csv") +
                                     "\r\nHeader=1\r\n[Destination]\r\nForm=1099-NEC\r\nMap=" +
                                     "001000000000000000000000000000000002000000000000003\r\n");
    const std::string out = dir.File("out.txt");
    WriteFile(out, "previous output\r\n");
    const CliRun run = Cli({"run", dir.File("m.MAP"), "-o", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Execution failed!\n\nDestination field \"Nonemployee compensation\" maps "
                       "to an invalid currency value \"12A\"\nStopped at source record 1 (line 2 "
                       "of " +
                           dir.File("src.csv") + ").\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(out), "previous output\r\n");

    WriteFile(dir.File("src.csv"), "Name,TIN,Amount\r\nDoe,123456789,12\r\nRoe,12-34,5\r\n");
    const CliRun good = Cli({"run", dir.File("m.MAP"), "-o", out});
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.err, "Record 2: Bad TIN 000012-34 (assigned to 000000000)\n");
    EXPECT_EQ(ReadFile(out), "Doe,,,,,,,,,,N/A,123456789,,,,,12,,0,,0,0,,0,0,,,\r\n"
                             "Roe,,,,,,,,,,N/A,000000000,,,,,5,,0,,0,0,,0,0,,,\r\n");
}

TEST(CliRunVerb, FilesAsSpreadsheetProgramsWriteThemStopOrRunAsTheySay)
{
    TempDir dir;
    const std::string source = dir.File("src.csv");
    const std::string broken =
        "Name,TIN,Amount\r\nDoe,123456789,5\r\n\"Roe\r\nJr\",987654321,6\r\n";
    const std::string joinHint =
        "Join such lines with: impmap-cli join-lines " + source + ", or run with --join-lines\n";
    const std::string semicolons =
        source + " looks semicolon-delimited; save it with commas or tabs.\n";
    struct Case
    {
        const char* name;
        std::string bytes;
        std::vector<std::string> options;
        int status;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"broken inside a quoted value: stops before writing anything",
         broken,
         {"run"},
         1,
         "",
         "Source record 2 ends inside a quoted value that continues on the next line (a cell "
         "with a line break). " +
             joinHint},
        {"joined for the run, the file untouched",
         broken,
         {"run", "--join-lines"},
         0,
         "Doe,,,,,,,,,,N/A,123456789,,,,,5,,0,,0,0,,0,0,,,\r\n"
         "\"Roe Jr\",,,,,,,,,,N/A,987654321,,,,,6,,0,,0,0,,0,0,,,\r\n",
         ""},
        {"a failure names the line of the file, joined lines and header counted",
         broken + "Poe,111223333,12A\r\n",
         {"run", "--join-lines"},
         1,
         "",
         "Execution failed!\n\nDestination field \"Nonemployee compensation\" maps to an "
         "invalid currency value \"12A\"\nStopped at source record 3 (line 5 of " +
             source + ").\n"},
        {"check warns of broken records and runs on",
         broken,
         {"check"},
         0,
         "Record 2: Warning: the record ends inside a quoted value; the next line continues it "
         "(a cell with a line break?)\n3 records checked, 1 problems\n",
         ""},
        {"semicolons: run",
         "Name;TIN;Amount\r\nDoe;123456789;980,50\r\n",
         {"run"},
         2,
         "",
         "impmap-cli run: " + semicolons},
        {"semicolons: check",
         "Name;TIN;Amount\r\n",
         {"check"},
         2,
         "",
         "impmap-cli check: " + semicolons},
    };
    for (const Case& c : cases) {
        WriteFile(source, c.bytes);
        WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + source +
                                         "\r\nHeader=1\r\n[Destination]\r\nForm=1099-NEC\r\nMap=" +
                                         "001000000000000000000000000000000002000000000000003\r\n");
        std::vector<std::string> args = {c.options[0], dir.File("m.MAP")};
        args.insert(args.end(), c.options.begin() + 1, c.options.end());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(ReadFile(source), c.bytes) << c.name;
    }
}

TEST(CliCheckVerb, ExportsOfPythonsCsvModuleWarnOfWhatTheConversionChanges)
{
    TempDir dir;
    const std::string comma = test::DataPath("exports/payees-comma.csv").string();
    const std::string joined = dir.File("joined.csv");
    // Name, street, state, zip, taxpayer id and amount of 1099-NEC.
    auto map = [&dir](const std::string& source) {
        WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + source +
                                         "\r\nDelimiter=1\r\nHeader=1\r\n[Destination]\r\n"
                                         "Form=1099-NEC\r\nMap=001000003000000005006000000000000002"
                                         "000000000000004\r\n");
        return dir.File("m.MAP");
    };
    const std::string decimalComma =
        "Warning: Destination field \"Nonemployee compensation\" holds \"98050\" from \"980,50\", "
        "a comma that is no thousands separator (a decimal comma?)";
    const std::string shortRow =
        "Warning: the record has 4 fields where the header has 7 (a missing or extra delimiter?)";
    const std::string pieces = "Warning: Destination field \"Nonemployee compensation\" holds "
                               "\"235.56\" from \"1 234.56\", blank-separated pieces added up";
    const CliRun check =
        Cli({"check", map(comma), "--today", "2022-06-01", "--problem-records", dir.File("p.csv")});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "Record 2: Warning: the record ends inside a quoted value; the next line "
                         "continues it (a cell with a line break?)\n"
                         "Record 5: " +
                             decimalComma + "\nRecord 6: " + shortRow + "\nRecord 6: " + pieces +
                             "\n6 records checked, 4 problems\n");
    auto quoted = [](const std::string& text) {
        std::string out = "\"";
        for (const char c : text)
            out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    };
    EXPECT_EQ(ReadFile(dir.File("p.csv")), "Name,TIN,Address,Amount,State,Zip,Zip ext,Problems\r\n"
                                           "Bo Poe,10-1234569,2 Elm St,\"980,50\",CA,90210,1234," +
                                               quoted(decimalComma) +
                                               "\r\nCy Roe,10-1234560,3 Pine St,1 234.56,,,," +
                                               quoted(shortRow + "; " + pieces) + "\r\n");

    ASSERT_EQ(Cli({"join-lines", comma, "-o", joined}).status, 0);
    const CliRun again = Cli({"check", map(joined), "--today", "2022-06-01"});
    EXPECT_EQ(again.out,
              "Record 2: Warning: Destination field \"State\" holds \"ny\", a state code in lower "
              "case\nRecord 2: Warning: Destination field \"Nonemployee compensation\" holds "
              "\"250\" from \"($250.00)\", a negative amount written as positive (the field takes "
              "none)\nRecord 4: " +
                  decimalComma + "\nRecord 5: " + shortRow + "\nRecord 5: " + pieces +
                  "\n5 records checked, 5 problems\n");

    // LibreOffice writes the same rows to the sheet's width, LF-ended: no short row; the rest as
    // above, and the blank row a NULL record.
    const std::string office = test::DataPath("exports/payees-libreoffice.csv").string();
    const CliRun officeCheck = Cli({"check", map(office), "--today", "2022-06-01"});
    EXPECT_EQ(officeCheck.out, "Record 2: Warning: the record ends inside a quoted value; the next "
                               "line continues it (a cell with a line break?)\nRecord 5: " +
                                   decimalComma + "\nRecord 6: " + pieces +
                                   "\n6 records checked, 3 problems\n");
    const CliRun officeRun = Cli({"run", map(office), "--today", "2022-06-01"});
    EXPECT_EQ(officeRun.status, 1);
    EXPECT_NE(officeRun.err.find("Source record 2 ends inside a quoted value"), std::string::npos)
        << officeRun.err;

    const std::string semicolon = test::DataPath("exports/payees-semicolon.csv").string();
    const CliRun refused = Cli({"run", map(semicolon)});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "impmap-cli run: " + semicolon +
                               " looks semicolon-delimited; save it with commas "
                               "or tabs.\n");
}

TEST(CliRunVerb, UnreadableFilesExitTwo)
{
    TempDir dir;
    const CliRun missing = Cli({"run", dir.File("none.MAP")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("impmap-cli run: Cannot open file \"", 0), 0u) << missing.err;

    WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + dir.File("gone.csv") +
                                     "\r\n[Destination]\r\nForm=W-2\r\nMap=001\r\n");
    const CliRun gone = Cli({"check", dir.File("m.MAP")});
    EXPECT_EQ(gone.status, 2);
    EXPECT_NE(gone.err.find("gone.csv"), std::string::npos);
}

// A stream whose every write fails as on a full disk.
class FullDiskBuffer : public std::streambuf
{
protected:
    int overflow(int) override
    {
        errno = ENOSPC;
        return traits_type::eof();
    }
    std::streamsize xsputn(const char*, std::streamsize) override
    {
        errno = ENOSPC;
        return 0;
    }
};

TEST(CliOutput, OutputThatCannotBeWrittenExitsTwoWithTheReason)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"forms"}, "impmap-cli: Cannot write to standard output. No space left on device\n"},
        {{"schema", "W-2"},
         "impmap-cli: Cannot write to standard output. No space left on device\n"},
        {{"--help"}, "impmap-cli: Cannot write to standard output. No space left on device\n"},
        {{"run", "--help"},
         "impmap-cli: Cannot write to standard output. No space left on device\n"},
        {{"header", "W-2", "--delimiter", "tab"},
         "impmap-cli: Cannot write to standard output. No space left on device\n"},
        {{"run", kExampleMap, "--source", kExampleSource},
         "impmap-cli run: Cannot write to standard output. No space left on device\n"},
    };
    for (const auto& [args, message] : cases) {
        FullDiskBuffer full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(cli::RunCli(args, out, err), 2) << args[0];
        EXPECT_EQ(err.str(), message) << args[0];
    }
}

TEST(CliRunVerb, OutputFileProblemsExitTwoAndKeepEveryFile)
{
    TempDir dir;
    WriteFile(dir.File("src.txt"), ReadFile(kExampleSource));
    fs::create_directory(dir.Path() / "folder");
    const std::string src = dir.File("src.txt");
    struct Case
    {
        std::string output;
        std::string message;
    };
    const Case cases[] = {
        {src, "impmap-cli run: Cannot create file \"" + src + "\". It is the input file \"" + src +
                  "\", which the output would replace\n"},
        {kExampleMap, "impmap-cli run: Cannot create file \"" + kExampleMap +
                          "\". It is the input file \"" + kExampleMap +
                          "\", which the output would replace\n"},
        {dir.File("folder"),
         "impmap-cli run: Cannot create file \"" + dir.File("folder") + "\". Is a directory\n"},
        {dir.File("none/out.txt"), "impmap-cli run: Cannot create file \"" +
                                       dir.File("none/out.txt") +
                                       "\". No such file or directory\n"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli({"run", kExampleMap, "--source", src, "-o", c.output});
        EXPECT_EQ(run.status, 2) << c.output;
        EXPECT_EQ(run.err, c.message);
    }
    EXPECT_EQ(ReadFile(src), ReadFile(kExampleSource));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder", "src.txt"}));
}

TEST(CliCheckVerb, ListsEveryProblemThenTheCount)
{
    TempDir dir;
    WriteFile(dir.File("src.csv"),
              "Doe,123456789,12A\r\n\r\nRoe,12-34,5\r\nPoe,1,$(7)\r\nLoe,9,x y\r\n");
    WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + dir.File("src.csv") +
                                     "\r\n[Destination]\r\nForm=1099-NEC\r\nMap=" +
                                     "001000000000000000000000000000000002000000000000003\r\n");
    const CliRun run = Cli({"check", dir.File("m.MAP")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "Record 1: Destination field \"Nonemployee compensation\" maps to an invalid "
              "currency value \"12A\"\n"
              "Record 3: Bad TIN 000012-34 (assigned to 000000000)\n"
              "Record 4: Warning: Destination field \"Taxpayer id\" holds \"000000001\", padded "
              "with leading zeros from \"1\"\n"
              "Record 4: Warning: Destination field \"Nonemployee compensation\" holds \"7\" "
              "from \"$(7)\", a negative amount written as positive (the field takes none)\n"
              "Record 5: Destination field \"Nonemployee compensation\" maps to an invalid "
              "currency value \"X Y\"\n"
              "Record 5: Warning: Destination field \"Taxpayer id\" holds \"000000009\", padded "
              "with leading zeros from \"9\"\n"
              "5 records checked, 6 problems\n");
}

} // namespace
} // namespace impmap

namespace impmap {
namespace {

// A 1099-NEC map onto a source of name, taxpayer id and amount in the given delimiter.
class CliProblemRecords : public ::testing::Test
{
protected:
    void Write(char delimiter, int header, const std::string& source)
    {
        const int index = delimiter == '\t' ? 0 : (delimiter == ',' ? 1 : 2);
        WriteFile(dir.File("src.txt"), source);
        WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + dir.File("src.txt") +
                                         "\r\nDelimiter=" + std::to_string(index) +
                                         "\r\nHeader=" + std::to_string(header) +
                                         "\r\n[Destination]\r\nForm=1099-NEC\r\nMap=" +
                                         "001000000000000000000000000000000002000000000000003\r\n");
    }

    TempDir dir;
};

std::string Joined(const std::vector<std::string>& fields, char delimiter)
{
    std::string line;
    for (const std::string& field : fields)
        line += (line.empty() ? "" : std::string(1, delimiter)) + field;
    return line;
}

TEST_F(CliProblemRecords, RecordsAsTheyStandWithTheirProblemsForEveryDelimiter)
{
    const std::string padded = "Warning: Destination field \"Taxpayer id\" holds \"000012345\", "
                               "padded with leading zeros from \"12345\"";
    const std::string badAmount =
        "Destination field \"Nonemployee compensation\" maps to an invalid currency value \"12A\"";
    const std::string badTin = "Destination field \"Taxpayer id\" maps to an invalid taxpayer "
                               "identification value \"000000TIN\"";
    const std::string badHeaderAmount = "Destination field \"Nonemployee compensation\" maps to "
                                        "an invalid currency value \"AMOUNT\"";
    for (const char delimiter : {'\t', ',', '|'}) {
        const std::string name = delimiter == ',' ? "\"Lee, Bo\"" : "Lee Bo";
        const std::string source = Joined({"NAME", "TIN", "AMOUNT"}, delimiter) + "\r\n" +
                                   Joined({"Ann", "101234567", "12.50"}, delimiter) + "\n" +
                                   Joined({name, " 12345", "5"}, delimiter) + "\r\n\r\n" +
                                   Joined({"Roe", "101234568", "12A"}, delimiter) + "\r";
        // The problems column as the delimiter wants it.
        auto column = [delimiter](const std::string& text) {
            if (delimiter != ',')
                return text;
            std::string quoted = "\"";
            for (char c : text)
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            return quoted + "\"";
        };
        for (const int header : {0, 1}) {
            SCOPED_TRACE(std::string("delimiter ") + delimiter + " header " +
                         std::to_string(header));
            Write(delimiter, header, source);
            const std::string out = dir.File("problems.txt");
            const CliRun run = Cli({"check", dir.File("m.MAP"), "--problem-records", out});
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, "");
            std::string expected =
                header == 1
                    ? Joined({"NAME", "TIN", "AMOUNT", "Problems"}, delimiter) + "\r\n"
                    : Joined({"NAME", "TIN", "AMOUNT", column(badTin + "; " + badHeaderAmount)},
                             delimiter) +
                          "\r\n";
            expected += Joined({name, " 12345", "5", column(padded)}, delimiter) + "\r\n";
            expected += Joined({"Roe", "101234568", "12A", column(badAmount)}, delimiter) + "\r\n";
            EXPECT_EQ(ReadFile(out), expected);
        }
    }
}

TEST_F(CliProblemRecords, NoProblemWritesTheHeaderAloneAndAnUnwritableFileExitsTwo)
{
    Write(',', 1, "NAME,TIN,AMOUNT\r\nAnn,101234567,1\r\n");
    const CliRun clean = Cli({"check", dir.File("m.MAP"), "--problem-records", dir.File("p.csv")});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "1 records checked, 0 problems\n");
    EXPECT_EQ(ReadFile(dir.File("p.csv")), "NAME,TIN,AMOUNT,Problems\r\n");

    const std::string missing = dir.File("none/p.csv");
    const CliRun bad = Cli({"check", dir.File("m.MAP"), "--problem-records", missing});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("impmap-cli check: Cannot create file \"" + missing + "\". ", 0), 0u)
        << bad.err;

    // Naming the source file would replace it: refused, the source kept.
    const std::string source = ReadFile(dir.File("src.txt"));
    const CliRun over = Cli({"check", dir.File("m.MAP"), "--problem-records", dir.File("src.txt")});
    EXPECT_EQ(over.status, 2);
    EXPECT_EQ(over.err, "impmap-cli check: Cannot create file \"" + dir.File("src.txt") +
                            "\". It is the source file, which it would replace\n");
    EXPECT_EQ(ReadFile(dir.File("src.txt")), source);
}

TEST_F(CliProblemRecords, TotalsGoToStandardErrorAfterRunAndCheck)
{
    Write(',', 1,
          "NAME,TIN,AMOUNT\r\nAnn,101234567,\"1,234.50\"\r\nBo,101234568,0\r\n"
          "Cy,101234569,(10)\r\n");
    const CliRun run = Cli({"run", dir.File("m.MAP"), "--totals", "-o", dir.File("o.txt")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Nonemployee compensation\t2\t1244.5\n");
    const CliRun plain = Cli({"run", dir.File("m.MAP"), "-o", dir.File("o.txt")});
    EXPECT_EQ(plain.err, "");
    const CliRun check = Cli({"check", dir.File("m.MAP"), "--totals"});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "Record 3: Warning: Destination field \"Nonemployee compensation\" "
                         "holds \"10\" from \"(10)\", a negative amount written as positive (the "
                         "field takes none)\n3 records checked, 1 problems\n");
    EXPECT_EQ(check.err, "Nonemployee compensation\t2\t1244.5\n");
}

TEST(CliJoinLinesVerb, JoinsBrokenRecordsAndChecksWarnOfThem)
{
    TempDir dir;
    const std::string broken = "\xEF\xBB\xBF"
                               "Doe,\"1 Main St\rApt 2\",5\rRoe,x,6\r";
    WriteFile(dir.File("src.csv"), broken);
    WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + dir.File("src.csv") +
                                     "\r\n[Destination]\r\nForm=1099-NEC\r\nMap=001\r\n");
    const CliRun check = Cli({"check", dir.File("m.MAP")});
    EXPECT_EQ(check.out, "Record 1: Warning: the record ends inside a quoted value; the next "
                         "line continues it (a cell with a line break?)\n"
                         "3 records checked, 1 problems\n");
    EXPECT_EQ(check.status, 0);

    const CliRun copy = Cli({"join-lines", dir.File("src.csv"), "-o", dir.File("out.csv")});
    EXPECT_EQ(copy.status, 0);
    EXPECT_EQ(copy.out, dir.File("src.csv") +
                            ": 1 line break inside quoted values replaced by blanks, written to " +
                            dir.File("out.csv") + "\n");
    EXPECT_EQ(ReadFile(dir.File("out.csv")), "\xEF\xBB\xBF"
                                             "Doe,\"1 Main St Apt 2\",5\rRoe,x,6\r");
    EXPECT_EQ(ReadFile(dir.File("src.csv")), broken);

    const CliRun inPlace = Cli({"join-lines", dir.File("src.csv")});
    EXPECT_EQ(inPlace.status, 0);
    EXPECT_EQ(ReadFile(dir.File("src.csv")), ReadFile(dir.File("out.csv")));
    const CliRun again = Cli({"join-lines", dir.File("src.csv")});
    EXPECT_EQ(again.out,
              dir.File("src.csv") + ": no line ends inside a quoted value; nothing written\n");

    const CliRun missing = Cli({"join-lines"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "impmap-cli join-lines: missing SOURCE\n");
}

// UTF-16, empty and binary sources: every verb exits 2 with the words the window shows.
TEST(CliJoinLinesVerb, SourcesThatAreNotTextAreRefusedByEveryVerb)
{
    TempDir dir;
    const std::string source = dir.File("source.csv");
    std::string binary = "MZ";
    for (int i = 0; i < 500; ++i)
        binary += std::string("\0\0\x03\xFF", 4);
    const struct
    {
        const char* name;
        std::string bytes;
        std::string reason;
    } cases[] = {
        {"UTF-16", std::string("\xFE\xFF\0a\0,\0b", 8),
         "Cannot open file \"" + source +
             "\". It is UTF-16 BE text, which cannot be read here: save it as UTF-8 or ANSI "
             "text and open it again\n"},
        {"empty", "", source + " is empty\n"},
        {"binary", binary, source + " does not look like a delimited text file\n"},
    };
    WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + source +
                                     "\r\n[Destination]\r\nForm=1099-NEC\r\nMap=001\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(source, c.bytes);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"run", dir.File("m.MAP")},
              std::vector<std::string>{"check", dir.File("m.MAP")},
              std::vector<std::string>{"join-lines", source}}) {
            const CliRun run = Cli(args);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "impmap-cli " + args[0] + ": " + c.reason);
        }
    }
}

// The example map names its source by a relative path: it is found beside the map.
TEST(CliRunVerb, RelativeFileSpecIsFoundBesideTheMap)
{
    const CliRun run = Cli({"run", kExampleMap, "--today", "2022-06-01"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadFile(test::DataPath("cli/example1099NEC.expected.txt")));
}

} // namespace
} // namespace impmap

#include "../TestSupport.h"
#include "mapping/Workspace.h"
#include "schema/FormCatalogue.h"
#include "tinmatch/TinMatchFiles.h"
#include "tinmatch/TinMatchLayout.h"
#include "tinmatch/TinMatchName.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace impmap {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::CliRun;
using test::FileNames;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(TinMatchName, KeepsWhatTheIrsTakes)
{
    const std::string letters40 = "Abcdefghij Abcdefghij Abcdefghij Abcdefg";
    const struct
    {
        const char* name;
        TextEncoding encoding;
        std::string expected;
    } cases[] = {
        {"O'Brien & Sons, LLC", TextEncoding::Utf8, "OBrien & Sons LLC"},
        {"Smith-Jones #2 (Trust).", TextEncoding::Utf8, "Smith-Jones 2 Trust"},
        {"M\xC3\xBCller L\xC3\xBC"
         "denscheidt",
         TextEncoding::Utf8, "Muller Ludenscheidt"},
        {"Stra\xC3\x9F"
         "e",
         TextEncoding::Utf8, "Strasse"},
        {"Jos\xC3\xA9 N\xC3\xBA\xC3\xB1"
         "ez",
         TextEncoding::Utf8, "Jose Nunez"},
        {"Jos\xE9 N\xFA\xF1"
         "ez",
         TextEncoding::Windows1252, "Jose Nunez"},
        {"\xC5\x92uvre \xC3\x86r\xC3\xB8 \xC3\x9E\xC3\xB3r", TextEncoding::Utf8,
         "OEuvre AEro THor"},
        {"\xC5\x81"
         "ukasz \xC5\xBB\xC3\xB3\xC5\x82"
         "w",
         TextEncoding::Utf8, "Lukasz Zolw"},
        {"\x8Aimon \x9E"
         "ena \x9F"
         "ves",
         TextEncoding::Windows1252, "Simon zena Yves"},
        {"Ren"
         "e\xCC\x81",
         TextEncoding::Utf8, "Rene"},                             // a combining accent is dropped
        {"3 \xC3\x97 4 \xC3\xB7 2", TextEncoding::Utf8, "3 4 2"}, // signs are no letters
        {"  Ann \t Lee\r\n ", TextEncoding::Utf8, "Ann Lee"},
        {"Ann , Lee", TextEncoding::Utf8, "Ann Lee"},
        {"Ann\xC2\xA0Lee", TextEncoding::Utf8, "Ann Lee"},
        {"Ann\xA0Lee", TextEncoding::Windows1252, "Ann Lee"},
        {"Ann\xFF\xC3 Lee\xE2\x82", TextEncoding::Utf8, "Ann Lee"}, // bytes that are no UTF-8
        {"\xE6\x9D\x8E\xE5\xB0\x8F", TextEncoding::Utf8, ""},
        {"'\"!?", TextEncoding::Utf8, ""},
        {"", TextEncoding::Utf8, ""},
        {"Abcdefghij Abcdefghij Abcdefghij Abcdefghij", TextEncoding::Utf8, letters40},
        {"Abcdefghij Abcdefghij Abcdefghij Abcdefg  Hij", TextEncoding::Utf8, letters40},
        {"Abcdefghij Abcdefghij Abcdefghij Abcdefg' X", TextEncoding::Utf8, letters40},
        {"Abcdefghij Abcdefghij Abcdefghij Abcdef\xC3\x9F", TextEncoding::Utf8,
         "Abcdefghij Abcdefghij Abcdefghij Abcdefs"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TinMatchName(c.name, c.encoding), c.expected) << c.name;
    EXPECT_EQ(TinMatchName(std::string(1 << 20, 'x'), TextEncoding::Utf8), std::string(40, 'x'));
}

TEST(TinMatchType, FromTheConvertedTinType)
{
    const std::pair<const char*, int> cases[] = {
        {"EIN", 1}, {" ein ", 1}, {"SSN", 2},  {"ITIN", 2}, {"ATIN", 2},
        {"N/A", 3}, {"", 3},      {"EINS", 3}, {"1", 3},
    };
    for (const auto& [type, expected] : cases)
        EXPECT_EQ(TinMatchType(type), expected) << type;
}

TEST(TinMatchRefusal, NamesWhyAMappingCannotGiveRequests)
{
    const auto refusal = [](const char* form, bool mapTin, bool fixName) {
        Workspace workspace;
        workspace.ChooseForm(FindFormIndex(form));
        std::vector<DestinationRow> rows = workspace.Rows();
        for (DestinationRow& row : rows) {
            if (row.caption == "Taxpayer id" && mapTin)
                row.sourceFieldNo = 2;
            if (row.caption == "Name line 1" && fixName)
                row.value = "Acme";
        }
        return TinMatchRefusal(workspace.FormIndex(), rows);
    };
    EXPECT_EQ(refusal("1099-NEC", true, true), "");
    EXPECT_EQ(refusal("1099-R", true, true), "");
    EXPECT_EQ(refusal("W-2", true, true),
              "The IRS's TIN Matching program serves the 1099 forms only, not W-2");
    EXPECT_EQ(refusal("1098", true, true),
              "The IRS's TIN Matching program serves the 1099 forms only, not 1098");
    EXPECT_EQ(refusal("1099-LTC", true, true), "The layout 1099-LTC has no \"Taxpayer id\" and "
                                               "no \"Name line 1\" row for TIN Matching");
    EXPECT_EQ(refusal("1099-NEC", false, true),
              "Destination field \"Taxpayer id\" is neither mapped nor given a fixed value, which "
              "TIN Matching needs");
    EXPECT_EQ(refusal("1099-NEC", true, false),
              "Destination field \"Name line 1\" is neither mapped nor given a fixed value, which "
              "TIN Matching needs");
    EXPECT_EQ(TinMatchRefusal(-1, {}), "No form is chosen");
}

TEST(TinMatchFiles, SplitsIntoPartsAndReplacesThemTogether)
{
    EXPECT_EQ(TinMatchPartPath("/d/tin.txt", 1), fs::path("/d/tin.txt"));
    EXPECT_EQ(TinMatchPartPath("/d/tin.txt", 12), fs::path("/d/tin_12.txt"));
    EXPECT_EQ(TinMatchPartPath("/d/tin", 2), fs::path("/d/tin_2"));
    EXPECT_EQ(TinMatchPartPath("/d/a.b.txt", 3), fs::path("/d/a.b_3.txt"));

    for (const int lines : {6, 7}) {
        SCOPED_TRACE(lines);
        TempDir dir;
        TinMatchFiles files(dir.Path() / "tin.txt", {}, 3);
        for (int i = 1; i <= lines; ++i)
            files.Add("line " + std::to_string(i));
        // Nothing replaces a file before all are written.
        EXPECT_FALSE(fs::exists(dir.Path() / "tin.txt"));
        const std::vector<TinMatchPart> parts = files.Commit();
        ASSERT_EQ(parts.size(), lines == 6 ? 2u : 3u);
        EXPECT_EQ(parts[0].path, dir.Path() / "tin.txt");
        EXPECT_EQ(parts[1].path, dir.Path() / "tin_2.txt");
        EXPECT_EQ(parts.back().lines, lines == 6 ? 3 : 1);
        EXPECT_EQ(ReadFile(dir.Path() / "tin.txt"), "line 1\r\nline 2\r\nline 3\r\n");
        EXPECT_EQ(ReadFile(dir.Path() / "tin_2.txt"), "line 4\r\nline 5\r\nline 6\r\n");
        EXPECT_EQ(FileNames(dir.Path()).size(), parts.size());
    }
}

TEST(TinMatchFiles, APartThatCannotBeWrittenLeavesEveryFileAsItWas)
{
    TempDir dir;
    WriteFile(dir.Path() / "tin.txt", "old\r\n");
    WriteFile(dir.Path() / "tin_2.txt", "old 2\r\n");
    fs::permissions(dir.Path() / "tin_2.txt", fs::perms::owner_read);
    try {
        TinMatchFiles files(dir.Path() / "tin.txt", {}, 2);
        for (int i = 1; i <= 3; ++i)
            files.Add("line");
        files.Commit();
        ADD_FAILURE() << "no FileError";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" +
                                             (dir.Path() / "tin_2.txt").string() +
                                             "\". Permission denied");
    }
    EXPECT_EQ(ReadFile(dir.Path() / "tin.txt"), "old\r\n");
    EXPECT_EQ(FileNames(dir.Path()), (std::vector<std::string>{"tin.txt", "tin_2.txt"}));

    // An input is never replaced.
    WriteFile(dir.Path() / "src_2.csv", "source\r\n");
    TinMatchFiles files(dir.Path() / "src.csv", {dir.Path() / "src_2.csv"}, 1);
    files.Add("line");
    EXPECT_THROW(files.Add("line"), FileError);
    EXPECT_EQ(ReadFile(dir.Path() / "src_2.csv"), "source\r\n");
}

// ---- The batch command -------------------------------------------------------------------------

// A 1099-NEC map of name, TIN type, taxpayer id and amount, comma-delimited, onto source.
class TinMatchCli : public ::testing::Test
{
protected:
    void Write(const std::string& source, const std::string& form = "1099-NEC")
    {
        WriteFile(dir.File("src.csv"), source);
        std::string map = "001";
        for (int i = 2; i <= 10; ++i)
            map += "000";
        map += "002003000000000000004";
        WriteFile(dir.File("m.MAP"), "[Source]\r\nFileSpec=" + dir.File("src.csv") +
                                         "\r\nDelimiter=1\r\n[Destination]\r\nForm=" + form +
                                         "\r\nMap=" + map + "\r\n");
    }
    CliRun TinMatch(const std::string& output = "tin.txt")
    {
        return Cli({"tin-match", dir.File("m.MAP"), "-o", dir.File(output)});
    }

    TempDir dir;
};

TEST_F(TinMatchCli, WritesTheRunsValuesAndNamesTheRecordsLeftOut)
{
    Write("Ann Lee,2,101234567,10\r\n"
          "\"O'Brien & Sons, LLC\",1,201234567,20\r\n"
          "\r\n"
          "Bad Tin,2,12-34,5\r\n"
          ",2,301234567,5\r\n"
          "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1"
          "ez,,40-1234567,7\r\n"
          "Cy Roe,,501234567,x\r\n"
          "'?,2,601234567,8\r\n");
    const CliRun run = TinMatch();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "4 lines written to " + dir.File("tin.txt") +
                           "\n4 records left out (listed on standard error)\n");
    EXPECT_EQ(run.err, "Record 3: left out: NULL record\n"
                       "Record 4: left out: bad TIN 000012-34\n"
                       "Record 5: left out: empty name\n"
                       "Record 8: left out: no letter or digit in the name\n");
    // A bad amount does not keep a record out; a hyphen in the EIN's place makes it one.
    EXPECT_EQ(ReadFile(dir.File("tin.txt")), "2;101234567;Ann Lee;1\r\n"
                                             "1;201234567;OBrien & Sons LLC;2\r\n"
                                             "1;401234567;Jose Nunez;6\r\n"
                                             "3;501234567;Cy Roe;7\r\n");
}

TEST_F(TinMatchCli, ABadFirstTinAndTrailingNullRecordsAreLeftOutToo)
{
    Write("Ann Lee,2,12345678X,10\r\nBo Poe,2,101234567,1\r\nCy\r\n\r\n\r\n");
    const CliRun run = TinMatch();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Record 1: left out: bad TIN 12345678X\n"
                       "Record 3: left out: no TIN\n"
                       "Record 4: left out: NULL record\n"
                       "Record 5: left out: NULL record\n");
    EXPECT_EQ(ReadFile(dir.File("tin.txt")), "2;101234567;Bo Poe;2\r\n");
}

TEST_F(TinMatchCli, SplitsAtOneHundredThousandLines)
{
    std::string source;
    const long records = kTinMatchLinesPerFile + 2;
    for (long r = 1; r <= records; ++r)
        source += r == 7 ? std::string("\r\n")
                         : "Payee " + std::to_string(r) + ",2," + std::to_string(100000000 + r) +
                               ",1\r\n";
    Write(source);
    WriteFile(dir.File("tin_2.txt"), "old\r\n");
    WriteFile(dir.File("tin_3.txt"), "older\r\n");
    const CliRun run = TinMatch();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "Record 7: left out: NULL record\nimpmap-cli tin-match: " + dir.File("tin_3.txt") +
                  " is left from an earlier request; do not send it with these\n");
    EXPECT_EQ(run.out, "100000 lines written to " + dir.File("tin.txt") + "\n1 line written to " +
                           dir.File("tin_2.txt") +
                           "\n1 record left out (listed on standard error)\n");
    const std::string first = ReadFile(dir.File("tin.txt"));
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), kTinMatchLinesPerFile);
    EXPECT_EQ(first.substr(0, 46), "2;100000001;Payee 1;1\r\n2;100000002;Payee 2;2\r\n");
    EXPECT_TRUE(first.ends_with("2;100100001;Payee 100001;100001\r\n"));
    EXPECT_EQ(ReadFile(dir.File("tin_2.txt")), "2;100100002;Payee 100002;100002\r\n");
}

TEST_F(TinMatchCli, ExitStatusesAndTheirMessages)
{
    const std::string good = "Ann Lee,2,101234567,10\r\n";
    const struct
    {
        std::string source;
        std::string form;
        std::vector<std::string> args; // after MAPFILE; -o tin.txt when empty
        int status;
        std::string err;
    } cases[] = {
        {good,
         "W-2",
         {},
         1,
         "impmap-cli tin-match: The IRS's TIN Matching program serves the 1099 forms only, not "
         "W-2\n"},
        {good,
         "1099-LTC",
         {},
         1,
         "impmap-cli tin-match: The layout 1099-LTC has no \"Taxpayer id\" and no \"Name line "
         "1\" row for TIN Matching\n"},
        {"\r\n,2,101234567,1\r\n",
         "1099-NEC",
         {},
         1,
         "Record 1: left out: NULL record\nRecord 2: left out: empty name\n"
         "impmap-cli tin-match: no record can be sent for TIN Matching; nothing was written\n"},
        {good, "1099-NEC", {"--today", "2022-06-01"}, 2, "impmap-cli tin-match: missing -o FILE\n"},
        {good,
         "1099-NEC",
         {"-o", "none/tin.txt"},
         2,
         "impmap-cli tin-match: Cannot create file \"DIR/none/tin.txt\". No such file or "
         "directory\n"},
        {good,
         "1099-NEC",
         {"-o", "src.csv"},
         2,
         "impmap-cli tin-match: Cannot create file \"DIR/src.csv\". It is the input file "
         "\"DIR/src.csv\", which the output would replace\n"},
        {good,
         "1099-NEC",
         {"-o", "t.txt", "--bogus"},
         2,
         "impmap-cli tin-match: unknown option --bogus\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form + " " + (c.args.empty() ? "" : c.args.back()));
        Write(c.source, c.form);
        std::vector<std::string> args = {"tin-match", dir.File("m.MAP")};
        for (const std::string& arg : c.args)
            args.push_back(arg == "none/tin.txt" || arg == "src.csv" ? dir.File(arg) : arg);
        if (c.args.empty())
            args.insert(args.end(), {"-o", dir.File("tin.txt")});
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, c.status);
        std::string err = c.err;
        // dir.File("") ends in the system's separator, as the paths given on the command line do.
        for (size_t at; (at = err.find("DIR/")) != std::string::npos;)
            err.replace(at, 4, dir.File(""));
        EXPECT_EQ(run.err, err);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(FileNames(dir.Path()), (std::vector<std::string>{"m.MAP", "src.csv"}));
    }
    const CliRun missing = Cli({"tin-match", dir.File("none.MAP"), "-o", dir.File("t.txt")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("impmap-cli tin-match: Cannot open file \"", 0), 0u);
}

// Records 1 to 15: "Payee N", SSN for 1 to 6, 10 and 13 to 15, none for 7 to 9, EIN for 11 and
// 12, taxpayer id 1012345NN (N + 60 from record 10 on); record 14 is NULL.
std::string FifteenPayees()
{
    std::string source;
    for (int r = 1; r <= 15; ++r) {
        if (r == 14) {
            source += "\r\n";
            continue;
        }
        const char* type = r <= 6 || r == 10 || r >= 13 ? "2" : (r <= 9 ? "" : "1");
        source += "Payee " + std::to_string(r) + "," + type + "," + std::to_string(101234560 + r) +
                  "," + std::to_string(r) + "\r\n";
    }
    return source;
}

TEST_F(TinMatchCli, CheckWarnsOfEveryAnswerThatIsNoMatch)
{
    Write(FifteenPayees());
    ASSERT_EQ(TinMatch().status, 0);
    EXPECT_EQ(ReadFile(dir.File("tin.txt")).substr(0, 69),
              "2;101234561;Payee 1;1\r\n2;101234562;Payee 2;2\r\n2;101234563;Payee 3;3\r\n");
    // The answers, as the IRS returns the lines with their codes; record 13's TIN has changed
    // since, and record 15 is answered twice.
    WriteFile(dir.File("res.txt"), "\xEF\xBB\xBF"
                                   "2;101234561;Payee 1;1;0\r\n"
                                   "2;101234562;Payee 2;2;1\r\n"
                                   "2;101234563;Payee 3;3;2\r\n"
                                   "\r\n"
                                   "2;101234564;Payee Four;4;3\r\n"
                                   "2;101234565;Payee 5;5;4\r\n"
                                   "2;101234566;Payee 6;6;5\r\n"
                                   "3;101234567;Payee 7;7;6\r\n"
                                   "3;101234568;Payee 8;8;7\r\n"
                                   "3;101234569;Payee 9;9;8\r\n"
                                   "2;101234570;Payee 10;10;6\r\n"
                                   "1;101234571;Payee 11;11;7\r\n"
                                   "1;101234572;Payee 12;12;8\r\n"
                                   "2;101234599;Payee 13;13;0\r\n"
                                   "2;101234575;Payee 15;15;3\r\n"
                                   " 2 ; 101234561 ; Payee 1 ; 1 ; 0 \n"
                                   "2;101234561;Payee 1;1\r\n"
                                   "2;101234561;Payee 1;1;0;x\r\n"
                                   "7;101234561;Payee 1;1;0\r\n"
                                   "2;1012;Payee 1;1;0\r\n"
                                   "2;101234561;Payee 1;x1;0\r\n"
                                   "2;101234561;Payee 1;99;0\r\n"
                                   "2;101234561;Payee 1;1;9\r\n"
                                   "2;101234575;Payee 15;15;0\r\n"
                                   "2;101234574;Payee 14;14;0");
    const CliRun run = Cli({"check", dir.File("m.MAP"), "--tin-results", dir.File("res.txt"),
                            "--problem-records", dir.File("fix.csv")});
    EXPECT_EQ(run.status, 0);
    const std::string tin = "Warning: Destination field \"Taxpayer id\" holds \"1012345";
    const std::string type = "Warning: Destination field \"TIN Type\" holds \"N/A\", TIN Matching ";
    const std::vector<std::string> warnings = {
        tin + "62\", TIN Matching code 1: TIN missing or not 9 digits",
        tin + "63\", TIN Matching code 2: TIN not currently issued",
        tin + "64\", TIN Matching code 3: name and TIN do not match (the name sent was \"Payee "
              "Four\"; the record's name is now \"Payee 4\")",
        tin + "65\", TIN Matching code 4: invalid request",
        tin + "66\", TIN Matching code 5: duplicate request",
        type + "code 6: TIN Type should be SSN: the IRS matched this number as an SSN",
        type + "code 7: TIN Type should be EIN: the IRS matched this number as an EIN",
        type + "code 8: TIN Type should be SSN or EIN: the IRS matched this number as both an "
               "SSN and an EIN",
    };
    std::string out, records;
    for (size_t i = 0; i < warnings.size(); ++i) {
        const int record = static_cast<int>(i) + 2;
        out += "Record " + std::to_string(record) + ": " + warnings[i] + "\n";
        std::string quoted;
        for (const char c : warnings[i])
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        records += "Payee " + std::to_string(record) + "," + (record <= 6 ? "2" : "") + "," +
                   std::to_string(101234560 + record) + "," + std::to_string(record) + ",\"" +
                   quoted + "\"\r\n";
    }
    EXPECT_EQ(run.out, out + "15 records checked, 8 problems\n");
    EXPECT_EQ(ReadFile(dir.File("fix.csv")), records);
    const std::string file = dir.File("res.txt");
    const std::string fields = " the 5 fields of an answer (TIN type;TIN;name;account "
                               "number;result code)\n";
    EXPECT_EQ(run.err,
              file + " line 17: not applied: fewer than" + fields + file +
                  " line 18: not applied: more than" + fields + file +
                  " line 19: not applied: the TIN type \"7\" is not 1, 2 or 3\n" + file +
                  " line 20: not applied: the TIN \"1012\" is not 9 digits\n" + file +
                  " line 21: not applied: the account number \"x1\" is not a record number\n" +
                  file + " line 22: not applied: record 99 is beyond the last record, 15\n" + file +
                  " line 23: not applied: the result code \"9\" is not one of 0 to 8\n" + file +
                  " line 14: stale, not applied: record 13 now has the TIN \"101234573\", the "
                  "answer is for 101234599\n" +
                  file + " line 25: not applied: record 14 is a NULL record\n" + file +
                  " line 15: not applied: record 15 is answered again in " + file +
                  " line 24, which is used\n" +
                  "TIN Matching results: 13 answers applied, 10 lines not applied\n");

    // Split files are given one after the other; a plain match warns of nothing, and a stale
    // answer read later leaves the earlier one for the record's TIN in force.
    WriteFile(dir.File("res_2.txt"), "2;101234575;Payee 15;15;5\r\n2;101234599;Payee 1;1;3\r\n");
    WriteFile(dir.File("res.txt"), "2;101234561;Payee 1;1;0\r\n");
    const CliRun split = Cli({"check", dir.File("m.MAP"), "--tin-results", dir.File("res.txt"),
                              "--tin-results", dir.File("res_2.txt")});
    EXPECT_EQ(split.out, "Record 15: Warning: Destination field \"Taxpayer id\" holds "
                         "\"101234575\", TIN Matching code 5: duplicate request\n"
                         "15 records checked, 1 problems\n");
    EXPECT_EQ(split.err, dir.File("res_2.txt") +
                             " line 2: stale, not applied: record 1 now has the TIN "
                             "\"101234561\", the answer is for 101234599\n"
                             "TIN Matching results: 2 answers applied, 1 line not applied\n");
}

TEST_F(TinMatchCli, CheckRefusesResultsItCannotApply)
{
    Write(FifteenPayees(), "W-2");
    WriteFile(dir.File("res.txt"), "2;101234561;Payee 1;1;0\r\n");
    const CliRun w2 = Cli({"check", dir.File("m.MAP"), "--tin-results", dir.File("res.txt")});
    EXPECT_EQ(w2.status, 2);
    EXPECT_EQ(w2.err, "impmap-cli check: cannot apply TIN Matching results. The IRS's TIN "
                      "Matching program serves the 1099 forms only, not W-2\n");
    EXPECT_EQ(w2.out, "");

    Write(FifteenPayees());
    const CliRun missing = Cli({"check", dir.File("m.MAP"), "--tin-results", dir.File("none.txt")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "impmap-cli check: Cannot open file \"" + dir.File("none.txt") +
                               "\". No such file or directory\n");
    fs::create_directory(dir.Path() / "folder");
    const CliRun folder = Cli({"check", dir.File("m.MAP"), "--tin-results", dir.File("folder")});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err.rfind("impmap-cli check: Cannot open file \"" + dir.File("folder"), 0),
              0u);
}

// The round trip the README shows.
TEST(TinMatchExample, RoundTripOfTheExample)
{
    TempDir dir;
    const std::string examples = IMPMAP_EXAMPLES;
    const std::string source = examples + "/EXAMPLE_SOURCE.TXT";
    const CliRun request = Cli({"tin-match", examples + "/example1099NEC.MAP", "--source", source,
                                "-o", dir.File("tin.txt")});
    EXPECT_EQ(request.status, 0);
    EXPECT_EQ(request.out, "4 lines written to " + dir.File("tin.txt") +
                               "\n2 records left out (listed on standard error)\n");
    EXPECT_EQ(request.err, "Record 2: left out: NULL record\nRecord 5: left out: NULL record\n");
    // The example answer is the request with a code on each line.
    const std::string answer = ReadFile(examples + "/EXAMPLE_TIN_RESULTS.TXT");
    std::string sent;
    for (size_t start = 0; start < answer.size();) {
        const size_t end = answer.find("\r\n", start);
        sent += answer.substr(start, answer.rfind(';', end) - start) + "\r\n";
        start = end + 2;
    }
    EXPECT_EQ(ReadFile(dir.File("tin.txt")), sent);
    const CliRun check = Cli({"check", examples + "/example1099NEC.MAP", "--source", source,
                              "--tin-results", examples + "/EXAMPLE_TIN_RESULTS.TXT"});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out,
              "Record 1: Warning: Destination field \"Taxpayer id\" holds \"123456789\", a social "
              "security number known from advertising and misuse\n"
              "Record 3: Warning: Destination field \"Taxpayer id\" holds \"123456780\", TIN "
              "Matching code 3: name and TIN do not match (the name sent was \"John B Smith\")\n"
              "Record 6: Warning: Destination field \"Taxpayer id\" holds \"321456780\", TIN "
              "Matching code 2: TIN not currently issued\n"
              "6 records checked, 3 problems\n");
    EXPECT_EQ(check.err, "TIN Matching results: 4 answers applied\n");
}

} // namespace
} // namespace impmap

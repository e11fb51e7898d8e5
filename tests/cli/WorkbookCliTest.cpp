#include "../core/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string_view>

namespace impmap {
namespace {

using test::Cli;
using test::CliRun;
using test::DataPath;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Book(const std::string& name)
{
    return DataPath("workbooks/" + name).string();
}

const std::string kMap = DataPath("workbooks/payees.MAP").string();

// The check report without the warnings about error cells, which only a workbook can give.
std::string WithoutErrorCells(const std::string& report, int& dropped)
{
    std::string out;
    size_t start = 0;
    dropped = 0;
    while (start < report.size()) {
        const size_t end = report.find('\n', start) + 1;
        const std::string line = report.substr(start, end - start);
        if (line.find(": Warning: cell ") != std::string::npos)
            ++dropped;
        else
            out += line;
        start = end;
    }
    return out;
}

// A row of nothing but commas becomes an empty line.
std::string BlankCommaOnlyRows(const std::string& csv)
{
    std::string out;
    std::size_t start = 0;
    while (start < csv.size()) {
        std::size_t end = csv.find('\n', start);
        if (end == std::string::npos)
            end = csv.size();
        const std::string_view row(csv.data() + start, end - start);
        if (row.empty() || row.find_first_not_of(',') != std::string_view::npos)
            out.append(row);
        if (end < csv.size())
            out.push_back('\n');
        start = end + 1;
    }
    return out;
}

TEST(CliWorkbook, EveryKindRunsAsItsAsShownCsvExport)
{
    const std::pair<const char*, const char*> kinds[] = {
        {"openpyxl.xlsx", "openpyxl-xlsx"},
        {"xlsxwriter.xlsx", "xlsxwriter-xlsx"},
        {"xlsxwriter-inline.xlsx", "xlsxwriter-inline-xlsx"},
        {"exceljs.xlsx", "exceljs-xlsx"},
        {"libreoffice.xlsx", "libreoffice-xlsx"},
        {"libreoffice.ods", "libreoffice-ods"},
        {"libreoffice.xls", "libreoffice-xls"},
    };
    TempDir dir;
    for (const auto& [book, csvName] : kinds) {
        SCOPED_TRACE(book);
        // The export's empty row is a row of commas; as a record it is the NULL record that the
        // workbook's empty row gives. Its wrapped cell is joined as join-lines does.
        std::string csv =
            ReadFile(DataPath(std::string("workbooks/expected/") + csvName + "-Payees 2022.csv"));
        csv = BlankCommaOnlyRows(csv);
        const std::string csvPath = dir.File("export.csv");
        WriteFile(csvPath, csv);
        ASSERT_EQ(Cli({"join-lines", csvPath}).status, 0);

        for (const char* verb : {"run", "check"}) {
            const CliRun fromCsv = Cli({verb, kMap, "--source", csvPath, "--today", "2022-06-01"});
            const CliRun fromBook =
                Cli({verb, kMap, "--source", Book(book), "--today", "2022-06-01"});
            EXPECT_EQ(fromBook.status, fromCsv.status) << verb;
            EXPECT_EQ(fromBook.err, fromCsv.err) << verb;
            if (std::string(verb) == "run") {
                EXPECT_EQ(fromBook.out, fromCsv.out);
                continue;
            }
            int dropped = 0;
            const std::string report = WithoutErrorCells(fromBook.out, dropped);
            EXPECT_EQ(dropped, 2);
            EXPECT_EQ(report.substr(0, report.rfind("5 records")),
                      fromCsv.out.substr(0, fromCsv.out.rfind("5 records")));
            EXPECT_EQ(fromCsv.out.substr(fromCsv.out.rfind("5 records")),
                      "5 records checked, 1 problems\n");
            EXPECT_EQ(report.substr(report.rfind("5 records")), "5 records checked, 3 problems\n");
        }
    }
}

TEST(CliWorkbook, CheckNamesTheErrorCells)
{
    const CliRun check =
        Cli({"check", kMap, "--today", "2022-06-01", "--source", Book("libreoffice.ods")});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.out,
              "Record 1: Warning: cell P2 holds the error #DIV/0!\n"
              "Record 3: Warning: cell P4 holds the error #N/A\n"
              "Record 5: Warning: Destination field \"Taxpayer id\" holds \"098765432\", an "
              "employer identification number with a prefix never assigned\n"
              "5 records checked, 3 problems\n");
}

TEST(CliWorkbook, SheetsAndConvert)
{
    const CliRun sheets = Cli({"sheets", Book("libreoffice.xls")});
    EXPECT_EQ(sheets.status, 0);
    EXPECT_EQ(sheets.out, "1\tPayees 2022\t6\t16\n2\tSecond\t3\t3\n3\tHidden\t1\t2\thidden\n");

    const CliRun second = Cli({"convert", Book("exceljs.xlsx"), "--sheet", "Second"});
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out, "Second sheet\t\t\r\na\t1\t2.5\r\nb\t2\t0.0000001\r\n");
    TempDir dir;
    EXPECT_EQ(
        Cli({"convert", Book("libreoffice.ods"), "--sheet", "3", "-o", dir.File("h.txt")}).status,
        0);
    EXPECT_EQ(ReadFile(dir.File("h.txt")), "hidden\t42\r\n");

    const std::string text = dir.File("plain.txt");
    WriteFile(text, "a,b\r\n");
    const std::pair<std::vector<std::string>, std::string> failures[] = {
        {{"convert", Book("openpyxl.xlsx"), "--sheet", "Payees"},
         "impmap-cli convert: Cannot open file \"" + Book("openpyxl.xlsx") +
             "\". The workbook has no sheet \"Payees\"; its sheets are \"Payees 2022\", "
             "\"Second\", \"Hidden\"\n"},
        {{"convert", text},
         "impmap-cli convert: Cannot open file \"" + text + "\". It is no workbook\n"},
        {{"sheets", Book("bad/binary.xlsb")},
         "impmap-cli sheets: Cannot open file \"" + Book("bad/binary.xlsb") +
             "\". Binary workbooks cannot be read; save it as .xlsx\n"},
        {{"run", kMap, "--source", Book("bad/protected.xlsx")},
         "impmap-cli run: Cannot open file \"" + Book("bad/protected.xlsx") +
             "\". The workbook is protected with a password; save an unprotected copy\n"},
        {{"sheets"}, "impmap-cli sheets: missing BOOK\n"},
    };
    for (const auto& [args, message] : failures) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(run.out, "");
    }
}

TEST(CliWorkbook, SheetOptionOverridesTheMapFilesSheet)
{
    TempDir dir;
    // The map file names the sheet; --sheet (a name or a number) replaces it.
    std::string map = ReadFile(kMap);
    map.replace(map.find("Sheet=Payees 2022"), 17, "Sheet=Second");
    const std::string secondMap = dir.File("second.MAP");
    WriteFile(secondMap, map);
    const CliRun second =
        Cli({"run", secondMap, "--source", Book("xlsxwriter.xlsx"), "--today", "2022-06-01"});
    const CliRun payees = Cli({"run", secondMap, "--source", Book("xlsxwriter.xlsx"), "--today",
                               "2022-06-01", "--sheet", "1"});
    const CliRun named =
        Cli({"run", kMap, "--source", Book("xlsxwriter.xlsx"), "--today", "2022-06-01"});
    EXPECT_EQ(payees.out, named.out);
    // The second sheet has three columns: the taxpayer id's column 4 and the others it lacks
    // are written empty.
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(second.out, "\"a 1 2.5\",,,,,,,,,,N/A,,,,,,0,,0,,0,0,,0,0,,,DEMO\r\n"
                          "\"b 2 0.0000001\",,,,,,,,,,N/A,,,,,,0,,0,,0,0,,0,0,,,DEMO\r\n");

    // tin-match reads the sheet named too.
    const CliRun tin = Cli({"tin-match", secondMap, "--source", Book("libreoffice.ods"), "--sheet",
                            "Payees 2022", "-o", dir.File("tin.txt")});
    EXPECT_EQ(tin.status, 0) << tin.err;
    EXPECT_EQ(
        ReadFile(dir.File("tin.txt")),
        "2;012345678;John A Doe;1\r\n2;123456780;John B Smith;3\r\n2;321456789;Jane A Doe;4\r\n"
        "1;098765432;Jurgen Muller-Ludenscheidt;5\r\n");

    // suggest reads the sheet named (the first visible one when none is), and its map keeps it.
    const CliRun suggested = Cli({"suggest", "1099-NEC", "--source", Book("xlsxwriter.xlsx"), "-o",
                                  dir.File("suggested.MAP")});
    const CliRun suggestedByName =
        Cli({"suggest", "1099-NEC", "--source", Book("xlsxwriter.xlsx"), "--sheet", "Payees 2022"});
    EXPECT_EQ(suggested.status, 0) << suggested.err;
    EXPECT_EQ(suggested.out, suggestedByName.out);
    EXPECT_NE(suggested.out.find("\nTaxpayer id\t4\tTax ID\t"), std::string::npos);
    EXPECT_NE(ReadFile(dir.File("suggested.MAP")).find("\r\nSheet=Payees 2022\r\n"),
              std::string::npos);
    const CliRun suggestedGone =
        Cli({"suggest", "1099-NEC", "--source", Book("xlsxwriter.xlsx"), "--sheet", "Gone"});
    EXPECT_EQ(suggestedGone.status, 2);
    EXPECT_NE(suggestedGone.err.find("The workbook has no sheet \"Gone\""), std::string::npos);

    const CliRun missing =
        Cli({"check", kMap, "--source", Book("xlsxwriter.xlsx"), "--sheet", "Gone"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "impmap-cli check: Cannot open file \"" + Book("xlsxwriter.xlsx") +
                               "\". The workbook has no sheet \"Gone\"; its sheets are \"Payees "
                               "2022\", \"Second\", \"Hidden\"\n");
}

} // namespace
} // namespace impmap

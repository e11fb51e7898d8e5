#include "workbook/Workbook.h"

#include "../TestSupport.h"
#include "ZipBuilder.h"
#include "io/FileIo.h"
#include "source/WorkbookSource.h"
#include "workbook/WorkbookError.h"

#include <chrono>
#include <gtest/gtest.h>

namespace impmap {
namespace {

using test::DataPath;
using test::TempDir;
using test::WriteFile;

// The payee sheet as every writer's workbook reads.
const char* const kPayees =
    "First Name\tMiddle\tLast Name\tTax ID\tAddress 1\tCity\tState\tZip\tAmount\tWithheld\tPaid "
    "On\tRate\tActive\tNote\tBalance\tCheck\r\n"
    "John\tA\tDoe\t012-34-5678\t1 First Street\tNew York\tNY\t02138\t150000.5\t15000.05\t01/15/"
    "2022\t24\tTRUE\tPays quarterly\t-1234.5\t#DIV/0!\r\n"
    "\r\n"
    "John\tB\tSmith\t123-45-6780\t2 Second Street\tLIC\tNY\t11101-1234\t3700.25\t0\t02/28/"
    "2022\t4.9\tFALSE\tTab here\t0.3\t#N/A\r\n"
    "Jane\tA\tDoe\t321-45-6789\t3 Third Street\tStaten Island\tNY\t10306\t4500\t450\t12/31/"
    "2022\t100\tTRUE\t  kept blanks  \t1234567.891\t\r\n"
    "J\xC3\xBCrgen\t\tM\xC3\xBCller-L\xC3\xBC"
    "denscheidt\t09-8765432\t4 Fourth Street\tGarden City\tNY\t11512\t16000\t1600.4\t02/29/"
    "2000\t12.5\tFALSE\t\xE6\x97\xA5\xE6\x9C\xAC\t-250\t\r\n";

const char* const kWriters[] = {"openpyxl.xlsx",  "xlsxwriter.xlsx",  "xlsxwriter-inline.xlsx",
                                "exceljs.xlsx",   "libreoffice.xlsx", "libreoffice.ods",
                                "libreoffice.xls"};

std::string Book(const std::string& name)
{
    return DataPath("workbooks/" + name).string();
}

TEST(Workbook, EveryWriterGivesTheSameText)
{
    for (const char* writer : kWriters) {
        SCOPED_TRACE(writer);
        const WorkbookSheet sheet = ReadWorkbookSheet(Book(writer), "");
        EXPECT_EQ(sheet.name, "Payees 2022");
        EXPECT_EQ(sheet.text, kPayees);
        ASSERT_EQ(sheet.errors.size(), 2u);
        EXPECT_EQ(SheetErrorText(sheet.errors[0]), "cell P2 holds the error #DIV/0!");
        EXPECT_EQ(SheetErrorText(sheet.errors[1]), "cell P4 holds the error #N/A");
        EXPECT_EQ(sheet.errors[1].line, 3u);
        // The merged title keeps its value in the top-left cell only.
        EXPECT_EQ(ReadWorkbookSheet(Book(writer), "Second").text,
                  "Second sheet\t\t\r\na\t1\t2.5\r\nb\t2\t0.0000001\r\n");
        EXPECT_EQ(ReadWorkbookSheet(Book(writer), "3").text, "hidden\t42\r\n");
    }
}

TEST(Workbook, SheetsWithHiddenAndSizes)
{
    for (const char* writer : kWriters) {
        SCOPED_TRACE(writer);
        const std::vector<SheetSummary> sheets = ListSheets(Book(writer), true);
        ASSERT_EQ(sheets.size(), 3u);
        const std::tuple<const char*, bool, unsigned, unsigned> expected[] = {
            {"Payees 2022", false, 6, 16}, {"Second", false, 3, 3}, {"Hidden", true, 1, 2}};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(sheets[i].name, std::get<0>(expected[i]));
            EXPECT_EQ(sheets[i].hidden, std::get<1>(expected[i]));
            EXPECT_EQ(sheets[i].rows, std::get<2>(expected[i]));
            EXPECT_EQ(sheets[i].columns, std::get<3>(expected[i]));
        }
    }
}

TEST(Workbook, SheetSelectors)
{
    using workbook::FindSheet;
    const std::vector<workbook::SheetEntry> sheets = {
        {"Hidden", true}, {"Payees", false}, {"2", false}, {"payees", false}};
    const std::pair<const char*, size_t> cases[] = {
        {"", 1}, {"Payees", 1}, {"payees", 3}, {"PAYEES", 1}, {"2", 2}, {"1", 0}, {"4", 3},
    };
    for (const auto& [selector, index] : cases)
        EXPECT_EQ(FindSheet(sheets, selector), index) << selector;
    for (const char* missing : {"5", "0", "Nope"}) {
        try {
            FindSheet(sheets, missing);
            ADD_FAILURE() << missing;
        } catch (const workbook::WorkbookError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("The workbook has no sheet \"") + missing +
                          "\"; its sheets are \"Hidden\", \"Payees\", \"2\", \"payees\".");
        }
    }
    EXPECT_EQ(FindSheet({{"A", true}, {"B", true}}, ""), 0u); // all hidden: the first
}

std::string OpenFailure(const std::string& path)
{
    try {
        ReadWorkbookSheet(path, "");
    } catch (const FileError& e) {
        return e.what();
    }
    return "no failure";
}

TEST(Workbook, BadFilesAreRefusedWithTheirReason)
{
    const std::pair<const char*, const char*> cases[] = {
        {"truncated.xlsx", "The workbook is damaged: the zip directory is missing (the file may "
                           "be cut off)"},
        {"corrupt.xlsx", "The workbook is damaged: its part xl/worksheets/sheet1.xml does not "
                         "inflate"},
        {"notabook.xlsx", "It is a zip archive, but no workbook"},
        {"nosheets.xlsx", "The workbook has no sheets"},
        {"binary.xlsb", "Binary workbooks cannot be read; save it as .xlsx"},
        {"protected.xlsx", "The workbook is protected with a password; save an unprotected copy"},
        {"protected.xls", "The workbook is protected with a password; save an unprotected copy"},
        {"protected.ods", "The workbook is protected with a password; save an unprotected copy"},
        {"entities.xlsx", "The workbook is damaged: its part xl/worksheets/sheet1.xml holds a "
                          "document type declaration, which no workbook part has"},
        {"deep.xlsx", "The workbook is damaged: its part xl/worksheets/sheet1.xml nests elements "
                      "deeper than 256 levels"},
        {"badshared.xlsx", "The workbook is damaged: cell A1 names shared string 999, which it "
                           "does not have"},
        {"missingpart.xlsx", "The workbook is damaged: the part xl/worksheets/sheet1.xml of sheet "
                             "\"Payees 2022\" is missing"},
    };
    for (const auto& [file, reason] : cases) {
        const std::string path = Book(std::string("bad/") + file);
        EXPECT_EQ(OpenFailure(path), "Cannot open file \"" + path + "\". " + reason);
    }
}

TEST(Workbook, PartsThatExpandTooFarStopAtOnce)
{
    TempDir dir;
    const auto started = std::chrono::steady_clock::now();
    // Declared honestly above 4 GB: refused before anything is inflated.
    const std::string huge = dir.File("huge.xlsx");
    WriteFile(huge, test::MinimalXlsx("<worksheet/>", 5LL << 30));
    EXPECT_EQ(OpenFailure(huge),
              "Cannot open file \"" + huge +
                  "\". The workbook's part xl/worksheets/sheet1.xml expands to 5 GB, more than the "
                  "4 GB a part may hold");
    // A part that claims to expand hundreds of times its compressed size: a zip bomb.
    const std::string bomb = dir.File("bomb.xlsx");
    WriteFile(bomb, test::MinimalXlsx("<worksheet><sheetData>" + std::string(80 << 20, ' ') +
                                      "</sheetData></worksheet>"));
    const std::string bombMessage = OpenFailure(bomb);
    EXPECT_EQ(bombMessage.substr(0, bombMessage.find(" would expand ")),
              "Cannot open file \"" + bomb + "\". The workbook's part xl/worksheets/sheet1.xml");
    EXPECT_EQ(bombMessage.substr(bombMessage.find(" times ")),
              " times its compressed size, as no workbook's part does; it is refused as a zip "
              "bomb");
    // A declared size that lies: the read stops as soon as it is passed.
    const std::string lies = dir.File("lies.xlsx");
    const std::string sheet =
        "<worksheet><sheetData>" + std::string(64 << 20, ' ') + "</sheetData></worksheet>";
    WriteFile(lies, test::MinimalXlsx(sheet, 4096));
    EXPECT_EQ(OpenFailure(lies),
              "Cannot open file \"" + lies +
                  "\". The workbook is damaged: its part xl/worksheets/sheet1.xml expands past the "
                  "size its zip directory declares");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST(Workbook, SheetXmlShapes)
{
    // Cells without references follow on; rows may skip; cells come in any order; merged areas
    // keep the top-left value; a formula without a stored result is an error; a cell past the
    // last column a sheet may have is damage.
    const std::pair<const char*, const char*> cases[] = {
        {"<row><c t=\"inlineStr\"><is><t>a</t></is></c><c><v>1</v></c></row>"
         "<row r=\"4\"><c r=\"C4\" t=\"b\"><v>1</v></c><c r=\"A4\" t=\"str\"><v>x</v></c></row>",
         "a\t1\t\r\n\r\n\r\nx\t\tTRUE\r\n"},
        {"<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><r><t>bo</t></r><r><t>ld</t></r>"
         "<rPh><t>ignored</t></rPh></is></c><c r=\"B1\"><v>2</v></c></row>"
         "<row r=\"2\"><c r=\"B2\"><v>3</v></c></row></sheetData>"
         "<mergeCells><mergeCell ref=\"A1:B2\"/></mergeCells><sheetData>",
         "bold\t\r\n\t\r\n"},
        {"<row r=\"1\"><c r=\"B1\"><f>A1*2</f></c><c r=\"C1\" t=\"d\"><v>2022-03-04T00:00:00</v>"
         "</c><c r=\"D1\" t=\"e\"><v>#REF!</v></c></row>",
         "\t#N/A\t03/04/2022\t#REF!\r\n"},
        {"<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t/></is></c></row>", ""},
        {"<row r=\"1048577\"><c><v>1</v></c></row>", "damaged"},
    };
    TempDir dir;
    for (const auto& [rows, text] : cases) {
        const std::string path = dir.File("shape.xlsx");
        WriteFile(path, test::MinimalXlsx(std::string("<worksheet><sheetData>") + rows +
                                          "</sheetData></worksheet>"));
        try {
            EXPECT_EQ(ReadWorkbookSheet(path, "").text, text) << rows;
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
            EXPECT_EQ(std::string(text), "damaged") << rows;
        }
    }
}

} // namespace
} // namespace impmap

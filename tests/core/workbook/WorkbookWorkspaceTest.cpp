#include "../TestSupport.h"
#include "check/SheetErrorWarnings.h"
#include "convert/Rejection.h"
#include "mapping/Workspace.h"

#include <gtest/gtest.h>

namespace impmap {
namespace {

using test::DataPath;
using test::ReadFile;
using test::TempDir;

const std::string kMap = DataPath("workbooks/payees.MAP").string();

std::vector<std::string> WarningsOf(const Workspace& workspace, long records)
{
    SheetErrorWarnings warnings(workspace);
    std::vector<FieldProblem> found;
    for (long record = 1; record <= records; ++record)
        warnings.Check(record, found);
    std::vector<std::string> lines;
    for (const FieldProblem& p : found)
        lines.push_back(std::to_string(p.record) + ": " + p.text + " [" + p.sourceValue + "]");
    return lines;
}

TEST(WorkbookWorkspace, TheSheetOfTheMapLoadsAsTabText)
{
    Workspace workspace;
    workspace.OpenMapping(kMap, DataPath("workbooks/libreoffice.xls").string());
    EXPECT_TRUE(workspace.SourceIsWorkbook());
    EXPECT_EQ(workspace.Sheet(), "Payees 2022");
    EXPECT_EQ(workspace.Delimiter(), Delimiter::Tab);
    EXPECT_EQ(workspace.RecordCount(), 5u);
    EXPECT_EQ(workspace.Format(), (SourceFormat{TextEncoding::Utf8, false, LineEnd::CrLf}));
    EXPECT_EQ(workspace.SourceFields()[3], "012-34-5678");
    EXPECT_EQ(WarningsOf(workspace, 5),
              (std::vector<std::string>{"1: cell P2 holds the error #DIV/0! [#DIV/0!]",
                                        "3: cell P4 holds the error #N/A [#N/A]"}));

    // A deleted record takes its errors with it; the later ones keep their cells.
    workspace.GoToRecord(1);
    workspace.DeleteCurrentRecord();
    EXPECT_EQ(WarningsOf(workspace, 4),
              (std::vector<std::string>{"2: cell P4 holds the error #N/A [#N/A]"}));
    EXPECT_THROW(workspace.SaveSource(), Rejection);

    // The sheet saved as text becomes the source; the map then names the text file.
    TempDir dir;
    const std::string text = dir.File("payees - Payees 2022.txt");
    workspace.SaveSourceAsText(text);
    EXPECT_FALSE(workspace.SourceIsWorkbook());
    EXPECT_EQ(workspace.Sheet(), "");
    EXPECT_EQ(workspace.SourcePath(), text);
    EXPECT_FALSE(workspace.SourceModified());
    EXPECT_EQ(ReadFile(text).substr(0, 18), "First Name\tMiddle\t");
    const std::string map = dir.File("text.MAP");
    workspace.SaveMapping(map);
    EXPECT_EQ(ReadFile(map).find("Sheet="), std::string::npos);
    workspace.OpenMapping(map);
    EXPECT_EQ(workspace.RecordCount(), 4u);
    EXPECT_EQ(workspace.Lines().Line(0), "");
    EXPECT_EQ(workspace.Lines().Line(1).substr(0, 13), "John\tB\tSmith\t");
}

TEST(WorkbookWorkspace, TheMapFileKeepsTheSheetAndTheOverrideWins)
{
    TempDir dir;
    Workspace workspace;
    workspace.OpenMapping(kMap, DataPath("workbooks/exceljs.xlsx").string(), std::string("2"));
    EXPECT_EQ(workspace.Sheet(), "Second");
    const std::string map = dir.File("second.MAP");
    workspace.SaveMapping(map);
    EXPECT_NE(ReadFile(map).find("FileSpec=" + DataPath("workbooks/exceljs.xlsx").string() +
                                 "\r\nSheet=Second\r\n"),
              std::string::npos);
    Workspace reopened;
    reopened.OpenMapping(map);
    EXPECT_EQ(reopened.Sheet(), "Second");
    EXPECT_EQ(reopened.SourceFields()[0], "a 1 2.5"); // the map merges fields 1 to 3
}

} // namespace
} // namespace impmap

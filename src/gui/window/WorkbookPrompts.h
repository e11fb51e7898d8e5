#pragma once

#include <optional>
#include <string>

namespace impmap {
class Workspace;
}

// What the window asks about a workbook source: which sheet to open, and where to save the
// sheet as text (the workbook itself is never written).
namespace impmap::gui {

class Prompts;

// The sheet of the workbook at path to open: a workbook of one sheet opens it at once; for
// several the chooser lists them with their row counts, the first visible one preselected.
// Nothing when the user cancels. Throws FileError when the workbook cannot be read.
std::optional<std::string> ChooseWorkbookSheet(Prompts& prompts, const std::string& path);

// "BOOK - SHEET.txt" beside the workbook: the name proposed for the sheet saved as text, with
// the characters that file names cannot hold replaced by "_".
std::string SheetTextFileName(const std::string& workbookPath, const std::string& sheet);

// Save Source of a workbook source: says that the workbook is never written and asks to save the
// sheet as a tab-delimited text file, which then becomes the source. Throws FileError.
void SaveSheetAsText(Prompts& prompts, Workspace& workspace);

} // namespace impmap::gui

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Workbooks (.xlsx, .xlsm, .ods, .xls) as sources: a sheet read as tab-delimited UTF-8 text,
// one line per row and one field per column from A on, which the rest of the program reads as
// it reads a text source.
namespace impmap {

// Whether this build reads workbooks (it does wherever zlib and expat were found).
bool WorkbooksReadable();

// True when path names a regular file that starts as a workbook does (a zip archive or a
// compound file); such a file is read as a workbook, whatever its name.
bool IsWorkbookFile(const std::string& path);

struct SheetSummary
{
    std::string name;
    bool hidden = false;
    std::uint32_t rows = 0; // with sizes only
    std::uint32_t columns = 0;
};

// The workbook's sheets in its order; withSizes reads every sheet to count its rows and columns.
// Throws FileError("Cannot open file \"PATH\". REASON").
std::vector<SheetSummary> ListSheets(const std::string& path, bool withSizes);

// An error value in a sheet (#N/A, #DIV/0!, ...): its 0-based line of the text (which moves
// when records are deleted), its cell's 0-based row and column, its text.
struct SheetError
{
    std::uint32_t line = 0;
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    std::string text;
};

struct WorkbookSheet
{
    std::string name; // the sheet read
    std::string text; // lines ended by CR LF
    std::vector<SheetError> errors;
};

// Reads the sheet that selector names: its name, or its 1-based number; an empty selector takes
// the first visible sheet. Throws FileError("Cannot open file \"PATH\". REASON"): a damaged or
// protected workbook, a sheet it does not have (naming the sheets it has), a build that reads no
// workbooks.
WorkbookSheet ReadWorkbookSheet(const std::string& path, const std::string& selector);

// "cell K5 holds the error #N/A".
std::string SheetErrorText(const SheetError& error);

} // namespace impmap

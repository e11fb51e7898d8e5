#pragma once

#include "SheetText.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Spreadsheet workbooks (.xlsx, .xlsm, .ods, .xls) read as sources: each sheet becomes the
// tab-delimited text that the rest of the program reads.
namespace impmap::workbook {

struct SheetEntry
{
    std::string name;
    bool hidden = false;
};

class Workbook
{
public:
    virtual ~Workbook() = default;
    // The worksheets in the workbook's order.
    const std::vector<SheetEntry>& Sheets() const { return sheets_; }
    // The text of sheet index (0-based). Throws WorkbookError.
    virtual SheetText ReadSheet(size_t index) = 0;

protected:
    std::vector<SheetEntry> sheets_;
};

// What the first bytes of a file say it may be.
enum class FileSignature
{
    None,
    Zip,          // .xlsx, .xlsm, .ods (or another zip)
    CompoundFile, // .xls (or a password-protected .xlsx)
};
FileSignature SignatureOf(std::string_view firstBytes);

// Opens a workbook by its content. Throws WorkbookError when it is none, or cannot be read.
std::unique_ptr<Workbook> OpenWorkbook(const std::filesystem::path& path);

// The sheet a selector names: a sheet's name (exactly, else without regard to ASCII case), or
// its 1-based number; an empty selector names the first visible sheet. Throws WorkbookError
// naming the sheets there are when none fits.
size_t FindSheet(const std::vector<SheetEntry>& sheets, std::string_view selector);

} // namespace impmap::workbook

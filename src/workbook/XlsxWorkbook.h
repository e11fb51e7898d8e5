#pragma once

#include "CellText.h"
#include "Workbook.h"
#include "Zip.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Office Open XML workbooks (.xlsx, .xlsm): the workbook part, its relationships, the styles'
// number formats, the shared strings and the sheets.
namespace impmap::workbook {

class XlsxWorkbook : public Workbook
{
public:
    // zip holds a workbook whose main part is workbookPart. Throws WorkbookError.
    XlsxWorkbook(std::unique_ptr<ZipArchive> zip, std::string workbookPart);
    SheetText ReadSheet(size_t index) override;

    // The shared strings, held in one block.
    struct SharedStrings
    {
        std::string bytes;
        std::vector<std::uint64_t> ends;
    };

private:
    void LoadShared();

    std::unique_ptr<ZipArchive> zip_;
    std::vector<std::string> sheetParts_;
    std::string stylesPart_;
    std::string sharedPart_;
    bool date1904_ = false;
    bool sharedLoaded_ = false;
    std::vector<NumberFormat> cellFormats_; // by cell style index
    SharedStrings shared_;
};

// The main part of an Office Open XML package (from _rels/.rels), or empty when it has none.
std::string OfficeDocumentPart(ZipArchive& zip);

} // namespace impmap::workbook

#pragma once

#include "CellText.h"
#include "Workbook.h"
#include "Zip.h"

#include <map>
#include <memory>
#include <string>

// OpenDocument spreadsheets (.ods): the sheets of content.xml, with the number styles of
// styles.xml and content.xml.
namespace impmap::workbook {

class OdsWorkbook : public Workbook
{
public:
    // Throws WorkbookError.
    explicit OdsWorkbook(std::unique_ptr<ZipArchive> zip);
    SheetText ReadSheet(size_t index) override;

    // What the styles tell a cell: its number format by cell style, whether a table is hidden.
    struct Styles
    {
        std::map<std::string, NumberFormat> dataStyles;
        std::map<std::string, std::string> cellDataStyle; // cell style -> data style
        std::map<std::string, std::string> cellParent;    // cell style -> parent style
        std::map<std::string, bool> tableHidden;
        bool date1904 = false;

        const NumberFormat* FormatOf(const std::string& cellStyle) const;
    };

private:
    std::unique_ptr<ZipArchive> zip_;
    Styles styles_;
};

} // namespace impmap::workbook

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Building the tab-delimited text of one sheet from its cells.
namespace impmap::workbook {

// A cell that holds an error value (#N/A, #DIV/0!, ...) or a formula without a stored result.
struct CellError
{
    std::uint32_t row = 0; // 0-based, as the line of the text
    std::uint32_t column = 0;
    std::string text;

    bool operator==(const CellError&) const = default;
};

// A sheet as text: one line per row from row 1 to the last row that holds a value, each ended
// by CR LF; every line that is not empty has one field per column of the used range (A to the
// last column that holds a value), separated by tabs. A row without values is an empty line.
struct SheetText
{
    std::string text;
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::vector<CellError> errors;
};

// A merged area, 0-based and inclusive; only its top-left cell keeps its value.
struct MergedArea
{
    std::uint32_t firstRow = 0;
    std::uint32_t firstColumn = 0;
    std::uint32_t lastRow = 0;
    std::uint32_t lastColumn = 0;
};

class SheetBuilder
{
public:
    // sizeHint: about how many bytes the text will have (0 when unknown), reserved at once.
    explicit SheetBuilder(std::uint64_t sizeHint = 0);

    // Adds a cell's text (line breaks and tabs become blanks). Rows come in order; a row number
    // below the current one is taken as the current row. Cells of a row may come in any order;
    // of two with the same place the later counts. Throws WorkbookError past the last row or
    // column a sheet may have, or when the text would pass 2 GB.
    void Cell(std::uint32_t row, std::uint32_t column, std::string_view text);
    // As Cell, and notes the error.
    void ErrorCell(std::uint32_t row, std::uint32_t column, std::string_view text);
    void Merge(const MergedArea& area);
    SheetText Finish();

private:
    // The finished lines, padded to the width, with the merged areas' covered cells emptied.
    void AppendLines(std::string& out, const std::vector<MergedArea>& merges) const;
    void FlushRow();
    // line with its fields after fields padded to the width; covered fields left empty.
    void AppendLine(std::string& out, std::string_view line, std::uint32_t fields,
                    const std::vector<bool>* covered) const;

    std::uint32_t row_ = 0;
    bool rowOpen_ = false;
    struct RowCell
    {
        std::uint32_t column;
        std::uint32_t offset; // in rowText_
        std::uint32_t length;
    };
    std::vector<RowCell> cells_; // of the current row
    std::string rowText_;
    std::string raw_;                       // finished rows, each line ended by CR LF
    std::vector<std::uint32_t> lineFields_; // fields of each line in raw_
    std::uint32_t width_ = 0;
    std::vector<MergedArea> merges_;
    std::vector<CellError> errors_;
};

} // namespace impmap::workbook

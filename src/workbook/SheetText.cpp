#include "SheetText.h"

#include "CellText.h"
#include "WorkbookError.h"

#include <algorithm>

namespace impmap::workbook {
namespace {

[[noreturn]] void TooLarge()
{
    throw WorkbookError("The sheet is too large: its text would pass 2 GB.");
}

} // namespace

SheetBuilder::SheetBuilder(std::uint64_t sizeHint)
{
    // Reserving address space touches no memory; it spares the copies of a growing text.
    raw_.reserve(static_cast<size_t>(std::min<std::uint64_t>(sizeHint, 256ULL << 20)));
}

void SheetBuilder::Cell(std::uint32_t row, std::uint32_t column, std::string_view text)
{
    if (row >= kMaxRows || column >= kMaxColumns) {
        throw WorkbookError("The workbook is damaged: it has a cell beyond the last row or "
                            "column a sheet may have (" +
                            ColumnName(std::min(column, kMaxColumns)) + std::to_string(row + 1ULL) +
                            ").");
    }
    if (!rowOpen_ || row > row_) {
        FlushRow();
        row_ = row;
        rowOpen_ = true;
    }
    const size_t offset = rowText_.size();
    AppendCellText(rowText_, text);
    if (rowText_.size() == offset)
        return;
    if (rowText_.size() > kMaxSheetTextBytes)
        TooLarge();
    cells_.push_back({column, static_cast<std::uint32_t>(offset),
                      static_cast<std::uint32_t>(rowText_.size() - offset)});
}

void SheetBuilder::ErrorCell(std::uint32_t row, std::uint32_t column, std::string_view text)
{
    Cell(row, column, text);
    errors_.push_back({std::max(row, row_), column, std::string(text)});
}

void SheetBuilder::Merge(const MergedArea& area)
{
    if (area.firstRow <= area.lastRow && area.firstColumn <= area.lastColumn &&
        (area.firstRow != area.lastRow || area.firstColumn != area.lastColumn) &&
        merges_.size() < 1000000)
        merges_.push_back(area);
}

void SheetBuilder::FlushRow()
{
    if (!rowOpen_ || cells_.empty())
        return;
    std::stable_sort(cells_.begin(), cells_.end(),
                     [](const RowCell& a, const RowCell& b) { return a.column < b.column; });
    // Rows without values between the last one written and this one are empty lines.
    const std::uint32_t line = static_cast<std::uint32_t>(lineFields_.size());
    if (row_ > line) {
        for (std::uint32_t i = line; i < row_; ++i)
            raw_ += "\r\n";
        lineFields_.insert(lineFields_.end(), row_ - line, 0);
    }
    std::uint32_t column = 0;
    for (size_t i = 0; i < cells_.size(); ++i) {
        if (i + 1 < cells_.size() && cells_[i + 1].column == cells_[i].column)
            continue; // the later of two cells in one place counts
        const RowCell& cell = cells_[i];
        raw_.append(cell.column - column, '\t');
        raw_.append(rowText_, cell.offset, cell.length);
        column = cell.column;
    }
    raw_ += "\r\n";
    const std::uint32_t fields = column + 1;
    lineFields_.push_back(fields);
    width_ = std::max(width_, fields);
    cells_.clear();
    rowText_.clear();
    if (raw_.size() > kMaxSheetTextBytes)
        TooLarge();
}

void SheetBuilder::AppendLine(std::string& out, std::string_view line, std::uint32_t fields,
                              const std::vector<bool>* covered) const
{
    if (!covered) {
        out.append(line);
    } else {
        std::uint32_t column = 0;
        size_t start = 0;
        while (start <= line.size()) {
            const size_t tab = std::min(line.find('\t', start), line.size());
            if (column > 0)
                out += '\t';
            if (!(*covered)[column])
                out.append(line.substr(start, tab - start));
            ++column;
            start = tab + 1;
        }
    }
    out.append(width_ - fields, '\t');
    out += "\r\n";
}

void SheetBuilder::AppendLines(std::string& out, const std::vector<MergedArea>& merges) const
{
    std::vector<MergedArea> active;
    std::vector<bool> covered;
    size_t nextMerge = 0;
    size_t start = 0;
    for (std::uint32_t row = 0; row < lineFields_.size(); ++row) {
        const size_t end = raw_.find('\n', start);
        const std::string_view line(raw_.data() + start, end - 1 - start); // without its CR LF
        start = end + 1;
        std::erase_if(active, [row](const MergedArea& m) { return m.lastRow < row; });
        while (nextMerge < merges.size() && merges[nextMerge].firstRow == row)
            active.push_back(merges[nextMerge++]);
        const std::uint32_t fields = lineFields_[row];
        if (fields == 0) {
            out += "\r\n";
            continue;
        }
        bool any = false;
        covered.assign(fields, false);
        for (const MergedArea& m : active) {
            for (std::uint32_t c = m.firstColumn; c <= m.lastColumn && c < fields; ++c) {
                if (row != m.firstRow || c != m.firstColumn) {
                    covered[c] = true;
                    any = true;
                }
            }
        }
        AppendLine(out, line, fields, any ? &covered : nullptr);
    }
}

SheetText SheetBuilder::Finish()
{
    FlushRow();
    rowOpen_ = false;
    SheetText sheet;
    sheet.columns = width_;
    sheet.rows = static_cast<std::uint32_t>(lineFields_.size());
    std::uint64_t size = 0;
    for (const std::uint32_t fields : lineFields_)
        size += fields > 0 ? width_ - fields : 0;
    size += raw_.size(); // line ends included
    if (size > kMaxSheetTextBytes)
        TooLarge();
    // Merged areas by their first row; those that reach the current row are active.
    std::vector<MergedArea> merges;
    std::uint64_t coveredCells = 0;
    for (MergedArea m : merges_) {
        if (m.firstRow >= sheet.rows || m.firstColumn >= width_)
            continue;
        m.lastRow = std::min(m.lastRow, sheet.rows - 1);
        m.lastColumn = std::min(m.lastColumn, width_ - 1);
        coveredCells +=
            std::uint64_t{m.lastRow - m.firstRow + 1} * (m.lastColumn - m.firstColumn + 1);
        merges.push_back(m);
    }
    if (coveredCells > kMaxMergedCells) {
        throw WorkbookError("The workbook is damaged: its merged areas cover more than " +
                            std::to_string(kMaxMergedCells) + " cells.");
    }
    std::sort(merges.begin(), merges.end(),
              [](const MergedArea& a, const MergedArea& b) { return a.firstRow < b.firstRow; });
    // Most sheets need neither padding nor merging: their text is taken as it is.
    const bool padded = std::all_of(lineFields_.begin(), lineFields_.end(),
                                    [this](std::uint32_t f) { return f == 0 || f == width_; });
    if (merges.empty() && padded) {
        sheet.text = std::move(raw_);
    } else {
        sheet.text.reserve(static_cast<size_t>(size));
        AppendLines(sheet.text, merges);
    }
    raw_ = std::string();
    std::sort(errors_.begin(), errors_.end(), [](const CellError& a, const CellError& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    sheet.errors = std::move(errors_);
    return sheet;
}

} // namespace impmap::workbook

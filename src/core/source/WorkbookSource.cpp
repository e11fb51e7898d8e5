#include "source/WorkbookSource.h"

#include "io/FileIo.h"
#include "io/NativePath.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

#ifdef IMPMAP_WORKBOOKS
#include "workbook/Workbook.h"
#include "workbook/WorkbookError.h"
#endif

namespace impmap {
namespace {

[[noreturn]] void CannotOpen(const std::string& path, std::string reason)
{
    if (!reason.empty() && reason.back() == '.')
        reason.pop_back();
    throw FileError("Cannot open file \"" + path + "\". " + reason, reason);
}

std::string ColumnLetters(std::uint32_t column)
{
    std::string name;
    for (std::uint64_t n = std::uint64_t{column} + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

#ifdef IMPMAP_WORKBOOKS
// Runs a read of the workbook at path, turning its failures into FileError.
template <typename Read> auto WithWorkbook(const std::string& path, Read read)
{
    try {
        auto book = workbook::OpenWorkbook(PathFromUtf8(path));
        return read(*book);
    } catch (const workbook::WorkbookError& e) {
        CannotOpen(path, e.what());
    } catch (const std::bad_alloc&) {
        CannotOpen(path, "Not enough memory to read the workbook");
    }
}
#endif

} // namespace

bool WorkbooksReadable()
{
#ifdef IMPMAP_WORKBOOKS
    return true;
#else
    return false;
#endif
}

bool IsWorkbookFile(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path native = PathFromUtf8(path);
    if (!std::filesystem::is_regular_file(native, ec))
        return false;
    std::ifstream in(native, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    const std::string_view bytes(head, static_cast<size_t>(in.gcount()));
    return bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4) ||
           bytes.substr(0, 4) == std::string_view("PK\x05\x06", 4) ||
           bytes == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

std::vector<SheetSummary> ListSheets(const std::string& path, bool withSizes)
{
#ifdef IMPMAP_WORKBOOKS
    return WithWorkbook(path, [&](workbook::Workbook& book) {
        std::vector<SheetSummary> sheets;
        for (size_t i = 0; i < book.Sheets().size(); ++i) {
            SheetSummary summary{book.Sheets()[i].name, book.Sheets()[i].hidden, 0, 0};
            if (withSizes) {
                const workbook::SheetText sheet = book.ReadSheet(i);
                summary.rows = sheet.rows;
                summary.columns = sheet.columns;
            }
            sheets.push_back(std::move(summary));
        }
        return sheets;
    });
#else
    (void)withSizes;
    CannotOpen(path, "It is a workbook, and this build of impmap reads no workbooks: save the "
                     "sheet as tab-delimited text and open that");
#endif
}

WorkbookSheet ReadWorkbookSheet(const std::string& path, const std::string& selector)
{
#ifdef IMPMAP_WORKBOOKS
    return WithWorkbook(path, [&](workbook::Workbook& book) {
        const size_t index = workbook::FindSheet(book.Sheets(), selector);
        workbook::SheetText sheet = book.ReadSheet(index);
        WorkbookSheet result{book.Sheets()[index].name, std::move(sheet.text), {}};
        for (workbook::CellError& e : sheet.errors)
            result.errors.push_back({e.row, e.row, e.column, std::move(e.text)});
        return result;
    });
#else
    (void)selector;
    CannotOpen(path, "It is a workbook, and this build of impmap reads no workbooks: save the "
                     "sheet as tab-delimited text and open that");
#endif
}

std::string SheetErrorText(const SheetError& error)
{
    return "cell " + ColumnLetters(error.column) + std::to_string(error.row + 1ULL) +
           " holds the error " + error.text;
}

} // namespace impmap

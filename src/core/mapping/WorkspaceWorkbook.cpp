// Workspace: a sheet of a workbook as the source.
#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/Workspace.h"

#include <algorithm>

namespace impmap {

void Workspace::SetSheet(std::string sheet)
{
    sheet_ = std::move(sheet);
    Notify(kChangeSettings);
}

long Workspace::RecordOfSheetLine(std::uint32_t line) const
{
    if (headerTaken_)
        return line == 0 ? 0 : static_cast<long>(line);
    return static_cast<long>(line) + 1;
}

void Workspace::ForgetSheetLine(std::uint32_t line)
{
    std::erase_if(sheetErrors_, [line](const SheetError& e) { return e.line == line; });
    for (SheetError& e : sheetErrors_) {
        if (e.line > line)
            --e.line;
    }
}

void Workspace::SaveSourceAsText(const std::string& path)
{
    const std::string bytes =
        SourceFileBytes(format_, headerTaken_ ? &headerRecord_ : nullptr, lines_);
    WriteFileAtomically(PathFromUtf8(Trim(path)), bytes);
    sourceStamp_ = StampOf(Trim(path), bytes);
    sourcePath_ = path;
    sheet_.clear();
    sourceIsWorkbook_ = false;
    sheetErrors_.clear();
    sourceModified_ = false;
    SetModified(true);
    Notify(kChangeSettings | kChangeSourceModified);
}

} // namespace impmap

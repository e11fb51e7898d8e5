// Workspace: records broken by line breaks inside quoted values.
#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/Workspace.h"
#include "source/QuotedLineBreaks.h"

#include <algorithm>
#include <filesystem>

namespace impmap {

std::vector<long> Workspace::RecordsEndingInsideQuotes() const
{
    std::vector<long> records;
    for (const size_t line : LinesEndingInsideQuotes(lines_))
        records.push_back(static_cast<long>(line) + 1);
    return records;
}

JoinedLines Workspace::JoinLinesBrokenInsideQuotes()
{
    JoinedLines result;
    SourceLines joined = impmap::JoinLinesBrokenInsideQuotes(lines_, result.joins);
    if (result.joins == 0)
        return result;
    lines_ = std::move(joined);
    sourceModified_ = true;
    Notify(kChangeSourceLines | kChangeSourceModified);
    GoToRecord(std::min(currentRecord_, static_cast<long>(lines_.Count())));
    // The file is rewritten whole: what it held before stays beside it.
    const std::string path = Trim(sourcePath_);
    std::error_code ec;
    if (std::filesystem::exists(PathFromUtf8(path), ec)) {
        result.backupPath = path + ".bak";
        CopyFileAtomically(PathFromUtf8(path), PathFromUtf8(result.backupPath));
    }
    SaveSource();
    OpenSource();
    return result;
}

} // namespace impmap

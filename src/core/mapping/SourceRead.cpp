#include "mapping/SourceRead.h"

#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "source/QuotedLineBreaks.h"

namespace impmap {

LoadedSource ReadSource(const std::string& path, const std::string& sheet, WorkProgress* progress)
{
    const std::string file = Trim(path);
    LoadedSource loaded;
    if (IsWorkbookFile(file)) {
        // The workbook reader reports no progress: the caller hears only its start and end.
        ReportProgress(progress, 0, 1);
        WorkbookSheet read = ReadWorkbookSheet(file, sheet);
        ReportProgress(progress, 1, 1);
        loaded.workbook = true;
        loaded.format = SourceFormat{TextEncoding::Utf8, false, LineEnd::CrLf};
        loaded.sheet = std::move(read.name);
        loaded.sheetErrors = std::move(read.errors);
        loaded.lines = SourceLines(std::move(read.text));
        return loaded;
    }
    SourceText source = ReadSourceFile(file, progress);
    loaded.format = source.format;
    loaded.stamp = std::move(source.stamp);
    loaded.lines = SourceLines(std::move(source.bytes));
    return loaded;
}

SourceReadAhead ReadSourceAhead(const std::string& path, const std::string& sheet,
                                WorkProgress* progress)
{
    SourceReadAhead ahead{path, sheet, std::nullopt, nullptr};
    try {
        ahead.source = ReadSource(path, sheet, progress);
        ahead.source->oddQuoteLines = LinesWithOddQuotes(ahead.source->lines);
    } catch (const WorkCancelled&) {
        throw;
    } catch (...) {
        ahead.failure = std::current_exception();
    }
    return ahead;
}

FileStamp WriteSourceFile(const std::string& path, const std::string& bytes, WorkProgress* progress)
{
    const std::string file = Trim(path);
    WriteFileAtomically(PathFromUtf8(file), bytes, progress);
    return StampOf(file, bytes);
}

} // namespace impmap

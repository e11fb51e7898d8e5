// Workspace: records broken by line breaks inside quoted values.
#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/Workspace.h"
#include "source/QuotedLineBreaks.h"

#include <algorithm>
#include <filesystem>

namespace impmap {

std::vector<size_t> Workspace::LinesEndingInsideQuotesNow() const
{
    if (oddQuoteLines_.linesVersion != lines_.Version())
        oddQuoteLines_ = {lines_.Version(), LinesWithOddQuotes(lines_)};
    return LinesEndingInsideQuotes(oddQuoteLines_.lines);
}

void Workspace::KeepOddQuoteLines(std::vector<size_t> asRead)
{
    if (headerTaken_) {
        if (!asRead.empty() && asRead.front() == 0)
            asRead.erase(asRead.begin());
        for (size_t& line : asRead)
            --line;
    }
    oddQuoteLines_ = {lines_.Version(), std::move(asRead)};
}

std::vector<long> Workspace::RecordsEndingInsideQuotes() const
{
    std::vector<long> records;
    for (const size_t line : LinesEndingInsideQuotesNow())
        records.push_back(static_cast<long>(line) + 1);
    return records;
}

JoinedLines Workspace::JoinLinesBrokenInsideQuotes()
{
    JoinedLines result;
    SourceLines joined = LinesJoinedInsideQuotes(result.joins);
    if (result.joins == 0)
        return result;
    TakeJoinedLines(std::move(joined));
    result.backupPath = BackUpSourceFile();
    SaveSource();
    OpenSource();
    return result;
}

SourceLines Workspace::LinesJoinedInsideQuotes(size_t& joins) const
{
    return impmap::JoinLinesBrokenInsideQuotes(lines_, joins);
}

void Workspace::TakeJoinedLines(SourceLines joined)
{
    lines_ = std::move(joined);
    sourceModified_ = true;
    Notify(kChangeSourceLines | kChangeSourceModified);
    GoToRecord(std::min(currentRecord_, static_cast<long>(lines_.Count())));
}

std::string Workspace::BackUpSourceFile() const
{
    // The file is rewritten whole: what it held before stays beside it.
    const std::string path = Trim(sourcePath_);
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(path), ec))
        return {};
    const std::string backup = path + ".bak";
    CopyFileAtomically(PathFromUtf8(path), PathFromUtf8(backup));
    return backup;
}

size_t Workspace::JoinBrokenRecords()
{
    std::vector<size_t> broken = LinesEndingInsideQuotesNow();
    if (broken.empty())
        return 0;
    size_t joins = 0;
    SourceLines joined = impmap::JoinLinesBrokenInsideQuotes(lines_, joins);
    NotifyAboutToChange(kChangeSourceLines);
    lines_ = std::move(joined);
    // After an earlier join a record may span lines of the file: count from where it starts.
    for (size_t& line : broken)
        line = static_cast<size_t>(SourceFileLine(static_cast<long>(line) + 1) - 1 -
                                   (headerTaken_ ? 1 : 0));
    joinedBreaks_.insert(joinedBreaks_.end(), broken.begin(), broken.end());
    std::sort(joinedBreaks_.begin(), joinedBreaks_.end());
    sourceModified_ = true;
    Notify(kChangeSourceLines | kChangeSourceModified);
    GoToRecord(std::min(currentRecord_, static_cast<long>(lines_.Count())));
    return joins;
}

long Workspace::SourceFileLine(long record) const
{
    auto line = static_cast<size_t>(std::max(record, 1L) - 1);
    for (const size_t joinedOn : joinedBreaks_) {
        if (joinedOn >= line)
            break;
        ++line;
    }
    return static_cast<long>(line) + 1 + (headerTaken_ ? 1 : 0);
}

} // namespace impmap

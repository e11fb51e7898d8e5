// Workspace: records broken by line breaks inside quoted values.
#include "mapping/Workspace.h"
#include "source/QuotedLineBreaks.h"

#include <algorithm>

namespace impmap {

std::vector<long> Workspace::RecordsEndingInsideQuotes() const
{
    std::vector<long> records;
    for (const size_t line : LinesEndingInsideQuotes(lines_))
        records.push_back(static_cast<long>(line) + 1);
    return records;
}

size_t Workspace::JoinLinesBrokenInsideQuotes()
{
    size_t joins = 0;
    SourceLines joined = impmap::JoinLinesBrokenInsideQuotes(lines_, joins);
    if (joins == 0)
        return 0;
    lines_ = std::move(joined);
    sourceModified_ = true;
    Notify(kChangeSourceLines | kChangeSourceModified);
    GoToRecord(std::min(currentRecord_, static_cast<long>(lines_.Count())));
    SaveSource();
    OpenSource();
    return joins;
}

} // namespace impmap

#include "check/FieldCountWarnings.h"

#include "mapping/Workspace.h"
#include "source/SplitRecord.h"

#include <algorithm>

namespace impmap {

FieldCountWarnings::FieldCountWarnings(const Workspace& workspace) : workspace_(workspace)
{
    // A record broken inside a quoted value, and the line that continues it, have their own
    // warning: their field counts say nothing more.
    for (const long record : workspace.RecordsEndingInsideQuotes()) {
        const auto line = static_cast<size_t>(record - 1);
        if (skipped_.empty() || skipped_.back() != line)
            skipped_.push_back(line);
        skipped_.push_back(line + 1);
    }
    const char delimiter = workspace.DelimiterCharacter();
    if (workspace.Header() == HeaderMode::Skip && !workspace.HeaderRecord().empty()) {
        header_ = true;
        expected_ = FieldCount(workspace.HeaderRecord(), delimiter);
        return;
    }
    const SourceLines& lines = workspace.Lines();
    for (size_t i = 0; i < lines.Count() && expected_ == 0; ++i) {
        if (!Skipped(i))
            expected_ = FieldCount(lines.Line(i), delimiter);
    }
}

bool FieldCountWarnings::Skipped(size_t line) const
{
    return std::binary_search(skipped_.begin(), skipped_.end(), line);
}

void FieldCountWarnings::Check(long record, std::vector<FieldProblem>& out) const
{
    const auto index = static_cast<size_t>(record - 1);
    if (expected_ == 0 || record < 1 || index >= workspace_.Lines().Count() || Skipped(index))
        return;
    const size_t fields =
        FieldCount(workspace_.Lines().Line(index), workspace_.DelimiterCharacter());
    if (fields == 0 || fields == expected_)
        return;
    out.push_back({record, -1, {}, Text(fields, expected_, header_), true, false});
}

std::string FieldCountWarnings::Text(size_t fields, size_t expected, bool header)
{
    return "the record has " + std::to_string(fields) + (fields == 1 ? " field" : " fields") +
           " where " + (header ? "the header has " : "the first record has ") +
           std::to_string(expected) + " (a missing or extra delimiter?)";
}

} // namespace impmap

// Workspace: the fields of a record split ahead of showing it, on another thread.
#include "mapping/Workspace.h"
#include "source/SplitRecord.h"

#include <utility>

namespace impmap {

RecordSplit Workspace::SplitRecordAhead(long n) const
{
    RecordSplit split;
    split.linesVersion = lines_.Version();
    split.line = static_cast<size_t>(n - 1);
    split.delimiter = DelimiterCharacter();
    split.encoding = format_.encoding;
    split.extent = SplitRecordUpTo(lines_.Line(split.line), split.delimiter, split.fields,
                                   kMaxMergeField, split.encoding);
    return split;
}

void Workspace::WithRecordSplitAhead(RecordSplit split, const std::function<void()>& operation)
{
    RunWithAhead(splitAhead_, std::move(split), operation);
}

bool Workspace::TakeRecordSplitAhead(long n)
{
    if (!splitAhead_ || splitAhead_->linesVersion != lines_.Version() ||
        splitAhead_->line != static_cast<size_t>(n - 1) ||
        splitAhead_->delimiter != DelimiterCharacter() || splitAhead_->encoding != format_.encoding)
        return false;
    sourceFields_ = std::move(splitAhead_->fields);
    shownExtent_ = splitAhead_->extent;
    splitAhead_.reset(); // taken once: a later showing splits the line as it stands then
    return true;
}

} // namespace impmap

#include "check/ProblemList.h"

#include "check/ProblemRecords.h"
#include "mapping/Workspace.h"
#include "source/QuotedLineBreaks.h"

namespace impmap {

ProblemList::ProblemList(const Workspace& workspace, size_t maxListed)
    : workspace_(workspace), rules_(workspace.Rows(), workspace.TinTypeValue()),
      sheetErrors_(workspace), fieldCounts_(workspace), delimiter_(workspace.DelimiterCharacter()),
      header_(ProblemRecordsHeader(workspace)), sourcePath_(workspace.SourcePath()),
      maxListed_(maxListed)
{
    for (const DestinationRow& row : workspace.Rows())
        captions_.push_back(row.caption);
}

void ProblemList::Add(const FieldProblem& problem)
{
    pending_.push_back(problem);
}

void ProblemList::EndRecord(long record, RecordViews values, RecordViews sourceFields)
{
    fieldCounts_.Check(record, pending_);
    sheetErrors_.Check(record, pending_);
    rules_.Check(record, values, sourceFields, pending_);
    if (pending_.empty())
        return;
    found_ += static_cast<long>(pending_.size());
    if (problems_.size() < maxListed_) {
        const size_t room = maxListed_ - problems_.size();
        const size_t take = std::min(room, pending_.size());
        problems_.insert(problems_.end(), std::make_move_iterator(pending_.begin()),
                         std::make_move_iterator(pending_.begin() + static_cast<long>(take)));
        const auto index = static_cast<size_t>(record - 1);
        if (index < workspace_.Lines().Count())
            lines_.emplace_back(record, JoinedLine(workspace_.Lines(), index));
    }
    pending_.clear();
}

void ProblemList::Save(const std::filesystem::path& path) const
{
    ProblemRecordsWriter writer(path, delimiter_, header_, sourcePath_, fieldCounts_.Expected());
    std::vector<std::string> texts;
    size_t next = 0;
    for (const auto& [record, line] : lines_) {
        texts.clear();
        while (next < problems_.size() && problems_[next].record < record)
            ++next;
        while (next < problems_.size() && problems_[next].record == record)
            texts.push_back(ProblemColumnText(problems_[next++]));
        if (!texts.empty())
            writer.Add(line, texts);
    }
    writer.Commit();
}

} // namespace impmap

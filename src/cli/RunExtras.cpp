#include "RunExtras.h"

#include "CliArgs.h"
#include "convert/Rejection.h"
#include "io/NativePath.h"
#include "mapping/Workspace.h"
#include "source/QuotedLineBreaks.h"

#include <ostream>

namespace impmap::cli {

RunExtras::RunExtras(const Workspace& workspace, const ExtrasOptions& options, std::ostream& out)
    : workspace_(workspace), options_(options), out_(out),
      rules_(workspace.Rows(), workspace.TinTypeValue()), sheetErrors_(workspace),
      fieldCounts_(workspace), totals_(workspace.Rows())
{
    if (options_.problemRecords) {
        records_ = std::make_unique<ProblemRecordsWriter>(
            *options_.problemRecords, workspace.DelimiterCharacter(),
            ProblemRecordsHeader(workspace), workspace.SourcePath(), fieldCounts_.Expected());
    }
    if (!options_.tinResults.empty()) {
        std::vector<std::filesystem::path> files;
        for (const std::string& file : options_.tinResults)
            files.push_back(PathFromUtf8(file));
        try {
            tinMatch_ = ReadTinMatchCheck(workspace, files);
        } catch (const Rejection& e) {
            throw UsageError{std::string("check: cannot apply TIN Matching results. ") + e.what()};
        }
    }
}

void RunExtras::FieldProblemFound(const FieldProblem& problem)
{
    if (records_)
        pending_.push_back(problem);
}

void RunExtras::RecordValues(long record, RecordViews values, RecordViews sourceFields)
{
    if (options_.totals)
        totals_.Add(values);
    if (!options_.check)
        return;
    const size_t found = pending_.size();
    fieldCounts_.Check(record, pending_);
    sheetErrors_.Check(record, pending_);
    if (tinMatch_)
        tinMatch_->Check(record, values, sourceFields, pending_);
    rules_.Check(record, values, sourceFields, pending_);
    for (size_t i = found; i < pending_.size(); ++i) {
        out_ << PlausibilityRules::Line(pending_[i]) << '\n';
        ++warnings_;
    }
    if (records_ && !pending_.empty()) {
        texts_.clear();
        for (const FieldProblem& problem : pending_)
            texts_.push_back(ProblemColumnText(problem));
        records_->Add(JoinedLine(workspace_.Lines(), static_cast<size_t>(record - 1)), texts_);
    }
    pending_.clear();
}

void RunExtras::Finish(std::ostream& err)
{
    if (records_)
        records_->Commit();
    if (tinMatch_) {
        tinMatch_->Finish();
        const TinMatchNotes& notes = tinMatch_->Notes();
        for (const std::string& note : notes.Listed())
            err << note << '\n';
        if (static_cast<size_t>(notes.Count()) > notes.Listed().size())
            err << "... and " << notes.Count() - static_cast<long>(notes.Listed().size())
                << " more\n";
        err << TinMatchSummary(*tinMatch_) << '\n';
    }
    if (options_.totals)
        err << totals_.Report();
}

} // namespace impmap::cli

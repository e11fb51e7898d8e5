#include "tinmatch/TinMatchCheck.h"

#include "convert/Rejection.h"
#include "convert/Text.h"
#include "mapping/Workspace.h"
#include "tinmatch/TinMatchName.h"

namespace impmap {
namespace {

std::string_view ValueOf(RecordViews values, int row)
{
    return row >= 0 && static_cast<size_t>(row) < values.size() ? values[static_cast<size_t>(row)]
                                                                : std::string_view();
}

// The TIN types that agree with a code of 6 to 8, and what the TIN Type should then say.
bool TypeAgrees(int code, int type)
{
    return (code == 6 && type == 2) || (code == 7 && type == 1) || (code == 8 && type != 3);
}

const char* TypeAdvice(int code)
{
    switch (code) {
    case 6:
        return "TIN Type should be SSN: the IRS matched this number as an SSN";
    case 7:
        return "TIN Type should be EIN: the IRS matched this number as an EIN";
    default:
        return "TIN Type should be SSN or EIN: the IRS matched this number as both an SSN and "
               "an EIN";
    }
}

} // namespace

TinMatchCheck::TinMatchCheck(const std::vector<DestinationRow>& rows, TinMatchResults results,
                             TextEncoding encoding)
    : rows_(rows), found_(FindTinMatchRows(rows)), results_(std::move(results)),
      encoding_(encoding), next_(results_.Answers().begin())
{}

void TinMatchCheck::Check(long record, RecordViews values, RecordViews sourceFields,
                          std::vector<FieldProblem>& out)
{
    NoteUnseenBefore(record);
    const TinMatchAnswer* answer = nullptr;
    const std::string_view tin = ValueOf(values, found_.taxpayerId);
    for (; next_ != results_.Answers().end() && next_->record == record; ++next_) {
        const TinMatchAnswer& candidate = *next_;
        if (candidate.tin != tin) {
            results_.Notes().Add(results_.Place(candidate) + ": stale, not applied: record " +
                                 std::to_string(record) + " now has the TIN \"" + std::string(tin) +
                                 "\", the answer is for " + candidate.tin);
        } else if (answer != nullptr &&
                   (answer->code != candidate.code || answer->tinType != candidate.tinType ||
                    answer->name != candidate.name)) {
            results_.Notes().Add(results_.Place(*answer) + ": not applied: record " +
                                 std::to_string(record) + " is answered again in " +
                                 results_.Place(candidate) + ", which is used");
        }
        if (candidate.tin == tin)
            answer = &candidate;
    }
    if (answer == nullptr)
        return;
    ++applied_;
    int row = found_.taxpayerId;
    std::string text = Warning(*answer, values, row);
    if (text.empty())
        return;
    const DestinationRow& destination = rows_[static_cast<size_t>(row)];
    out.push_back({record, row, std::string(SourceValueOf(destination, sourceFields)),
                   "Destination field \"" + destination.caption + "\" holds \"" +
                       std::string(ValueOf(values, row)) + "\", TIN Matching code " +
                       std::to_string(answer->code) + ": " + text,
                   true, true});
}

std::string TinMatchCheck::Warning(const TinMatchAnswer& answer, RecordViews values, int& row) const
{
    if (answer.code == 0)
        return {};
    if (answer.code >= 6) {
        if (TypeAgrees(answer.code, TinMatchType(ValueOf(values, found_.tinType))))
            return {};
        if (found_.tinType >= 0)
            row = found_.tinType;
        return TypeAdvice(answer.code);
    }
    std::string text = TinMatchCodeMeaning(answer.code);
    if (answer.code == 3) {
        text += " (the name sent was \"" + answer.name + "\"";
        const std::string now = TinMatchName(ValueOf(values, found_.name), encoding_);
        if (!EqualsIgnoreCaseAscii(now, answer.name))
            text += "; the record's name is now \"" + now + "\"";
        text += ")";
    }
    return text;
}

void TinMatchCheck::Finish()
{
    NoteUnseenBefore(0);
}

void TinMatchCheck::NoteUnseenBefore(long record)
{
    // record 0: every answer left.
    for (; next_ != results_.Answers().end() && (record == 0 || next_->record < record); ++next_)
        results_.Notes().Add(results_.Place(*next_) + ": not applied: record " +
                             std::to_string(next_->record) + " is a NULL record");
}

std::unique_ptr<TinMatchCheck> ReadTinMatchCheck(const Workspace& workspace,
                                                 const std::vector<std::filesystem::path>& files)
{
    if (const std::string refusal = TinMatchRefusal(workspace.FormIndex(), workspace.Rows());
        !refusal.empty())
        throw Rejection(refusal);
    TinMatchResults results;
    for (const std::filesystem::path& file : files)
        results.Read(file, static_cast<long>(workspace.RecordCount()));
    return std::make_unique<TinMatchCheck>(workspace.Rows(), std::move(results),
                                           workspace.Format().encoding);
}

std::string TinMatchSummary(const TinMatchCheck& check)
{
    const auto counted = [](long n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::string text =
        "TIN Matching results: " + counted(check.Applied(), "answer", "answers") + " applied";
    if (check.Notes().Count() > 0)
        text += ", " + counted(check.Notes().Count(), "line", "lines") + " not applied";
    return text;
}

} // namespace impmap

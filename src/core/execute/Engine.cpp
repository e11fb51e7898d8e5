#include "execute/Engine.h"

#include "convert/Converters.h"
#include "convert/Rejection.h"
#include "convert/Text.h"
#include "convert/Validators.h"
#include "execute/FieldRule.h"
#include "execute/OutputLine.h"
#include "execute/RunScope.h"
#include "mapping/Workspace.h"
#include "source/QuotedLineBreaks.h"
#include "source/SplitRecord.h"

#include <optional>
#include <vector>

namespace impmap {
namespace {

const char* const kHeaderHint = "\r\n\r\nTry skipping the header (see the \"Header\" group above) "
                                "and executing your mapping again";

// A failed field: the message the run ends with, and the same problem as the check report
// words it (without the head and the header hint).
struct FieldFailure
{
    std::string message;
    std::string checkLine;
};

FieldFailure MapsFailure(const DestinationRow& row, const char* reason, const std::string& value,
                         const char* hint)
{
    std::string problem =
        "Destination field \"" + row.caption + "\" maps " + reason + "\"" + value + "\"";
    return {kFailedHead + problem + hint, problem};
}

FieldFailure ValidatorFailure(const DestinationRow& row, const Rejection& rejection)
{
    return {rejection.what(),
            "Destination field \"" + row.caption + "\": " + rejection.ErrorLine()};
}

// Converts and checks one value by its row's type code. Returns a failure, or nothing.
class FieldRules
{
public:
    FieldRules(ExecuteCallbacks& callbacks, const ExecuteOptions& options, bool implied,
               const std::vector<std::string>& sourceFields)
        : callbacks_(callbacks), options_(options), implied_(implied), sourceFields_(sourceFields)
    {}

    std::optional<FieldFailure> Apply(const DestinationRow& row, int rowIndex, long record,
                                      const char* hint, std::string& value)
    {
        rowIndex_ = rowIndex;
        try {
            return ApplyRule(row, record, hint, value);
        } catch (const Rejection& rejection) {
            return ValidatorFailure(row, rejection);
        }
    }

private:
    std::optional<FieldFailure> ApplyRule(const DestinationRow& row, long record, const char* hint,
                                          std::string& value)
    {
        switch (row.typeCode) {
        case 'c':
        case 'C':
            if (!TryConvertAmount(value, row.typeCode, implied_) || !ParsesAsAmount(value))
                return MapsFailure(row, "to an invalid currency value ", value, hint);
            break;
        case 'u':
            if (!value.empty() && !ParsesAsInt32(value))
                return MapsFailure(row, "to an invalid US Postal Service Delivery Point value ",
                                   value, hint);
            break;
        case 'w':
            if (!value.empty() && !ParsesAsInt32(value))
                return MapsFailure(row, "to an invalid whole number value ", value, hint);
            break;
        case '#':
            CleanFloat(value);
            if (!ParsesAsFloat(value))
                return MapsFailure(row, "to an invalid floating point value ", value, hint);
            break;
        case 'I':
            ConvertIndicator(value);
            if (!value.empty() && value != "X")
                return MapsFailure(row, "to an invalid indicator value ", value, hint);
            break;
        case 'b':
            ConvertDate(record, value, false, true, row.caption, options_.today);
            break;
        case 'D':
            ConvertDate(record, value, true, false, row.caption, options_.today);
            break;
        case 'd':
            ConvertDate(record, value, false, false, row.caption, options_.today);
            break;
        case 'e':
            ValidateEmployerType(record, value, row.caption);
            break;
        case 'k':
            ValidateEmployerKind(record, value, row.caption);
            break;
        case 'n':
            NormalizeSsn(value);
            if ((!value.empty() && value.size() != 9) || !IsAllDigits(value))
                return MapsFailure(row, "to an invalid social security value ", value, hint);
            break;
        case 'N':
            return ApplyTaxpayerRule(row, record, hint, value);
        case 'Y':
            ConvertYear(record, value, row.caption);
            break;
        case 'y':
            ValidateOptionalYear(record, value, row.caption);
            break;
        default:
            break;
        }
        return std::nullopt;
    }

    // A bad taxpayer number stops the run on record 1; later it becomes zeros and a warning.
    std::optional<FieldFailure> ApplyTaxpayerRule(const DestinationRow& row, long record,
                                                  const char* hint, std::string& value)
    {
        NormalizeTaxpayerId(value);
        if (!value.empty() && value.size() != 9) {
            if (auto failure = BadTaxpayerId(row, record, hint, value))
                return failure;
        }
        // The digits check sees the replaced value, so one bad number warns once.
        if (!IsAllDigits(value)) {
            if (auto failure = BadTaxpayerId(row, record, hint, value))
                return failure;
        }
        return std::nullopt;
    }

    std::optional<FieldFailure> BadTaxpayerId(const DestinationRow& row, long record,
                                              const char* hint, std::string& value)
    {
        if (record <= 1)
            return MapsFailure(row, "to an invalid taxpayer identification value ", value, hint);
        const std::string warning =
            "Record " + std::to_string(record) + ": Bad TIN " + value + " (assigned to 000000000)";
        if (options_.checkAll) {
            callbacks_.Problem(warning);
            callbacks_.FieldProblemFound({record, rowIndex_, SourceValueOf(row, sourceFields_),
                                          warning.substr(warning.find(": ") + 2), true});
        } else
            callbacks_.Warning(warning);
        ++warnings;
        value = "000000000";
        return std::nullopt;
    }

    ExecuteCallbacks& callbacks_;
    const ExecuteOptions& options_;
    bool implied_;
    const std::vector<std::string>& sourceFields_;
    int rowIndex_ = -1;

public:
    long warnings = 0;
};

} // namespace

// A row's value as it stood in the source: its source field after merges, or its fixed value.
std::string SourceValueOf(const DestinationRow& row, const std::vector<std::string>& fields)
{
    if (row.sourceFieldNo <= 0)
        return row.fixed;
    const auto no = static_cast<size_t>(row.sourceFieldNo);
    return no <= fields.size() ? fields[no - 1] : std::string();
}

std::string_view SourceValueOf(const DestinationRow& row, RecordViews fields)
{
    if (row.sourceFieldNo <= 0)
        return row.fixed;
    const auto no = static_cast<size_t>(row.sourceFieldNo);
    return no <= fields.size() ? fields[no - 1] : std::string_view();
}

std::optional<FieldRuleFailure> ApplyFieldRule(const DestinationRow& row, int rowIndex, long record,
                                               bool headerHint, std::string& value,
                                               const std::vector<std::string>& sourceFields,
                                               ExecuteCallbacks& callbacks,
                                               const ExecuteOptions& options, bool implied,
                                               long& warnings)
{
    FieldRules rules(callbacks, options, implied, sourceFields);
    auto failure = rules.Apply(row, rowIndex, record, headerHint ? kHeaderHint : "", value);
    warnings += rules.warnings;
    if (!failure)
        return std::nullopt;
    return FieldRuleFailure{std::move(failure->message), std::move(failure->checkLine)};
}

std::string NullRecordNotice(long count)
{
    return "Your source file contains " + std::to_string(count) + " NULL record" +
           (count == 1 ? "." : "s.") + "\r\nNULL records are skipped during execution.";
}

namespace {

// Converts every row's value of record i (the record shown) into values. A row that fails ends
// the run (false, with result saying why), or in check mode is counted and reported.
bool ConvertRows(const Workspace& workspace, ExecuteCallbacks& callbacks,
                 const ExecuteOptions& options, FieldRules& rules, long i, const char* hint,
                 std::vector<std::string>& values, ExecuteResult& result)
{
    const auto& rows = workspace.Rows();
    for (size_t j = 0; j < rows.size(); ++j) {
        std::string& value = values[j];
        const std::string_view trimmed = TrimView(rows[j].value);
        value.assign(trimmed.data(), trimmed.size());
        auto failure = rules.Apply(rows[j], static_cast<int>(j), i, hint, value);
        if (!failure)
            continue;
        if (!options.checkAll) {
            result.outcome = ExecuteResult::Outcome::Failed;
            result.message = std::move(failure->message);
            result.failingRecord = i;
            result.failingRow = static_cast<int>(j);
            return false;
        }
        ++result.failures;
        ++result.problems;
        callbacks.Problem("Record " + std::to_string(i) + ": " + failure->checkLine);
        callbacks.FieldProblemFound({i, static_cast<int>(j),
                                     SourceValueOf(rows[j], workspace.SourceFields()),
                                     std::move(failure->checkLine), false});
    }
    return true;
}

} // namespace

ExecuteResult Execute(Workspace& workspace, ExecuteCallbacks& callbacks,
                      const ExecuteOptions& options)
{
    ExecuteResult result;
    long mapped = 0;
    for (const DestinationRow& row : workspace.Rows())
        mapped += row.sourceFieldNo;
    if (mapped == 0) {
        result.outcome = ExecuteResult::Outcome::Failed;
        result.message = std::string(kFailedHead) + "You haven't mapped anything";
        return result;
    }
    if (workspace.Executing())
        return result;

    Workspace::NotifyBatch batch(workspace);
    const long savedRecord = workspace.CurrentRecord();
    RunScope executing(workspace);
    const auto total = static_cast<long>(workspace.RecordCount());
    result.records = total;
    const long step = total > 1000 ? 25 : (total > 500 ? 10 : 1);
    callbacks.Started(total);

    FieldRules rules(callbacks, options, workspace.ImpliedDecimal(), workspace.SourceFields());
    const auto& rows = workspace.Rows();
    std::vector<std::string> values(rows.size());
    std::vector<std::string_view> valueViews, fieldViews;
    const bool wantsFields = callbacks.WantsSourceFields();
    std::string line;
    // Check mode warns of records that a line break inside a quoted value split.
    const std::vector<long> brokenRecords =
        options.checkAll ? workspace.RecordsEndingInsideQuotes() : std::vector<long>();
    auto nextBroken = brokenRecords.begin();

    for (long i = 1; i <= total; ++i) {
        workspace.GoToRecord(i);
        const char* hint = (i == 1 && workspace.Header() == HeaderMode::Read) ? kHeaderHint : "";
        if (i == 1 || i == total || i % step == 0)
            callbacks.Progress(i, total);
        if (callbacks.Cancelled()) {
            result.outcome = ExecuteResult::Outcome::Aborted;
            return result;
        }
        if (nextBroken != brokenRecords.end() && *nextBroken == i) {
            ++nextBroken;
            ++result.problems;
            callbacks.Problem(QuotedLineBreakWarning(i));
        }
        if (!workspace.RecordProblem().empty()) {
            result.outcome = ExecuteResult::Outcome::Failed;
            result.message = kFailedHead + workspace.RecordProblem();
            result.failingRecord = i;
            return result;
        }
        // A line of empty fields (a blank spreadsheet row) is a NULL record too.
        if (workspace.SourceFields().empty() ||
            IsBlankRecord(workspace.Lines().Line(static_cast<size_t>(i - 1)),
                          workspace.DelimiterCharacter(), workspace.Format().encoding)) {
            ++result.nullRecords;
            continue;
        }
        if (!ConvertRows(workspace, callbacks, options, rules, i, hint, values, result))
            return result;
        valueViews.assign(values.begin(), values.end());
        if (wantsFields)
            fieldViews.assign(workspace.SourceFields().begin(), workspace.SourceFields().end());
        callbacks.RecordValues(i, valueViews, fieldViews);
        line.clear();
        AppendOutputLine(values, line);
        callbacks.OutputLine(line);
        ++result.lines;
        callbacks.ProcessMessages();
    }
    result.problems += options.checkAll ? rules.warnings : 0;
    executing.ShowAtEnd(savedRecord);
    result.outcome = ExecuteResult::Outcome::Completed;
    return result;
}

} // namespace impmap

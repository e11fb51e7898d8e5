#include "tinmatch/TinMatchExport.h"

#include "convert/Converters.h"
#include "convert/Text.h"
#include "mapping/Workspace.h"
#include "tinmatch/TinMatchName.h"

namespace impmap {

std::string TinMatchLine(int tinType, std::string_view tin, std::string_view name, long record)
{
    std::string line = std::to_string(tinType);
    line += ';';
    line += tin;
    line += ';';
    line += name;
    line += ';';
    line += std::to_string(record);
    return line;
}

TinMatchExport::TinMatchExport(const Workspace& workspace, TinMatchFiles& files,
                               LeftOutSink leftOut)
    : rows_(FindTinMatchRows(workspace.Rows())), encoding_(workspace.Format().encoding),
      total_(static_cast<long>(workspace.RecordCount())), files_(files),
      leftOut_(std::move(leftOut))
{}

namespace {

// The taxpayer number a problem of the "Taxpayer id" row names, as the run saw it before zeros
// took its place: "Bad TIN VALUE (assigned to 000000000)" after record 1, "... value "VALUE""
// on record 1; the source value made a taxpayer number otherwise.
std::string BadTinOf(const FieldProblem& problem)
{
    const std::string_view text = problem.text;
    constexpr std::string_view kHead = "Bad TIN ", kTail = " (assigned to 000000000)";
    if (text.starts_with(kHead) && text.ends_with(kTail))
        return std::string(text.substr(kHead.size(), text.size() - kHead.size() - kTail.size()));
    constexpr std::string_view kValue = "value \"";
    const size_t value = text.rfind(kValue);
    if (value != std::string_view::npos && text.ends_with('"'))
        return std::string(
            text.substr(value + kValue.size(), text.size() - value - kValue.size() - 1));
    std::string tin = problem.sourceValue;
    NormalizeTaxpayerId(tin);
    return tin;
}

} // namespace

void TinMatchExport::FieldProblemFound(const FieldProblem& problem)
{
    if (problem.row != rows_.taxpayerId)
        return;
    badTinRecord_ = problem.record;
    badTin_ = BadTinOf(problem);
}

void TinMatchExport::RecordValues(long record, RecordViews values, RecordViews sourceFields)
{
    (void)sourceFields;
    NullRecordsBefore(record);
    lastRecord_ = record;
    const auto valueOf = [&values](int row) {
        return row >= 0 && static_cast<size_t>(row) < values.size()
                   ? values[static_cast<size_t>(row)]
                   : std::string_view();
    };
    const std::string_view tin = valueOf(rows_.taxpayerId);
    if (badTinRecord_ == record)
        return LeaveOut(record, "bad TIN " + badTin_);
    if (tin.empty())
        return LeaveOut(record, "no TIN");
    if (tin.size() != 9 || !IsAllDigits(tin) || tin == "000000000")
        return LeaveOut(record, "bad TIN " + std::string(tin));
    const std::string_view given = valueOf(rows_.name);
    if (TrimView(given).empty())
        return LeaveOut(record, "empty name");
    const std::string name = TinMatchName(given, encoding_);
    if (name.empty())
        return LeaveOut(record, "no letter or digit in the name");
    line_ = TinMatchLine(TinMatchType(valueOf(rows_.tinType)), tin, name, record);
    files_.Add(line_);
}

void TinMatchExport::Finish()
{
    NullRecordsBefore(total_ + 1);
    lastRecord_ = total_;
}

void TinMatchExport::NullRecordsBefore(long record)
{
    // Every record that is not NULL gets its values; the ones between were NULL.
    for (long r = lastRecord_ + 1; r < record; ++r)
        LeaveOut(r, "NULL record");
}

void TinMatchExport::LeaveOut(long record, const std::string& reason)
{
    ++leftOutCount_;
    if (leftOut_)
        leftOut_(record, "Record " + std::to_string(record) + ": left out: " + reason);
}

} // namespace impmap

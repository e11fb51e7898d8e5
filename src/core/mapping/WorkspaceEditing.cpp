// Workspace: the user's edits of the mapping (assign, unassign, merge, fixed values, reset,
// map by name) and the report of which rows a source field feeds.
#include "convert/Converters.h"
#include "convert/Rejection.h"
#include "convert/Text.h"
#include "io/IniFile.h"
#include "mapping/Workspace.h"

namespace impmap {

void Workspace::CheckMappableField(int sourceFieldNo) const
{
    if (sourceFieldNo > kMaxMappedField) {
        throw Rejection("Source field No. " + std::to_string(sourceFieldNo) +
                        " cannot be mapped.\r\n\r\nA mapping can use source fields 1 to " +
                        std::to_string(kMaxMappedField) + " only.");
    }
}

void Workspace::AssignRow(int row, int sourceFieldNo)
{
    DestinationRow& r = rows_[static_cast<size_t>(row)];
    r.value = sourceFields_[static_cast<size_t>(sourceFieldNo - 1)];
    r.fixed.clear();
    r.sourceFieldNo = sourceFieldNo;
}

void Workspace::AssignSourceField(int row, int sourceFieldNo)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || sourceFieldNo < 1 ||
        sourceFieldNo > static_cast<int>(sourceFields_.size()))
        return;
    DestinationRow& r = rows_[static_cast<size_t>(row)];
    if (r.sourceFieldNo == sourceFieldNo) {
        r.value.clear();
        r.fixed.clear();
        r.sourceFieldNo = 0;
    } else {
        CheckMappableField(sourceFieldNo);
        AssignRow(row, sourceFieldNo);
    }
    SetModified(true);
    ConvertDestinationValues();
}

void Workspace::MergeInto(int target, int dragged)
{
    // The record's whole count, so that a field past the ones kept is refused with the reason.
    const auto fieldCount =
        sourceFields_.empty() ? 0LL : static_cast<long long>(SourceFieldCount());
    if (target < 1 || dragged < 1 || target > fieldCount || dragged > fieldCount ||
        target == dragged)
        return;
    if (target > kMaxMergeField || dragged > kMaxMergeField) {
        throw Rejection("Source field No. " + std::to_string(std::max(target, dragged)) +
                        " cannot be merged.\r\n\r\nMerges can use source fields 1 to " +
                        std::to_string(kMaxMergeField) + " only.");
    }
    int& entry = merges_[static_cast<size_t>(target)];
    entry = (entry == dragged) ? 0 : dragged;
    RebuildActiveMerges();
    Notify(kChangeMerges);
    ShowRecord(currentRecord_);
    SetModified(true);
}

void Workspace::ToggleAssignment(int row, int selectedSourceField)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    DestinationRow& r = rows_[static_cast<size_t>(row)];
    if (r.sourceFieldNo != 0) {
        r.sourceFieldNo = 0;
        r.value.clear();
        r.fixed.clear();
    } else {
        if (selectedSourceField < 1 || selectedSourceField > static_cast<int>(sourceFields_.size()))
            throw Rejection("A source field has not been selected for assignment");
        CheckMappableField(selectedSourceField);
        AssignRow(row, selectedSourceField);
    }
    SetModified(true);
    ConvertDestinationValues();
}

void Workspace::CheckFixedValueAllowed(int row) const
{
    const DestinationRow& r = rows_.at(static_cast<size_t>(row));
    if (r.sourceFieldNo != 0) {
        throw Rejection("Cannot override!\r\n\r\nDestination field \"" + r.caption +
                        "\" maps to source field " + std::to_string(r.sourceFieldNo));
    }
}

void Workspace::SetFixedValue(int row, const std::optional<std::string>& entered)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    CheckFixedValueAllowed(row);
    if (!entered) {
        ConvertDestinationValues();
        return;
    }
    DestinationRow& r = rows_[static_cast<size_t>(row)];
    std::string typed = UpperAscii(TrimView(*entered));
    // A map file keeps a value on one line of at most kMaxValueLength bytes: what it cannot read
    // back whole is refused here rather than cut or split there.
    if (typed.find_first_of("\r\n") != std::string::npos) {
        throw Rejection("The value for \"" + r.caption +
                        "\" holds a line break, which a map file cannot keep. Type it on one "
                        "line.");
    }
    if (typed.size() > IniFile::kMaxValueLength) {
        throw Rejection("The value for \"" + r.caption + "\" is " + std::to_string(typed.size()) +
                        " bytes long; a map file keeps at most " +
                        std::to_string(IniFile::kMaxValueLength) + " bytes of a fixed value.");
    }
    // A value equal to what the empty text converts to is no fixed value, as a map file reads it.
    if (typed == EmptyTextConverted(r.typeCode, ImpliedDecimal()))
        typed.clear();
    if (r.fixed != typed) {
        r.fixed = std::move(typed);
        SetModified(true);
    }
    ConvertDestinationValues();
}

FeedReport Workspace::RowsFedBy(int sourceFieldNo) const
{
    FeedReport report;
    if (sourceFieldNo < 1 || sourceFieldNo > static_cast<int>(sourceFields_.size()) ||
        rows_.empty())
        return report;
    const std::string& value = sourceFields_[static_cast<size_t>(sourceFieldNo - 1)];
    std::vector<std::string> captions;
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        if (rows_[static_cast<size_t>(i)].sourceFieldNo == sourceFieldNo) {
            report.rows.push_back(i);
            captions.push_back(rows_[static_cast<size_t>(i)].caption);
        }
    }
    const std::string number = std::to_string(sourceFieldNo);
    if (report.rows.empty()) {
        throw Rejection("Source field No. " + number + " (" + value + ")\r\nhas not been mapped");
    }
    report.title = "Source Field No. " + number;
    if (report.rows.size() == 1) {
        report.text =
            "Source field: " + value + "\r\n\r\nmaps to \r\n\r\nDestination: " + captions.front();
    } else {
        report.text = "Source field: " + value + "\r\n\r\nmaps to the following " +
                      std::to_string(report.rows.size()) + " destination fields: \r\n\r\n" +
                      CommaText(captions);
    }
    return report;
}

void Workspace::ResetMapping()
{
    SetTinTypeValue({});
    LoadDestinationFields();
    ClearMerges();
    GoToRecord(1);
    SetModified(true);
}

bool Workspace::MapByNameEnabled() const
{
    return header_ == HeaderMode::Read && !sourceFields_.empty() && !rows_.empty();
}

void Workspace::MapByName()
{
    LoadDestinationFields();
    ClearMerges();
    SetModified(true);
    GoToRecord(1);
    for (int i = 1; i <= static_cast<int>(sourceFields_.size()); ++i) {
        const std::string& name = sourceFields_[static_cast<size_t>(i - 1)];
        if (name.empty())
            continue;
        for (DestinationRow& row : rows_) {
            if (EqualsIgnoreCaseAscii(row.caption, name) && i <= kMaxMappedField) {
                row.value = name;
                row.sourceFieldNo = i;
            }
        }
    }
    // The rows show the values converted at once, as showing the record would.
    ConvertDestinationValues();
}

} // namespace impmap

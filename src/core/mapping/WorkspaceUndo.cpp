// Workspace: what undo and redo need, the mapping taken and put back whole, and source records
// put back one at a time.
#include "mapping/Workspace.h"

#include <algorithm>

namespace impmap {

MappingState Workspace::CaptureMapping() const
{
    MappingState state{formIndex_, decimal_, delimiter_, header_, trace_, {}, {}, TinTypeValue()};
    state.rows.reserve(rows_.size());
    for (const DestinationRow& row : rows_) {
        if (row.sourceFieldNo != 0)
            state.rows.push_back(RowMapping{row.sourceFieldNo, {}});
        else
            state.rows.push_back(RowMapping{0, row.fixed});
    }
    for (int k = 1; k <= kMaxMergeField; ++k) {
        if (const int m = merges_[static_cast<size_t>(k)]; m > 0)
            state.merges.emplace_back(k, m);
    }
    return state;
}

void Workspace::RestoreMapping(const MappingState& state, std::string mapFileName)
{
    NotifyBatch batch(*this);
    if (state.formIndex != formIndex_) {
        SelectForm(state.formIndex);
        LoadDestinationFields();
    }
    decimal_ = state.decimal;
    trace_ = state.trace;
    Notify(kChangeSettings);
    // Another reading of the source reloads it, as the user's own choice does.
    if (state.delimiter != delimiter_)
        ChangeDelimiter(state.delimiter);
    if (state.header != header_)
        SetHeader(state.header);

    const size_t count = std::min(rows_.size(), state.rows.size());
    for (size_t i = 0; i < count; ++i) {
        rows_[i].sourceFieldNo = state.rows[i].sourceFieldNo;
        rows_[i].fixed = state.rows[i].fixedValue; // a mapped row takes its value from the record
        rows_[i].value = rows_[i].fixed;
    }
    merges_.fill(0);
    for (const auto& [field, source] : state.merges)
        merges_[static_cast<size_t>(field)] = source;
    RebuildActiveMerges();
    Notify(kChangeRowValues | kChangeMerges);
    if (currentRecord_ >= 1 && static_cast<size_t>(currentRecord_) <= lines_.Count())
        ShowRecord(currentRecord_);
    else
        ConvertDestinationValues();
    SetModified(CaptureMapping() != savedMapping_);
    SetMapCaption(std::move(mapFileName));
}

// After record n was put back or replaced: the header line, the marks and the delimiter follow,
// and the record is shown.
void Workspace::ShowChangedRecord(long n)
{
    SyncHeaderRecord();
    sourceModified_ = true;
    Notify(kChangeSourceLines | kChangeSourceModified);
    if (n == 1)
        DetectDelimiterAgain();
    GoToRecord(n);
}

void Workspace::ReplaceRecord(long n, std::string line)
{
    if (n < 1 || static_cast<size_t>(n) > lines_.Count())
        return;
    NotifyAboutToChange(kChangeSourceLines);
    lines_.Replace(static_cast<size_t>(n - 1), std::move(line));
    ShowChangedRecord(n);
}

void Workspace::InsertRecord(long n, std::string line)
{
    if (n < 1 || static_cast<size_t>(n) > lines_.Count() + 1)
        return;
    NotifyAboutToChange(kChangeSourceLines);
    lines_.Insert(static_cast<size_t>(n - 1), std::move(line));
    ShowChangedRecord(n);
}

void Workspace::DeleteRecord(long n)
{
    if (n < 1 || static_cast<size_t>(n) > lines_.Count())
        return;
    currentRecord_ = n;
    DeleteCurrentRecord();
}

void Workspace::SetSourceModified(bool modified)
{
    sourceModified_ = modified;
    Notify(kChangeSourceModified);
}

} // namespace impmap

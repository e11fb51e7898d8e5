// Workspace: applying a suggested mapping in one step.
#include "convert/Rejection.h"
#include "mapping/Workspace.h"

#include <algorithm>

namespace impmap {

void Workspace::ApplySuggestions(const std::vector<AssignmentChoice>& choices)
{
    // Everything is checked before anything changes.
    for (const AssignmentChoice& choice : choices) {
        if (choice.row < 0 || choice.row >= static_cast<int>(rows_.size()) ||
            choice.sourceFieldNo < 1)
            throw Rejection("A suggested mapping names a row or a source field that is not there.");
        CheckMappableField(choice.sourceFieldNo);
        for (size_t i = 0; i < choice.merged.size(); ++i) {
            const int m = choice.merged[i];
            const bool repeated =
                m == choice.sourceFieldNo ||
                std::find(choice.merged.begin(),
                          choice.merged.begin() + static_cast<std::ptrdiff_t>(i),
                          m) != choice.merged.begin() + static_cast<std::ptrdiff_t>(i);
            if (repeated)
                throw Rejection("A suggested mapping merges source field No. " + std::to_string(m) +
                                " twice.");
            if (m < 1 || m > kMaxMergeField) {
                throw Rejection("Source field No. " + std::to_string(m) +
                                " cannot be merged.\r\n\r\nMerges can use source fields 1 to " +
                                std::to_string(kMaxMergeField) + " only.");
            }
        }
    }
    if (choices.empty())
        return;
    NotifyBatch batch(*this);
    for (const AssignmentChoice& choice : choices) {
        rows_[static_cast<size_t>(choice.row)].sourceFieldNo = choice.sourceFieldNo;
        // The field shows exactly the merges chosen: first, then each merged one in turn.
        int previous = choice.sourceFieldNo;
        for (const int m : choice.merged) {
            merges_[static_cast<size_t>(previous)] = m;
            previous = m;
        }
        merges_[static_cast<size_t>(previous)] = 0;
    }
    RebuildActiveMerges();
    Notify(kChangeMerges);
    SetModified(true);
    if (currentRecord_ > 0) {
        ShowRecord(currentRecord_);
    } else {
        ConvertDestinationValues();
        Notify(kChangeRowValues);
    }
}

} // namespace impmap

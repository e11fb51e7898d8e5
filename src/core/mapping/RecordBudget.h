#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// Bounds on what showing one source record may hold beyond the record itself: merged field values
// and the values copied into the destination rows. A hostile record (a 2 MB line with a chain of
// merges through a thousand fields) would otherwise take gigabytes.
namespace impmap {

// The most bytes that merges may add to the shown fields plus the values of the mapped rows.
constexpr size_t kRecordValueBudget = 8 * 1024 * 1024;

// The bytes that merges would add to fields, applied as ApplyMerges does (fields k in
// activeMerges, highest first, each gaining a blank and the current value of field merges[k]).
// Computed on lengths alone, without building any value.
size_t MergeGrowth(const std::vector<std::string>& fields, const std::vector<int>& activeMerges,
                   const std::array<int, 1001>& merges);

// Appends to every field k in activeMerges (highest first) a blank and the current value of
// field merges[k], skipping merges that name a field the record lacks.
void ApplyMergesTo(std::vector<std::string>& fields, const std::vector<int>& activeMerges,
                   const std::array<int, 1001>& merges);

// Why showing a record with these fields (split, before merges) cannot map it, as the record
// display reports it: the merges, or the values of the rows mapped to mappedFields (source field
// numbers in row order, 0 for none) after merges, need more than the budget. Empty when it can.
// Computed on lengths alone.
std::string RecordValueProblem(long record, const std::vector<std::string>& fields,
                               const std::vector<int>& activeMerges,
                               const std::array<int, 1001>& merges,
                               const std::vector<int>& mappedFields);

// The same, on the lengths of the fields (as SplitFieldLengths gives them), so that a record
// of hundreds of megabytes can be judged without a copy of it.
size_t MergeGrowth(const std::vector<size_t>& lengths, const std::vector<int>& activeMerges,
                   const std::array<int, 1001>& merges);
std::string RecordValueProblem(long record, const std::vector<size_t>& lengths,
                               const std::vector<int>& activeMerges,
                               const std::array<int, 1001>& merges,
                               const std::vector<int>& mappedFields);

// "Source record N is too large to map: ..." for a record whose values need bytes.
std::string RecordTooLargeMessage(long record, size_t bytes);

} // namespace impmap

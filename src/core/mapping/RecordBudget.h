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

// "Source record N is too large to map: ..." for a record whose values need bytes.
std::string RecordTooLargeMessage(long record, size_t bytes);

} // namespace impmap

#include "mapping/RecordBudget.h"

#include <cstdio>

namespace impmap {

namespace {

std::vector<size_t> LengthsOf(const std::vector<std::string>& fields)
{
    std::vector<size_t> lengths(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        lengths[i] = fields[i].size();
    return lengths;
}

} // namespace

size_t MergeGrowth(const std::vector<std::string>& fields, const std::vector<int>& activeMerges,
                   const std::array<int, 1001>& merges)
{
    return MergeGrowth(LengthsOf(fields), activeMerges, merges);
}

std::string RecordValueProblem(long record, const std::vector<std::string>& fields,
                               const std::vector<int>& activeMerges,
                               const std::array<int, 1001>& merges,
                               const std::vector<int>& mappedFields)
{
    return RecordValueProblem(record, LengthsOf(fields), activeMerges, merges, mappedFields);
}

size_t MergeGrowth(const std::vector<size_t>& lengths, const std::vector<int>& activeMerges,
                   const std::array<int, 1001>& merges)
{
    const size_t count = lengths.size();
    std::vector<size_t> length = lengths;
    size_t growth = 0;
    for (int k : activeMerges) {
        const auto m = static_cast<size_t>(merges[static_cast<size_t>(k)]);
        if (static_cast<size_t>(k) > count || m > count)
            continue;
        const size_t added = 1 + length[m - 1];
        length[static_cast<size_t>(k) - 1] += added;
        growth += added;
        // Beyond the budget the exact figure no longer matters; stop before it could overflow.
        if (growth > kRecordValueBudget)
            return growth;
    }
    return growth;
}

void ApplyMergesTo(std::vector<std::string>& fields, const std::vector<int>& activeMerges,
                   const std::array<int, 1001>& merges)
{
    const auto fieldCount = static_cast<int>(fields.size());
    for (int k : activeMerges) {
        const int m = merges[static_cast<size_t>(k)];
        if (k > fieldCount || m > fieldCount)
            continue;
        std::string& target = fields[static_cast<size_t>(k - 1)];
        target += ' ';
        target += fields[static_cast<size_t>(m - 1)];
    }
}

std::string RecordValueProblem(long record, const std::vector<size_t>& lengths,
                               const std::vector<int>& activeMerges,
                               const std::array<int, 1001>& merges,
                               const std::vector<int>& mappedFields)
{
    const size_t growth = MergeGrowth(lengths, activeMerges, merges);
    if (growth > kRecordValueBudget)
        return RecordTooLargeMessage(record, growth);
    const size_t count = lengths.size();
    std::vector<size_t> length = lengths;
    // The lengths ApplyMergesTo gives: a field merged with itself appends its blank too.
    for (int k : activeMerges) {
        const auto target = static_cast<size_t>(k);
        const auto m = static_cast<size_t>(merges[target]);
        if (target > count || m > count)
            continue;
        length[target - 1] += 1 + (m == target ? length[target - 1] + 1 : length[m - 1]);
    }
    size_t used = growth;
    for (int no : mappedFields) {
        if (no <= 0 || static_cast<size_t>(no) > count)
            continue;
        used += length[static_cast<size_t>(no) - 1];
        if (used > kRecordValueBudget)
            return RecordTooLargeMessage(record, used);
    }
    return {};
}

std::string RecordTooLargeMessage(long record, size_t bytes)
{
    char size[32];
    std::snprintf(size, sizeof size, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return "Source record " + std::to_string(record) +
           " is too large to map: its merged fields and mapped values need more than " + size +
           ", and at most " + std::to_string(kRecordValueBudget / (1024 * 1024)) +
           " MB can be held for one record";
}

} // namespace impmap

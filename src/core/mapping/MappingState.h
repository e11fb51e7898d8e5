#pragma once

#include "source/SourceSettings.h"

#include <string>
#include <utility>
#include <vector>

namespace impmap {

// One destination row as the user mapped it: its source field, or (unmapped) its fixed value.
struct RowMapping
{
    int sourceFieldNo = 0;
    std::string fixedValue; // empty for a mapped row

    bool operator==(const RowMapping&) const = default;
};

// The mapping as the user makes it, apart from the source file it reads: the settings a map file
// keeps, every row's mapping, the merges and the TIN type value. It is small (a few hundred rows
// at most), so every undo step keeps two of them.
struct MappingState
{
    int formIndex = -1;
    DecimalMode decimal = DecimalMode::Normal;
    Delimiter delimiter = Delimiter::None;
    HeaderMode header = HeaderMode::Read;
    TraceMode trace = TraceMode::On;
    std::vector<RowMapping> rows;
    std::vector<std::pair<int, int>> merges; // (field, the field merged into it), by field
    std::string tinTypeValue;

    bool operator==(const MappingState&) const = default;
};

} // namespace impmap

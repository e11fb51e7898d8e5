#pragma once

#include <string>

namespace impmap {

// One destination field of the selected form: the mapping of that field and its value for the
// record on display. An unmapped row keeps the user's fixed value apart from what it shows, so
// that showing a record (which may derive the TIN type) never changes the mapping.
struct DestinationRow
{
    std::string caption;
    std::string value;
    int sourceFieldNo = 0; // 0: not mapped
    char typeCode = '$';
    std::string fixed = {}; // an unmapped row's fixed value (trimmed); empty for a mapped row
};

} // namespace impmap

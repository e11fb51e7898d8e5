#pragma once

#include <string>

namespace impmap {

// One destination field of the selected form: the mapping of that field and its value for the
// record on display (or its fixed value when unmapped).
struct DestinationRow
{
    std::string caption;
    std::string value;
    int sourceFieldNo = 0; // 0: not mapped
    char typeCode = '$';
};

} // namespace impmap

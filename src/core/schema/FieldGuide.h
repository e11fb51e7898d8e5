#pragma once

#include <string>
#include <string_view>
#include <vector>

// The field guide: the help text shown for a destination row of a given type code.
namespace impmap {

// The guide lines of a type code, in order; empty for codes without a guide ('$', '#', unknown).
const std::vector<std::string_view>& FieldGuideLines(char typeCode);

// The guide of a row: the caption, then each guide line after CR LF (the first after CR LF CR LF
// for the coded lists 'e', 'k' and 'g'), then, when the trimmed value is neither empty nor
// "N/A", CR LF CR LF "Data mapped = " and the trimmed value.
std::string FieldGuideText(std::string_view caption, char typeCode, std::string_view value);

} // namespace impmap

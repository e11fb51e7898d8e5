#pragma once

#include "source/SourceSettings.h"

#include <string>

// The one-line header record of a layout, as "Create Header" writes it.
namespace impmap {

// The layout's captions in schema order joined by the delimiter (each caption in double quotes
// for Comma), without a line end. Empty for no form or no delimiter.
std::string HeaderLine(int formIndex, Delimiter delimiter);

// "1099MISC_2022_Header_Comma": form name without hyphens, "_2022_Header_" and the delimiter name.
std::string ProposedHeaderFileName(int formIndex, Delimiter delimiter);

} // namespace impmap

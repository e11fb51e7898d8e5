#pragma once

#include "source/SourceFormat.h"

#include <cstddef>
#include <string>
#include <string_view>

// The name of a TIN Matching request. The IRS's bulk program takes letters, digits, blanks,
// hyphens and ampersands only, at most 40 of them.
namespace impmap {

inline constexpr size_t kTinMatchNameLength = 40;

// The name as a TIN Matching line carries it: accented Latin letters become their base letters
// ("Müller" gives "Muller", "ß" gives "ss"), every other character that is not a letter, digit,
// blank, hyphen or ampersand is dropped ("O'Brien & Sons, LLC" gives "OBrien & Sons LLC"), runs
// of blanks and control characters become one blank, and the result is cut at 40 characters and
// trimmed. name is text in encoding; bytes that are no valid text in it are dropped.
std::string TinMatchName(std::string_view name, TextEncoding encoding);

} // namespace impmap

#pragma once

#include <cstddef>
#include <string_view>

// The run's one-pass conversions of the values most files hold; anything else goes to the general
// converters of Converters.h, which give the same result.
namespace impmap {

// Writes the converted form of a money amount in the common shapes ("$1,234.50", "(75.00)",
// "-12", "") in one pass and returns its length, or 0 when the text needs the general
// conversion (blanks, letters, exponents, more than 14 integer or 4 decimal digits, a minus sign
// after the digits). out needs room for 20 bytes.
size_t ConvertCommonAmount(std::string_view text, char typeCode, char* out);

// The written form of an indicator given as a yes or no word (any case), "X" or nothing: "X" or
// empty. False for any other text, which needs the general conversion.
bool ConvertCommonIndicator(std::string_view text, std::string_view& written);

} // namespace impmap

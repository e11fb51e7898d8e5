#pragma once

#include <string>

// The one-line header record of a layout, as "Create Header" writes it.
namespace impmap {

// Delimiter indexes as the Delimiter setting holds them.
enum DelimiterIndex : int
{
    kNoDelimiter = -1,
    kTab = 0,
    kComma = 1,
    kPipe = 2
};

// The delimiter byte of an index; Tab when none is chosen.
char DelimiterChar(int delimiterIndex);
// "Tab", "Comma" or "Pipe"; empty for none.
const char* DelimiterName(int delimiterIndex);

// The layout's captions in schema order joined by the delimiter (each caption in double quotes
// for Comma), without a line end. Empty for no form or no delimiter.
std::string HeaderLine(int formIndex, int delimiterIndex);

// "1099MISC_2022_Header_Comma": form name without hyphens, "_2022_Header_" and the delimiter name.
std::string ProposedHeaderFileName(int formIndex, int delimiterIndex);

} // namespace impmap

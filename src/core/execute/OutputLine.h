#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace impmap {

// Appends one output record: the values joined by commas; a value holding a blank, a control
// character (1 to 31), a double quote or a comma is written in double quotes with its quotes
// doubled. A layout of one row with an empty value gives two double quotes.
void AppendOutputLine(const std::vector<std::string>& values, std::string& line);

} // namespace impmap

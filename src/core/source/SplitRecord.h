#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splitting one source record into its fields.
namespace impmap {

// Every byte 0xA0 (non-breaking space) becomes a blank.
void ReplaceNonBreakingSpaces(std::string& text);

// Fills fields with the record's fields. A double quote toggles the inside-quotes state and is
// dropped; a delimiter outside quotes ends a field; every field is trimmed (bytes 0 to 32). An
// empty text gives no fields (a NULL record). Reuses the strings already in fields.
void SplitRecord(std::string_view text, char delimiter, std::vector<std::string>& fields);

// The delimiter index (0 Tab, 1 Comma, 2 Pipe) that a first line suggests, or current when the
// line decides nothing: Tab or Comma wins only with a strict majority; Pipe wins every tie it
// takes part in.
int DetectDelimiterIndex(std::string_view firstLine, int current);

} // namespace impmap

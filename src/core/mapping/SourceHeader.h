#pragma once

#include <string>
#include <vector>

// The header line of a source, as saved with a map in its [Source Header] section (one key per
// column, "001=TEXT"), so that a map opened on a file whose columns moved can say so.
namespace impmap {

class IniFile;
class Workspace;

// True when fields read as column headers rather than as a record: each holds a letter, none
// reads as a number, an amount or a date, and at least one is not empty.
bool LooksLikeHeaderLine(const std::vector<std::string>& fields);

// The column headers of the loaded source when it has a header line: the line that Header Skip
// takes away, or under Header Read the first line when it looks like one. Empty otherwise.
std::vector<std::string> SourceHeaderFields(const Workspace& workspace);

// Writes the [Source Header] section (nothing for no fields); at most 999 columns are kept.
void WriteSourceHeader(IniFile& ini, const std::vector<std::string>& fields);
// The saved header: the keys 001, 002, ... up to the first missing one.
std::vector<std::string> ReadSourceHeader(const IniFile& ini);

} // namespace impmap

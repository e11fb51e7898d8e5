#pragma once

#include "source/SourceLines.h"

#include <string>
#include <vector>

// Lines broken inside quoted values: a spreadsheet cell that holds a line break is exported as a
// quoted value spanning two lines, which the reader, one record a line, splits into two records.
namespace impmap {

// The 0-based indexes of the lines that end inside a quoted value which a later line closes: a
// line with an odd number of double quotes opens the value, the next line with an odd number
// closes it, and the lines between (an even number each) continue it. A value left open for more
// than kMaxContinuedLines lines is taken for a stray quote and does not count.
inline constexpr size_t kMaxContinuedLines = 10;
std::vector<size_t> LinesEndingInsideQuotes(const SourceLines& lines);

// The same worked out from the 0-based indexes of the lines with an odd number of double quotes,
// in order: the reading of every line is the slow part, and is done once.
std::vector<size_t> LinesWithOddQuotes(const SourceLines& lines);
std::vector<size_t> LinesEndingInsideQuotes(const std::vector<size_t>& oddLines);

// The lines with each line break inside a quoted value replaced by a blank; joins counts the
// line breaks replaced.
SourceLines JoinLinesBrokenInsideQuotes(const SourceLines& lines, size_t& joins);

// Line i, joined as JoinLinesBrokenInsideQuotes joins it with the lines that continue its
// quoted value when it ends inside one; as it stands otherwise.
std::string JoinedLine(const SourceLines& lines, size_t i);

// "Record N: Warning: the record ends inside a quoted value; the next line continues it (a cell
// with a line break?)".
std::string QuotedLineBreakWarning(long record);

// The notice shown when a file with such records is opened: the first record and the count.
std::string QuotedLineBreakNotice(long firstRecord, size_t count);

// The question asked before a run over such records: "N records end inside a quoted value ...
// Join them before executing?".
std::string JoinBeforeExecutingQuestion(long firstRecord, size_t count);

} // namespace impmap

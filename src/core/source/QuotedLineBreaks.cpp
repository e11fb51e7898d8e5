#include "source/QuotedLineBreaks.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace impmap {
namespace {

// Whether line holds an odd number of double quotes. Eight bytes are looked at a time: a byte of
// x is zero exactly where the line has a quote, and the sum leaves the high bit of just those
// bytes clear, without carries between bytes. Only the parity counts, so the marks are combined
// by exclusive or and folded once at the end.
bool OddQuotes(std::string_view line)
{
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    constexpr std::uint64_t kQuotes = 0x2222222222222222u;
    std::uint64_t marks = 0;
    size_t i = 0;
    for (; line.size() - i >= 8; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, line.data() + i, sizeof word);
        const std::uint64_t x = word ^ kQuotes;
        marks ^= ~(((x & kLow7) + kLow7) | x) & kHigh;
    }
    marks ^= marks >> 32;
    marks ^= marks >> 16;
    marks ^= marks >> 8;
    bool odd = (marks & 0x80) != 0;
    for (; i < line.size(); ++i)
        odd ^= line[i] == '"';
    return odd;
}

} // namespace

std::vector<size_t> LinesWithOddQuotes(const SourceLines& lines)
{
    std::vector<size_t> odd;
    for (size_t i = 0; i < lines.Count(); ++i) {
        if (OddQuotes(lines.Line(i)))
            odd.push_back(i);
    }
    return odd;
}

std::vector<size_t> LinesEndingInsideQuotes(const std::vector<size_t>& oddLines)
{
    // Each odd line opens a value that the next odd line closes, unless that one is too far off
    // (or missing): then the quote was a stray one and the next odd line opens afresh.
    std::vector<size_t> broken;
    size_t k = 0;
    while (k < oddLines.size()) {
        const size_t open = oddLines[k];
        const bool closed = k + 1 < oddLines.size() && oddLines[k + 1] - open <= kMaxContinuedLines;
        if (!closed) {
            ++k;
            continue;
        }
        for (size_t line = open; line < oddLines[k + 1]; ++line)
            broken.push_back(line);
        k += 2;
    }
    return broken;
}

std::vector<size_t> LinesEndingInsideQuotes(const SourceLines& lines)
{
    return LinesEndingInsideQuotes(LinesWithOddQuotes(lines));
}

SourceLines JoinLinesBrokenInsideQuotes(const SourceLines& lines, size_t& joins)
{
    const std::vector<size_t> broken = LinesEndingInsideQuotes(lines);
    joins = broken.size();
    std::string text;
    size_t size = 0;
    for (size_t i = 0; i < lines.Count(); ++i)
        size += lines.Line(i).size() + 1;
    text.reserve(size);
    auto next = broken.begin();
    for (size_t i = 0; i < lines.Count(); ++i) {
        text += lines.Line(i);
        const bool continues = next != broken.end() && *next == i;
        if (continues)
            ++next;
        text += continues ? ' ' : '\n';
    }
    return SourceLines(std::move(text));
}

std::string JoinedLine(const SourceLines& lines, size_t i)
{
    std::string text(lines.Line(i));
    if (!OddQuotes(text))
        return text;
    size_t closing = i + 1;
    while (closing < lines.Count() && closing - i <= kMaxContinuedLines &&
           !OddQuotes(lines.Line(closing)))
        ++closing;
    if (closing == lines.Count() || closing - i > kMaxContinuedLines)
        return text; // a stray quote
    for (size_t next = i + 1; next <= closing; ++next)
        text.append(" ").append(lines.Line(next));
    return text;
}

std::string QuotedLineBreakWarning(long record)
{
    return "Record " + std::to_string(record) +
           ": Warning: the record ends inside a quoted value; the next line continues it (a cell "
           "with a line break?)";
}

std::string QuotedLineBreakNotice(long firstRecord, size_t count)
{
    const std::string first = "record " + std::to_string(firstRecord);
    return std::to_string(count) + (count == 1 ? " record ends" : " records end") +
           " inside a quoted value that the next line continues (a cell with a line break?)" +
           (count == 1 ? ": " + first : "; the first is " + first) +
           ".\r\nEach line is read as a record of its own. Tools > Join Lines Broken Inside Quotes "
           "joins them.";
}

std::string JoinBeforeExecutingQuestion(long firstRecord, size_t count)
{
    const std::string first = "record " + std::to_string(firstRecord);
    return std::to_string(count) + (count == 1 ? " record ends" : " records end") +
           " inside a quoted value that the next line continues (a cell with a line break?)" +
           (count == 1 ? ": " + first : "; the first is " + first) +
           ".\r\nEach line would be executed as a record of its own. Join " +
           (count == 1 ? "it" : "them") + " before executing?";
}

} // namespace impmap

#include "source/QuotedLineBreaks.h"

#include <algorithm>

namespace impmap {
namespace {

bool OddQuotes(std::string_view line)
{
    return std::count(line.begin(), line.end(), '"') % 2 == 1;
}

} // namespace

std::vector<size_t> LinesEndingInsideQuotes(const SourceLines& lines)
{
    std::vector<size_t> broken;
    const size_t count = lines.Count();
    size_t i = 0;
    while (i < count) {
        if (!OddQuotes(lines.Line(i))) {
            ++i;
            continue;
        }
        size_t closing = i + 1;
        while (closing < count && closing - i <= kMaxContinuedLines &&
               !OddQuotes(lines.Line(closing)))
            ++closing;
        if (closing == count || closing - i > kMaxContinuedLines) {
            ++i; // a stray quote: the next line starts afresh
            continue;
        }
        for (size_t open = i; open < closing; ++open)
            broken.push_back(open);
        i = closing + 1;
    }
    return broken;
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

} // namespace impmap

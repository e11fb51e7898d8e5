#include "source/SourceLines.h"

#include <cstddef>

namespace impmap {

namespace {

// Calls onLine with the start offset of every line of bytes. CR LF, a lone LF and a lone CR each
// end a line; a final line end does not make an extra line.
template <typename OnLine> void ForEachLineStart(std::string_view bytes, OnLine onLine)
{
    size_t start = 0;
    while (start < bytes.size()) {
        onLine(start);
        const size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            return;
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
}

} // namespace

SourceLines::SourceLines(std::string bytes) : bytes_(std::move(bytes))
{
    // Counted first, so that the list is allocated once at its final size.
    size_t count = 0;
    ForEachLineStart(bytes_, [&count](size_t) { ++count; });
    lines_.reserve(count);
    ForEachLineStart(bytes_, [this](size_t start) { lines_.push_back(start); });
}

std::string_view SourceLines::Line(size_t i) const
{
    const std::uint64_t line = lines_[i];
    if (line & kEdited)
        return edited_[static_cast<size_t>(line & ~kEdited)];
    const std::string_view bytes(bytes_);
    const auto start = static_cast<size_t>(line);
    const size_t end = bytes.find_first_of("\r\n", start);
    return bytes.substr(start, end == std::string_view::npos ? end : end - start);
}

std::uint64_t SourceLines::Keep(std::string text)
{
    edited_.push_back(std::move(text));
    return kEdited | (edited_.size() - 1);
}

void SourceLines::Erase(size_t i)
{
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
}

void SourceLines::Replace(size_t i, std::string text)
{
    lines_[i] = Keep(std::move(text));
}

void SourceLines::Insert(size_t i, std::string text)
{
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), Keep(std::move(text)));
}

std::string SourceLines::Joined() const
{
    size_t total = 0;
    for (size_t i = 0; i < lines_.size(); ++i)
        total += Line(i).size() + 2;
    std::string out;
    out.reserve(total);
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += Line(i);
        out += "\r\n";
    }
    return out;
}

} // namespace impmap

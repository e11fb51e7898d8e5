#include "source/SourceLines.h"

#include <cstddef>
#include <cstring>

namespace impmap {

SourceLines::SourceLines(std::string bytes) : bytes_(std::move(bytes))
{
    const char* data = bytes_.data();
    const size_t size = bytes_.size();
    size_t start = 0;
    while (start < size) {
        const void* lf = std::memchr(data + start, '\n', size - start);
        const size_t lineEnd = lf ? static_cast<size_t>(static_cast<const char*>(lf) - data) : size;
        const void* cr = std::memchr(data + start, '\r', lineEnd - start);
        if (!cr) {
            lines_.emplace_back(data + start, lineEnd - start);
            start = lineEnd + 1;
            continue;
        }
        const size_t crAt = static_cast<size_t>(static_cast<const char*>(cr) - data);
        lines_.emplace_back(data + start, crAt - start);
        // CR LF is one line end; a lone CR ends the line by itself.
        start = (lf && crAt + 1 == lineEnd) ? lineEnd + 1 : crAt + 1;
    }
}

std::string_view SourceLines::Keep(std::string text)
{
    edited_.push_back(std::move(text));
    return edited_.back();
}

void SourceLines::Erase(size_t i) { lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i)); }

void SourceLines::Replace(size_t i, std::string text) { lines_[i] = Keep(std::move(text)); }

void SourceLines::Insert(size_t i, std::string text)
{
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), Keep(std::move(text)));
}

std::string SourceLines::Joined(std::string_view lineEnd) const
{
    size_t total = 0;
    for (std::string_view line : lines_)
        total += line.size() + lineEnd.size();
    std::string out;
    out.reserve(total);
    for (std::string_view line : lines_) {
        out += line;
        out += lineEnd;
    }
    return out;
}

} // namespace impmap

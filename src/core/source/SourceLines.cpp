#include "source/SourceLines.h"

#include <atomic>
#include <cstddef>
#include <cstring>
#include <utility>

namespace impmap {

namespace {

// Calls onLine with the start and end offsets of every line of bytes. CR LF, a lone LF and a lone
// CR each end a line; a final line end does not make an extra line. The next LF is looked up once
// and kept while lone CRs end the lines before it, so that a file of CRs alone is still read in one
// pass.
template <typename OnLine> void ForEachLineStart(std::string_view bytes, OnLine onLine)
{
    const char* data = bytes.data();
    const size_t size = bytes.size();
    size_t nextLf = 0;
    bool lfKnown = false;
    size_t start = 0;
    while (start < size) {
        if (!lfKnown || nextLf < start) {
            const void* lf = std::memchr(data + start, '\n', size - start);
            nextLf = lf ? static_cast<size_t>(static_cast<const char*>(lf) - data) : size;
            lfKnown = true;
        }
        const void* cr = std::memchr(data + start, '\r', nextLf - start);
        if (cr == nullptr) {
            onLine(start, nextLf);
            start = nextLf + 1;
            continue;
        }
        const auto crAt = static_cast<size_t>(static_cast<const char*>(cr) - data);
        onLine(start, crAt);
        start = crAt + 1 == nextLf ? nextLf + 1 : crAt + 1;
    }
}

} // namespace

std::uint64_t SourceLines::NextVersion()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

SourceLines::SourceLines(SourceLines&& other) noexcept
    : bytes_(std::move(other.bytes_)), edited_(std::move(other.edited_)),
      lines_(std::move(other.lines_)), version_(std::exchange(other.version_, NextVersion()))
{
    other.bytes_.clear();
    other.edited_.clear();
    other.lines_.clear();
}

SourceLines& SourceLines::operator=(SourceLines&& other) noexcept
{
    if (this != &other) {
        bytes_ = std::move(other.bytes_);
        edited_ = std::move(other.edited_);
        lines_ = std::move(other.lines_);
        version_ = std::exchange(other.version_, NextVersion());
        other.bytes_.clear();
        other.edited_.clear();
        other.lines_.clear();
    }
    return *this;
}

SourceLines::SourceLines(std::string bytes) : bytes_(std::move(bytes)), version_(NextVersion())
{
    // The list is sized from the lines of the first megabyte, with a tenth to spare, so that
    // most files need neither a second pass to count their lines nor a list that grows. Files of
    // very short lines are counted instead, so that a guess never reserves more than the file.
    if (bytes_.empty())
        return;
    constexpr size_t kSample = size_t{1} << 20;
    const std::string_view sample = std::string_view(bytes_).substr(0, kSample);
    size_t sampled = 0;
    ForEachLineStart(sample, [&sampled](size_t, size_t) { ++sampled; });
    const size_t guess = sampled + (bytes_.size() - sample.size()) / (sample.size() / sampled + 1);
    size_t count = guess + guess / 10;
    if (count > bytes_.size() / 16) {
        count = 0;
        ForEachLineStart(bytes_, [&count](size_t, size_t) { ++count; });
    }
    lines_.reserve(count);
    ForEachLineStart(bytes_, [this](size_t start, size_t end) {
        lines_.push_back(Span{start, end - start});
    });
    if (lines_.capacity() - lines_.size() > lines_.size() / 4)
        lines_.shrink_to_fit();
}

std::string_view SourceLines::Line(size_t i) const
{
    const Span line = lines_[i];
    if (line.offset & kEdited)
        return edited_[static_cast<size_t>(line.offset & ~kEdited)];
    return std::string_view(bytes_).substr(static_cast<size_t>(line.offset),
                                           static_cast<size_t>(line.length));
}

SourceLines::Span SourceLines::Keep(std::string text)
{
    edited_.push_back(std::move(text));
    return Span{kEdited | (edited_.size() - 1), 0};
}

void SourceLines::Erase(size_t i)
{
    version_ = NextVersion();
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
}

void SourceLines::Replace(size_t i, std::string text)
{
    version_ = NextVersion();
    lines_[i] = Keep(std::move(text));
}

void SourceLines::Insert(size_t i, std::string text)
{
    version_ = NextVersion();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), Keep(std::move(text)));
}

std::string SourceLines::Joined(std::string_view lineEnd) const
{
    size_t total = 0;
    for (size_t i = 0; i < lines_.size(); ++i)
        total += Line(i).size() + lineEnd.size();
    std::string out;
    out.reserve(total);
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += Line(i);
        out += lineEnd;
    }
    return out;
}

} // namespace impmap

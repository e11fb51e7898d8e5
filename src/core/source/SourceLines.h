#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// The records of a source file: its lines, held once as read, with room for edits.
namespace impmap {

class SourceLines
{
public:
    SourceLines() : version_(NextVersion()) {}
    // Cuts bytes into lines. CR LF, a lone LF and a lone CR each end a line; a final line end
    // does not make an extra line.
    explicit SourceLines(std::string bytes);

    SourceLines(const SourceLines&) = delete;
    SourceLines& operator=(const SourceLines&) = delete;
    // A moved-from object is left empty, with a version of its own.
    SourceLines(SourceLines&& other) noexcept;
    SourceLines& operator=(SourceLines&& other) noexcept;

    size_t Count() const { return lines_.size(); }
    bool Empty() const { return lines_.empty(); }
    // Line i, 0-based.
    std::string_view Line(size_t i) const;

    void Erase(size_t i);
    void Replace(size_t i, std::string text);
    void Insert(size_t i, std::string text);

    // All lines, each followed by lineEnd.
    std::string Joined(std::string_view lineEnd = "\r\n") const;

    // Tells one state of the lines from another: a number that no other state of any lines has
    // had, renewed by every change. What is worked out from the lines may be kept with it.
    std::uint64_t Version() const { return version_; }

private:
    // A line is the offset and length of its bytes in bytes_, or, with kEdited set in the offset,
    // the index of its text in edited_. Offsets instead of views keep a moved object valid
    // whatever its string did with the bytes.
    struct Span
    {
        std::uint64_t offset;
        std::uint64_t length;
    };
    static constexpr std::uint64_t kEdited = std::uint64_t{1} << 63;
    Span Keep(std::string text);
    static std::uint64_t NextVersion();

    std::string bytes_;
    std::deque<std::string> edited_; // storage for replaced and inserted lines
    std::vector<Span> lines_;
    std::uint64_t version_;
};

} // namespace impmap

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace impmap {

// The output lines of a run, held compactly: their bytes, every line followed by CR LF, in one
// temporary file that the store owns, and in memory only where each line starts. The bytes are
// what the output file will hold, and a run of any size costs eight bytes of memory per line, so
// the output of a large source does not weigh on memory beside the source itself.
// Append and WriteTo throw FileError ("Cannot create file \"PATH\". REASON" / "Cannot read file
// \"PATH\". REASON") when the temporary file fails.
class OutputStore
{
public:
    OutputStore() = default;
    OutputStore(std::initializer_list<std::string_view> lines);
    ~OutputStore();
    OutputStore(OutputStore&& other) noexcept;
    OutputStore& operator=(OutputStore&& other) noexcept;
    OutputStore(const OutputStore&) = delete;
    OutputStore& operator=(const OutputStore&) = delete;

    // Adds one line (given without its line end).
    void Append(std::string_view line);
    void Clear();

    std::size_t size() const { return starts_.size(); }
    bool empty() const { return starts_.empty(); }
    // Line i without its line end; valid until the next call on the store. A line that cannot be
    // read back reads as the reason.
    std::string_view operator[](std::size_t i) const;

    // The length of line i without reading it.
    std::size_t LineLength(std::size_t i) const;

    // Hands the output file's bytes to sink, in order, in pieces of bounded size.
    void WriteTo(const std::function<void(std::string_view)>& sink) const;
    std::uint64_t ByteCount() const { return byteCount_; }

private:
    void Open();
    void Flush();
    void Release() noexcept;
    [[noreturn]] void Fail(const char* what, int err) const;
    // Reads count bytes at offset of the whole output (file, then buffer) into out.
    bool Read(std::uint64_t offset, std::size_t count, std::string& out) const;

    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::vector<std::uint64_t> starts_;
    std::uint64_t byteCount_ = 0;
    std::uint64_t flushed_ = 0; // bytes in the file; the rest are in buffer_
    std::string buffer_;
    bool unlinked_ = false; // the file's name is gone already; the open file lives on
    mutable std::string line_;
};

} // namespace impmap

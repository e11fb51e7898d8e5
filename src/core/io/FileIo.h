#pragma once

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

// Whole-file reading and atomic writing. User files are never written in place: the bytes go to a
// temporary file in the target's folder, which then replaces the target in one rename, so a failed
// write leaves the previous file as it was.
namespace impmap {

// Thrown for file failures; what() is the complete user-facing message.
class FileError : public std::runtime_error
{
    using runtime_error::runtime_error;
};

// The message text of an error code, as the system words it ("No such file or directory").
std::string SystemReason(const std::error_code& ec);

// Reads the whole file as bytes. Throws FileError("Cannot open file \"PATH\". REASON"); a folder
// fails with the reason for a folder.
std::string ReadWholeFile(const std::filesystem::path& path);

// Replaces the file at path with bytes, through a temporary file in the same folder. On failure
// the temporary file is removed, an existing file at path is untouched, and
// FileError("Cannot create file \"PATH\". REASON") is thrown.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The streaming form of WriteFileAtomically for large outputs. The constructor creates the
// temporary file, Write appends buffered bytes, Commit flushes, closes and renames it over the
// target. Destruction without a successful Commit removes the temporary file and leaves the target
// untouched. Every failure throws FileError("Cannot create file \"PATH\". REASON").
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view bytes);
    // After Commit (successful or not) the writer accepts no more bytes.
    void Commit();

    const std::filesystem::path& Target() const { return target_; }

private:
    [[noreturn]] void Fail(const std::error_code& ec);
    void Abandon() noexcept;

    std::filesystem::path target_;
    std::filesystem::path tempPath_;
    std::FILE* file_ = nullptr;
};

} // namespace impmap

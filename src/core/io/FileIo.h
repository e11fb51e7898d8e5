#pragma once

#include "io/WorkProgress.h"

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

// Thrown for file failures; what() is the complete user-facing message and Reason() the system's
// reason alone ("Permission denied"), empty when there is none.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const std::string& message, std::string reason = {})
        : runtime_error(message), reason_(std::move(reason))
    {}
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// The message text of an error code, as the system words it ("No such file or directory").
std::string SystemReason(const std::error_code& ec);

// Reads the whole file as bytes. Throws FileError("Cannot open file \"PATH\". REASON"); a folder
// fails with the reason for a folder, and anything else that is not a regular file (a pipe, a
// device, a socket) is refused before it is opened, since reading it could block or never end.
// A file too large for the memory throws FileError("Not enough memory to load \"PATH\" (SIZE)").
// progress, when given, hears the bytes read of the file's size and may stop the read
// (WorkCancelled).
std::string ReadWholeFile(const std::filesystem::path& path, WorkProgress* progress = nullptr);

// Replaces the file at path with bytes, through a temporary file in the same folder. On failure
// the temporary file is removed, an existing file at path is untouched, and
// FileError("Cannot create file \"PATH\". REASON") is thrown. progress, when given, hears the
// bytes written and may stop the write before the file is replaced (WorkCancelled): the file at
// path then stays as it was.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         WorkProgress* progress = nullptr);

// Copies the file at from to the file at to, a chunk at a time, through AtomicFileWriter: to is
// replaced only once the whole copy is on the disk. Throws FileError("Cannot open file \"FROM\".
// REASON") when from cannot be read, and AtomicFileWriter's FileError for to.
void CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

// The streaming form of WriteFileAtomically for large outputs. The constructor creates the
// temporary file, Write appends buffered bytes, Commit flushes, closes and renames it over the
// target. Destruction without a successful Commit removes the temporary file and leaves the target
// untouched. Every failure throws FileError("Cannot create file \"PATH\". REASON").
// A symbolic link as target stays a link: the file it leads to is replaced. When no temporary file
// can be made beside an existing file (a folder where new files cannot be created), the bytes are
// held in a temporary file of the system's temporary folder and written over the file in place at
// Commit; only a failure during that last copy can leave the file damaged. A device or a pipe as
// target (/dev/null) is written straight.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view bytes);
    // Flushes the bytes to the disk and closes the temporary file, leaving Commit only the rename
    // (or, in place, the copy); several files are so replaced together with little left to fail
    // between them. Commit closes the file itself when this was not called. Throws FileError.
    void Close();
    // After Commit (successful or not) the writer accepts no more bytes.
    void Commit();

    const std::filesystem::path& Target() const { return target_; }

private:
    [[noreturn]] void Fail(const std::error_code& ec);
    void Abandon() noexcept;
    void CommitInPlace();

    std::filesystem::path target_;    // as the caller named it, for messages
    std::filesystem::path writePath_; // target_ with symbolic links followed
    std::filesystem::path tempPath_;
    std::FILE* file_ = nullptr;
    bool inPlace_ = false;
    bool direct_ = false; // a device or pipe, written straight
    bool closed_ = false; // Close is done: the bytes wait for Commit
    bool committed_ = false;
    int tracked_ = -1;    // the slot of TemporaryFile that names the temporary file
    size_t unsynced_ = 0; // bytes written since the disk writes were last started
};

// The paths of the temporary files currently being written, one per slot (empty when none),
// kept in fixed buffers so that a signal handler can remove them without allocating. Writers
// beyond kTemporaryFileSlots at once are not tracked.
inline constexpr int kTemporaryFileSlots = 16;
const char* TemporaryFile(int slot) noexcept;

} // namespace impmap

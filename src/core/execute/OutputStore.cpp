#include "execute/OutputStore.h"

#include "io/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <random>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace impmap {

namespace {

// Lines gather in memory up to this size before they go to the file, and files are read and
// handed on in pieces of it.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;
constexpr int kNameAttempts = 10;

std::FILE* OpenNew(const fs::path& path)
{
#ifdef _WIN32
    std::FILE* file = nullptr;
    const errno_t err = _wfopen_s(&file, path.c_str(), L"w+bx");
    if (err != 0) {
        errno = err;
        return nullptr;
    }
    return file;
#else
    return std::fopen(path.c_str(), "w+bx");
#endif
}

bool Seek(std::FILE* file, std::uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

} // namespace

OutputStore::OutputStore(std::initializer_list<std::string_view> lines)
{
    for (std::string_view line : lines)
        Append(line);
}

OutputStore::~OutputStore()
{
    Release();
}

OutputStore::OutputStore(OutputStore&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), path_(std::move(other.path_)),
      starts_(std::move(other.starts_)), byteCount_(std::exchange(other.byteCount_, 0)),
      flushed_(std::exchange(other.flushed_, 0)), buffer_(std::move(other.buffer_)),
      unlinked_(std::exchange(other.unlinked_, false))
{
    other.path_.clear();
    other.starts_.clear();
    other.buffer_.clear();
}

OutputStore& OutputStore::operator=(OutputStore&& other) noexcept
{
    if (this != &other) {
        Release();
        file_ = std::exchange(other.file_, nullptr);
        path_ = std::move(other.path_);
        other.path_.clear();
        starts_ = std::move(other.starts_);
        other.starts_.clear();
        byteCount_ = std::exchange(other.byteCount_, 0);
        flushed_ = std::exchange(other.flushed_, 0);
        buffer_ = std::move(other.buffer_);
        other.buffer_.clear();
        unlinked_ = std::exchange(other.unlinked_, false);
    }
    return *this;
}

void OutputStore::Release() noexcept
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
    if (!path_.empty() && !unlinked_) {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    path_.clear();
    unlinked_ = false;
}

void OutputStore::Fail(const char* what, int err) const
{
    throw FileError(std::string(what) + " \"" + path_.string() + "\". " +
                    SystemReason(std::error_code(err != 0 ? err : EIO, std::generic_category())));
}

void OutputStore::Open()
{
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec)
        throw FileError("Cannot create a temporary file. " + SystemReason(ec));
    std::random_device random;
    for (int attempt = 1;; ++attempt) {
        path_ = folder / ("impmap-output-" + std::to_string(random()) + ".tmp");
        errno = 0;
        file_ = OpenNew(path_);
        if (file_ != nullptr)
            break;
        const int err = errno;
        if (err != EEXIST || attempt == kNameAttempts) {
            // Nothing of ours is at the path: keep it for the message only.
            const fs::path failed = path_;
            path_.clear();
            throw FileError(
                "Cannot create file \"" + failed.string() + "\". " +
                SystemReason(std::error_code(err != 0 ? err : EIO, std::generic_category())));
        }
    }
#ifndef _WIN32
    // The open file stays usable; nothing is left behind, even if the program ends abruptly.
    std::error_code ignored;
    unlinked_ = fs::remove(path_, ignored);
#endif
}

void OutputStore::Flush()
{
    if (buffer_.empty())
        return;
    if (file_ == nullptr)
        Open();
    errno = 0;
    if (std::fseek(file_, 0, SEEK_END) != 0 ||
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size() ||
        std::fflush(file_) != 0)
        Fail("Cannot create file", errno);
    flushed_ += buffer_.size();
    buffer_.clear();
}

void OutputStore::Append(std::string_view line)
{
    starts_.push_back(byteCount_);
    buffer_.append(line);
    buffer_.append("\r\n", 2);
    byteCount_ += line.size() + 2;
    if (buffer_.size() >= kBufferSize)
        Flush();
}

void OutputStore::Clear()
{
    Release();
    starts_ = {};
    byteCount_ = 0;
    flushed_ = 0;
    buffer_ = {};
    line_ = {};
}

bool OutputStore::Read(std::uint64_t offset, std::size_t count, std::string& out) const
{
    out.resize(count);
    std::size_t done = 0;
    if (offset < flushed_) {
        const auto fromFile =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, flushed_ - offset));
        errno = 0;
        if (file_ == nullptr || !Seek(file_, offset) ||
            std::fread(out.data(), 1, fromFile, file_) != fromFile)
            return false;
        done = fromFile;
    }
    // The rest is still in the buffer, which follows the file's bytes.
    if (done < count)
        out.replace(done, count - done, buffer_, static_cast<std::size_t>(offset + done - flushed_),
                    count - done);
    return true;
}

std::size_t OutputStore::LineLength(std::size_t i) const
{
    const std::uint64_t end = i + 1 < starts_.size() ? starts_[i + 1] : byteCount_;
    return static_cast<std::size_t>(end - starts_[i] - 2);
}

std::string_view OutputStore::operator[](std::size_t i) const
{
    if (!Read(starts_[i], LineLength(i), line_)) {
        const int err = errno;
        line_ = "Cannot read file \"" + path_.string() + "\". " +
                SystemReason(std::error_code(err != 0 ? err : EIO, std::generic_category()));
    }
    return line_;
}

void OutputStore::WriteTo(const std::function<void(std::string_view)>& sink) const
{
    std::string piece;
    for (std::uint64_t offset = 0; offset < byteCount_;) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, byteCount_ - offset));
        if (!Read(offset, count, piece))
            Fail("Cannot read file", errno);
        sink(piece);
        offset += count;
    }
}

} // namespace impmap

#include "io/FileIo.h"

#include "convert/Text.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace impmap {

namespace {

constexpr size_t kWriteBufferSize = 64 * 1024;
constexpr size_t kReadChunkSize = 64 * 1024;
// Longer names are left out of the temporary file's name, to stay clear of name length limits.
constexpr size_t kLongestNameInTempName = 100;
constexpr int kTempNameAttempts = 10;

std::string PathText(const fs::path& path)
{
#ifdef _WIN32
    try {
        return path.string();
    } catch (const std::system_error&) {
        const std::u8string utf8 = path.u8string();
        return std::string(utf8.begin(), utf8.end());
    }
#else
    return path.string();
#endif
}

std::error_code ErrnoCode(int err)
{
    return std::error_code(err != 0 ? err : EIO, std::generic_category());
}

std::FILE* OpenFile(const fs::path& path, const wchar_t* wideMode, const char* mode)
{
#ifdef _WIN32
    (void)mode;
    std::FILE* file = nullptr;
    const errno_t err = _wfopen_s(&file, path.c_str(), wideMode);
    if (err != 0) {
        errno = err;
        return nullptr;
    }
    return file;
#else
    (void)wideMode;
    return std::fopen(path.c_str(), mode);
#endif
}

// Pushes the written bytes to the disk, so that a crash after the rename cannot leave an empty or
// partial file in place of the old one.
bool SyncToDisk(std::FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(fileno(file)) == 0;
#endif
}

std::error_code ReplaceFile(const fs::path& from, const fs::path& to)
{
#ifdef _WIN32
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
#else
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec;
#endif
}

std::string RandomHex()
{
    static std::atomic<unsigned long long> counter{0};
    unsigned long long x = static_cast<unsigned long long>(
                               std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           (++counter * 0x9E3779B97F4A7C15ULL);
    try {
        x ^= static_cast<unsigned long long>(std::random_device{}()) << 32;
    } catch (const std::exception&) {
        // The clock and the counter alone still give distinct names within this process.
    }
    // splitmix64 finaliser: spreads the bits so that consecutive names differ throughout.
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    x ^= x >> 31;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex(12, '0');
    for (char& c : hex) {
        c = kDigits[x & 15];
        x >>= 4;
    }
    return hex;
}

// ".<name>.<random>.tmp" in the folder of target.
fs::path TempPathFor(const fs::path& target)
{
    fs::path name(".");
    const fs::path::string_type targetName = target.filename().native();
    if (!targetName.empty() && targetName.size() <= kLongestNameInTempName) {
        name += targetName;
        name += ".";
    }
    name += RandomHex() + ".tmp";
    return target.parent_path() / name;
}

} // namespace

std::string SystemReason(const std::error_code& ec)
{
    return std::string(TrimView(ec.message()));
}

std::string ReadWholeFile(const fs::path& path)
{
    const auto fail = [&path](const std::error_code& ec) {
        return FileError("Cannot open file \"" + PathText(path) + "\". " + SystemReason(ec));
    };
    std::error_code statusError;
    if (fs::is_directory(path, statusError))
        throw fail(std::make_error_code(std::errc::is_a_directory));

    errno = 0;
    std::FILE* file = OpenFile(path, L"rb", "rb");
    if (file == nullptr)
        throw fail(ErrnoCode(errno));

    std::string bytes;
    // Room for the whole file up front, so that a large file is not copied while it grows.
    std::error_code sizeError;
    const auto expected = fs::file_size(path, sizeError);
    if (!sizeError && expected < bytes.max_size() - kReadChunkSize)
        bytes.reserve(static_cast<size_t>(expected) + kReadChunkSize);
    size_t used = 0;
    int readError = 0;
    for (;;) {
        bytes.resize(used + kReadChunkSize);
        errno = 0;
        const size_t got = std::fread(bytes.data() + used, 1, kReadChunkSize, file);
        used += got;
        if (got < kReadChunkSize) {
            if (std::ferror(file))
                readError = errno != 0 ? errno : EIO;
            break;
        }
    }
    std::fclose(file);
    if (readError != 0)
        throw fail(ErrnoCode(readError));
    bytes.resize(used);
    return bytes;
}

void WriteFileAtomically(const fs::path& path, std::string_view bytes)
{
    AtomicFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

AtomicFileWriter::AtomicFileWriter(fs::path target) : target_(std::move(target))
{
    // Fail before any bytes are produced when the target can never be replaced.
    std::error_code ec;
    const fs::file_status status = fs::status(target_, ec);
    if (fs::is_directory(status))
        Fail(std::make_error_code(std::errc::is_a_directory));
    // A rename would replace a read-only file where a plain write is refused; refuse it too.
    const bool existing = fs::exists(status);
    if (existing && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        Fail(std::make_error_code(std::errc::permission_denied));

    for (int attempt = 1;; ++attempt) {
        tempPath_ = TempPathFor(target_);
        errno = 0;
        file_ = OpenFile(tempPath_, L"wbx", "wbx");
        if (file_ != nullptr)
            break;
        const int err = errno;
        tempPath_.clear();
        if (err != EEXIST || attempt == kTempNameAttempts)
            Fail(ErrnoCode(err));
    }
    std::setvbuf(file_, nullptr, _IOFBF, kWriteBufferSize);
    // The replacement keeps the access rights of the file it replaces.
    if (existing)
        fs::permissions(tempPath_, status.permissions(), ec);
}

AtomicFileWriter::~AtomicFileWriter()
{
    Abandon();
}

void AtomicFileWriter::Write(std::string_view bytes)
{
    if (file_ == nullptr)
        throw std::logic_error("AtomicFileWriter::Write after Commit or failure");
    if (bytes.empty())
        return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        Fail(ErrnoCode(errno));
}

void AtomicFileWriter::Commit()
{
    if (file_ == nullptr)
        throw std::logic_error("AtomicFileWriter::Commit after Commit or failure");
    errno = 0;
    if (std::fflush(file_) != 0 || !SyncToDisk(file_))
        Fail(ErrnoCode(errno));
    std::FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(file) != 0)
        Fail(ErrnoCode(errno));
    if (const std::error_code ec = ReplaceFile(tempPath_, target_))
        Fail(ec);
    tempPath_.clear();
}

void AtomicFileWriter::Fail(const std::error_code& ec)
{
    Abandon();
    throw FileError("Cannot create file \"" + PathText(target_) + "\". " + SystemReason(ec));
}

void AtomicFileWriter::Abandon() noexcept
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!tempPath_.empty()) {
        std::error_code ignored;
        fs::remove(tempPath_, ignored);
        tempPath_.clear();
    }
}

} // namespace impmap

#include "io/FileIo.h"

#include "convert/Text.h"
#include "io/NativePath.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <random>

#ifdef _WIN32
#include "io/WindowsApi.h"

#include <io.h>
#else
#include <unistd.h>
#endif
#ifdef __linux__
#include <fcntl.h>
#include <sys/mman.h>
#include <system_error>
#include <thread>
#endif

namespace fs = std::filesystem;

namespace impmap {

namespace {

constexpr size_t kWriteBufferSize = 64 * 1024;
constexpr size_t kReadChunkSize = 64 * 1024;
// How many bytes a writer passes on between two starts of the disk writes.
constexpr size_t kWritebackBytes = size_t{16} << 20;

// Maps the pages of a large read buffer in on another thread while the file is read into it, so
// that the reading thread rarely stops on a page fault. Only a hint: where the system cannot do it
// (before Linux 5.14, or no thread to spare), reading goes on as before.
class BackgroundPrefault
{
public:
    BackgroundPrefault([[maybe_unused]] char* data, [[maybe_unused]] size_t size)
    {
#ifdef __linux__
        constexpr size_t kWorthIt = size_t{16} << 20;
#ifndef MADV_POPULATE_WRITE
        constexpr int MADV_POPULATE_WRITE = 23;
#endif
        if (size < kWorthIt)
            return;
        const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
        const auto begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
        const auto end = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
        try {
            thread_ = std::thread([begin, end] {
                madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
            });
        } catch (const std::system_error&) {
        }
#endif
    }
    ~BackgroundPrefault()
    {
#ifdef __linux__
        if (thread_.joinable())
            thread_.join();
#endif
    }
    BackgroundPrefault(const BackgroundPrefault&) = delete;
    BackgroundPrefault& operator=(const BackgroundPrefault&) = delete;

private:
#ifdef __linux__
    std::thread thread_;
#endif
};

// Longer names are left out of the temporary file's name, to stay clear of name length limits.
constexpr size_t kLongestNameInTempName = 100;
constexpr int kTempNameAttempts = 10;

std::string PathText(const fs::path& path)
{
    return Utf8FromPath(path);
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

// Starts writing the file's dirty pages to the disk without waiting for them, so that a large file
// is mostly on the disk by the time SyncToDisk waits for it.
void StartWriteback([[maybe_unused]] std::FILE* file)
{
#ifdef __linux__
    sync_file_range(fileno(file), 0, 0, SYNC_FILE_RANGE_WRITE);
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

// The temporary files being written, for TemporaryFile; see there.
char gTempPaths[kTemporaryFileSlots][4096];
volatile std::sig_atomic_t gTempPathSet[kTemporaryFileSlots] = {};

// Returns the slot that names path, or -1 when every slot is taken or the path is too long.
int TrackTemporary(const fs::path& path) noexcept
{
    const std::string text = PathText(path);
    if (text.size() >= sizeof gTempPaths[0])
        return -1;
    for (int slot = 0; slot < kTemporaryFileSlots; ++slot) {
        if (gTempPathSet[slot])
            continue;
        std::memcpy(gTempPaths[slot], text.c_str(), text.size() + 1);
        gTempPathSet[slot] = 1;
        return slot;
    }
    return -1;
}

void UntrackTemporary(int& slot) noexcept
{
    if (slot >= 0)
        gTempPathSet[slot] = 0;
    slot = -1;
}

// target with every symbolic link along its last component followed, so that writing replaces the
// file a link leads to instead of the link. A chain of more than 40 links fails as a loop.
fs::path FollowLinks(const fs::path& target, std::error_code& ec)
{
    fs::path path = target;
    for (int hop = 0; hop < 40; ++hop) {
        const fs::file_status status = fs::symlink_status(path, ec);
        if (ec || !fs::is_symlink(status)) {
            ec.clear();
            return path;
        }
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            return path;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return path;
}

std::string SizeText(std::uintmax_t bytes)
{
    char text[32];
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    if (mb >= 1024.0)
        std::snprintf(text, sizeof text, "%.1f GB", mb / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.1f MB", mb);
    return text;
}

} // namespace

const char* TemporaryFile(int slot) noexcept
{
    return slot >= 0 && slot < kTemporaryFileSlots && gTempPathSet[slot] ? gTempPaths[slot] : "";
}

std::string SystemReason(const std::error_code& ec)
{
    return std::string(TrimView(ec.message()));
}

std::string ReadWholeFile(const fs::path& path, WorkProgress* progress)
{
    const auto fail = [&path](const std::error_code& ec) {
        return FileError("Cannot open file \"" + PathText(path) + "\". " + SystemReason(ec),
                         SystemReason(ec));
    };
    std::error_code statusError;
    const fs::file_status status = fs::status(path, statusError);
    if (fs::is_directory(status))
        throw fail(std::make_error_code(std::errc::is_a_directory));
    if (statusError && statusError != std::errc::no_such_file_or_directory)
        throw fail(statusError);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        throw FileError("Cannot open file \"" + PathText(path) + "\". It is not a regular file",
                        "Not a regular file");
    }

    errno = 0;
    std::FILE* file = OpenFile(path, L"rb", "rb");
    if (file == nullptr)
        throw fail(ErrnoCode(errno));

    std::string bytes;
    size_t used = 0;
    int readError = 0;
    try {
        // The size known beforehand spares the copies of a growing buffer; the loop still reads
        // to the end in case the file grew.
        std::error_code sizeError;
        const std::uintmax_t expected = fs::file_size(path, sizeError);
        if (!sizeError && expected < bytes.max_size() - kReadChunkSize)
            bytes.reserve(static_cast<size_t>(expected) + kReadChunkSize);
        std::optional<BackgroundPrefault> prefault;
        prefault.emplace(bytes.data(), bytes.capacity());
        const std::uint64_t total = sizeError ? 0 : expected;
        for (;;) {
            ReportProgress(progress, used, std::max<std::uint64_t>(total, used));
            if (bytes.capacity() < used + kReadChunkSize) {
                prefault.reset(); // done with the buffer it works on before that is moved
                bytes.reserve(std::max(bytes.capacity() * 2, used + kReadChunkSize));
            }
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
        if (readError == 0)
            ReportProgress(progress, used, std::max<std::uint64_t>(total, used));
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        std::error_code sizeError;
        const std::uintmax_t size = fs::file_size(path, sizeError);
        throw FileError("Not enough memory to load \"" + PathText(path) + "\" (" +
                            SizeText(sizeError ? used : size) + ")",
                        "Not enough memory");
    } catch (...) {
        std::fclose(file);
        throw;
    }
    std::fclose(file);
    if (readError != 0)
        throw fail(ErrnoCode(readError));
    bytes.resize(used);
    return bytes;
}

void WriteFileAtomically(const fs::path& path, std::string_view bytes, WorkProgress* progress)
{
    AtomicFileWriter writer(path);
    if (progress == nullptr) {
        writer.Write(bytes);
    } else {
        // In pieces, so that the caller hears how far it is and may stop before the rename.
        constexpr size_t kPiece = size_t{4} << 20;
        for (size_t at = 0; at < bytes.size(); at += kPiece) {
            ReportProgress(progress, at, bytes.size());
            writer.Write(bytes.substr(at, kPiece));
        }
        writer.Close();
        ReportProgress(progress, bytes.size(), bytes.size());
    }
    writer.Commit();
}

void CopyFileAtomically(const fs::path& from, const fs::path& to)
{
    const auto fail = [&from](int err) {
        const std::error_code ec = ErrnoCode(err);
        return FileError("Cannot open file \"" + PathText(from) + "\". " + SystemReason(ec),
                         SystemReason(ec));
    };
    // A pipe or a device could block or never end.
    std::error_code statusError;
    if (fs::exists(from, statusError) && !fs::is_regular_file(from, statusError)) {
        throw FileError("Cannot open file \"" + PathText(from) + "\". It is not a regular file",
                        "Not a regular file");
    }
    errno = 0;
    std::FILE* in = OpenFile(from, L"rb", "rb");
    if (in == nullptr)
        throw fail(errno);
    const auto close = [](std::FILE* file) { std::fclose(file); };
    const std::unique_ptr<std::FILE, decltype(close)> closer(in, close);
    AtomicFileWriter writer(to);
    std::string chunk(kReadChunkSize, '\0');
    for (;;) {
        errno = 0;
        const size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
        writer.Write(std::string_view(chunk.data(), got));
        if (got < chunk.size()) {
            if (std::ferror(in))
                throw fail(errno != 0 ? errno : EIO);
            break;
        }
    }
    writer.Commit();
}

AtomicFileWriter::AtomicFileWriter(fs::path target) : target_(std::move(target))
{
    std::error_code ec;
    // A device or a pipe (-o /dev/null) cannot be replaced, only written to.
    const fs::file_status final = fs::status(target_, ec);
    if (fs::exists(final) && !fs::is_regular_file(final) && !fs::is_directory(final)) {
        errno = 0;
        file_ = OpenFile(target_, L"wb", "wb");
        if (file_ == nullptr)
            Fail(ErrnoCode(errno));
        direct_ = true;
        return;
    }
    writePath_ = FollowLinks(target_, ec);
    if (ec)
        Fail(ec);
    // Fail before any bytes are produced when the target can never be replaced.
    const fs::file_status status = fs::status(writePath_, ec);
    if (fs::is_directory(status))
        Fail(std::make_error_code(std::errc::is_a_directory));
    const bool existing = fs::exists(status);
    // A rename would replace a read-only file where a plain write is refused; refuse it too.
    if (existing && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        Fail(std::make_error_code(std::errc::permission_denied));

    for (int attempt = 1;; ++attempt) {
        tempPath_ = TempPathFor(writePath_);
        errno = 0;
        file_ = OpenFile(tempPath_, L"wbx", "wbx");
        if (file_ != nullptr)
            break;
        const int err = errno;
        tempPath_.clear();
        if (err == EEXIST && attempt < kTempNameAttempts)
            continue;
        // No new file can be made beside an existing one: collect the bytes elsewhere and write
        // them in place at Commit.
        if (existing && (err == EACCES || err == EPERM || err == EROFS)) {
            file_ = std::tmpfile();
            if (file_ != nullptr) {
                inPlace_ = true;
                break;
            }
        }
        Fail(ErrnoCode(err));
    }
    if (!inPlace_)
        tracked_ = TrackTemporary(tempPath_);
    std::setvbuf(file_, nullptr, _IOFBF, kWriteBufferSize);
    // The replacement keeps the access rights of the file it replaces.
    if (existing && !inPlace_)
        fs::permissions(tempPath_, status.permissions(), ec);
}

AtomicFileWriter::~AtomicFileWriter()
{
    Abandon();
}

void AtomicFileWriter::Write(std::string_view bytes)
{
    if (file_ == nullptr || closed_)
        throw std::logic_error("AtomicFileWriter::Write after Close, Commit or failure");
    if (bytes.empty())
        return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        Fail(ErrnoCode(errno));
    unsynced_ += bytes.size();
    if (unsynced_ >= kWritebackBytes && !direct_) {
        StartWriteback(file_);
        unsynced_ = 0;
    }
}

void AtomicFileWriter::Close()
{
    if (file_ == nullptr || closed_)
        throw std::logic_error("AtomicFileWriter::Close after Close, Commit or failure");
    errno = 0;
    if (inPlace_) {
        // The bytes stay in the system's temporary file until Commit copies them.
        if (std::fflush(file_) != 0)
            Fail(ErrnoCode(errno));
        closed_ = true;
        return;
    }
    if (std::fflush(file_) != 0 || (!direct_ && !SyncToDisk(file_)))
        Fail(ErrnoCode(errno));
    std::FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(file) != 0)
        Fail(ErrnoCode(errno));
    closed_ = true;
}

void AtomicFileWriter::Commit()
{
    if (committed_)
        throw std::logic_error("AtomicFileWriter::Commit after Commit or failure");
    if (!closed_)
        Close();
    committed_ = true;
    if (inPlace_) {
        CommitInPlace();
        return;
    }
    if (direct_)
        return;
    if (const std::error_code ec = ReplaceFile(tempPath_, writePath_))
        Fail(ec);
    tempPath_.clear();
    UntrackTemporary(tracked_);
}

void AtomicFileWriter::CommitInPlace()
{
    errno = 0;
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0)
        Fail(ErrnoCode(errno));
    errno = 0;
    std::FILE* out = OpenFile(writePath_, L"wb", "wb");
    if (out == nullptr)
        Fail(ErrnoCode(errno));
    char chunk[1 << 16];
    int err = 0;
    for (;;) {
        errno = 0;
        const size_t got = std::fread(chunk, 1, sizeof chunk, file_);
        if (got == 0) {
            if (std::ferror(file_))
                err = errno != 0 ? errno : EIO;
            break;
        }
        errno = 0;
        if (std::fwrite(chunk, 1, got, out) != got) {
            err = errno != 0 ? errno : EIO;
            break;
        }
    }
    errno = 0;
    if (err == 0 && (std::fflush(out) != 0 || !SyncToDisk(out)))
        err = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(out) != 0 && err == 0)
        err = errno != 0 ? errno : EIO;
    if (err != 0)
        Fail(ErrnoCode(err));
    std::fclose(file_);
    file_ = nullptr;
}

void AtomicFileWriter::Fail(const std::error_code& ec)
{
    Abandon();
    throw FileError("Cannot create file \"" + PathText(target_) + "\". " + SystemReason(ec),
                    SystemReason(ec));
}

void AtomicFileWriter::Abandon() noexcept
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    UntrackTemporary(tracked_);
    if (!tempPath_.empty()) {
        std::error_code ignored;
        fs::remove(tempPath_, ignored);
        tempPath_.clear();
    }
}

} // namespace impmap

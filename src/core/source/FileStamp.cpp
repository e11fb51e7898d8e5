#include "source/FileStamp.h"

#include "io/FileIo.h"
#include "io/NativePath.h"

#include <cstring>

namespace impmap {

std::uint64_t BytesChecksum(std::string_view bytes)
{
    // Eight bytes a step, each word mixed in by a multiply and a rotation: fast enough for a
    // file of hundreds of megabytes at every save.
    constexpr std::uint64_t kPrime = 0x100000001B3ULL;
    std::uint64_t sum = 0xCBF29CE484222325ULL ^ bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        sum = ((sum ^ word) * kPrime);
        sum ^= sum >> 29;
    }
    for (; i < bytes.size(); ++i)
        sum = (sum ^ static_cast<unsigned char>(bytes[i])) * kPrime;
    return sum;
}

FileStamp StampOf(const std::string& path, std::string_view bytes)
{
    FileStamp stamp;
    stamp.path = path;
    stamp.size = bytes.size();
    stamp.checksum = BytesChecksum(bytes);
    std::error_code ec;
    const std::filesystem::file_time_type time =
        std::filesystem::last_write_time(PathFromUtf8(path), ec);
    if (!ec)
        stamp.time = time;
    return stamp;
}

bool FileChangedSince(const FileStamp& stamp)
{
    if (stamp.path.empty())
        return false;
    const std::filesystem::path path = PathFromUtf8(stamp.path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return false;
    if (size != stamp.size)
        return true;
    const std::filesystem::file_time_type time = std::filesystem::last_write_time(path, ec);
    if (!ec && time == stamp.time)
        return false;
    try {
        return BytesChecksum(ReadWholeFile(path)) != stamp.checksum;
    } catch (const FileError&) {
        return false;
    }
}

} // namespace impmap

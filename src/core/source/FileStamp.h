#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// What a file looked like when it was read or written: its size, its modification time and a
// checksum of its bytes, so that a change by another program since then can be noticed.
namespace impmap {

struct FileStamp
{
    std::string path; // as the file was named; empty when no stamp was taken
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time{};
    std::uint64_t checksum = 0;
};

// A checksum of bytes for noticing changes (not for security): equal bytes give equal sums.
std::uint64_t BytesChecksum(std::string_view bytes);

// The stamp of the file at path whose whole contents are bytes (just read or just written).
// The time and size come from the file system; a file that cannot be examined gets no time.
FileStamp StampOf(const std::string& path, std::string_view bytes);

// Whether the file named by stamp differs from what it held when stamped: another size, or
// another time and other bytes (a file merely touched is unchanged). A file that is gone, or
// cannot be read, counts as unchanged: writing it loses nothing. False for an empty stamp.
bool FileChangedSince(const FileStamp& stamp);

} // namespace impmap

#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Reading the parts of a zip archive one after the other, inflating each as a stream.
namespace impmap::workbook {

class ZipArchive
{
public:
    struct Entry
    {
        std::string name;
        std::uint64_t compressedSize = 0;
        std::uint64_t size = 0; // as the archive declares it
        std::uint64_t localHeader = 0;
        std::uint32_t crc = 0;
        std::uint16_t method = 0;
        std::uint16_t flags = 0;
    };

    // Reads the archive's directory. Throws WorkbookError when it is damaged.
    explicit ZipArchive(const std::filesystem::path& path);

    // The entry named name (compared without regard to ASCII case, '\\' read as '/'), or null.
    const Entry* Find(std::string_view name) const;
    const std::vector<Entry>& Entries() const { return entries_; }

    // Passes the part's bytes to sink in pieces as they are inflated; sink returns false to stop
    // early. Throws WorkbookError for a part that is encrypted, damaged, compressed by an unknown
    // method, or that expands past its declared size or the 4 GB limit (refused before inflating
    // when its declared size says so).
    void Read(const Entry& entry, const std::function<bool(std::string_view)>& sink);
    // As Read, with the reading and inflating done on a thread of its own, a few pieces ahead of
    // sink, which runs on the calling thread. Nothing else may use the archive meanwhile.
    void ReadAhead(const Entry& entry, const std::function<bool(std::string_view)>& sink);
    // The whole part, when it expands to at most limit bytes; throws WorkbookError otherwise.
    std::string ReadAll(const Entry& entry, std::uint64_t limit);

private:
    void ReadDirectory();
    void ReadAt(std::uint64_t offset, char* data, std::size_t size);
    void RefuseUnreadable(const Entry& entry);
    std::uint64_t DataOffset(const Entry& entry);

    std::ifstream file_;
    std::uint64_t fileSize_ = 0;
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t> byName_;
};

// name as a lookup key: ASCII lower case, '\\' as '/', no leading '/'.
std::string ZipKey(std::string_view name);

} // namespace impmap::workbook

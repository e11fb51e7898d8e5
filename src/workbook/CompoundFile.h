#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The streams of a compound file (the container of .xls workbooks), read from its bytes.
namespace impmap::workbook {

class CompoundFile
{
public:
    // Reads the header, the allocation tables and the directory. Throws WorkbookError.
    explicit CompoundFile(std::string bytes);

    bool Has(std::string_view name) const;
    // The stream's bytes; throws WorkbookError when it is missing or damaged.
    std::string Stream(std::string_view name) const;

private:
    struct Entry
    {
        std::string name; // ASCII of the UTF-16 name, upper-cased
        int type = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };
    std::string Chain(std::uint32_t start, std::uint64_t size, bool mini) const;
    const Entry* Find(std::string_view name) const;

    std::string bytes_;
    std::uint32_t sectorSize_ = 512;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::string miniStream_;
    std::uint32_t cutoff_ = 4096;
    std::vector<Entry> entries_;
};

} // namespace impmap::workbook

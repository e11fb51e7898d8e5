#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Zip archives made in memory for the workbook tests: stored or deflated parts, each with the
// size its directory declares (which may lie).
namespace impmap::test {

class ZipBuilder
{
public:
    // Adds a part; declaredSize, when given, replaces the true size in the directory (a size
    // above 4 GB is written in a zip64 extra field).
    ZipBuilder& Add(std::string name, std::string_view data, bool deflate = true,
                    std::int64_t declaredSize = -1);
    std::string Bytes() const;

private:
    struct Part
    {
        std::string name;
        std::string stored;
        std::uint16_t method;
        std::uint32_t crc;
        std::uint64_t size;
    };
    std::vector<Part> parts_;
};

// The minimal parts of an .xlsx around one sheet's XML.
std::string MinimalXlsx(std::string_view sheetXml, std::int64_t declaredSheetSize = -1);

} // namespace impmap::test

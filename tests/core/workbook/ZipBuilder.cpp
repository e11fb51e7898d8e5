#include "ZipBuilder.h"

#include <zlib.h>

namespace impmap::test {
namespace {

void Put16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Put64(std::string& out, std::uint64_t v)
{
    Put32(out, static_cast<std::uint32_t>(v));
    Put32(out, static_cast<std::uint32_t>(v >> 32));
}

std::string Deflate(std::string_view data)
{
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

} // namespace

ZipBuilder& ZipBuilder::Add(std::string name, std::string_view data, bool deflate,
                            std::int64_t declaredSize)
{
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    parts_.push_back({std::move(name), deflate ? Deflate(data) : std::string(data),
                      static_cast<std::uint16_t>(deflate ? 8 : 0), crc,
                      declaredSize >= 0 ? static_cast<std::uint64_t>(declaredSize) : data.size()});
    return *this;
}

std::string ZipBuilder::Bytes() const
{
    std::string out;
    std::string directory;
    for (const Part& p : parts_) {
        const bool zip64 = p.size >= 0xFFFFFFFFu;
        const auto offset = static_cast<std::uint32_t>(out.size());
        Put32(out, 0x04034b50);
        Put16(out, zip64 ? 45 : 20);
        Put16(out, 0);
        Put16(out, p.method);
        Put32(out, 0);
        Put32(out, p.crc);
        Put32(out, static_cast<std::uint32_t>(p.stored.size()));
        Put32(out, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(p.size));
        Put16(out, static_cast<std::uint32_t>(p.name.size()));
        Put16(out, 0);
        out += p.name;
        out += p.stored;

        Put32(directory, 0x02014b50);
        Put16(directory, 45);
        Put16(directory, zip64 ? 45 : 20);
        Put16(directory, 0);
        Put16(directory, p.method);
        Put32(directory, 0);
        Put32(directory, p.crc);
        Put32(directory, static_cast<std::uint32_t>(p.stored.size()));
        Put32(directory, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(p.size));
        Put16(directory, static_cast<std::uint32_t>(p.name.size()));
        Put16(directory, zip64 ? 12 : 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, offset);
        directory += p.name;
        if (zip64) {
            Put16(directory, 1);
            Put16(directory, 8);
            Put64(directory, p.size);
        }
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(parts_.size()));
    Put16(out, static_cast<std::uint32_t>(parts_.size()));
    Put32(out, static_cast<std::uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

std::string MinimalXlsx(std::string_view sheetXml, std::int64_t declaredSheetSize)
{
    const char* rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    const char* book =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    const char* bookRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>";
    return ZipBuilder()
        .Add("_rels/.rels", rels)
        .Add("xl/workbook.xml", book)
        .Add("xl/_rels/workbook.xml.rels", bookRels)
        .Add("xl/worksheets/sheet1.xml", sheetXml, true, declaredSheetSize)
        .Bytes();
}

} // namespace impmap::test

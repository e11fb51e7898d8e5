// Reading workbooks. The first byte chooses how the rest becomes a file: the file itself (zip or
// compound file, as .xls), or the parts of an .xlsx or an .ods separated by "\n@@\n" and packed
// into a zip with correct checksums, so that mutations reach the XML readers.
#include "FuzzSupport.h"
#include "io/FileIo.h"
#include "source/WorkbookSource.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

using namespace impmap;
using namespace impmap::fuzz;

std::uint32_t Crc32(std::string_view data)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : data)
        crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void Put(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A zip of stored parts.
std::string Zip(const std::vector<std::pair<std::string, std::string>>& parts)
{
    std::string out, directory;
    for (const auto& [name, data] : parts) {
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
        const std::uint32_t crc = Crc32(data);
        const auto size = static_cast<std::uint32_t>(data.size());
        const auto nameSize = static_cast<std::uint32_t>(name.size());
        Put(out, 0x04034b50, 4);
        Put(out, 20, 2), Put(out, 0, 2), Put(out, 0, 2), Put(out, 0, 4);
        Put(out, crc, 4), Put(out, size, 4), Put(out, size, 4);
        Put(out, nameSize, 2), Put(out, 0, 2);
        out += name + data;
        Put(directory, 0x02014b50, 4);
        Put(directory, 20, 2), Put(directory, 20, 2), Put(directory, 0, 2), Put(directory, 0, 2);
        Put(directory, 0, 4), Put(directory, crc, 4), Put(directory, size, 4);
        Put(directory, size, 4), Put(directory, nameSize, 2), Put(directory, 0, 2);
        Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 4);
        Put(directory, offset, 4);
        directory += name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    Put(out, 0x06054b50, 4), Put(out, 0, 4);
    Put(out, static_cast<std::uint32_t>(parts.size()), 2);
    Put(out, static_cast<std::uint32_t>(parts.size()), 2);
    Put(out, static_cast<std::uint32_t>(directory.size()), 4), Put(out, directoryOffset, 4);
    Put(out, 0, 2);
    return out;
}

std::vector<std::string> Split(std::string_view bytes)
{
    std::vector<std::string> parts;
    for (;;) {
        const size_t at = bytes.find("\n@@\n");
        parts.emplace_back(bytes.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        bytes.remove_prefix(at + 4);
    }
}

const char* const kRels = "<Relationships><Relationship Id=\"rId1\" Type=\"x/officeDocument\" "
                          "Target=\"/xl/workbook.xml\"/></Relationships>";
const char* const kBookRels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/s1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId3\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";
const char* const kBook =
    "<workbook><workbookPr date1904=\"0\"/><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets>"
    "</workbook>";

std::string FileOf(std::string_view input)
{
    const char mode = input.empty() ? 0 : input[0] % 3;
    const std::vector<std::string> parts = Split(input.empty() ? input : input.substr(1));
    auto part = [&](size_t i, const char* fallback) {
        return i < parts.size() ? parts[i] : std::string(fallback);
    };
    if (mode == 1) {
        return Zip({{"_rels/.rels", kRels},
                    {"xl/workbook.xml", part(3, kBook)},
                    {"xl/_rels/workbook.xml.rels", kBookRels},
                    {"xl/worksheets/s1.xml", part(0, "")},
                    {"xl/sharedStrings.xml", part(1, "<sst/>")},
                    {"xl/styles.xml", part(2, "<styleSheet/>")}});
    }
    if (mode == 2) {
        return Zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                    {"content.xml", part(0, "")},
                    {"styles.xml", part(1, "<office:document-styles/>")}});
    }
    return std::string(input.empty() ? input : input.substr(1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path path = ScratchFolder() / "book";
    WriteScratchFile(path, FileOf(input));
    const std::string name = path.string();
    std::string text;
    try {
        text = ReadWorkbookSheet(name, "").text;
    } catch (const FileError&) {
        return 0;
    }
    // Every line ends with CR LF, and every line that is not empty has as many fields.
    size_t start = 0;
    long fields = -1;
    size_t lines = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        // The texts are shown only when a property breaks: a sheet may have a million lines.
        if (end == std::string::npos)
            Broken("every line ends with CR LF", Shown(text));
        const std::string_view line(text.data() + start, end - start);
        if (line.find_first_of("\r\n") != std::string_view::npos)
            Broken("no line break in a field", Shown(line));
        if (!line.empty()) {
            const long count = static_cast<long>(std::count(line.begin(), line.end(), '\t')) + 1;
            if (fields >= 0 && count != fields)
                Broken("every line has as many fields", Shown(line));
            fields = count;
        }
        ++lines;
        start = end + 2;
    }
    Check(ReadWorkbookSheet(name, "").text == text, "reading twice gives the same text");
    // Listing reads every sheet, and another sheet than the first visible one may be damaged.
    std::vector<SheetSummary> sheets;
    try {
        sheets = ListSheets(name, true);
    } catch (const FileError&) {
        return 0;
    }
    bool found = false;
    for (const SheetSummary& sheet : sheets) {
        if (!sheet.hidden && !found) {
            found = true;
            Check(sheet.rows == lines, "the listed rows are the lines read");
        }
    }
    return 0;
}

#include "Workbook.h"

#include "OdsWorkbook.h"
#include "WorkbookError.h"
#include "XlsWorkbook.h"
#include "XlsxWorkbook.h"

#include <fstream>
#include <system_error>

namespace impmap::workbook {
namespace {

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::unique_ptr<Workbook> OpenZipWorkbook(const std::filesystem::path& path)
{
    auto zip = std::make_unique<ZipArchive>(path);
    if (zip->Find("xl/workbook.bin"))
        throw WorkbookError(kBinaryWorkbook);
    if (zip->Find("content.xml") && zip->Find("mimetype"))
        return std::make_unique<OdsWorkbook>(std::move(zip));
    std::string main = OfficeDocumentPart(*zip);
    if (main.empty() && zip->Find("xl/workbook.xml"))
        main = "xl/workbook.xml";
    if (main.size() > 4 && main.substr(main.size() - 4) == ".bin")
        throw WorkbookError(kBinaryWorkbook);
    if (main.empty() || main.find("workbook") == std::string::npos)
        throw WorkbookError("It is a zip archive, but no workbook.");
    return std::make_unique<XlsxWorkbook>(std::move(zip), main);
}

} // namespace

FileSignature SignatureOf(std::string_view firstBytes)
{
    if (firstBytes.substr(0, 4) == std::string_view("PK\x03\x04", 4) ||
        firstBytes.substr(0, 4) == std::string_view("PK\x05\x06", 4))
        return FileSignature::Zip;
    if (firstBytes.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return FileSignature::CompoundFile;
    return FileSignature::None;
}

std::unique_ptr<Workbook> OpenWorkbook(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw WorkbookError("It is not a regular file.");
    char head[8] = {};
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            throw WorkbookError("The file cannot be opened.");
        in.read(head, sizeof head);
    }
    switch (SignatureOf(std::string_view(head, sizeof head))) {
    case FileSignature::Zip:
        return OpenZipWorkbook(path);
    case FileSignature::CompoundFile:
        return OpenXlsWorkbook(path);
    case FileSignature::None:
        break;
    }
    throw WorkbookError("It is no workbook.");
}

size_t FindSheet(const std::vector<SheetEntry>& sheets, std::string_view selector)
{
    if (selector.empty()) {
        for (size_t i = 0; i < sheets.size(); ++i) {
            if (!sheets[i].hidden)
                return i;
        }
        return 0;
    }
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (sheets[i].name == selector)
            return i;
    }
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (EqualsIgnoreCase(sheets[i].name, selector))
            return i;
    }
    if (selector.size() <= 6 &&
        selector.find_first_not_of("0123456789") == std::string_view::npos) {
        const size_t number = std::stoul(std::string(selector));
        if (number >= 1 && number <= sheets.size())
            return number - 1;
    }
    std::string names;
    for (const SheetEntry& sheet : sheets)
        names += (names.empty() ? "\"" : ", \"") + sheet.name + "\"";
    throw WorkbookError("The workbook has no sheet \"" + std::string(selector) +
                        "\"; its sheets are " + names + ".");
}

} // namespace impmap::workbook

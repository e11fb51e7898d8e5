#include "XmlPart.h"

#include "QuickXml.h"
#include "WorkbookError.h"

namespace impmap::workbook {

void ReadXmlPart(ZipArchive& zip, const ZipArchive::Entry& entry, XmlHandler& handler,
                 XmlReader** reader)
{
    XmlReader xml(handler, entry.name);
    if (reader)
        *reader = &xml;
    bool going = true;
    zip.Read(entry, [&](std::string_view piece) {
        going = xml.Feed(piece, false);
        return going;
    });
    if (going)
        xml.Feed({}, true);
    if (reader)
        *reader = nullptr;
}

void ReadXmlPartQuickly(ZipArchive& zip, const ZipArchive::Entry& entry,
                        const std::function<XmlHandler&()>& start)
{
    QuickXmlScanner scanner(start());
    bool going = true;
    zip.ReadAhead(entry, [&](std::string_view piece) { return going = scanner.Feed(piece); });
    if (!going || !scanner.Finish())
        ReadXmlPart(zip, entry, start());
}

std::uint64_t CountAttribute(const char* text, std::uint64_t fallback, std::uint64_t limit)
{
    if (!text || !*text)
        return fallback;
    std::uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return fallback;
        value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        if (value >= limit)
            return fallback;
    }
    return value;
}

bool ParseCellReference(std::string_view text, std::uint32_t& column, std::uint32_t& row)
{
    size_t i = 0;
    std::uint64_t c = 0;
    while (i < text.size() &&
           ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
        c = c * 26 + static_cast<std::uint64_t>((text[i] | 0x20) - 'a' + 1);
        if (c > (1u << 20))
            return false;
        ++i;
    }
    if (i == 0 || i == text.size())
        return false;
    std::uint64_t r = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        r = r * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (r > (1ULL << 31))
            return false;
    }
    if (r == 0)
        return false;
    column = static_cast<std::uint32_t>(c - 1);
    row = static_cast<std::uint32_t>(r - 1);
    return true;
}

} // namespace impmap::workbook

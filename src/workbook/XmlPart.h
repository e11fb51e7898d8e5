#pragma once

#include "Xml.h"
#include "Zip.h"

#include <cstdint>
#include <string>
#include <string_view>

// What the zip-based workbooks share: parsing a part as XML, and reading numbers and cell
// references from attributes.
namespace impmap::workbook {

// Streams the part through handler; the handler may stop early through reader.
void ReadXmlPart(ZipArchive& zip, const ZipArchive::Entry& entry, XmlHandler& handler,
                 XmlReader** reader = nullptr);

// Streams the part through handler with QuickXmlScanner. Returns false when the scanner gave
// up: the part must then be read again with ReadXmlPart into a fresh handler.
bool ReadXmlPartQuickly(ZipArchive& zip, const ZipArchive::Entry& entry, XmlHandler& handler);

// A decimal count from an attribute ("12"); fallback when it is missing or not a count below
// limit.
std::uint64_t CountAttribute(const char* text, std::uint64_t fallback, std::uint64_t limit);

// Parses "B12" into a 0-based column and row; false when it is no cell reference.
bool ParseCellReference(std::string_view text, std::uint32_t& column, std::uint32_t& row);

// Collects the text of the element it is given while capturing is on.
struct TextCapture
{
    bool on = false;
    std::string text;
};

} // namespace impmap::workbook

#pragma once

#include "Xml.h"
#include "Zip.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// What the zip-based workbooks share: parsing a part as XML, and reading numbers and cell
// references from attributes.
namespace impmap::workbook {

// Streams the part through handler; the handler may stop early through reader.
void ReadXmlPart(ZipArchive& zip, const ZipArchive::Entry& entry, XmlHandler& handler,
                 XmlReader** reader = nullptr);

// Streams the part with QuickXmlScanner through the handler that start gives; when the scanner
// gives up, streams it again with XmlReader through a fresh handler from start. start readies
// whatever the handler fills for a new read.
void ReadXmlPartQuickly(ZipArchive& zip, const ZipArchive::Entry& entry,
                        const std::function<XmlHandler&()>& start);

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

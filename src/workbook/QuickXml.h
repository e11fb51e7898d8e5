#pragma once

#include "Xml.h"

#include <string>
#include <string_view>
#include <vector>

// A fast scanner for the plain XML that spreadsheet programs write into the large parts of a
// workbook: elements, attributes, text, the five predefined entities and character references,
// in UTF-8. It gives its handler exactly the calls XmlReader would give (names without their
// prefix, attributes as name, value, ..., null, text possibly in several pieces). Anything else
// (comments, processing instructions, CDATA, a document type declaration, another encoding, a
// name or character it does not know, or XML that is not well formed) makes it give up, and the
// part is read again with XmlReader, which either reads it or says what is wrong with it.
namespace impmap::workbook {

class QuickXmlScanner
{
public:
    explicit QuickXmlScanner(XmlHandler& handler) : handler_(handler) {}

    // Scans the next piece of the part. Returns false once the scanner has given up.
    bool Feed(std::string_view piece);
    // The part has ended. Returns false when the scanner gave up or the document is incomplete.
    bool Finish();

private:
    // Scans the complete tokens of [begin, end) and returns where the first incomplete one starts
    // (end when there is none), or null when it gives up.
    const char* Scan(const char* begin, const char* end, bool last);
    const char* Tag(const char* p, const char* end);
    const char* EndTag(const char* p, const char* end);
    const char* Declaration(const char* p, const char* end);
    bool Content(const char* begin, const char* end);
    bool AttributeValue(const char* begin, const char* end, std::string& out);

    XmlHandler& handler_;
    std::string pending_; // the incomplete token at the end of the last piece
    std::vector<std::string> open_;
    bool started_ = false; // past the byte-order mark and the XML declaration
    bool rootSeen_ = false;
    bool failed_ = false;
    std::string text_;
    std::string attributeBytes_;
    std::vector<const char*> attributes_;
    std::vector<size_t> attributeOffsets_;
};

} // namespace impmap::workbook

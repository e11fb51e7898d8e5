#include "workbook/QuickXml.h"

#include "XmlCallRecorder.h"
#include "workbook/WorkbookError.h"
#include "workbook/Xml.h"

#include <gtest/gtest.h>

namespace impmap::workbook {
namespace {

using Recorder = test::XmlCallRecorder;

// What expat makes of xml, or "error".
std::string ByExpat(const std::string& xml)
{
    Recorder recorder;
    XmlReader reader(recorder, "part");
    try {
        reader.Feed(xml, true);
    } catch (const WorkbookError&) {
        return "error";
    }
    return recorder.events;
}

// What the scanner makes of xml fed in pieces of the given size, or "gave up".
std::string ByScanner(const std::string& xml, size_t piece)
{
    Recorder recorder;
    QuickXmlScanner scanner(recorder);
    for (size_t at = 0; at < xml.size(); at += piece) {
        if (!scanner.Feed(std::string_view(xml).substr(at, piece)))
            return "gave up";
    }
    return scanner.Finish() ? recorder.events : "gave up";
}

TEST(QuickXml, GivesWhatExpatGivesOrGivesUp)
{
    const std::pair<std::string, bool> cases[] = {
        // Taken, with exactly expat's calls.
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
         "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Doe</t></is></c>"
         "</row></sheetData></worksheet>",
         true},
        {"<?xml version='1.0' "
         "encoding='utf-8'?><a>&lt;&amp;&gt;&apos;&quot;&#65;&#x42;&#x1F600;</a>",
         true},
        {"<a b = 'x&amp;y&#10;z' c=\"t\tu\r\nv\rw\nx\">line\r\nbreak\rlone ]] ]>\t</a>", true},
        {"<x:row xmlns:x=\"urn:x\"><x:c x:r=\"B2\"/><x:c></x:c ></x:row>\n  ", true},
        {"<a>J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \x7F</a>", true},
        {"<a><b/><b/></a>", true},
        // Left to expat.
        {"<a><!-- note --></a>", false},
        {"<a><![CDATA[x]]></a>", false},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false},
        {"<?xml-stylesheet href=\"s\"?><a/>", false},
        {"<a><?pi x?></a>", false},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", false},
        {"<?xml encoding=\"UTF-8\"?><a/>", false},
        {"<a>&nbsp;</a>", false},
        {"<a>&#0;</a>", false},
        {"<a>&#xD800;</a>", false},
        {"<a></b>", false},
        {"<a>", false},
        {"<a>x]]>y</a>", false},
        {"<a>\xC3</a>", false},
        {"<a>\xEF\xBF\xBE</a>", false},
        {"<a>\x01</a>", false},
        {"<a b=\"1\" b=\"2\"/>", false},
        {"<a b=\"1\"c=\"2\"/>", false},
        {"<a b=\"<\"/>", false},
        {"<a/><b/>", false},
        {"<a/>text", false},
        {"text<a/>", false},
        {"", false},
        {"< a/>", false},
        {"<1a/>", false},
    };
    for (const auto& [xml, taken] : cases) {
        for (const size_t piece : {xml.size() + 1, size_t{1}, size_t{7}}) {
            const std::string scanned = ByScanner(xml, piece);
            if (taken)
                EXPECT_EQ(scanned, ByExpat(xml)) << xml << " in pieces of " << piece;
            else
                EXPECT_EQ(scanned, "gave up") << xml << " in pieces of " << piece;
        }
    }
}

TEST(QuickXml, DeepNestingAndLongTextAreHandled)
{
    // Nesting past what XmlReader allows is left to it; text far longer than a piece arrives
    // whole, its line breaks and references intact across the cuts.
    std::string deep;
    for (int i = 0; i < 257; ++i)
        deep += "<a>";
    for (int i = 0; i < 257; ++i)
        deep += "</a>";
    EXPECT_EQ(ByScanner(deep, deep.size()), "gave up");

    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "x]\r\n&amp;\xC3\xBC]]";
    const std::string xml = "<a>" + text + "</a>";
    for (const size_t piece : {size_t{4096}, size_t{65536}, size_t{1} << 20})
        EXPECT_EQ(ByScanner(xml, piece), ByExpat(xml)) << "pieces of " << piece;
}

} // namespace
} // namespace impmap::workbook

// The quick XML scanner against expat: whatever the scanner takes, expat takes too and makes the
// same calls of it, however the part is cut into pieces. The first byte chooses the piece size.
#include "FuzzSupport.h"
#include "workbook/QuickXml.h"
#include "workbook/WorkbookError.h"
#include "workbook/Xml.h"

namespace {

using namespace impmap::workbook;
using impmap::fuzz::Check;
using impmap::fuzz::Shown;

class Recorder : public XmlHandler
{
public:
    std::string events;

    void Start(std::string_view name, const char** a) override
    {
        events += "<" + std::string(name);
        for (; *a; a += 2)
            events += std::string(" ") + a[0] + "=[" + a[1] + "]";
        events += ">";
    }
    void End(std::string_view name) override { events += "</" + std::string(name) + ">"; }
    void Text(std::string_view text) override { events += text; }
};

bool Scan(std::string_view xml, size_t piece, std::string& events)
{
    Recorder recorder;
    QuickXmlScanner scanner(recorder);
    for (size_t at = 0; at < xml.size(); at += piece) {
        if (!scanner.Feed(xml.substr(at, piece)))
            return false;
    }
    if (!scanner.Finish())
        return false;
    events = std::move(recorder.events);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t piece = 1 + data[0] % 32;
    const std::string_view xml(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string whole, cut;
    const bool takenWhole = Scan(xml, xml.size() + 1, whole);
    const bool takenCut = Scan(xml, piece, cut);
    if (!takenWhole && !takenCut)
        return 0;
    Recorder recorder;
    XmlReader reader(recorder, "part");
    try {
        reader.Feed(xml, true);
    } catch (const WorkbookError& e) {
        Check(false, "what the scanner takes expat takes", Shown(xml) + "\n" + e.what());
    }
    if (takenWhole)
        Check(whole == recorder.events, "the scanner makes expat's calls",
              Shown(xml) + "\nscanner: " + Shown(whole) + "\nexpat:   " + Shown(recorder.events));
    if (takenCut)
        Check(cut == recorder.events, "the scanner makes expat's calls in pieces",
              Shown(xml) + "\nscanner: " + Shown(cut) + "\nexpat:   " + Shown(recorder.events));
    return 0;
}

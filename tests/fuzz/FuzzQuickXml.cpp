// The quick XML scanner against expat: whatever the scanner takes, expat takes too and makes the
// same calls of it, however the part is cut into pieces. The first byte chooses the piece size.
#include "../core/workbook/XmlCallRecorder.h"
#include "FuzzSupport.h"
#include "workbook/QuickXml.h"
#include "workbook/WorkbookError.h"
#include "workbook/Xml.h"

namespace {

using namespace impmap::workbook;
using impmap::fuzz::Check;
using impmap::fuzz::Shown;

using Recorder = test::XmlCallRecorder;

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

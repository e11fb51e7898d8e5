#pragma once

#include "workbook/Xml.h"

#include <string>
#include <string_view>

namespace impmap::workbook::test {

// Every call an XML reader makes of its handler, as one string; adjacent text pieces joined, so
// that two readers that cut the text differently record the same.
class XmlCallRecorder : public XmlHandler
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

} // namespace impmap::workbook::test

#include "execute/OutputLine.h"

namespace impmap {
namespace {

bool NeedsQuotes(const std::string& value)
{
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 1 && byte <= 32) || c == '"' || c == ',')
            return true;
    }
    return false;
}

} // namespace

void AppendOutputLine(const std::vector<std::string>& values, std::string& line)
{
    if (values.size() == 1 && values.front().empty()) {
        line += "\"\"";
        return;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        const std::string& value = values[i];
        if (!NeedsQuotes(value)) {
            line += value;
            continue;
        }
        line += '"';
        for (const char c : value) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
}

} // namespace impmap

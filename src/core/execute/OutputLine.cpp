#include "execute/OutputLine.h"

#include "convert/Text.h"

namespace impmap {

void AppendOutputLine(const std::vector<std::string>& values, std::string& line)
{
    if (values.size() == 1 && values.front().empty()) {
        line += "\"\"";
        return;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        AppendCommaValue(values[i], line);
    }
}

} // namespace impmap

#include "mapping/HeaderLine.h"

#include "schema/FormCatalogue.h"

#include <vector>

namespace impmap {

char DelimiterChar(int delimiterIndex)
{
    switch (delimiterIndex) {
    case kComma:
        return ',';
    case kPipe:
        return '|';
    default:
        return '\t';
    }
}

const char* DelimiterName(int delimiterIndex)
{
    switch (delimiterIndex) {
    case kTab:
        return "Tab";
    case kComma:
        return "Comma";
    case kPipe:
        return "Pipe";
    default:
        return "";
    }
}

std::string HeaderLine(int formIndex, int delimiterIndex)
{
    if (delimiterIndex < kTab || delimiterIndex > kPipe)
        return {};
    std::vector<std::string> definitions;
    BuildFormSchema(formIndex, definitions);
    const char delimiter = DelimiterChar(delimiterIndex);
    const bool quoted = delimiterIndex == kComma;
    std::string line;
    for (size_t i = 0; i < definitions.size(); ++i) {
        if (i > 0)
            line += delimiter;
        if (quoted)
            line += '"';
        line += CaptionOf(definitions[i]);
        if (quoted)
            line += '"';
    }
    return line;
}

std::string ProposedHeaderFileName(int formIndex, int delimiterIndex)
{
    return FormFileNamePart(formIndex) + "_2022_Header_" + DelimiterName(delimiterIndex);
}

} // namespace impmap

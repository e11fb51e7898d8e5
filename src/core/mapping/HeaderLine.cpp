#include "mapping/HeaderLine.h"

#include "schema/FormCatalogue.h"

#include <vector>

namespace impmap {

std::string HeaderLine(int formIndex, Delimiter delimiter)
{
    if (delimiter == Delimiter::None)
        return {};
    std::vector<std::string> definitions;
    BuildFormSchema(formIndex, definitions);
    const char separator = DelimiterChar(delimiter);
    const bool quoted = delimiter == Delimiter::Comma;
    std::string line;
    for (size_t i = 0; i < definitions.size(); ++i) {
        if (i > 0)
            line += separator;
        if (quoted)
            line += '"';
        line += CaptionOf(definitions[i]);
        if (quoted)
            line += '"';
    }
    return line;
}

std::string ProposedHeaderFileName(int formIndex, Delimiter delimiter)
{
    return FormFileNamePart(formIndex) + "_2022_Header_" + DelimiterName(delimiter);
}

} // namespace impmap

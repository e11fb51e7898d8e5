#include "mapping/SourceHeader.h"

#include "convert/Text.h"
#include "io/IniFile.h"
#include "mapping/Workspace.h"
#include "source/SplitRecord.h"

#include <algorithm>

namespace impmap {
namespace {

constexpr const char* kSection = "Source Header";
constexpr int kMaxColumns = kMaxMappedField;

bool HasLetter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               static_cast<unsigned char>(c) >= 0x80;
    });
}

} // namespace

bool LooksLikeHeaderLine(const std::vector<std::string>& fields)
{
    size_t named = 0;
    for (const std::string& field : fields) {
        const std::string_view text = TrimView(field);
        if (text.empty())
            continue;
        // A record has amounts, numbers and dates; a header names them.
        if (!HasLetter(text))
            return false;
        ++named;
    }
    return named > 0 && 2 * named >= fields.size();
}

std::vector<std::string> SourceHeaderFields(const Workspace& workspace)
{
    if (!workspace.SourceLoaded() || workspace.HeaderRecord().empty())
        return {};
    std::vector<std::string> fields;
    SplitRecordUpTo(workspace.HeaderRecord(), workspace.DelimiterCharacter(), fields,
                    kMaxMergeField, workspace.Format().encoding);
    if (workspace.Header() == HeaderMode::Read && !LooksLikeHeaderLine(fields))
        return {};
    return fields;
}

void WriteSourceHeader(IniFile& ini, const std::vector<std::string>& fields)
{
    const size_t count = std::min(fields.size(), static_cast<size_t>(kMaxColumns));
    for (size_t i = 0; i < count; ++i)
        ini.WriteString(kSection, ZeroPad(3, std::to_string(i + 1)), fields[i]);
}

std::vector<std::string> ReadSourceHeader(const IniFile& ini)
{
    std::vector<std::string> fields;
    for (int column = 1; column <= kMaxColumns; ++column) {
        const std::string key = ZeroPad(3, std::to_string(column));
        if (!ini.HasKey(kSection, key))
            break;
        fields.push_back(ini.ReadString(kSection, key, ""));
    }
    return fields;
}

} // namespace impmap

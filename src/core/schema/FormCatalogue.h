#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The 38 destination layouts ("forms") and their ordered field definitions. A definition is one
// text: the type code character followed by the caption ("cRents").
namespace impmap {

constexpr int kFormCount = 38;

// Display names by FormIndex, in catalogue order.
extern const std::array<std::string_view, kFormCount> FormNames;

// Field count of each layout.
int FormFieldCount(int formIndex);

// Appends the layout's definitions to list in schema order. An index outside 0..37 adds nothing.
void BuildFormSchema(int formIndex, std::vector<std::string>& list);

// The FormIndex whose name equals name ignoring ASCII case, or -1.
int FindFormIndex(std::string_view name);

// The display name with every hyphen removed: "1099-MISC" gives "1099MISC". Empty for no form.
std::string FormFileNamePart(int formIndex);

// Splitting a definition: the type code is the first character, the caption the rest.
inline char TypeCodeOf(std::string_view definition)
{
    return definition.empty() ? '\0' : definition.front();
}
inline std::string_view CaptionOf(std::string_view definition)
{
    return definition.empty() ? definition : definition.substr(1);
}

} // namespace impmap

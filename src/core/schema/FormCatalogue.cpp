#include "schema/FormCatalogue.h"

#include "convert/Text.h"
#include "schema/FormLayouts.h"

#include <iterator>

namespace impmap {
namespace {

// Number of "$State #n" / "$State #n ID" pairs that end the Clients layout.
constexpr int kClientStatePairs = 50;

} // namespace

int FormFieldCount(int formIndex)
{
    if (formIndex < 0 || formIndex >= kFormCount)
        return 0;
    const Layout& layout = kLayouts[formIndex];
    size_t count = layout.ownFields.size();
    if (layout.recipientBlock)
        count += std::size(kRecipientBlock);
    if (layout.closingBlock)
        count += std::size(kClosingBlock);
    if (formIndex == 0)
        count += 2 * kClientStatePairs;
    return static_cast<int>(count);
}

void BuildFormSchema(int formIndex, std::vector<std::string>& list)
{
    if (formIndex < 0 || formIndex >= kFormCount)
        return;
    const Layout& layout = kLayouts[formIndex];
    list.reserve(list.size() + static_cast<size_t>(FormFieldCount(formIndex)));
    if (layout.recipientBlock)
        list.insert(list.end(), std::begin(kRecipientBlock), std::end(kRecipientBlock));
    list.insert(list.end(), layout.ownFields.begin(), layout.ownFields.end());
    if (layout.closingBlock)
        list.insert(list.end(), std::begin(kClosingBlock), std::end(kClosingBlock));
    if (formIndex == 0) {
        for (int n = 1; n <= kClientStatePairs; ++n) {
            list.push_back("$State #" + std::to_string(n));
            list.push_back("$State #" + std::to_string(n) + " ID");
        }
    }
}

int FindFormIndex(std::string_view name)
{
    for (int i = 0; i < kFormCount; ++i) {
        if (EqualsIgnoreCaseAscii(FormNames[static_cast<size_t>(i)], name))
            return i;
    }
    return -1;
}

std::string FormFileNamePart(int formIndex)
{
    if (formIndex < 0 || formIndex >= kFormCount)
        return {};
    std::string name(FormNames[static_cast<size_t>(formIndex)]);
    RemoveChar(name, '-');
    return name;
}

} // namespace impmap

#include "tinmatch/TinMatchLayout.h"

#include "convert/Text.h"
#include "schema/FormCatalogue.h"

namespace impmap {
namespace {

int RowOf(const std::vector<DestinationRow>& rows, std::string_view caption)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].caption == caption)
            return static_cast<int>(i);
    }
    return -1;
}

std::string Quoted(const char* caption)
{
    return std::string("\"") + caption + "\"";
}

} // namespace

TinMatchRows FindTinMatchRows(const std::vector<DestinationRow>& rows)
{
    return {RowOf(rows, kTaxpayerIdCaption), RowOf(rows, kTinTypeCaption),
            RowOf(rows, kNameLine1Caption)};
}

std::string TinMatchRefusal(int formIndex, const std::vector<DestinationRow>& rows)
{
    if (formIndex < 0 || formIndex >= kFormCount)
        return "No form is chosen";
    const std::string form(FormNames[static_cast<size_t>(formIndex)]);
    if (form.rfind("1099-", 0) != 0)
        return "The IRS's TIN Matching program serves the 1099 forms only, not " + form;
    const TinMatchRows found = FindTinMatchRows(rows);
    if (found.taxpayerId < 0 || found.name < 0) {
        std::string missing = found.taxpayerId < 0 ? Quoted(kTaxpayerIdCaption) : "";
        if (found.name < 0)
            missing += (missing.empty() ? "" : " and no ") + Quoted(kNameLine1Caption);
        return "The layout " + form + " has no " + missing + " row for TIN Matching";
    }
    for (const int row : {found.taxpayerId, found.name}) {
        const DestinationRow& destination = rows[static_cast<size_t>(row)];
        if (destination.sourceFieldNo <= 0 && TrimView(destination.value).empty())
            return "Destination field \"" + destination.caption +
                   "\" is neither mapped nor given a fixed value, which TIN Matching needs";
    }
    return {};
}

int TinMatchType(std::string_view tinType)
{
    const std::string type = UpperAscii(TrimView(tinType));
    if (type == "EIN")
        return 1;
    if (type == "SSN" || type == "ITIN" || type == "ATIN")
        return 2;
    return 3;
}

} // namespace impmap

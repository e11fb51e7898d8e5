#pragma once

#include "schema/FormCatalogue.h"

#include <span>
#include <string_view>

// The constant layout data behind the catalogue. Most information returns share the recipient
// block (fields 1 to 13) and the closing block (last three fields); each is held once, and so is
// the covered-individual layout that 1095-B CI and 1095-C CI share.
namespace impmap {

struct Layout
{
    bool recipientBlock;
    std::span<const std::string_view> ownFields;
    bool closingBlock;
};

extern const std::string_view kRecipientBlock[13];
extern const std::string_view kClosingBlock[3];
extern const Layout kLayouts[kFormCount];

} // namespace impmap

#pragma once

#include "suggest/HeaderWords.h"

#include <span>
#include <string_view>

// What Suggest Mapping knows of the forms, as data: other names of the fields, the 2022 box
// numbers, and the words that name each side of a form.
namespace impmap::suggest {

// Other names of a field, separated by "|". A name led by "~" is only a weak hint (a medium
// confidence at best). form is a layout name, "*" for every layout with a field of that caption,
// or "* except NAME" for all but one; with "*" captions are compared as read, so that
// "Policyholder's name line 1" of 1099-LTC counts as "Name line 1". "{MON}" in a caption and its
// names stands for each month and for JAN-DEC.
struct SynonymEntry
{
    std::string_view form;
    std::string_view caption;
    std::string_view names;
};
std::span<const SynonymEntry> SynonymTable();

// A box of a 2022 form and the field that holds it. Boxes with several fields list each (box 6
// of 1099-NEC holds the state of both state lines; box 13 of the W-2 three check boxes, told
// apart by line). Captions that name their box ("Box 1 - Mortgage interest ...") need no entry.
struct BoxEntry
{
    std::string_view form;
    std::string_view label;
    std::string_view caption;
    std::string_view line = {}; // the check box or line within the box, when it has several
};
std::span<const BoxEntry> BoxTable();

// The words for the person and the filer of a layout.
Roles FormRoles(int formIndex);

} // namespace impmap::suggest

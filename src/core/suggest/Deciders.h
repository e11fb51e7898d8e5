#pragma once

#include "suggest/HeaderWords.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// What keeps a header from a field it resembles: the words that decide between otherwise alike
// fields, and the numbers of a series.
namespace impmap::suggest {

// The words that decide between two otherwise alike fields: which tax (federal, state, local),
// which insurance (social security, Medicare), before or after a correction, which months, which
// part of a name, and whether the field is a type, a code or a number.
struct Deciders
{
    unsigned jurisdiction = 0; // 1 federal, 2 state, 4 local
    unsigned insurance = 0;    // 1 social security, 2 Medicare
    unsigned revision = 0;     // 1 previous, 2 corrected
    unsigned months = 0;
    unsigned nameParts = 0;
    bool type = false;
    bool code = false;
    bool number = false;
};

constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};

// How the series numbers of a header fit a field: Agree, Missing (the header names none and the
// field is the first of its series: "State tax" for "State 1 tax withheld"), Implied, or Conflict.
enum class SeriesFit
{
    Agree,
    Missing,
    Implied, // a name that means a later line without its number ("Apartment" for line 2)
    Conflict
};

// The deciders of a header's or a field's words.
Deciders DecidersOf(const HeaderWords& words);
// Whether a header and a field may be the same by their words: the deciders on both sides agree.
bool DecidersAgree(const Deciders& header, const Deciders& field);
// Whether what a header says does not contradict a field that its box names.
bool DecidersAllow(const Deciders& header, const Deciders& field);
// How the header's series numbers fit the field's; alternativeHasNoSeries: the name matched
// names a later line without its number.
SeriesFit FitSeries(const std::vector<std::string>& header, const std::vector<std::string>& field,
                    bool alternativeHasNoSeries);

} // namespace impmap::suggest

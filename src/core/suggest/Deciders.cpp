#include "suggest/Deciders.h"

namespace impmap::suggest {

Deciders DecidersOf(const HeaderWords& words)
{
    Deciders d;
    for (const std::string& w : words.words) {
        if (w == "federal")
            d.jurisdiction |= 1;
        else if (w == "state")
            d.jurisdiction |= 2;
        else if (w == "local" || w == "locality")
            d.jurisdiction |= 4;
        else if (w == "social" || w == "security")
            d.insurance |= 1;
        else if (w == "medicare")
            d.insurance |= 2;
        else if (w == "previous")
            d.revision |= 1;
        else if (w == "corrected")
            d.revision |= 2;
        else if (w == "first")
            d.nameParts |= 1;
        else if (w == "middle")
            d.nameParts |= 2;
        else if (w == "last")
            d.nameParts |= 4;
        else if (w == "suffix")
            d.nameParts |= 8;
        else if (w == "type")
            d.type = true;
        else if (w == "code")
            d.code = true;
        else if (w == "number" || w == "id")
            d.number = true;
        for (size_t m = 0; m < kMonths.size(); ++m) {
            if (w == kMonths[m])
                d.months |= 1u << m;
        }
    }
    return d;
}

bool DecidersAgree(const Deciders& header, const Deciders& field)
{
    // Federal may stand alone on either side ("Tax withheld", "Federal wages"); state and local
    // never: "State wages" is no "Wages", "Tax withheld" no "State tax withheld".
    if (header.jurisdiction != field.jurisdiction) {
        const bool oneSided = header.jurisdiction == 0 || field.jurisdiction == 0;
        if (oneSided ? (header.jurisdiction | field.jurisdiction) != 1
                     : (header.jurisdiction & field.jurisdiction) == 0)
            return false;
    }
    if (header.insurance != field.insurance || header.revision != field.revision ||
        header.months != field.months || header.type != field.type || header.code != field.code)
        return false;
    if (header.nameParts != 0 && field.nameParts != 0 && header.nameParts != field.nameParts)
        return false;
    // A number or ID is never a field that is no number ("Payer's state number" is no "State").
    return !(header.number && !field.number);
}

// Whether what a header says does not contradict a field, where its box already names the field:
// "Box 5" says nothing against "State 1 tax withheld", "Box 5 Federal" would. Whether a field is
// a code or a type must still agree ("Box 12a" is the amount, not the code).
bool DecidersAllow(const Deciders& header, const Deciders& field)
{
    if (header.jurisdiction != 0) {
        const bool fits = field.jurisdiction == 0 ? header.jurisdiction == 1
                                                  : (header.jurisdiction & field.jurisdiction) != 0;
        if (!fits)
            return false;
    }
    if ((header.insurance != 0 && header.insurance != field.insurance) ||
        (header.revision != 0 && header.revision != field.revision) ||
        (header.months != 0 && header.months != field.months) || header.type != field.type ||
        header.code != field.code)
        return false;
    if (header.nameParts != 0 && field.nameParts != 0 && header.nameParts != field.nameParts)
        return false;
    return !(header.number && !field.number);
}

SeriesFit FitSeries(const std::vector<std::string>& header, const std::vector<std::string>& field,
                    bool alternativeHasNoSeries)
{
    if (header == field)
        return SeriesFit::Agree;
    if (header.empty()) {
        if (field.size() == 1 && field[0] == "1")
            return SeriesFit::Missing;
        return alternativeHasNoSeries ? SeriesFit::Implied : SeriesFit::Conflict;
    }
    return SeriesFit::Conflict;
}

} // namespace impmap::suggest

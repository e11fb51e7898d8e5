#include "schema/FieldGuide.h"

#include "convert/Text.h"

#include <map>

namespace impmap {
namespace {

const std::map<char, std::vector<std::string_view>>& GuideTable()
{
    static const std::map<char, std::vector<std::string_view>> table = {
        {'e',
         {"A = Agriculture", "H = Household", "M = Military", "Q = MQGE", "X = Railroad",
          "R = Regular 941", "F = Regular 944"}},
        {'k',
         {"F = Federal Government", "S = State and Local Government (not 501c)",
          "T = Tax Exempt (501c, non-government)", "Y = State and Local Tax Exempt (501c)",
          "N = None of the above"}},
        {'u', {"(US Postal Service Delivery Point (00-99) or null)"}},
        {'w', {"(Only whole numbers will be accepted)"}},
        {'c', {"(Currency: Dollar signs and commas are acceptable)", "Must not be negative."}},
        {'C',
         {"(Currency: Dollar signs and commas are acceptable)", "Negative values are acceptable."}},
        {'D', {"(MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", "(Required date field)"}},
        {'d', {"(MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY, or null)"}},
        {'b', {"(MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY, or null)"}},
        {'E',
         {"(See 'Identifiable Event Codes' in IRS Pub. 4681)",
          "Enter an Identifiable Event Code (A - H)"}},
        {'O', {"Enter a valid code (A - G)"}},
        {'o', {"Valid codes (1A - 1U)"}},
        {'h', {"Valid codes (2A - 2I)"}},
        {'p', {"2 digit month (01-12), 00 = No Plan"}},
        {'g',
         {"1 = Horses", "2 = Dogs", "3 = Jai-alai", "4 = Lottery", "5 = Keno", "6 = Bingo",
          "7 = Slots", "8 = Poker", "9 = Other"}},
        {'9', {"(Only digits 0-9 are accepted)"}},
        {'N', {"(Acceptable formats: XXX-XX-XXXX, XX-XXXXXXX, XXXXXXXXX, or null)"}},
        {'n', {"(Enter as 9 digits)"}},
        {'Y', {"(YY = 2-digit year or YYYY = 4-digit year)"}},
        {'y', {"(YYYY = 4-digit year, or leave blank)"}},
        {'T',
         {"(SSN, EIN, N/A, 1=EIN, 2=SSN, T=EIN, S=SSN, R=ITIN, or computed from taxpayer id)"}},
        {'I', {"Indicator will be set for values {1, X, Y, YES, T, TRUE}"}},
    };
    return table;
}

} // namespace

const std::vector<std::string_view>& FieldGuideLines(char typeCode)
{
    static const std::vector<std::string_view> none;
    const auto& table = GuideTable();
    auto it = table.find(typeCode);
    return it == table.end() ? none : it->second;
}

std::string FieldGuideText(std::string_view caption, char typeCode, std::string_view value)
{
    std::string text(caption);
    const bool codedList = typeCode == 'e' || typeCode == 'k' || typeCode == 'g';
    bool first = true;
    for (std::string_view line : FieldGuideLines(typeCode)) {
        text += (first && codedList) ? "\r\n\r\n" : "\r\n";
        text += line;
        first = false;
    }
    const std::string_view mapped = TrimView(value);
    if (!mapped.empty() && mapped != "N/A") {
        text += "\r\n\r\nData mapped = ";
        text += mapped;
    }
    return text;
}

} // namespace impmap

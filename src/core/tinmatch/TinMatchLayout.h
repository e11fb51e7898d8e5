#pragma once

#include "mapping/DestinationRow.h"

#include <string>
#include <string_view>
#include <vector>

// Which rows of a mapping a TIN Matching request is made of, and whether the mapping can make one.
namespace impmap {

inline constexpr char kTaxpayerIdCaption[] = "Taxpayer id";
inline constexpr char kTinTypeCaption[] = "TIN Type";
inline constexpr char kNameLine1Caption[] = "Name line 1";

// The 0-based rows by caption; -1 for a row the layout lacks.
struct TinMatchRows
{
    int taxpayerId = -1;
    int tinType = -1;
    int name = -1;
};

TinMatchRows FindTinMatchRows(const std::vector<DestinationRow>& rows);

// Why the mapping of the layout formIndex cannot give TIN Matching requests, or an empty text when
// it can: the IRS's program serves the 1099 forms only, and a request needs a "Taxpayer id" and a
// "Name line 1" row, each mapped to a source field or given a fixed value.
std::string TinMatchRefusal(int formIndex, const std::vector<DestinationRow>& rows);

// The TIN type of a request for a record's converted TIN Type: 1 for "EIN", 2 for "SSN" (and
// "ITIN", "ATIN", which take its form), 3 (unknown: the IRS tries both) for anything else.
int TinMatchType(std::string_view tinType);

} // namespace impmap

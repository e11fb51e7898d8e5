#pragma once

#include <string>
#include <vector>

// How the header line of a source differs from the one a map was saved with: which columns
// moved, which are gone, which are new, and which now bear another name.
namespace impmap::suggest {

struct HeaderChange
{
    enum class Kind
    {
        Renamed, // the column is there under another name
        Moved,   // the name stands in another column now
        Gone,    // the name is nowhere, and so is its column
        Added    // a column that was not there
    };
    Kind kind = Kind::Renamed;
    int column = 0;    // the column in the saved header (for Added: in today's)
    int newColumn = 0; // Moved: where the name stands now
    std::string before;
    std::string after; // Renamed: the name now; Added: the new column's name
};

// The changes, in column order; none when the headers agree (case and surrounding blanks
// aside). A column whose saved name is empty is not compared.
std::vector<HeaderChange> CompareHeaders(const std::vector<std::string>& saved,
                                         const std::vector<std::string>& current);

// The changes in words: "Column 9 was "TIN", now "Tax ID"; column 12 "Amount" is gone." At most
// limit changes are named; the rest are counted ("and 3 more changes").
std::string DescribeHeaderChanges(const std::vector<HeaderChange>& changes, size_t limit = 10);

} // namespace impmap::suggest

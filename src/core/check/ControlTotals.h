#pragma once

#include "convert/Amount.h"
#include "execute/Engine.h"
#include "mapping/DestinationRow.h"

#include <string>
#include <vector>

// Control totals of a run: for every amount row that is mapped or has a fixed value, how many
// records wrote a non-zero amount and the sum of the amounts written. They show an implied
// decimal slip or signs lost to parentheses before the file is imported.
namespace impmap {

struct ControlTotal
{
    std::string caption;
    int row = 0;
    long count = 0;
    Amount sum;
    bool overflow = false; // the sum left the range of Amount; sum then holds no meaning

    // The sum in the plain form of the output values, or "overflow".
    std::string SumText() const;
};

class ControlTotals
{
public:
    ControlTotals() = default;
    explicit ControlTotals(const std::vector<DestinationRow>& rows);

    // Adds one record's written values (one per row). A value that is no amount, which only a
    // check lets through, is left out.
    void Add(RecordViews values);

    const std::vector<ControlTotal>& Totals() const { return totals_; }
    // One line per total: caption, TAB, count, TAB, sum, LF.
    std::string Report() const;

private:
    std::vector<ControlTotal> totals_;
};

} // namespace impmap

#include "check/ControlTotals.h"

#include "convert/Text.h"

namespace impmap {

std::string ControlTotal::SumText() const
{
    return overflow ? "overflow" : sum.ToPlainString();
}

ControlTotals::ControlTotals(const std::vector<DestinationRow>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const DestinationRow& row = rows[i];
        if (row.typeCode != 'c' && row.typeCode != 'C')
            continue;
        // An unmapped amount row without a fixed value shows the conversion of nothing, "0".
        const std::string_view fixed = TrimView(row.value);
        if (row.sourceFieldNo > 0 || (!fixed.empty() && fixed != "0")) {
            ControlTotal total;
            total.caption = row.caption;
            total.row = static_cast<int>(i);
            totals_.push_back(std::move(total));
        }
    }
}

void ControlTotals::Add(RecordViews values)
{
    for (ControlTotal& total : totals_) {
        const auto row = static_cast<size_t>(total.row);
        if (row >= values.size())
            continue;
        long long units = 0;
        if (!Amount::ParsePlain(values[row], units)) {
            const std::optional<Amount> amount = Amount::Parse(values[row]);
            units = amount ? amount->Units() : 0;
        }
        if (units == 0)
            continue;
        ++total.count;
        if (total.overflow)
            continue;
        if (const std::optional<Amount> sum = total.sum.CheckedAdd(Amount::FromUnits(units)))
            total.sum = *sum;
        else
            total.overflow = true;
    }
}

std::string ControlTotals::Report() const
{
    std::string text;
    for (const ControlTotal& total : totals_)
        text += total.caption + '\t' + std::to_string(total.count) + '\t' + total.SumText() + '\n';
    return text;
}

} // namespace impmap

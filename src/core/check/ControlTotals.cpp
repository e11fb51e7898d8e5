#include "check/ControlTotals.h"

#include "convert/Text.h"

namespace impmap {
namespace {

// Reads the plain form a run writes ("-1234.5": a sign, up to 14 digits, up to 4 decimals)
// directly; anything else goes to the general parser.
std::optional<Amount> ParseWritten(std::string_view text)
{
    const bool negative = !text.empty() && text[0] == '-';
    size_t i = negative ? 1 : 0;
    const size_t digitsFrom = i;
    long long units = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        units = units * 10 + (text[i] - '0');
    const size_t digits = i - digitsFrom;
    if (digits == 0 || digits > 14)
        return Amount::Parse(text);
    units *= Amount::kScale;
    if (i < text.size()) {
        if (text[i] != '.')
            return Amount::Parse(text);
        long long place = Amount::kScale;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9' && place > 1; ++i) {
            place /= 10;
            units += (text[i] - '0') * place;
        }
        if (i != text.size() || place == Amount::kScale)
            return Amount::Parse(text);
    }
    return Amount::FromUnits(negative ? -units : units);
}

} // namespace

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
        const std::optional<Amount> amount = ParseWritten(values[row]);
        if (!amount || amount->Units() == 0)
            continue;
        ++total.count;
        if (total.overflow)
            continue;
        if (const std::optional<Amount> sum = total.sum.CheckedAdd(*amount))
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

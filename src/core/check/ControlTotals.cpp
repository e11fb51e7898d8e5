#include "check/ControlTotals.h"

#include "convert/Text.h"

#include <limits>

namespace impmap {
namespace {

// The ten-thousandths of an amount written by a run. The plain form it writes ("-1234.5": a
// sign, up to 14 digits, up to 4 decimals) is read directly; anything else goes to the general
// parser. False for a text that is no amount, an empty one included.
bool UnitsOf(std::string_view text, long long& units)
{
    if (text.empty())
        return false;
    const bool negative = text[0] == '-';
    size_t i = negative ? 1 : 0;
    const size_t digitsFrom = i;
    constexpr size_t kMaxDigits = 14;
    units = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digitsFrom <= kMaxDigits; ++i)
        units = units * 10 + (text[i] - '0');
    const size_t digits = i - digitsFrom;
    bool plain = digits > 0 && digits <= kMaxDigits;
    if (plain)
        units *= Amount::kScale;
    if (plain && i < text.size()) {
        long long place = Amount::kScale;
        plain = text[i] == '.';
        for (++i; plain && i < text.size() && text[i] >= '0' && text[i] <= '9' && place > 1; ++i) {
            place /= 10;
            units += (text[i] - '0') * place;
        }
        plain = plain && i == text.size() && place < Amount::kScale;
    }
    if (plain) {
        units = negative ? -units : units;
        return true;
    }
    const std::optional<Amount> parsed = Amount::Parse(text);
    units = parsed ? parsed->Units() : 0;
    return parsed.has_value();
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
    constexpr long long kMax = std::numeric_limits<long long>::max();
    constexpr long long kMin = std::numeric_limits<long long>::min();
    for (ControlTotal& total : totals_) {
        const auto row = static_cast<size_t>(total.row);
        long long units = 0;
        if (row >= values.size() || !UnitsOf(values[row], units) || units == 0)
            continue;
        ++total.count;
        const long long sum = total.sum.Units();
        if (total.overflow || (units > 0 && sum > kMax - units) ||
            (units < 0 && sum < kMin - units))
            total.overflow = true;
        else
            total.sum = Amount::FromUnits(sum + units);
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

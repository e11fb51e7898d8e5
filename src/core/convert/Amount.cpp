#include "convert/Amount.h"

#include "convert/NumberSyntax.h"

#include <charconv>
#include <limits>

namespace impmap {

namespace {

constexpr unsigned long long kMaxPositive =
    static_cast<unsigned long long>(std::numeric_limits<long long>::max());

unsigned long long Magnitude(long long units)
{
    return units < 0 ? 0ULL - static_cast<unsigned long long>(units)
                     : static_cast<unsigned long long>(units);
}

// Two's complement conversion back (well-defined since C++20), also for the magnitude 2^63.
long long Signed(unsigned long long magnitude, bool negative)
{
    return static_cast<long long>(negative ? 0ULL - magnitude : magnitude);
}

} // namespace

Amount Amount::FromUnits(long long units)
{
    return Amount(units);
}

bool Amount::ParsePlain(std::string_view text, long long& units)
{
    const bool negative = !text.empty() && text[0] == '-';
    size_t i = negative ? 1 : 0;
    const size_t digitsFrom = i;
    constexpr size_t kMaxDigits = 14; // so that the units cannot overflow
    units = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digitsFrom <= kMaxDigits; ++i)
        units = units * 10 + (text[i] - '0');
    const size_t digits = i - digitsFrom;
    if (digits == 0 || digits > kMaxDigits)
        return false;
    units *= kScale;
    if (i < text.size()) {
        if (text[i] != '.')
            return false;
        long long place = kScale;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9' && place > 1; ++i) {
            place /= 10;
            units += (text[i] - '0') * place;
        }
        if (i != text.size() || place == kScale)
            return false;
    }
    units = negative ? -units : units;
    return true;
}

std::optional<Amount> Amount::Parse(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    if (long long units = 0; ParsePlain(text, units))
        return Amount(units);
    const auto number = ScanDecimal(text);
    if (!number)
        return std::nullopt;
    const auto magnitude =
        ScaleMagnitude(*number, 4, number->negative ? kMaxPositive + 1 : kMaxPositive);
    if (!magnitude)
        return std::nullopt;
    return Amount(Signed(magnitude->value, number->negative));
}

size_t Amount::WritePlain(char* out) const
{
    const unsigned long long magnitude = Magnitude(units_);
    char* p = out;
    if (units_ < 0)
        *p++ = '-';
    p = std::to_chars(p, out + kMaxPlainLength, magnitude / kScale).ptr;
    unsigned fraction = static_cast<unsigned>(magnitude % kScale);
    if (fraction != 0) {
        *p++ = '.';
        for (unsigned divisor = kScale / 10; fraction != 0; divisor /= 10) {
            *p++ = static_cast<char>('0' + fraction / divisor);
            fraction %= divisor;
        }
    }
    return static_cast<size_t>(p - out);
}

std::string Amount::ToPlainString() const
{
    char buffer[kMaxPlainLength];
    return std::string(buffer, WritePlain(buffer));
}

Amount Amount::DividedBy100() const
{
    const unsigned long long magnitude = Magnitude(units_);
    unsigned long long quotient = magnitude / 100;
    const unsigned long long remainder = magnitude % 100;
    if (remainder > 50 || (remainder == 50 && (quotient & 1) != 0))
        ++quotient;
    return Amount(Signed(quotient, units_ < 0));
}

} // namespace impmap

#include "convert/NumberSyntax.h"

#include "convert/Text.h"

#include <charconv>
#include <system_error>

namespace impmap {

namespace {

constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the run of digits at the start of text.
size_t DigitRun(std::string_view text)
{
    size_t n = 0;
    while (n < text.size() && IsDigit(text[n]))
        ++n;
    return n;
}

} // namespace

std::optional<DecimalText> ScanDecimal(std::string_view text)
{
    text = TrimView(text);
    DecimalText number;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        number.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    number.unsignedText = text;

    number.intDigits = text.substr(0, DigitRun(text));
    text.remove_prefix(number.intDigits.size());
    if (!text.empty() && text[0] == '.') {
        text.remove_prefix(1);
        number.fracDigits = text.substr(0, DigitRun(text));
        text.remove_prefix(number.fracDigits.size());
    }
    if (number.intDigits.empty() && number.fracDigits.empty())
        return std::nullopt;

    if (!text.empty() && (text[0] == 'E' || text[0] == 'e')) {
        text.remove_prefix(1);
        bool negativeExponent = false;
        if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
            negativeExponent = text[0] == '-';
            text.remove_prefix(1);
        }
        const size_t digits = DigitRun(text);
        if (digits == 0)
            return std::nullopt;
        long long exponent = 0;
        for (size_t i = 0; i < digits; ++i) {
            if (exponent < kExponentLimit)
                exponent = exponent * 10 + (text[i] - '0');
        }
        if (exponent > kExponentLimit)
            exponent = kExponentLimit;
        number.exponent = negativeExponent ? -exponent : exponent;
        text.remove_prefix(digits);
    }
    if (!text.empty())
        return std::nullopt;
    return number;
}

std::optional<ScaledMagnitude> ScaleMagnitude(const DecimalText& number, int scale,
                                              unsigned long long limit)
{
    const size_t intLength = number.intDigits.size();
    const size_t count = intLength + number.fracDigits.size();
    auto digit = [&](size_t i) -> unsigned {
        return static_cast<unsigned>(
            (i < intLength ? number.intDigits[i] : number.fracDigits[i - intLength]) - '0');
    };

    // The value is digits * 10^shift: positive shifts append zeros, negative ones cut digits.
    const long long shift =
        number.exponent - static_cast<long long>(number.fracDigits.size()) + scale;
    const unsigned long long dropCount =
        shift < 0 ? 0ULL - static_cast<unsigned long long>(shift) : 0;
    const size_t keep = dropCount >= count ? 0 : count - static_cast<size_t>(dropCount);

    ScaledMagnitude result;
    for (size_t i = 0; i < keep; ++i) {
        const unsigned d = digit(i);
        if (result.value > (limit - d) / 10)
            return std::nullopt;
        result.value = result.value * 10 + d;
    }

    if (shift > 0 && result.value != 0) {
        for (long long i = 0; i < shift; ++i) {
            if (result.value > limit / 10)
                return std::nullopt;
            result.value *= 10;
        }
    }

    if (keep < count) {
        // The first dropped digit decides; a cut in front of all digits drops a virtual zero.
        const unsigned first = dropCount > count ? 0 : digit(keep);
        bool sticky = false;
        for (size_t i = dropCount > count ? keep : keep + 1; i < count && !sticky; ++i)
            sticky = digit(i) != 0;
        result.exact = first == 0 && !sticky;
        if (first > 5 || (first == 5 && (sticky || (result.value & 1) != 0))) {
            if (result.value >= limit)
                return std::nullopt;
            ++result.value;
        }
    }
    return result;
}

bool IsFiniteDouble(const DecimalText& number)
{
    const size_t intLength = number.intDigits.size();
    const size_t count = intLength + number.fracDigits.size();
    size_t first = 0;
    while (first < count && (first < intLength ? number.intDigits[first]
                                               : number.fracDigits[first - intLength]) == '0')
        ++first;
    if (first == count)
        return true; // zero

    // The value is 0.ddd * 10^order; a double's largest finite value is about 0.17977 * 10^309.
    const long long order =
        static_cast<long long>(intLength) - static_cast<long long>(first) + number.exponent;
    if (order <= 308)
        return true;
    if (order > 309)
        return false;
    double value = 0;
    const char* begin = number.unsignedText.data();
    const auto result = std::from_chars(begin, begin + number.unsignedText.size(), value);
    return result.ec == std::errc{};
}

std::optional<int> ParseInt32(std::string_view text)
{
    text = TrimView(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    long long value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace impmap

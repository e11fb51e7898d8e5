#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace impmap {

// Fixed-point money: a 64-bit count of ten-thousandths.
class Amount
{
public:
    static constexpr long long kScale = 10000;
    // Room WritePlain needs: sign, 15 integer digits, full stop, 4 decimals.
    static constexpr size_t kMaxPlainLength = 24;

    Amount() = default;
    static Amount FromUnits(long long units);
    long long Units() const { return units_; }

    // Parses optional surrounding bytes 0..32, an optional sign, digits with an optional '.'
    // fraction and an optional exponent (E or e, optional sign, digits). No grouping characters.
    // More than four decimals round half to even. Nothing for bad syntax or a value out of range.
    static std::optional<Amount> Parse(std::string_view text);
    // The plain form values are written in ("-1234.5": a sign, up to 14 digits, up to 4
    // decimals), read straight into ten-thousandths. False for any other text, which only Parse
    // reads; the fast way for code that reads many written values.
    static bool ParsePlain(std::string_view text, long long& units);

    // Shortest plain form: optional '-', the integer digits and, only when there is a fraction,
    // '.' and its digits without trailing zeros. 1234.50 gives "1234.5", 100 gives "100".
    std::string ToPlainString() const;
    // Writes the plain form into out (at least kMaxPlainLength bytes); returns its length.
    size_t WritePlain(char* out) const;

    // Divided by 100, rounded half to even to four decimals.
    Amount DividedBy100() const;
    // Nothing on overflow. Inline: totals add it up for every amount of a run.
    std::optional<Amount> CheckedAdd(Amount other) const
    {
        constexpr long long kMax = std::numeric_limits<long long>::max();
        constexpr long long kMin = std::numeric_limits<long long>::min();
        if ((other.units_ > 0 && units_ > kMax - other.units_) ||
            (other.units_ < 0 && units_ < kMin - other.units_))
            return std::nullopt;
        return Amount(units_ + other.units_);
    }

    friend bool operator==(Amount, Amount) = default;

private:
    explicit Amount(long long units) : units_(units) {}
    long long units_ = 0;
};

} // namespace impmap

#pragma once

#include <cstddef>
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

    // Shortest plain form: optional '-', the integer digits and, only when there is a fraction,
    // '.' and its digits without trailing zeros. 1234.50 gives "1234.5", 100 gives "100".
    std::string ToPlainString() const;
    // Writes the plain form into out (at least kMaxPlainLength bytes); returns its length.
    size_t WritePlain(char* out) const;

    // Divided by 100, rounded half to even to four decimals.
    Amount DividedBy100() const;
    // Nothing on overflow.
    std::optional<Amount> CheckedAdd(Amount other) const;

    friend bool operator==(Amount, Amount) = default;

private:
    explicit Amount(long long units) : units_(units) {}
    long long units_ = 0;
};

} // namespace impmap

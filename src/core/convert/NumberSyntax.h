#pragma once

#include <optional>
#include <string_view>

// Locale-free scanning of decimal number texts. The full stop is the only decimal point; no
// grouping characters, no "inf", "nan" or hexadecimal forms.
namespace impmap {

// A decimal number as written. The views point into the scanned text.
struct DecimalText
{
    bool negative = false;
    std::string_view intDigits;    // digits before the full stop (may be empty)
    std::string_view fracDigits;   // digits after it (may be empty)
    long long exponent = 0;        // saturated at +-kExponentLimit
    std::string_view unsignedText; // the number without surrounding blanks and leading sign
};

inline constexpr long long kExponentLimit = 1'000'000'000;

// Scans: optional surrounding bytes 0..32, an optional sign, digits with an optional '.' and
// fraction (at least one digit in all), an optional exponent (E or e, optional sign, at least one
// digit). Nothing else may follow. Returns nothing for any other text.
std::optional<DecimalText> ScanDecimal(std::string_view text);

// The magnitude of a number times 10^scale as an unsigned integer.
struct ScaledMagnitude
{
    unsigned long long value = 0;
    bool exact = true; // false when non-zero digits were rounded away
};

// |number| * 10^scale, rounded half to even to an integer; nothing when that exceeds limit.
std::optional<ScaledMagnitude> ScaleMagnitude(const DecimalText& number, int scale,
                                              unsigned long long limit);

// True when the number does not overflow a double (underflow to zero is fine).
bool IsFiniteDouble(const DecimalText& number);

// Optional surrounding bytes 0..32, an optional sign and decimal digits, within the 32-bit
// signed range; nothing otherwise.
std::optional<int> ParseInt32(std::string_view text);

} // namespace impmap

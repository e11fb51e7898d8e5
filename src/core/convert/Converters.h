#pragma once

#include <string>
#include <string_view>

// Field value converters. Each takes the value in place; only ConvertAmount can fail, the others
// return what they could make of the value and leave judging it to the caller.
namespace impmap {

// The record display shows a mapped field that the record lacks with these words in it; the
// numeric converters read any value holding them as 0.
constexpr std::string_view kNotAllocated = "NOT ALLOCATED";

// Money amounts (codes c and C): upper-cases; drops "$", "+", "," and ")"; turns "(" into "-";
// drops "-" for code 'c'; an empty value or one holding "NOT ALLOCATED" becomes "0". Otherwise the
// blank-separated pieces are parsed as amounts and summed (in implied-decimal mode a piece without
// a full stop counts in cents), and the total is written in its shortest plain form, in implied
// mode with ".00" appended when it has no full stop. A second pass leaves any result unchanged.
// Returns false when a piece does not parse or the total overflows; the value is then left as the
// cleaning steps before the failure left it. Never throws.
bool TryConvertAmount(std::string& value, char typeCode, bool impliedDecimal);
// Same, but a failure throws Rejection("'<piece>' is not a valid floating point value").
void ConvertAmount(std::string& value, char typeCode, bool impliedDecimal);

// Counts (code w): removes blanks, "+" and ","; a number without fractional part within the
// 32-bit range is rewritten as a plain integer ("1E3" gives "1000"); other values are left
// cleaned. Empty or "NOT ALLOCATED" gives "0".
void ConvertWholeNumber(std::string& value);
// Floating-point numbers (code #): removes blanks, "$", "+" and ","; parses nothing.
void CleanFloat(std::string& value);
// TIN type (code T): "1", "T" give "EIN"; "2", "S", "R" give "SSN"; empty gives "N/A"; anything
// else is left trimmed and upper-cased.
void ConvertTinType(std::string& value);
// The words an indicator (code I) is given as, upper-cased and trimmed: "X", "1", "Y", "T", "TRUE",
// "YES" mean yes; empty, "NULL", "0", "N", "F", "FALSE", "NO" mean no.
enum class IndicatorWord
{
    Yes,
    No,
    Other
};
IndicatorWord ClassifyIndicatorWord(std::string_view upperWord);
// Indicators (code I): yes-words give "X", no-words and "NULL" give empty; anything else is left
// trimmed and upper-cased.
void ConvertIndicator(std::string& value);
// The TIN type that the last taxpayer id of a record (trimmed, dashes still in) gives, for the
// record display and for a run alike: empty "N/A", 10 characters (12-3456789) "EIN", 11
// (123-45-6789) "SSN"; otherwise fixedTinType, the user's fixed TIN type (possibly empty: the row
// keeps its own value).
std::string_view TinTypeOf(std::string_view taxpayerId, const std::string& fixedTinType);
// What the empty text converts to under a type code ("0", "000000000", empty): what a row
// without a fixed value shows whatever the record, and what a typed or stored fixed value equal to
// it amounts to (none).
std::string EmptyTextConverted(char typeCode, bool implied);
// An 11-character value (123-45-6789) loses its 4th and 7th characters; others stay as they are.
void DropSsnDashes(std::string& value);
// As DropSsnDashes, and a 10-character value (12-3456789) loses its 3rd character.
void DropTaxpayerIdDashes(std::string& value);
// Nine-digit numbers (code 9): the digits only, padded with zeros on the left, the last nine.
void KeepLastNineDigits(std::string& value);
// Social security numbers (code n): short values are left-padded with zeros to 9 characters, an
// 11-character value loses its 4th and 7th characters.
void NormalizeSsn(std::string& value);
// Taxpayer ids (code N): as NormalizeSsn, and a 10-character value loses its 3rd character.
void NormalizeTaxpayerId(std::string& value);

// Number checks of the execution engine. Surrounding bytes 0..32 are allowed in all three.
// An optional sign and decimal digits, within the 32-bit signed range.
bool ParsesAsInt32(std::string_view text);
// Sign, digits, optional fraction and exponent (no inf, nan or hexadecimal), finite as a double.
bool ParsesAsFloat(std::string_view text);
// Amount::Parse succeeds.
bool ParsesAsAmount(std::string_view text);

} // namespace impmap

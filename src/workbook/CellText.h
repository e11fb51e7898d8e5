#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How one spreadsheet cell becomes the text of one source field: the rules that every kind of
// workbook shares, so that a value reads the same whichever program wrote the file.
namespace impmap::workbook {

// What a number format makes of a number.
enum class NumberStyle
{
    Plain,   // general, currency, accounting, grouping, fractions, times: plain decimal
    Digits,  // zero placeholders and literals only (000-00-0000): exactly as displayed
    Date,    // has day, month or year parts: MM/DD/YYYY
    Percent, // the number times 100
};

struct NumberFormat
{
    NumberStyle style = NumberStyle::Plain;
    // For Digits: the positive section with '0' for each placeholder and every other byte a
    // literal; negative, when the code has a section of its own for negative numbers.
    std::string digits;
    std::string negative;
    bool hasNegative = false;

    bool operator==(const NumberFormat&) const = default;
};

// The style of a number format code (the first section decides; quoted text, backslash escapes,
// brackets, fills and paddings are read as the spreadsheet programs read them).
NumberFormat ClassifyFormatCode(std::string_view code);
// The style of a built-in format number (0 to 58) that has no code of its own in the file.
NumberFormat BuiltInFormat(int id);

// The number as plain decimal: rounded to 15 significant digits (what a sheet can show), then
// the shortest text that reads back to that value; a minus sign when negative, no grouping, no
// exponent, whole numbers without ".0".
std::string PlainNumber(double value);
// True when stored (a number as the workbook stores it) is already the text PlainNumber gives:
// plain decimal, at most 15 significant digits, no leading or trailing zero, no "-0".
bool IsPlainNumberText(std::string_view stored);
// A date serial as MM/DD/YYYY (the time of day dropped); 1900 system unless date1904. Empty when
// the serial is no date from 1900 to 9999.
std::string DateFromSerial(double serial, bool date1904);
// A calendar date as MM/DD/YYYY.
std::string DateText(int year, int month, int day);
// The number rendered by its format.
std::string NumberText(double value, const NumberFormat& format, bool date1904);

// Appends cell text to out: every line break (CR LF, CR or LF) and every tab becomes one blank,
// so that a wrapped cell never splits a record or a field.
void AppendCellText(std::string& out, std::string_view text);

// Appends the code point c (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, std::uint32_t c);

// Parses a number as a workbook stores it ("1234.5", "-1E-3"); false when it is none.
bool ParseStoredNumber(std::string_view text, double& value);

// "A", "Z", "AA", ... for 0-based column index.
std::string ColumnName(unsigned column);

} // namespace impmap::workbook

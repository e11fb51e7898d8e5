#include "CellText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace impmap::workbook {
namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// The sections of a format code, split at semicolons outside quotes, escapes and brackets.
std::string_view Section(std::string_view code, int wanted)
{
    int section = 0;
    size_t start = 0;
    bool quoted = false;
    bool bracket = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (quoted) {
            quoted = c != '"';
        } else if (bracket) {
            bracket = c != ']';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '[') {
            bracket = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == ';') {
            if (section == wanted)
                return code.substr(start, i - start);
            ++section;
            start = i + 1;
        }
    }
    return section == wanted ? code.substr(start) : std::string_view();
}

// What one section holds, read token by token.
struct SectionScan
{
    std::string digits; // '0' placeholders and literals
    bool date = false;
    bool percent = false;
    bool other = false; // anything that makes the digits no plain zero pattern
    bool placeholders = false;
};

// Whether the 'm' at i is minutes: right after an hour part or right before a seconds part.
bool IsMinutes(std::string_view s, size_t i, char lastDatePart)
{
    if (lastDatePart == 'h')
        return true;
    size_t j = i;
    while (j < s.size() && Lower(s[j]) == 'm')
        ++j;
    while (j < s.size() && (s[j] == ':' || s[j] == ' '))
        ++j;
    return j < s.size() && Lower(s[j]) == 's';
}

SectionScan ScanSection(std::string_view s)
{
    SectionScan scan;
    char lastDatePart = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const char l = Lower(c);
        if (c == '"') {
            const size_t end = s.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? s.size() : end;
            scan.digits.append(s.substr(i + 1, stop - i - 1));
            i = stop;
        } else if (c == '\\') {
            if (i + 1 < s.size())
                scan.digits += s[++i];
        } else if (c == '_') {
            // A padding as wide as the next character: shown as a blank.
            ++i;
            scan.digits += ' ';
        } else if (c == '*') {
            ++i; // a fill: nothing of its own
        } else if (c == '[') {
            const size_t end = s.find(']', i);
            const std::string_view inside =
                s.substr(i + 1, (end == std::string_view::npos ? s.size() : end) - i - 1);
            // A locale ([$-409]) or a colour changes nothing; a currency symbol, a condition
            // or an elapsed time does.
            const bool locale = inside.size() >= 2 && inside[0] == '$' && inside[1] == '-';
            const bool elapsed =
                !inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos;
            const bool colour =
                !inside.empty() && !elapsed && std::isalpha(static_cast<unsigned char>(inside[0]));
            if (!locale && !colour)
                scan.other = true;
            i = end == std::string_view::npos ? s.size() : end;
        } else if (c == '0') {
            scan.digits += '0';
            scan.placeholders = true;
        } else if (c == '#' || c == '?' || c == '.' || c == ',' || c == '@' || c == '/') {
            scan.other = true;
        } else if (l == 'e' && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
            scan.other = true;
        } else if (c == '%') {
            scan.percent = true;
        } else if (l == 'd' || l == 'y' || (l == 'm' && !IsMinutes(s, i, lastDatePart))) {
            scan.date = true;
            lastDatePart = l;
        } else if (l == 'h' || l == 's' || l == 'm') {
            scan.other = true;
            lastDatePart = l;
        } else if (s.substr(i, 5) == "AM/PM" || s.substr(i, 3) == "A/P") {
            scan.other = true;
            i += s.substr(i, 5) == "AM/PM" ? 4 : 2;
        } else if (std::string_view(" -+():$^'{}<>=!&~").find(c) != std::string_view::npos ||
                   static_cast<unsigned char>(c) >= 0x80) {
            scan.digits += c;
        } else {
            scan.other = true;
        }
    }
    return scan;
}

bool IsGeneral(std::string_view s)
{
    if (s.size() != 7)
        return false;
    for (size_t i = 0; i < 7; ++i) {
        if (Lower(s[i]) != "general"[i])
            return false;
    }
    return true;
}

// Days from 1970-01-01 to a civil date, and back (proleptic Gregorian calendar).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

std::string DigitsText(double value, const NumberFormat& format)
{
    const bool negative = value < 0;
    const double rounded = std::round(std::fabs(value));
    if (rounded >= 1e15)
        return PlainNumber(value);
    const std::string& pattern = negative && format.hasNegative ? format.negative : format.digits;
    std::string number = std::to_string(static_cast<long long>(rounded));
    size_t placeholders = 0;
    for (const char c : pattern)
        placeholders += c == '0';
    if (number.size() < placeholders)
        number.insert(0, placeholders - number.size(), '0');
    // Placeholders take the digits from the right; the first one takes whatever is left over.
    std::string out;
    size_t next = number.size();
    size_t seen = 0;
    for (size_t i = pattern.size(); i-- > 0;) {
        if (pattern[i] != '0') {
            out += pattern[i];
            continue;
        }
        ++seen;
        if (seen == placeholders) {
            for (size_t k = next; k-- > 0;)
                out += number[k];
            next = 0;
        } else {
            out += number[--next];
        }
    }
    if (negative && !format.hasNegative && rounded != 0)
        out += '-';
    return std::string(out.rbegin(), out.rend());
}

} // namespace

NumberFormat ClassifyFormatCode(std::string_view code)
{
    NumberFormat format;
    const std::string_view first = Section(code, 0);
    if (first.empty() || IsGeneral(first))
        return format;
    const SectionScan scan = ScanSection(first);
    if (scan.date) {
        format.style = NumberStyle::Date;
    } else if (scan.percent) {
        format.style = NumberStyle::Percent;
    } else if (!scan.other && scan.placeholders) {
        format.style = NumberStyle::Digits;
        format.digits = scan.digits;
        const std::string_view second = Section(code, 1);
        if (!second.empty()) {
            const SectionScan negative = ScanSection(second);
            if (!negative.other && !negative.date && !negative.percent && negative.placeholders) {
                format.hasNegative = true;
                format.negative = negative.digits;
            } else {
                format.style = NumberStyle::Plain;
                format.digits.clear();
            }
        }
    }
    return format;
}

NumberFormat BuiltInFormat(int id)
{
    if (id == 1)
        return ClassifyFormatCode("0");
    if (id == 9 || id == 10)
        return {NumberStyle::Percent, {}, {}, false};
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return {NumberStyle::Date, {}, {}, false};
    return {};
}

std::string PlainNumber(double value)
{
    if (!std::isfinite(value))
        return {};
    // 15 significant digits, as the sheet shows it; then the shortest text of that value.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    double shown = std::strtod(buffer, nullptr);
    if (shown == 0)
        shown = 0; // no "-0"
    char out[400];
    const auto result = std::to_chars(out, out + sizeof out, shown, std::chars_format::fixed);
    return std::string(out, result.ptr);
}

bool IsPlainNumberText(std::string_view stored)
{
    const bool negative = !stored.empty() && stored.front() == '-';
    if (negative)
        stored.remove_prefix(1);
    if (stored.empty() || stored.size() > 16 || stored.front() == '.' ||
        (negative && stored == "0"))
        return false;
    const size_t point = stored.find('.');
    const std::string_view whole = stored.substr(0, point);
    if (whole.size() > 1 && whole.front() == '0')
        return false;
    size_t digits = 0;
    for (const char c : stored) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c != '.')
            return false;
    }
    if (point == std::string_view::npos)
        return digits <= 15;
    const std::string_view fraction = stored.substr(point + 1);
    if (fraction.empty() || fraction.find('.') != std::string_view::npos || fraction.back() == '0')
        return false;
    // "0.25" has 2 significant digits; leading zeros of the fraction do not count either.
    const size_t leading = whole == "0" ? 1 + (fraction.find_first_not_of('0')) : 0;
    return digits - leading <= 15;
}

std::string DateText(int year, int month, int day)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", month, day, year);
    return buffer;
}

std::string DateFromSerial(double serial, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    const auto whole = static_cast<long long>(std::floor(serial));
    if (!date1904 && whole == 60)
        return DateText(1900, 2, 29); // the leap day that 1900 never had, as the sheet shows it
    long long days;
    if (date1904)
        days = DaysFromCivil(1904, 1, 1) + whole;
    else
        days = DaysFromCivil(1899, 12, whole < 60 ? 31 : 30) + whole;
    int year, month, day;
    CivilFromDays(days, year, month, day);
    if (year < 1900 || year > 9999)
        return {};
    return DateText(year, month, day);
}

std::string NumberText(double value, const NumberFormat& format, bool date1904)
{
    switch (format.style) {
    case NumberStyle::Digits:
        return DigitsText(value, format);
    case NumberStyle::Date:
        if (std::string date = DateFromSerial(value, date1904); !date.empty())
            return date;
        break;
    case NumberStyle::Percent:
        return PlainNumber(value * 100);
    case NumberStyle::Plain:
        break;
    }
    return PlainNumber(value);
}

void AppendCellText(std::string& out, std::string_view text)
{
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n' && c != '\t')
            continue;
        out.append(text.substr(start, i - start));
        out += ' ';
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    out.append(text.substr(start));
}

bool ParseStoredNumber(std::string_view text, double& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '+'))
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::isfinite(value);
}

std::string ColumnName(unsigned column)
{
    std::string name;
    unsigned n = column + 1;
    while (n > 0) {
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
        n = (n - 1) / 26;
    }
    return name;
}

void AppendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace impmap::workbook

#include "convert/Validators.h"

#include "convert/NumberSyntax.h"
#include "convert/Rejection.h"
#include "convert/Text.h"

#include <algorithm>
#include <optional>

namespace impmap {

namespace {

[[noreturn]] void Reject(long recordNo, std::string_view caption, std::string_view errorLine)
{
    std::string message =
        "Source record: " + std::to_string(recordNo) + "\r\n\r\nDestination Field:\r\n";
    message.append(caption);
    message.append("\r\n\r\n");
    message.append(errorLine);
    throw Rejection(message, std::string(errorLine));
}

// One letter of letters, or the default for an empty value; the value is untouched on rejection.
void ValidateLetterCode(long recordNo, std::string& value, std::string_view caption,
                        char defaultLetter, std::string_view letters, std::string_view errorLine)
{
    const std::string_view trimmed = TrimView(value);
    char letter = defaultLetter;
    if (!trimmed.empty()) {
        const char c = trimmed[0] >= 'a' && trimmed[0] <= 'z' ? static_cast<char>(trimmed[0] - 32)
                                                              : trimmed[0];
        if (trimmed.size() != 1 || letters.find(c) == letters.npos)
            Reject(recordNo, caption, errorLine);
        letter = c;
    }
    value.assign(1, letter);
}

// A run of decimal digits read as a number; large values saturate so they stay invalid.
std::optional<int> DigitsValue(std::string_view digits)
{
    if (digits.empty() || !IsAllDigits(digits))
        return std::nullopt;
    int n = 0;
    for (char c : digits) {
        if (n < 100000)
            n = n * 10 + (c - '0');
    }
    return n;
}

// Month/day/year with "/" separators, three parts of decimal digits, nothing left over.
std::optional<CivilDate> ParseSlashDate(std::string_view text, int currentYear)
{
    const size_t first = text.find('/');
    if (first == text.npos)
        return std::nullopt;
    const size_t second = text.find('/', first + 1);
    if (second == text.npos)
        return std::nullopt;
    const std::string_view yearText = text.substr(second + 1);
    const auto month = DigitsValue(text.substr(0, first));
    const auto day = DigitsValue(text.substr(first + 1, second - first - 1));
    auto year = DigitsValue(yearText); // a third "/" makes this fail
    if (!month || !day || !year)
        return std::nullopt;
    if (yearText.size() <= 2)
        year = WindowTwoDigitYear(*year, currentYear);
    if (!IsValidDate(*year, *month, *day))
        return std::nullopt;
    return CivilDate{*year, *month, *day};
}

// Writes n as width decimal digits (n >= 0 and below 10^width).
char* PutDigits(char* out, int n, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return out + width;
}

} // namespace

void ValidateEmployerType(long recordNo, std::string& value, std::string_view caption)
{
    ValidateLetterCode(recordNo, value, caption, 'R', "AFHMQRX", "ERROR: Invalid employer type");
}

void ValidateEmployerKind(long recordNo, std::string& value, std::string_view caption)
{
    ValidateLetterCode(recordNo, value, caption, 'N', "FNSTY", "ERROR: Invalid employer kind");
}

void ConvertYear(long recordNo, std::string& value, std::string_view caption)
{
    TrimAndUpper(value);
    if (value.empty())
        Reject(recordNo, caption, "ERROR: Year required");
    if (value.size() != 2 && value.size() != 4)
        Reject(recordNo, caption, "ERROR: Invalid Year");
    const auto parsed = ParseInt32(value);
    if (!parsed)
        throw Rejection("'" + value + "' is not a valid integer value");
    int year = *parsed;
    if (year < 0)
        Reject(recordNo, caption, "ERROR: Year is not acceptable");
    if (year < 50)
        year += 2000;
    if (year < 100)
        year += 1900;
    value = std::to_string(year);
}

void ValidateOptionalYear(long recordNo, std::string& value, std::string_view caption)
{
    TrimAndUpper(value);
    if (value.empty())
        return;
    if (!IsAllDigits(value))
        Reject(recordNo, caption, "ERROR: Invalid year");
    if (value.size() != 4)
        Reject(recordNo, caption, "ERROR: Enter a 4-digit year or leave blank");
}

void ConvertDate(long recordNo, std::string& value, bool required, bool birthDate,
                 std::string_view caption, const CivilDate& today)
{
    TrimAndUpper(value);
    if (value.empty()) {
        if (required)
            Reject(recordNo, caption, "ERROR: Date required");
        return;
    }
    if (value.size() < 6)
        value.append("??"); // can never parse: short inputs fail below

    if (value.find('/') == value.npos) {
        // Digits only: MMDDYY stays, anything longer is cut or padded to MMDDYYYY.
        if (value.size() > 8)
            value.erase(0, value.size() - 8);
        else if (value.size() > 6)
            value.insert(0, 8 - value.size(), '0');
        // Characters 1-2 "/" 3-4 "/" and the last 2 (of 6) or 4; a padded short value, which
        // cannot parse, is cut the same way so that the message shows what was tried.
        const std::string_view v = value;
        const size_t tailLength = std::min<size_t>(v.size(), v.size() == 6 ? 2 : 4);
        const std::string_view tail = v.substr(v.size() - tailLength);
        std::string rebuilt;
        rebuilt.reserve(10);
        rebuilt.append(v.substr(0, 2)).append(1, '/');
        rebuilt.append(v.substr(std::min<size_t>(2, v.size()), 2)).append(1, '/').append(tail);
        value.swap(rebuilt);
    }

    const auto date = ParseSlashDate(value, today.year);
    if (!date)
        throw Rejection("'" + value + "' is not a valid date");

    char buffer[8];
    char* p = PutDigits(buffer, date->month, 2);
    p = PutDigits(p, date->day, 2);
    if (birthDate && *date > today) {
        // A birth date in the future was meant in the 1900s; 29 February 2400 has no such day.
        if (!IsValidDate(1900 + date->year % 100, date->month, date->day))
            throw Rejection("'" + value + "' is not a valid date");
        p = PutDigits(p, 19, 2);
        PutDigits(p, date->year % 100, 2);
    } else {
        PutDigits(p, date->year, 4);
    }
    value.assign(buffer, sizeof buffer);
}

int WindowTwoDigitYear(int yy, int currentYear)
{
    const int windowStart = currentYear - 20;
    int year = yy + windowStart / 100 * 100;
    if (year < windowStart)
        year += 100;
    return year;
}

} // namespace impmap

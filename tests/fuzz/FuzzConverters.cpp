// Every converter and validator. The first byte names the rule (a type code, or 'A' amount
// parsing, 'i' 32-bit integers, 'f' floating point, 'o' output lines, 'W' the two-digit year
// window); the second byte's low bits choose its options; the rest is the value.
#include "FuzzSupport.h"
#include "convert/Amount.h"
#include "convert/Converters.h"
#include "convert/NumberSyntax.h"
#include "convert/Rejection.h"
#include "convert/Text.h"
#include "convert/Validators.h"
#include "execute/OutputLine.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <functional>

namespace impmap::fuzz {
namespace {

const std::string kCaption = "Box 1 - Caption";
constexpr long kRecord = 7;
constexpr CivilDate kTodays[] = {{2022, 6, 1}, {2000, 2, 29}, {2099, 12, 31}, {1980, 1, 1}};

std::string Framed(std::string_view errorLine)
{
    return "Source record: 7\r\n\r\nDestination Field:\r\n" + kCaption + "\r\n\r\n" +
           std::string(errorLine);
}

bool AllDigits(std::string_view s)
{
    return !s.empty() && IsAllDigits(s);
}

int Number(std::string_view digits)
{
    int n = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return n;
}

// Runs a converter on a copy of value; returns the rejection's texts, or nothing on acceptance.
struct Outcome
{
    std::string value;
    bool rejected = false;
    std::string message;
    std::string errorLine;
};

Outcome Run(const std::function<void(std::string&)>& rule, std::string value)
{
    Outcome outcome;
    try {
        rule(value);
    } catch (const Rejection& rejection) {
        outcome.rejected = true;
        outcome.message = rejection.what();
        outcome.errorLine = rejection.ErrorLine();
    }
    outcome.value = std::move(value);
    return outcome;
}

// Accepted values stay as they are when converted again.
void CheckIdempotent(const std::function<void(std::string&)>& rule, const Outcome& first,
                     const std::string& input)
{
    if (first.rejected)
        return;
    const Outcome second = Run(rule, first.value);
    Check(!second.rejected && second.value == first.value, "converting twice equals once",
          Shown(input) + " gave " + Shown(first.value) + " then " + Shown(second.value));
}

void CheckAmount(char code, bool implied, const std::string& input)
{
    const auto convert = [&](std::string& v) { ConvertAmount(v, code, implied); };
    const Outcome outcome = Run(convert, input);
    std::string tried = input;
    const bool accepted = TryConvertAmount(tried, code, implied);
    const std::string shown = Shown(input) + " code " + code + (implied ? " implied" : " normal");
    Check(accepted == !outcome.rejected, "both amount conversions agree on acceptance", shown);
    if (!accepted) {
        const std::string tail = "' is not a valid floating point value";
        Check(outcome.message.size() > tail.size() + 1 && outcome.message[0] == '\'' &&
                  outcome.message.ends_with(tail) &&
                  outcome.message.substr(1, outcome.message.size() - 1 - tail.size()).find(' ') ==
                      std::string::npos,
              "a rejected amount names one blank-free piece", shown + " " + outcome.message);
        return;
    }
    Check(tried == outcome.value, "both amount conversions give the same value", shown);
    const std::string& value = outcome.value;
    const auto parsed = Amount::Parse(value);
    Check(parsed.has_value(), "an accepted amount parses", shown + " gave " + Shown(value));
    std::string plain = parsed->ToPlainString();
    if (implied && plain.find('.') == std::string::npos)
        plain += ".00";
    if (value == "0")
        plain = "0";
    Check(value == plain, "an accepted amount is in its plain form",
          shown + " gave " + Shown(value));
    Check(code != 'c' || parsed->Units() >= 0, "code c drops the minus sign", shown);
    CheckIdempotent(convert, outcome, input);

    // A single number keeps its value (cents in implied mode when written without a point).
    const bool plainNumber = input.find_first_of("$+,() \t") == std::string::npos;
    if (plainNumber && Amount::Parse(input)) {
        std::string number = input;
        if (code == 'c')
            RemoveChar(number, '-');
        auto single = Amount::Parse(number);
        if (single && implied && input.find('.') == std::string::npos)
            single = single->DividedBy100();
        if (single)
            Check(*single == *parsed, "a single number keeps its value",
                  shown + " gave " + Shown(value));
    }
    // Blank-separated pieces add up.
    const size_t blank = input.find(' ');
    // Unless the whole value reads as "NOT ALLOCATED" once the dropped characters are gone.
    std::string upper = UpperAscii(input);
    for (const char dropped : std::string_view("$+,)(-"))
        RemoveChar(upper, dropped);
    if (blank != std::string::npos && upper.find(kNotAllocated) == std::string::npos) {
        std::string left = input.substr(0, blank), right = input.substr(blank + 1);
        if (TryConvertAmount(left, code, implied) && TryConvertAmount(right, code, implied)) {
            const auto sum = Amount::Parse(left)->CheckedAdd(*Amount::Parse(right));
            Check(sum && *sum == *parsed, "the pieces of an amount add up",
                  shown + " gave " + Shown(value) + " from " + Shown(left) + " " + Shown(right));
        }
    }
}

void CheckDate(char code, int todayIndex, const std::string& input)
{
    const CivilDate today = kTodays[todayIndex];
    const bool required = code == 'D';
    const bool birth = code == 'b';
    const auto convert = [&](std::string& v) {
        ConvertDate(kRecord, v, required, birth, kCaption, today);
    };
    const Outcome outcome = Run(convert, input);
    const std::string shown = Shown(input) + " code " + code;
    const std::string trimmed = UpperAscii(TrimView(input));
    if (outcome.rejected) {
        if (trimmed.empty()) {
            Check(required && outcome.message == Framed("ERROR: Date required") &&
                      outcome.errorLine == "ERROR: Date required",
                  "only a required date may be empty", shown + " " + outcome.message);
        } else {
            Check(outcome.message == AsQuoted(outcome.value) + " is not a valid date" &&
                      outcome.errorLine == outcome.message,
                  "a bad date is named in its message", shown + " " + outcome.message);
        }
        return;
    }
    if (trimmed.empty()) {
        Check(outcome.value.empty(), "an empty optional date stays empty", shown);
        return;
    }
    const std::string& v = outcome.value;
    Check(v.size() == 8 && AllDigits(v), "an accepted date is MMDDYYYY", shown + " gave " + v);
    const int month = Number(v.substr(0, 2)), day = Number(v.substr(2, 2));
    const int year = Number(v.substr(4));
    Check(IsValidDate(year, month, day), "an accepted date is a calendar date",
          shown + " gave " + v);
    // Month and day are the numbers written; so is a year of three or more digits.
    std::string_view text = trimmed;
    if (text.find('/') != std::string_view::npos) {
        const size_t first = text.find('/'), second = text.find('/', first + 1);
        Check(second != std::string_view::npos, "an accepted date has two slashes", shown);
        const std::string_view m = text.substr(0, first);
        const std::string_view d = text.substr(first + 1, second - first - 1);
        const std::string_view y = text.substr(second + 1);
        Check(AllDigits(m) && AllDigits(d) && AllDigits(y), "an accepted date is all digits",
              shown);
        Check(m.size() <= 9 && d.size() <= 9 && Number(m) == month && Number(d) == day,
              "an accepted date keeps its month and day", shown + " gave " + v);
        if (y.size() >= 3 && !(birth && CivilDate{Number(y), month, day} > today))
            Check(y.size() <= 9 && Number(y) == year, "an accepted date keeps its year",
                  shown + " gave " + v);
    }
    CheckIdempotent(convert, outcome, input);
}

void CheckLetterCode(char code, const std::string& input)
{
    const bool type = code == 'e';
    const auto convert = [&](std::string& v) {
        if (type)
            ValidateEmployerType(kRecord, v, kCaption);
        else
            ValidateEmployerKind(kRecord, v, kCaption);
    };
    const Outcome outcome = Run(convert, input);
    const std::string letters = type ? "AFHMQRX" : "FNSTY";
    const std::string trimmed = UpperAscii(TrimView(input));
    const bool valid =
        trimmed.empty() || (trimmed.size() == 1 && letters.find(trimmed[0]) != std::string::npos);
    const std::string errorLine =
        type ? "ERROR: Invalid employer type" : "ERROR: Invalid employer kind";
    if (!valid) {
        Check(outcome.rejected && outcome.message == Framed(errorLine) &&
                  outcome.errorLine == errorLine && outcome.value == input,
              "a bad letter is rejected and left as it was", Shown(input) + " " + outcome.message);
        return;
    }
    Check(!outcome.rejected && outcome.value == (trimmed.empty() ? (type ? "R" : "N") : trimmed),
          "a good letter becomes its capital", Shown(input) + " gave " + Shown(outcome.value));
}

void CheckYear(char code, const std::string& input)
{
    const std::string trimmed = UpperAscii(TrimView(input));
    const std::string shown = Shown(input) + " code " + code;
    if (code == 'y') {
        const Outcome outcome =
            Run([](std::string& v) { ValidateOptionalYear(kRecord, v, kCaption); }, input);
        const bool valid = trimmed.empty() || (trimmed.size() == 4 && AllDigits(trimmed));
        Check(outcome.rejected != valid && (!valid || outcome.value == trimmed),
              "an optional year is empty or four digits", shown + " " + outcome.message);
        if (outcome.rejected) {
            const char* line = IsAllDigits(trimmed) ? "ERROR: Enter a 4-digit year or leave blank"
                                                    : "ERROR: Invalid year";
            Check(outcome.message == Framed(line), "a bad optional year is named", shown);
        }
        return;
    }
    const auto convert = [](std::string& v) { ConvertYear(kRecord, v, kCaption); };
    const Outcome outcome = Run(convert, input);
    if (outcome.rejected) {
        const bool framed = outcome.message == Framed(outcome.errorLine);
        const bool notInteger =
            outcome.message == AsQuoted(trimmed) + " is not a valid integer value";
        Check(framed || notInteger, "a bad year is named", shown + " " + outcome.message);
        return;
    }
    // A four-character value keeps its number ('+123' and '0100' stay below 1000).
    Check(AllDigits(outcome.value) && outcome.value[0] != '0' && outcome.value.size() <= 4 &&
              Number(outcome.value) >= 100,
          "a year is written in decimal", shown + " gave " + Shown(outcome.value));
    if (trimmed.size() == 4 && AllDigits(trimmed) && Number(trimmed) >= 100)
        Check(Number(outcome.value) == Number(trimmed), "a four-digit year keeps its number",
              shown + " gave " + outcome.value);
    if (trimmed.size() == 2 && AllDigits(trimmed))
        Check(Number(outcome.value) == (Number(trimmed) < 50 ? 2000 : 1900) + Number(trimmed),
              "a two-digit year is placed in 1950 to 2049", shown + " gave " + outcome.value);
    if (outcome.value.size() == 4)
        CheckIdempotent(convert, outcome, input);
}

void CheckWholeNumber(const std::string& input)
{
    const auto convert = [](std::string& v) { ConvertWholeNumber(v); };
    const Outcome outcome = Run(convert, input);
    Check(!outcome.rejected, "whole numbers are never rejected", Shown(input));
    if (const auto n = ParseInt32(outcome.value))
        Check(outcome.value == std::to_string(*n), "a whole number is written plainly",
              Shown(input) + " gave " + Shown(outcome.value));
    Check(!outcome.value.empty(), "a whole number is never empty", Shown(input));
    CheckIdempotent(convert, outcome, input);
}

void CheckText(char code, const std::string& input)
{
    std::function<void(std::string&)> convert;
    switch (code) {
    case '#':
        convert = [](std::string& v) { CleanFloat(v); };
        break;
    case 'T':
        convert = [](std::string& v) { ConvertTinType(v); };
        break;
    case 'I':
        convert = [](std::string& v) { ConvertIndicator(v); };
        break;
    case 'n':
        convert = [](std::string& v) { NormalizeSsn(v); };
        break;
    default:
        convert = [](std::string& v) { NormalizeTaxpayerId(v); };
        break;
    }
    const Outcome outcome = Run(convert, input);
    Check(!outcome.rejected, "text converters never reject", Shown(input));
    CheckIdempotent(convert, outcome, input);
    const std::string trimmed = UpperAscii(TrimView(input));
    const std::string& v = outcome.value;
    const std::string shown = Shown(input) + " code " + code + " gave " + Shown(v);
    if (code == 'T')
        Check(v == "EIN" || v == "SSN" || v == "N/A" || v == trimmed, "a TIN type is known", shown);
    if (code == 'I')
        Check(v.empty() || v == "X" || v == trimmed, "an indicator is X, empty or kept", shown);
    if ((code == 'n' || code == 'N') && !trimmed.empty() && trimmed.size() <= 9)
        Check(v.size() == 9 && v.ends_with(trimmed), "a short number is padded to nine", shown);
    if (code == '#')
        Check(!v.empty() && v.find_first_of(" $+,") == std::string::npos,
              "a float loses blanks, dollar signs, plus signs and commas", shown);
}

// The integer and floating-point checks against the C library's reading of the same text.
void CheckNumberSyntax(char code, const std::string& input)
{
    std::string_view text = TrimView(input);
    std::string_view digits = text;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-'))
        digits.remove_prefix(1);
    if (code == 'i') {
        long long expected = 0;
        const size_t firstNonZero = std::min(digits.find_first_not_of('0'), digits.size());
        bool ok = AllDigits(digits) && digits.size() - firstNonZero <= 12;
        if (ok) {
            const std::string_view significant = digits.substr(firstNonZero);
            std::from_chars(significant.data(), significant.data() + significant.size(), expected);
            expected = text[0] == '-' ? -expected : expected;
            ok = expected >= -2147483648LL && expected <= 2147483647LL;
        }
        const auto parsed = ParseInt32(input);
        Check(parsed.has_value() == ok && (!ok || *parsed == expected),
              "32-bit integers read as the C library reads them", Shown(input));
        Check(ParsesAsInt32(input) == ok, "ParsesAsInt32 agrees with ParseInt32", Shown(input));
        return;
    }
    if (code == 'f') {
        // Digits with an optional point and exponent; finite as a double.
        size_t i = 0;
        size_t count = 0;
        while (i < digits.size() && digits[i] >= '0' && digits[i] <= '9')
            ++i, ++count;
        if (i < digits.size() && digits[i] == '.')
            ++i;
        while (i < digits.size() && digits[i] >= '0' && digits[i] <= '9')
            ++i, ++count;
        bool ok = count > 0;
        if (ok && i < digits.size() && (digits[i] == 'e' || digits[i] == 'E')) {
            size_t j = i + 1;
            if (j < digits.size() && (digits[j] == '+' || digits[j] == '-'))
                ++j;
            const size_t start = j;
            while (j < digits.size() && digits[j] >= '0' && digits[j] <= '9')
                ++j;
            ok = j > start;
            i = j;
        }
        ok = ok && i == digits.size();
        if (ok) {
            errno = 0;
            const std::string copy(text);
            ok = std::isfinite(std::strtod(copy.c_str(), nullptr));
        }
        Check(ParsesAsFloat(input) == ok, "floating point reads as the C library reads it",
              Shown(input));
        return;
    }
    // 'A': amounts read back from their plain form.
    const auto parsed = Amount::Parse(input);
    Check(ParsesAsAmount(input) == parsed.has_value(), "ParsesAsAmount agrees with Parse",
          Shown(input));
    if (parsed) {
        const std::string plain = parsed->ToPlainString();
        const auto again = Amount::Parse(plain);
        Check(again && *again == *parsed && plain.size() <= Amount::kMaxPlainLength,
              "an amount's plain form reads back to it", Shown(input) + " gave " + plain);
    }
}

// Output lines and comma texts: the values read back from the line, one per value.
void CheckOutputLine(const std::string& input)
{
    std::vector<std::string> values;
    size_t start = 0;
    for (;;) {
        const size_t end = input.find('\n', start);
        values.push_back(input.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    std::string line = "stale";
    line.clear();
    AppendOutputLine(values, line);
    const auto parsed = ParseOutputLine(line);
    Check(parsed && *parsed == values, "an output line reads back into its values",
          Shown(input) + " gave " + Shown(line));
    const std::string comma = CommaText(values);
    const auto commaParsed = ParseOutputLine(comma);
    Check(commaParsed && *commaParsed == values, "a comma text reads back into its values",
          Shown(input) + " gave " + Shown(comma));
    for (const auto& value : *parsed) {
        const bool quoteNeeded =
            value.find_first_of(" \",") != std::string::npos ||
            std::any_of(value.begin(), value.end(), [](char c) { return c >= 1 && c < 32; });
        std::string quotedValue = "\"";
        for (const char c : value)
            quotedValue += c == '"' ? std::string(2, c) : std::string(1, c);
        const bool quoted = line.find(quotedValue + "\"") != std::string::npos;
        Check(!quoteNeeded || quoted, "a value with a blank, control, quote or comma is quoted",
              Shown(line));
    }
}

void CheckWindow(const std::string& input)
{
    if (input.size() < 2)
        return;
    const int yy = static_cast<unsigned char>(input[0]) % 100;
    const int current = 1900 + static_cast<unsigned char>(input[1]) % 250;
    const int year = WindowTwoDigitYear(yy, current);
    Check(year % 100 == yy && year >= current - 20 && year < current + 80,
          "a two-digit year falls in the hundred years from 20 years ago",
          std::to_string(yy) + " in " + std::to_string(current) + " gave " + std::to_string(year));
}

} // namespace
} // namespace impmap::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap::fuzz;
    if (size < 2)
        return 0;
    static const std::string kRules = "cCw#TInNekYyDdbAifoW";
    char code = static_cast<char>(data[0]);
    if (kRules.find(code) == std::string::npos)
        code = kRules[data[0] % kRules.size()];
    const int option = data[1] & 3;
    const std::string value(reinterpret_cast<const char*>(data) + 2, size - 2);
    switch (code) {
    case 'c':
    case 'C':
        CheckAmount(code, (option & 1) != 0, value);
        break;
    case 'w':
        CheckWholeNumber(value);
        break;
    case 'e':
    case 'k':
        CheckLetterCode(code, value);
        break;
    case 'Y':
    case 'y':
        CheckYear(code, value);
        break;
    case 'D':
    case 'd':
    case 'b':
        CheckDate(code, option, value);
        break;
    case 'A':
    case 'i':
    case 'f':
        CheckNumberSyntax(code, value);
        break;
    case 'o':
        CheckOutputLine(value);
        break;
    case 'W':
        CheckWindow(value);
        break;
    default:
        CheckText(code, value);
        break;
    }
    return 0;
}

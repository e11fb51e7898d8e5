#include "convert/Converters.h"

#include "convert/Amount.h"
#include "convert/NumberSyntax.h"
#include "convert/Rejection.h"
#include "convert/Text.h"

#include <charconv>
#include <cstring>

namespace impmap {

namespace {

bool HoldsNotAllocated(std::string_view value)
{
    return value.find(kNotAllocated) != value.npos;
}

// Removes every byte for which drop(c) holds, in one pass.
template <typename Predicate> void RemoveIf(std::string& value, Predicate drop)
{
    size_t out = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if (!drop(value[i]))
            value[out++] = value[i];
    }
    value.resize(out);
}

// Upper-cases, removes "$", "+", "," and ")", turns "(" into "-" and, for code 'c', removes "-".
void CleanAmountText(std::string& value, char typeCode)
{
    size_t out = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = UpperByte(value[i]);
        if (c == '$' || c == '+' || c == ',' || c == ')')
            continue;
        if (c == '(')
            c = '-';
        if (c == '-' && typeCode == 'c')
            continue;
        value[out++] = c;
    }
    value.resize(out);
}

// Adds one blank-separated piece to total. A piece that is empty after trimming counts as 0.
bool AddPiece(Amount& total, std::string_view piece, bool impliedDecimal)
{
    if (TrimView(piece).empty())
        return true;
    auto amount = Amount::Parse(piece);
    if (!amount)
        return false;
    if (impliedDecimal && piece.find('.') == piece.npos)
        amount = amount->DividedBy100();
    const auto sum = total.CheckedAdd(*amount);
    if (!sum)
        return false;
    total = *sum;
    return true;
}

// True when value is already in the shortest plain form that the conversion writes, so that
// converting it again would give it back unchanged: "0", or an optional minus (kept only by
// code 'C'), integer digits without a leading zero, and a fraction of one to four digits without
// a trailing zero. In implied mode only "0" and values with a fraction qualify.
bool IsConvertedAmount(std::string_view value, char typeCode, bool impliedDecimal)
{
    if (value == "0")
        return true;
    size_t i = 0;
    if (!value.empty() && value[0] == '-') {
        if (typeCode != 'C')
            return false;
        i = 1;
    }
    const size_t intStart = i;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9')
        ++i;
    const size_t intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 14 || (value[intStart] == '0' && intDigits > 1))
        return false;
    if (i == value.size())
        return !impliedDecimal && !(intStart == 1 && value[1] == '0'); // "-0" is written "0"
    if (value[i] != '.')
        return false;
    const size_t fracStart = ++i;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9')
        ++i;
    const size_t fracDigits = i - fracStart;
    if (i != value.size() || fracDigits == 0 || fracDigits > 4 || value.back() == '0')
        return false;
    return true;
}

// The amount conversion; on failure returns false with badPiece viewing the piece inside value.
bool ConvertAmountSteps(std::string& value, char typeCode, bool impliedDecimal,
                        std::string_view& badPiece)
{
    if (IsConvertedAmount(value, typeCode, impliedDecimal))
        return true; // the common second pass: display conversion already did the work
    CleanAmountText(value, typeCode);
    if (TrimView(value).empty() || HoldsNotAllocated(value)) {
        value.assign(1, '0');
        return true;
    }
    if (value == "0")
        return true; // stays "0" in implied mode too

    TrimInPlace(value);
    Amount total;
    std::string_view rest = value;
    for (;;) {
        const size_t blank = rest.find(' ');
        const std::string_view piece = rest.substr(0, blank);
        if (!AddPiece(total, piece, impliedDecimal)) {
            badPiece = piece;
            return false;
        }
        if (blank == rest.npos)
            break;
        rest.remove_prefix(blank + 1);
    }

    char buffer[Amount::kMaxPlainLength + 3];
    size_t length = total.WritePlain(buffer);
    // Every implied-mode result carries a full stop, so a second pass never divides it again.
    if (impliedDecimal && std::memchr(buffer, '.', length) == nullptr) {
        std::memcpy(buffer + length, ".00", 3);
        length += 3;
    }
    value.assign(buffer, length);
    return true;
}

// Replaces value by the nine-character form: short values padded with zeros in front.
void PadToNine(std::string& value)
{
    if (!value.empty() && value.size() < 9)
        value.insert(0, 9 - value.size(), '0');
}

} // namespace

bool TryConvertAmount(std::string& value, char typeCode, bool impliedDecimal)
{
    std::string_view badPiece;
    return ConvertAmountSteps(value, typeCode, impliedDecimal, badPiece);
}

void ConvertAmount(std::string& value, char typeCode, bool impliedDecimal)
{
    std::string_view badPiece;
    if (!ConvertAmountSteps(value, typeCode, impliedDecimal, badPiece))
        throw Rejection("'" + std::string(badPiece) + "' is not a valid floating point value");
}

void ConvertWholeNumber(std::string& value)
{
    UpperAsciiInPlace(value);
    if (HoldsNotAllocated(value)) {
        value.assign(1, '0');
        return;
    }
    RemoveIf(value, [](char c) { return c == ' ' || c == '+' || c == ','; });
    if (TrimView(value).empty()) {
        value.assign(1, '0');
        return;
    }
    const auto number = ScanDecimal(value);
    if (!number)
        return;
    const auto magnitude =
        ScaleMagnitude(*number, 0, number->negative ? 2147483648ULL : 2147483647ULL);
    if (!magnitude || !magnitude->exact)
        return;
    char buffer[16];
    char* p = buffer;
    if (number->negative && magnitude->value != 0)
        *p++ = '-';
    p = std::to_chars(p, buffer + sizeof buffer, magnitude->value).ptr;
    value.assign(buffer, static_cast<size_t>(p - buffer));
}

void CleanFloat(std::string& value)
{
    UpperAsciiInPlace(value);
    if (HoldsNotAllocated(value)) {
        value.assign(1, '0');
        return;
    }
    RemoveIf(value, [](char c) { return c == ' ' || c == '$' || c == '+' || c == ','; });
    if (TrimView(value).empty())
        value.assign(1, '0');
}

void ConvertTinType(std::string& value)
{
    TrimAndUpper(value);
    if (value.empty()) {
        value.assign("N/A");
        return;
    }
    if (value.size() != 1)
        return;
    switch (value[0]) {
    case '1':
    case 'T':
        value.assign("EIN");
        break;
    case '2':
    case 'S':
    case 'R': // an ITIN takes the SSN form
        value.assign("SSN");
        break;
    default:
        break;
    }
}

IndicatorWord ClassifyIndicatorWord(std::string_view upperWord)
{
    for (const std::string_view no : {"", "NULL", "0", "N", "F", "FALSE", "NO"})
        if (upperWord == no)
            return IndicatorWord::No;
    for (const std::string_view yes : {"X", "1", "Y", "T", "TRUE", "YES"})
        if (upperWord == yes)
            return IndicatorWord::Yes;
    return IndicatorWord::Other;
}

void ConvertIndicator(std::string& value)
{
    TrimAndUpper(value);
    switch (ClassifyIndicatorWord(value)) {
    case IndicatorWord::No:
        value.clear();
        break;
    case IndicatorWord::Yes:
        value.assign(1, 'X');
        break;
    case IndicatorWord::Other:
        break;
    }
}

std::string_view TinTypeOf(std::string_view taxpayerId, const std::string& fixedTinType)
{
    if (taxpayerId.empty())
        return "N/A";
    if (taxpayerId.size() == 10)
        return "EIN";
    if (taxpayerId.size() == 11)
        return "SSN";
    return fixedTinType;
}

void DropSsnDashes(std::string& value)
{
    if (value.size() == 11) {
        value.erase(6, 1);
        value.erase(3, 1);
    }
}

void DropTaxpayerIdDashes(std::string& value)
{
    if (value.size() == 10)
        value.erase(2, 1);
    else
        DropSsnDashes(value);
}

void KeepLastNineDigits(std::string& value)
{
    std::string digits = "000000000";
    for (char c : value) {
        if (c >= '0' && c <= '9')
            digits += c;
    }
    value.assign(digits, digits.size() - 9, 9);
}

void NormalizeSsn(std::string& value)
{
    TrimAndUpper(value);
    PadToNine(value);
    DropSsnDashes(value);
}

void NormalizeTaxpayerId(std::string& value)
{
    TrimAndUpper(value);
    PadToNine(value);
    DropTaxpayerIdDashes(value);
}

bool ParsesAsInt32(std::string_view text)
{
    return ParseInt32(text).has_value();
}

bool ParsesAsFloat(std::string_view text)
{
    const auto number = ScanDecimal(text);
    return number && IsFiniteDouble(*number);
}

bool ParsesAsAmount(std::string_view text)
{
    return Amount::Parse(text).has_value();
}

std::string EmptyTextConverted(char typeCode, bool implied)
{
    std::string value;
    switch (typeCode) {
    case 'c':
    case 'C':
        TryConvertAmount(value, typeCode, implied);
        break;
    case 'w':
        ConvertWholeNumber(value);
        break;
    case '9':
        KeepLastNineDigits(value);
        break;
    default:
        break;
    }
    return value;
}

} // namespace impmap

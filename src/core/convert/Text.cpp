#include "convert/Text.h"

#include <algorithm>
#include <array>

namespace impmap {

std::string Trim(std::string_view s)
{
    return std::string(TrimView(s));
}

void TrimInPlace(std::string& s)
{
    if (s.empty() || (!IsTrimmable(s.front()) && !IsTrimmable(s.back())))
        return;
    size_t end = s.size();
    while (end > 0 && IsTrimmable(s[end - 1]))
        --end;
    s.resize(end);
    size_t begin = 0;
    while (begin < s.size() && IsTrimmable(s[begin]))
        ++begin;
    s.erase(0, begin);
}

std::string UpperAscii(std::string_view s)
{
    std::string out(s);
    UpperAsciiInPlace(out);
    return out;
}

void UpperAsciiInPlace(std::string& s)
{
    for (char& c : s)
        c = UpperByte(c);
}

void TrimAndUpper(std::string& s)
{
    TrimInPlace(s);
    UpperAsciiInPlace(s);
}

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperByte(x) == UpperByte(y);
           });
}

void RemoveChar(std::string& s, char ch)
{
    s.erase(std::remove(s.begin(), s.end(), ch), s.end());
}

bool IsAllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string RepeatChar(char ch, int n)
{
    return n > 0 ? std::string(n, ch) : std::string();
}

std::string LeftChars(std::string_view s, int n)
{
    if (n <= 0)
        return {};
    return std::string(s.substr(0, static_cast<size_t>(n)));
}

std::string RightChars(std::string_view s, int n)
{
    if (n <= 0)
        return {};
    if (s.size() <= static_cast<size_t>(n))
        return std::string(s);
    return std::string(s.substr(s.size() - static_cast<size_t>(n)));
}

std::string MidOrBlanks(std::string_view s, int from, int count)
{
    if (count <= 0)
        return {};
    if (from < 1 || static_cast<long long>(s.size()) < static_cast<long long>(from) + count - 1)
        return std::string(static_cast<size_t>(count), ' ');
    return std::string(s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(count)));
}

std::string ZeroPad(int width, std::string_view s)
{
    return RightChars(RepeatChar('0', width) + std::string(s), width);
}

namespace {

// Bytes that make a value need double quotes: controls 1 to 31, blank, double quote, comma.
constexpr std::array<bool, 256> MakeQuoteTable()
{
    std::array<bool, 256> table{};
    for (int c = 1; c <= 32; ++c)
        table[static_cast<size_t>(c)] = true;
    table['"'] = true;
    table[','] = true;
    return table;
}

constexpr std::array<bool, 256> kNeedsQuotes = MakeQuoteTable();

} // namespace

bool NeedsCommaQuotes(std::string_view value)
{
    return std::any_of(value.begin(), value.end(),
                       [](char c) { return kNeedsQuotes[static_cast<unsigned char>(c)]; });
}

void AppendCommaValue(std::string_view value, std::string& line)
{
    if (!NeedsCommaQuotes(value)) {
        line += value;
        return;
    }
    line += '"';
    size_t start = 0;
    for (size_t quote = value.find('"'); quote != std::string_view::npos;
         quote = value.find('"', start)) {
        line.append(value, start, quote - start + 1);
        line += '"';
        start = quote + 1;
    }
    line.append(value.substr(start));
    line += '"';
}

std::string CommaText(const std::vector<std::string>& texts)
{
    return DelimitedText(texts, ',');
}

std::string DelimitedText(const std::vector<std::string>& texts, char delimiter)
{
    if (texts.size() == 1 && texts[0].empty())
        return "\"\"";
    std::string out;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0)
            out += delimiter;
        if (texts[i].find(delimiter) != std::string::npos && !NeedsCommaQuotes(texts[i]))
            out.append("\"").append(texts[i]).append("\"");
        else
            AppendCommaValue(texts[i], out);
    }
    return out;
}

std::string WithFinalFullStop(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

std::string ToDecimal(long long n)
{
    return std::to_string(n);
}

} // namespace impmap

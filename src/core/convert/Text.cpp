#include "convert/Text.h"

#include <algorithm>

namespace impmap {

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

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

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return UpperByte(x) == UpperByte(y); });
}

void RemoveChar(std::string& s, char ch) { s.erase(std::remove(s.begin(), s.end(), ch), s.end()); }

bool IsAllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string RepeatChar(char ch, int n) { return n > 0 ? std::string(n, ch) : std::string(); }

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

static bool NeedsCommaQuotes(std::string_view t)
{
    return std::any_of(t.begin(), t.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 32 || c == ',' || c == '"';
    });
}

std::string CommaText(const std::vector<std::string>& texts)
{
    if (texts.size() == 1 && texts[0].empty())
        return "\"\"";
    std::string out;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0)
            out += ',';
        const std::string& t = texts[i];
        if (!NeedsCommaQuotes(t)) {
            out += t;
            continue;
        }
        out += '"';
        for (char c : t) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

std::string WithFinalFullStop(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

std::string ToDecimal(long long n) { return std::to_string(n); }

} // namespace impmap

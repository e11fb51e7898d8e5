#pragma once

#include <string>
#include <string_view>
#include <vector>

// Byte-text helpers. A "character" is one byte; positions are 1-based where stated.
namespace impmap {

// True for the bytes that trimming removes: codes 0 to 32.
constexpr bool IsTrimmable(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// The upper case of a to z; every other byte unchanged.
constexpr char UpperByte(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Removes leading and trailing bytes with codes 0 to 32.
inline std::string_view TrimView(std::string_view s)
{
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && IsTrimmable(s[begin]))
        ++begin;
    while (end > begin && IsTrimmable(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}
std::string Trim(std::string_view s);
void TrimInPlace(std::string& s);

// Upper-cases a to z only; every other byte is kept.
std::string UpperAscii(std::string_view s);
void UpperAsciiInPlace(std::string& s);
// TrimInPlace, then UpperAsciiInPlace.
void TrimAndUpper(std::string& s);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);

// Removes every occurrence of ch.
void RemoveChar(std::string& s, char ch);

// True if the text is empty or every byte is '0' to '9'.
bool IsAllDigits(std::string_view text);

// N copies of ch (empty for n <= 0).
std::string RepeatChar(char ch, int n);
// The first n bytes of s, or s when it is shorter.
std::string LeftChars(std::string_view s, int n);
// The last n bytes of s, or s when it is shorter.
std::string RightChars(std::string_view s, int n);
// The count bytes of s starting at the 1-based position from; count blanks when s is shorter
// than from + count - 1.
std::string MidOrBlanks(std::string_view s, int from, int count);
// RightChars of (width zeros followed by s, width): "7" gives "007" for width 3.
std::string ZeroPad(int width, std::string_view s);

// True when a value must stand in double quotes in a comma-separated line: it holds a control
// character (1 to 31), a blank, a double quote or a comma. Byte 0 and bytes above 127 never do.
bool NeedsCommaQuotes(std::string_view value);
// Appends value to line, in double quotes with its quotes doubled when NeedsCommaQuotes.
void AppendCommaValue(std::string_view value, std::string& line);

// Joins texts with "," between them, each as AppendCommaValue writes it; a list of one empty text
// gives two double quotes. The source lines an edit rebuilds and the output lines follow this one
// rule.
std::string CommaText(const std::vector<std::string>& texts);
// As CommaText with delimiter between the texts; a text holding the delimiter is quoted too.
std::string DelimitedText(const std::vector<std::string>& texts, char delimiter);

// The message as the error box shows it: a full stop is appended when the last byte sorts after
// "." ("Exceeds end of file" gains one; texts ending in ".", "!", ")" or a quote do not).
std::string WithFinalFullStop(std::string message);

// The decimal text of n.
std::string ToDecimal(long long n);

} // namespace impmap

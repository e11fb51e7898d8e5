#include "execute/OutputLine.h"

#include <array>

namespace impmap {
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

bool NeedsQuotes(std::string_view value)
{
    for (const char c : value) {
        if (kNeedsQuotes[static_cast<unsigned char>(c)])
            return true;
    }
    return false;
}

void AppendQuoted(std::string_view value, std::string& line)
{
    line += '"';
    size_t start = 0;
    for (size_t quote = value.find('"'); quote != std::string::npos;
         quote = value.find('"', start)) {
        line.append(value.substr(start, quote - start + 1));
        line += '"';
        start = quote + 1;
    }
    line.append(value.substr(start));
    line += '"';
}

} // namespace

void AppendOutputValue(std::string_view value, std::string& line)
{
    if (NeedsQuotes(value))
        AppendQuoted(value, line);
    else
        line += value;
}

void AppendOutputLine(const std::vector<std::string>& values, std::string& line)
{
    if (values.size() == 1 && values.front().empty()) {
        line += "\"\"";
        return;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        AppendOutputValue(values[i], line);
    }
}

} // namespace impmap

#include "source/SplitRecord.h"

#include "convert/Text.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace impmap {

void ReplaceNonBreakingSpaces(std::string& text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Windows1252) {
        std::replace(text.begin(), text.end(), '\xA0', ' ');
        return;
    }
    size_t out = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
            text[out++] = ' ';
            ++i;
        } else {
            text[out++] = text[i];
        }
    }
    text.resize(out);
}

namespace {

// Stores field as field number count (reusing that slot's string), with non-breaking spaces made
// blanks and the ends trimmed.
void StoreField(std::vector<std::string>& fields, size_t& count, std::string_view field,
                TextEncoding encoding)
{
    if (count == fields.size())
        fields.emplace_back();
    std::string& out = fields[count++];
    if (field.find('\xA0') == std::string_view::npos) {
        field = TrimView(field);
        out.assign(field.data(), field.size());
        return;
    }
    out.assign(field.data(), field.size());
    ReplaceNonBreakingSpaces(out, encoding);
    TrimInPlace(out);
}

} // namespace

void SplitRecord(std::string_view text, char delimiter, std::vector<std::string>& fields,
                 TextEncoding encoding)
{
    SplitRecordUpTo(text, delimiter, fields, static_cast<size_t>(-1), encoding);
}

SplitExtent SplitRecordUpTo(std::string_view text, char delimiter, std::vector<std::string>& fields,
                            size_t maxFields, TextEncoding encoding)
{
    size_t count = 0;
    if (text.empty()) {
        fields.clear();
        return {0, 0};
    }
    // The fields past maxFields: counted, never stored. Quotes still hide delimiters.
    const auto countRest = [&](size_t from, bool insideQuotes) {
        SplitExtent extent{count, from};
        for (size_t i = from; i < text.size(); ++i) {
            if (text[i] == '"')
                insideQuotes = !insideQuotes;
            else if (text[i] == delimiter && !insideQuotes)
                ++extent.fieldCount;
        }
        fields.resize(count);
        ++extent.fieldCount; // the last field
        return extent;
    };
    // Without quotes each field is a plain slice of the text.
    if (text.find('"') == std::string_view::npos) {
        size_t start = 0;
        for (;;) {
            if (count == maxFields)
                return countRest(start, false);
            const size_t end = text.find(delimiter, start);
            if (end == std::string_view::npos) {
                StoreField(fields, count, text.substr(start), encoding);
                break;
            }
            StoreField(fields, count, text.substr(start, end - start), encoding);
            start = end + 1;
        }
        fields.resize(count);
        return {count, text.size()};
    }
    std::string current;
    bool insideQuotes = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            // Inside quotes a doubled quote is one quote of the value, as quoted values are
            // written; the inside-quotes state is the same after the pair either way.
            if (insideQuotes && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                insideQuotes = !insideQuotes;
            }
        } else if (c == delimiter && !insideQuotes) {
            StoreField(fields, count, current, encoding);
            current.clear();
            if (count == maxFields)
                return countRest(i + 1, false);
        } else {
            current += c;
        }
    }
    StoreField(fields, count, current, encoding);
    fields.resize(count);
    return {count, text.size()};
}

namespace {

// After the first byte of a UTF-8 non-breaking space at i: the index of its second byte when only
// quotes that splitting drops stand between them, with the inside-quotes state after them there;
// nothing when a doubled quote inside quotes (a quote of the value) or other bytes part them.
std::optional<std::pair<size_t, bool>> NonBreakingSpaceEnd(std::string_view text, size_t i,
                                                           bool insideQuotes)
{
    size_t next = i + 1;
    for (; next < text.size() && text[next] == '"'; ++next) {
        if (insideQuotes && next + 1 < text.size() && text[next + 1] == '"')
            return std::nullopt;
        insideQuotes = !insideQuotes;
    }
    if (next < text.size() && static_cast<unsigned char>(text[next]) == 0xA0)
        return std::make_pair(next, insideQuotes);
    return std::nullopt;
}

} // namespace

void SplitFieldLengths(std::string_view text, char delimiter, std::vector<size_t>& lengths,
                       size_t maxFields, TextEncoding encoding)
{
    lengths.clear();
    if (text.empty())
        return;
    // A field's bytes as splitting keeps them: quotes dropped, a non-breaking space one blank.
    // Its length is the bytes between its first and its last byte above 32.
    size_t kept = 0, leading = 0, trailing = 0;
    bool seen = false, insideQuotes = false;
    const auto end = [&] {
        lengths.push_back(seen ? kept - leading - trailing : 0);
        kept = leading = trailing = 0;
        seen = false;
    };
    const auto keep = [&](bool blank) {
        ++kept;
        if (!blank) {
            seen = true;
            trailing = 0;
        } else if (seen) {
            ++trailing;
        } else {
            ++leading;
        }
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            // Inside quotes a doubled quote is one quote of the value.
            if (insideQuotes && i + 1 < text.size() && text[i + 1] == '"') {
                keep(false);
                ++i;
            } else {
                insideQuotes = !insideQuotes;
            }
            continue;
        }
        if (c == static_cast<unsigned char>(delimiter) && !insideQuotes) {
            end();
            if (lengths.size() == maxFields)
                return;
            continue;
        }
        if (c == 0xA0 && encoding == TextEncoding::Windows1252) {
            keep(true);
            continue;
        }
        if (c == 0xC2 && encoding != TextEncoding::Windows1252) {
            if (const auto pair = NonBreakingSpaceEnd(text, i, insideQuotes)) {
                std::tie(i, insideQuotes) = *pair;
                keep(true);
                continue;
            }
        }
        keep(c <= 32);
    }
    end();
}

bool IsBlankRecord(std::string_view text, char delimiter, TextEncoding encoding)
{
    bool insideQuotes = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            // Inside quotes a doubled quote is one quote of the value: the record is not blank.
            if (insideQuotes && i + 1 < text.size() && text[i + 1] == '"')
                return false;
            insideQuotes = !insideQuotes;
            continue;
        }
        if (c <= 32 || (c == static_cast<unsigned char>(delimiter) && !insideQuotes))
            continue;
        if (c == 0xA0 && encoding == TextEncoding::Windows1252)
            continue;
        if (c == 0xC2 && encoding != TextEncoding::Windows1252) {
            // The pair may have quotes between its bytes: splitting drops them first.
            if (const auto pair = NonBreakingSpaceEnd(text, i, insideQuotes)) {
                std::tie(i, insideQuotes) = *pair;
                continue;
            }
        }
        return false;
    }
    return true;
}

size_t FieldCount(std::string_view text, char delimiter)
{
    if (text.empty())
        return 0;
    size_t count = 1;
    bool insideQuotes = false;
    for (const char c : text) {
        if (c == '"')
            insideQuotes = !insideQuotes;
        else if (c == delimiter && !insideQuotes)
            ++count;
    }
    return count;
}

bool LooksSemicolonDelimited(std::string_view firstLine)
{
    return firstLine.find(';') != std::string_view::npos &&
           firstLine.find_first_of("\t,|") == std::string_view::npos;
}

std::string SemicolonDelimitedMessage(const std::string& source)
{
    return source + " looks semicolon-delimited; save it with commas or tabs.";
}

Delimiter DetectedDelimiter(std::string_view firstLine, Delimiter current)
{
    const auto pipes = std::count(firstLine.begin(), firstLine.end(), '|');
    const auto commas = std::count(firstLine.begin(), firstLine.end(), ',');
    const auto tabs = std::count(firstLine.begin(), firstLine.end(), '\t');
    if (pipes + commas + tabs == 0)
        return current;
    Delimiter chosen = current;
    if (tabs > commas && tabs > pipes)
        chosen = Delimiter::Tab;
    if (commas > tabs && commas > pipes)
        chosen = Delimiter::Comma;
    if (pipes >= tabs && pipes >= commas)
        chosen = Delimiter::Pipe;
    return chosen;
}

} // namespace impmap

#include "QuickXml.h"

#include "CellText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace impmap::workbook {
namespace {

constexpr size_t kMaxDepth = 256;       // as XmlReader
constexpr size_t kMaxPending = 1 << 20; // a longer tag is left to expat
constexpr size_t kTextHeld = 64 << 10;  // text without an end yet is held up to this much
constexpr size_t kMaxAttributes = 4096; // more is left to expat

// Character classes of the bytes: white space, name start, name character.
constexpr std::array<std::uint8_t, 256> kClass = [] {
    std::array<std::uint8_t, 256> c{};
    for (const char s : {' ', '\t', '\n', '\r'})
        c[static_cast<unsigned char>(s)] = 1;
    for (int b = 0; b < 256; ++b) {
        const bool start = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_';
        const bool name = start || (b >= '0' && b <= '9') || b == '.' || b == '-' || b == ':';
        c[static_cast<size_t>(b)] |= (start ? 2 : 0) | (name ? 4 : 0);
    }
    return c;
}();

bool IsSpace(char c)
{
    return kClass[static_cast<unsigned char>(c)] & 1;
}

bool IsNameStart(char c)
{
    return kClass[static_cast<unsigned char>(c)] & 2;
}

bool IsNameChar(char c)
{
    return kClass[static_cast<unsigned char>(c)] & 4;
}

std::string_view LocalName(std::string_view name)
{
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x + 32 : x) == y;
           });
}

// Bytes that text and attribute values can copy as they are.
constexpr std::array<bool, 256> kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c)
        plain[static_cast<size_t>(c)] = c != '&' && c != '<' && c != ']';
    return plain;
}();

bool Plain(char c)
{
    return kPlain[static_cast<unsigned char>(c)];
}

// The length of the well-formed UTF-8 sequence of an XML character at p, or 0.
size_t Utf8Length(const char* p, const char* end)
{
    const auto at = [&](size_t i) { return static_cast<unsigned char>(p[i]); };
    const auto tail = [&](size_t i) { return (at(i) & 0xC0) == 0x80; };
    const unsigned char b = at(0);
    const size_t left = static_cast<size_t>(end - p);
    if (b >= 0xC2 && b <= 0xDF)
        return left >= 2 && tail(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3 || !tail(1) || !tail(2))
            return 0;
        if ((b == 0xE0 && at(1) < 0xA0) || (b == 0xED && at(1) > 0x9F))
            return 0; // overlong, or a surrogate
        if (b == 0xEF && at(1) == 0xBF && at(2) >= 0xBE)
            return 0; // U+FFFE and U+FFFF are no characters
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4 || !tail(1) || !tail(2) || !tail(3))
            return 0;
        if ((b == 0xF0 && at(1) < 0x90) || (b == 0xF4 && at(1) > 0x8F))
            return 0;
        return 4;
    }
    return 0;
}

// Copies the UTF-8 sequence of the XML character at p; returns past it, or null.
const char* CopyCharacter(const char* p, const char* end, std::string& out)
{
    const size_t length = Utf8Length(p, end);
    if (length == 0)
        return nullptr;
    out.append(p, length);
    return p + length;
}

// Decodes the reference at p ('&'), appending its text; returns past its ';', or null.
const char* Reference(const char* p, const char* end, std::string& out)
{
    const char* semi = static_cast<const char*>(std::memchr(p, ';', static_cast<size_t>(end - p)));
    if (!semi || semi - p > 12)
        return nullptr;
    const std::string_view name(p + 1, static_cast<size_t>(semi - p - 1));
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
    for (const auto& [entity, c] : kNamed) {
        if (name == entity) {
            out += c;
            return semi + 1;
        }
    }
    if (name.size() < 2 || name[0] != '#')
        return nullptr;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
        return nullptr;
    std::uint32_t c = 0;
    for (const char d : digits) {
        std::uint32_t v;
        if (d >= '0' && d <= '9')
            v = static_cast<std::uint32_t>(d - '0');
        else if (hex && d >= 'a' && d <= 'f')
            v = static_cast<std::uint32_t>(d - 'a' + 10);
        else if (hex && d >= 'A' && d <= 'F')
            v = static_cast<std::uint32_t>(d - 'A' + 10);
        else
            return nullptr;
        c = c * (hex ? 16 : 10) + v;
        if (c > 0x10FFFF)
            return nullptr;
    }
    const bool character = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                           (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
    if (!character)
        return nullptr;
    AppendUtf8(out, c);
    return semi + 1;
}

// Where text that has no end yet can be cut: not inside a reference, a CR LF pair, a "]]>" or a
// UTF-8 sequence.
const char* TextCut(const char* begin, const char* end)
{
    const char* cut = end - 16;
    for (const char* s = std::max(begin, cut - 12); s < cut; ++s) {
        if (*s == '&' && !std::memchr(s, ';', static_cast<size_t>(cut - s)))
            cut = s;
    }
    while (cut > begin &&
           (cut[-1] == '\r' || cut[-1] == ']' || (static_cast<unsigned char>(*cut) & 0xC0) == 0x80))
        --cut;
    return cut;
}

} // namespace

bool QuickXmlScanner::Feed(std::string_view piece)
{
    if (failed_)
        return false;
    size_t used = 0;
    // The token left over from the last piece is completed from the start of this one; the rest
    // of the piece is scanned where it lies.
    while (!pending_.empty()) {
        if (used == piece.size())
            return true;
        const void* gt = std::memchr(piece.data() + used, '>', piece.size() - used);
        const size_t take =
            gt ? static_cast<size_t>(static_cast<const char*>(gt) - (piece.data() + used)) + 1
               : piece.size() - used;
        pending_.append(piece.data() + used, take);
        used += take;
        const char* rest = Scan(pending_.data(), pending_.data() + pending_.size(), false);
        if (!rest || static_cast<size_t>(pending_.data() + pending_.size() - rest) > kMaxPending)
            return failed_ = true, false;
        pending_.erase(0, static_cast<size_t>(rest - pending_.data()));
    }
    const char* end = piece.data() + piece.size();
    const char* rest = Scan(piece.data() + used, end, false);
    if (!rest || static_cast<size_t>(end - rest) > kMaxPending)
        return failed_ = true, false;
    pending_.assign(rest, end);
    return true;
}

bool QuickXmlScanner::Finish()
{
    if (failed_)
        return false;
    const char* end = pending_.data() + pending_.size();
    const char* rest = Scan(pending_.data(), end, true);
    failed_ = rest != end || !open_.empty() || !rootSeen_;
    return !failed_;
}

const char* QuickXmlScanner::Scan(const char* p, const char* end, bool last)
{
    if (!started_) {
        if (end - p < 9 && !last) // room for a byte-order mark and "<?xml "
            return p;
        const char* q = p;
        if (end - q >= 3 && std::memcmp(q, "\xEF\xBB\xBF", 3) == 0)
            q += 3;
        if (end - q >= 5 && std::memcmp(q, "<?xml", 5) == 0) {
            const char* after = Declaration(q, end);
            if (after == nullptr || (after == q && last))
                return nullptr;
            if (after == q)
                return p; // not complete yet
            q = after;
        }
        started_ = true;
        p = q;
    }
    while (p < end) {
        if (*p == '<') {
            if (end - p < 2)
                return p;
            const char* q = p[1] == '/'                    ? EndTag(p, end)
                            : (p[1] == '!' || p[1] == '?') ? nullptr
                                                           : Tag(p, end);
            if (q == nullptr)
                return nullptr;
            if (q == p)
                return p;
            p = q;
            continue;
        }
        const char* q = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
        if (!q) {
            if (last)
                q = end;
            else if (static_cast<size_t>(end - p) < kTextHeld)
                return p;
            else
                q = TextCut(p, end);
            if (q == p)
                return p;
        }
        if (!Content(p, q))
            return nullptr;
        p = q;
    }
    return p;
}

// The XML declaration at p; returns past it, p when it is not complete yet, or null.
const char* QuickXmlScanner::Declaration(const char* p, const char* end)
{
    const char* q = p + 5;
    if (q == end)
        return p;
    if (!IsSpace(*q))
        return nullptr; // some other processing instruction
    const char* close = nullptr;
    for (const char* s = q; s + 1 < end; ++s) {
        if (s[0] == '?' && s[1] == '>') {
            close = s;
            break;
        }
    }
    if (!close)
        return p;
    // version, then perhaps encoding, then perhaps standalone, each after white space.
    static constexpr std::string_view kNames[] = {"version", "encoding", "standalone"};
    size_t next = 0; // the names seen so far, in their order
    while (true) {
        const char* s = q;
        while (q < close && IsSpace(*q))
            ++q;
        if (q == close)
            break;
        if (q == s)
            return nullptr;
        const char* nameEnd = q;
        while (nameEnd < close && IsNameChar(*nameEnd))
            ++nameEnd;
        const std::string_view name(q, static_cast<size_t>(nameEnd - q));
        size_t i = next;
        while (i < 3 && kNames[i] != name)
            ++i;
        if (i == 3 || (next == 0 && i != 0))
            return nullptr;
        q = nameEnd;
        while (q < close && IsSpace(*q))
            ++q;
        if (q == close || *q != '=')
            return nullptr;
        ++q;
        while (q < close && IsSpace(*q))
            ++q;
        if (q == close || (*q != '"' && *q != '\''))
            return nullptr;
        const char quote = *q++;
        const char* valueEnd =
            static_cast<const char*>(std::memchr(q, quote, static_cast<size_t>(close - q)));
        if (!valueEnd)
            return nullptr;
        const std::string_view value(q, static_cast<size_t>(valueEnd - q));
        const bool known = i == 0   ? value == "1.0"
                           : i == 1 ? EqualsNoCase(value, "utf-8")
                                    : (value == "yes" || value == "no");
        if (!known)
            return nullptr;
        q = valueEnd + 1;
        next = i + 1;
    }
    if (next == 0)
        return nullptr;
    return close + 2;
}

// A start tag or an empty element at p; returns past it, p when it is not complete yet, or
// null.
const char* QuickXmlScanner::Tag(const char* p, const char* end)
{
    const char* q = p + 1;
    if (!IsNameStart(*q) || (open_.empty() && rootSeen_) || open_.size() >= kMaxDepth)
        return nullptr;
    while (q < end && IsNameChar(*q))
        ++q;
    const std::string_view name(p + 1, static_cast<size_t>(q - p - 1));
    attributeBytes_.clear();
    attributeOffsets_.clear();
    bool empty = false;
    while (true) {
        const char* s = q;
        while (q < end && IsSpace(*q))
            ++q;
        if (q == end)
            return p;
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            if (q + 1 == end)
                return p;
            if (q[1] != '>')
                return nullptr;
            q += 2;
            empty = true;
            break;
        }
        if (q == s || !IsNameStart(*q) || attributeOffsets_.size() >= 2 * kMaxAttributes)
            return nullptr;
        const char* nameBegin = q;
        while (q < end && IsNameChar(*q))
            ++q;
        const std::string_view attribute(nameBegin, static_cast<size_t>(q - nameBegin));
        while (q < end && IsSpace(*q))
            ++q;
        if (q == end)
            return p;
        if (*q != '=')
            return nullptr;
        ++q;
        while (q < end && IsSpace(*q))
            ++q;
        if (q == end)
            return p;
        if (*q != '"' && *q != '\'')
            return nullptr;
        const char* valueEnd =
            static_cast<const char*>(std::memchr(q + 1, *q, static_cast<size_t>(end - q - 1)));
        if (!valueEnd)
            return p;
        for (size_t i = 0; i < attributeOffsets_.size(); i += 2) {
            const size_t length = attributeOffsets_[i + 1] - 1 - attributeOffsets_[i];
            if (length == attribute.size() &&
                std::memcmp(attributeBytes_.data() + attributeOffsets_[i], attribute.data(),
                            length) == 0)
                return nullptr; // the same attribute twice
        }
        attributeOffsets_.push_back(attributeBytes_.size());
        attributeBytes_.append(attribute);
        attributeBytes_ += '\0';
        attributeOffsets_.push_back(attributeBytes_.size());
        if (!AttributeValue(q + 1, valueEnd, attributeBytes_))
            return nullptr;
        attributeBytes_ += '\0';
        q = valueEnd + 1;
    }
    attributes_.clear();
    for (const size_t offset : attributeOffsets_)
        attributes_.push_back(attributeBytes_.data() + offset);
    attributes_.push_back(nullptr);
    rootSeen_ = true;
    if (!empty)
        open_.emplace_back(name);
    handler_.Start(LocalName(name), attributes_.data());
    if (empty)
        handler_.End(LocalName(name));
    return q;
}

const char* QuickXmlScanner::EndTag(const char* p, const char* end)
{
    const char* q = p + 2;
    while (q < end && IsNameChar(*q))
        ++q;
    const std::string_view name(p + 2, static_cast<size_t>(q - p - 2));
    while (q < end && IsSpace(*q))
        ++q;
    if (q == end)
        return p;
    if (*q != '>' || open_.empty() || open_.back() != name)
        return nullptr;
    handler_.End(LocalName(name));
    open_.pop_back();
    return q + 1;
}

// Text between tags: character data inside the root element, white space outside it.
bool QuickXmlScanner::Content(const char* begin, const char* end)
{
    if (open_.empty()) {
        return std::all_of(begin, end, IsSpace);
    }
    const char* p = begin;
    while (p < end && Plain(*p))
        ++p;
    if (p == end) {
        if (begin != end)
            handler_.Text(std::string_view(begin, static_cast<size_t>(end - begin)));
        return true;
    }
    text_.assign(begin, p);
    while (p < end) {
        const char c = *p;
        if (Plain(c)) {
            const char* run = p;
            while (p < end && Plain(*p))
                ++p;
            text_.append(run, p);
        } else if (c == '&') {
            p = Reference(p, end, text_);
            if (!p)
                return false;
        } else if (c == ']') {
            if (end - p >= 3 && p[1] == ']' && p[2] == '>')
                return false;
            text_ += c;
            ++p;
        } else if (c == '\r') {
            text_ += '\n';
            p += p + 1 < end && p[1] == '\n' ? 2 : 1;
        } else if (c == '\n' || c == '\t') {
            text_ += c;
            ++p;
        } else if (!(p = CopyCharacter(p, end, text_))) {
            return false;
        }
    }
    handler_.Text(text_);
    return true;
}

// An attribute value between its quotes, normalised as XML says: references decoded, each
// white-space character (a CR LF pair counting as one) a blank.
bool QuickXmlScanner::AttributeValue(const char* p, const char* end, std::string& out)
{
    while (p < end) {
        const char c = *p;
        if (Plain(c) || c == ']') {
            const char* run = p++;
            while (p < end && (Plain(*p) || *p == ']'))
                ++p;
            out.append(run, p);
        } else if (c == '&') {
            p = Reference(p, end, out);
            if (!p)
                return false;
        } else if (c == '<') {
            return false;
        } else if (c == '\r' || c == '\n' || c == '\t') {
            out += ' ';
            p += c == '\r' && p + 1 < end && p[1] == '\n' ? 2 : 1;
        } else if (!(p = CopyCharacter(p, end, out))) {
            return false;
        }
    }
    return true;
}

} // namespace impmap::workbook

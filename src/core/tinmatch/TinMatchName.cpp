#include "tinmatch/TinMatchName.h"

namespace impmap {
namespace {

// The base letters of U+00C0 to U+017F, one byte each; a digit stands for one of the two-letter
// forms of kPairs and '_' for a character that is no letter (the signs of multiplication and
// division).
constexpr std::string_view kBaseLetters =
    "AAAAAA1CEEEEIIIIDNOOOOO_OUUUUY23aaaaaa4ceeeeiiiidnooooo_ouuuuy5y"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi67JjKk"
    "kLlLlLlLlLlNnNnNnnNnOoOoOo89RrRrRrSsSsSsSsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZzs";
constexpr std::string_view kPairs[] = {"", "AE", "TH", "ss", "ae", "th", "IJ", "ij", "OE", "oe"};

// The letters of Windows-1252 between 0x80 and 0x9F, by their code point; 0 for the rest.
constexpr char16_t kWindows1252High[32] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0160, 0, 0x0152, 0, 0x017D, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0161, 0, 0x0153, 0, 0x017E, 0x0178};

constexpr char32_t kInvalid = 0xFFFFFFFF;

// The code point that starts at text[i], advancing i past it; kInvalid (one byte consumed) for
// bytes that are no shortest-form UTF-8 sequence.
char32_t NextUtf8(std::string_view text, size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    char32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1;
        cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2;
        cp = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3;
        cp = lead & 0x07u;
    } else {
        return kInvalid;
    }
    if (i + static_cast<size_t>(length) > text.size())
        return kInvalid;
    for (int k = 0; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
        if ((next & 0xC0u) != 0x80u)
            return kInvalid;
        cp = (cp << 6) | (next & 0x3Fu);
    }
    const bool shortest =
        (length == 2 && cp >= 0x800) || (length == 3 && cp >= 0x10000) || length == 1;
    if (!shortest || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return kInvalid;
    i += static_cast<size_t>(length);
    return cp;
}

char32_t NextWindows1252(std::string_view text, size_t& i)
{
    const auto byte = static_cast<unsigned char>(text[i++]);
    if (byte >= 0x80 && byte < 0xA0)
        return kWindows1252High[byte - 0x80] != 0 ? kWindows1252High[byte - 0x80] : kInvalid;
    return byte;
}

// Blanks, control characters and the no-break space.
bool IsBlank(char32_t cp)
{
    return cp <= 32 || cp == 0xA0;
}

// What the code point becomes in a TIN Matching name; empty when it is dropped.
std::string_view Kept(char32_t cp, char& ascii)
{
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || (cp >= '0' && cp <= '9') ||
        cp == '-' || cp == '&') {
        ascii = static_cast<char>(cp);
        return std::string_view(&ascii, 1);
    }
    if (cp < 0xC0 || cp >= 0xC0 + kBaseLetters.size())
        return {};
    const char base = kBaseLetters[cp - 0xC0];
    if (base == '_')
        return {};
    if (base >= '1' && base <= '9')
        return kPairs[base - '0'];
    ascii = base;
    return std::string_view(&ascii, 1);
}

} // namespace

std::string TinMatchName(std::string_view name, TextEncoding encoding)
{
    std::string out;
    bool blank = false;
    size_t i = 0;
    // Reading stops once the name is longer than can be kept, which bounds the time on any value.
    while (i < name.size() && out.size() <= kTinMatchNameLength) {
        const char32_t cp =
            encoding == TextEncoding::Utf8 ? NextUtf8(name, i) : NextWindows1252(name, i);
        if (IsBlank(cp)) {
            blank = !out.empty();
            continue;
        }
        char ascii = 0;
        const std::string_view kept = cp == kInvalid ? std::string_view() : Kept(cp, ascii);
        if (kept.empty())
            continue;
        if (blank)
            out += ' ';
        blank = false;
        out += kept;
    }
    if (out.size() > kTinMatchNameLength)
        out.resize(kTinMatchNameLength);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace impmap

#include "convert/CommonConversions.h"

#include "convert/Converters.h"
#include "convert/Text.h"

namespace impmap {

size_t ConvertCommonAmount(std::string_view text, char typeCode, char* out)
{
    // The integer digits go straight to out (after the minus sign, which has to come first),
    // the decimals aside until their trailing zeros are known.
    char fraction[4];
    size_t fractionDigits = 0;
    char* whole = out;
    char* p = out;
    bool point = false, digits = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits = true;
            if (point) {
                if (fractionDigits == 4)
                    return 0;
                fraction[fractionDigits++] = c;
            } else if (p != whole || c != '0') {
                if (p - whole == 14)
                    return 0;
                *p++ = c;
            }
            continue;
        }
        switch (c) {
        case '$':
        case ',':
        case '+':
        case ')':
            continue;
        case '.':
            if (point)
                return 0;
            point = true;
            continue;
        case '(':
        case '-':
            if (typeCode == 'c')
                continue; // code c drops minus signs
            if (whole != out || digits || point)
                return 0;
            *p++ = '-';
            whole = p;
            continue;
        default:
            return 0;
        }
    }
    if (!digits && (point || whole != out))
        return 0;
    while (fractionDigits > 0 && fraction[fractionDigits - 1] == '0')
        --fractionDigits;
    if (p == whole && fractionDigits == 0) {
        out[0] = '0'; // zero, with or without a minus sign
        return 1;
    }
    if (p == whole)
        *p++ = '0';
    if (fractionDigits > 0) {
        *p++ = '.';
        for (size_t i = 0; i < fractionDigits; ++i)
            *p++ = fraction[i];
    }
    return static_cast<size_t>(p - out);
}

bool ConvertCommonIndicator(std::string_view text, std::string_view& written)
{
    if (text.size() > 5)
        return false;
    char upper[5];
    for (size_t i = 0; i < text.size(); ++i)
        upper[i] = UpperByte(text[i]);
    switch (ClassifyIndicatorWord(std::string_view(upper, text.size()))) {
    case IndicatorWord::No:
        written = {};
        return true;
    case IndicatorWord::Yes:
        written = "X";
        return true;
    case IndicatorWord::Other:
        break;
    }
    return false;
}

} // namespace impmap

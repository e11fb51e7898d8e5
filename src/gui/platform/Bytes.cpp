#include "platform/Bytes.h"

#include <QByteArray>
#include <array>

namespace impmap::gui {

namespace {

TextEncoding currentEncoding = TextEncoding::Windows1252;

constexpr char16_t kReplacement = 0xFFFD;

// The characters of the bytes 0x80 to 0x9F in Windows-1252; U+FFFD marks the unassigned ones.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString FromWindows1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80]
                                                    : static_cast<char16_t>(byte));
    }
    return text;
}

// The Windows-1252 byte of c, or -1 when it has none.
int Windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == c && c != kReplacement)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

std::string CodeText(char32_t code)
{
    const QString hex = QString::number(static_cast<uint>(code), 16).toUpper();
    return (QStringLiteral("U+") + hex.rightJustified(4, u'0')).toStdString();
}

} // namespace

UnstorableCharacter::UnstorableCharacter(const QString& character, char32_t code,
                                         TextEncoding encoding)
    : Rejection("The character " + CodeText(code) + " cannot be stored in a " +
                EncodingName(encoding) + " source file"),
      text_(QStringLiteral("The character \"%1\" (%2) cannot be stored in a %3 source file")
                .arg(character, QString::fromStdString(CodeText(code)),
                     QString::fromLatin1(EncodingName(encoding))))
{}

void SetTextEncoding(TextEncoding encoding)
{
    currentEncoding = encoding;
}

QString FromBytes(std::string_view bytes)
{
    return FromBytes(bytes, currentEncoding);
}

QString ShownText(std::string_view bytes)
{
    if (!TooLongToShow(bytes))
        return FromBytes(bytes);
    std::size_t cut = kShownBytes;
    // A cut inside a UTF-8 sequence goes back to the sequence's first byte.
    if (currentEncoding == TextEncoding::Utf8) {
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
    }
    return FromBytes(bytes.substr(0, cut)) + QChar(0x2026);
}

QString FromBytes(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return FromWindows1252(bytes);
}

std::string ToBytes(const QString& text)
{
    return ToBytes(text, currentEncoding);
}

std::string ToBytes(const QString& text, TextEncoding encoding)
{
    const bool utf8 = encoding == TextEncoding::Utf8;
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(c, text[i + 1]) : c.unicode();
        const int byte = utf8 ? -1 : Windows1252Byte(code);
        // UTF-8 holds every character but a lone surrogate half.
        if (utf8 ? c.isSurrogate() && !pair : byte < 0)
            throw UnstorableCharacter(text.mid(i, pair ? 2 : 1), code, encoding);
        if (!utf8)
            bytes += static_cast<char>(byte);
        i += pair ? 1 : 0;
    }
    if (utf8) {
        const QByteArray encoded = text.toUtf8();
        bytes.assign(encoded.constData(), static_cast<size_t>(encoded.size()));
    }
    return bytes;
}

QString TrimmedText(const QString& text)
{
    const auto trimmable = [](QChar c) { return c.unicode() <= 32; };
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && trimmable(text[first])) {
        ++first;
    }
    while (end > first && trimmable(text[end - 1])) {
        --end;
    }
    return text.mid(first, end - first);
}

} // namespace impmap::gui

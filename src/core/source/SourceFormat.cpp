#include "source/SourceFormat.h"

#include "io/FileIo.h"
#include "io/NativePath.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace impmap {
namespace {

// How many leading bytes decide whether a file without a mark is UTF-16.
constexpr size_t kUtf16Probe = 4096;

// The length of the valid UTF-8 sequence at the start of text, 0 when there is none.
size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

// Valid UTF-8; multiByte tells whether a sequence longer than one byte was met.
bool IsValidUtf8(std::string_view bytes, bool& multiByte)
{
    multiByte = false;
    const size_t size = bytes.size();
    size_t i = 0;
    while (i < size) {
        // Plain ASCII, the bulk of most files, 32 bytes at a time.
        if (size - i >= 32) {
            std::uint64_t words[4];
            std::memcpy(words, bytes.data() + i, sizeof words);
            if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080u) == 0) {
                i += 32;
                continue;
            }
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceLength(bytes.substr(i));
        if (length == 0)
            return false;
        multiByte = true;
        i += length;
    }
    return true;
}

LineEnd FirstLineEnd(std::string_view bytes)
{
    const size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos || bytes[at] == '\n')
        return at == std::string_view::npos ? LineEnd::CrLf : LineEnd::Lf;
    return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
}

} // namespace

const char* EncodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? "UTF-8" : "Windows-1252";
}

std::string_view LineEndText(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::Lf:
        return "\n";
    case LineEnd::Cr:
        return "\r";
    default:
        return "\r\n";
    }
}

const char* Utf16Form(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE"))
        return "UTF-16 LE";
    if (bytes.starts_with("\xFE\xFF"))
        return "UTF-16 BE";
    const size_t probe = std::min(bytes.size(), kUtf16Probe) & ~size_t{1};
    if (probe == 0)
        return nullptr;
    // Latin text in UTF-16 has a zero in nearly every high byte and almost never in a low one.
    size_t evenZeros = 0, oddZeros = 0;
    for (size_t i = 0; i < probe; i += 2) {
        evenZeros += bytes[i] == '\0';
        oddZeros += bytes[i + 1] == '\0';
    }
    const size_t units = probe / 2;
    const auto most = [&](size_t zeros) { return zeros * 4 >= units * 3; };
    const auto few = [&](size_t zeros) { return zeros * 4 < units; };
    if (most(oddZeros) && few(evenZeros))
        return "UTF-16 LE";
    if (most(evenZeros) && few(oddZeros))
        return "UTF-16 BE";
    return nullptr;
}

bool IsMultiByteUtf8(std::string_view bytes)
{
    bool multiByte = false;
    return IsValidUtf8(bytes, multiByte) && multiByte;
}

SourceFormat DetectSourceFormat(std::string_view bytes)
{
    SourceFormat format;
    format.byteOrderMark = bytes.starts_with(kUtf8ByteOrderMark);
    if (format.byteOrderMark)
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    bool multiByte = false;
    const bool valid = IsValidUtf8(bytes, multiByte);
    if (valid && (multiByte || format.byteOrderMark))
        format.encoding = TextEncoding::Utf8;
    format.ascii = valid && !multiByte && !format.byteOrderMark;
    format.lineEnd = FirstLineEnd(bytes);
    return format;
}

bool LooksBinary(std::string_view bytes)
{
    // The start decides: a text file does not turn binary half-way, and the test stays quick.
    constexpr std::size_t kSample = 64 * 1024;
    const std::string_view sample = bytes.substr(0, kSample);
    std::size_t control = 0;
    for (const char c : sample) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 32 && byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r' &&
             byte != 0x1A) ||
            byte == 0x7F)
            ++control;
    }
    return control * 5 > sample.size();
}

SourceText ReadSourceFile(const std::string& path, WorkProgress* progress)
{
    SourceText source;
    source.bytes = ReadWholeFile(PathFromUtf8(path), progress);
    source.stamp = StampOf(path, source.bytes);
    if (source.bytes.empty() || source.bytes == kUtf8ByteOrderMark)
        throw FileError(path + " is empty");
    if (const char* form = Utf16Form(source.bytes)) {
        throw FileError("Cannot open file \"" + path + "\". It is " + form +
                        " text, which cannot be read here: save it as UTF-8 or ANSI text and "
                        "open it again");
    }
    if (LooksBinary(source.bytes))
        throw FileError(path + " does not look like a delimited text file");
    source.format = DetectSourceFormat(source.bytes);
    if (source.format.byteOrderMark)
        source.bytes.erase(0, kUtf8ByteOrderMark.size());
    return source;
}

std::string SourceFileBytes(const SourceFormat& format, const std::string* header,
                            const SourceLines& lines)
{
    const std::string_view lineEnd = LineEndText(format.lineEnd);
    std::string bytes(format.byteOrderMark ? kUtf8ByteOrderMark : "");
    if (header)
        bytes.append(*header).append(lineEnd);
    bytes += lines.Joined(lineEnd);
    return bytes;
}

} // namespace impmap

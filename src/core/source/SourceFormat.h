#pragma once

#include "io/WorkProgress.h"
#include "source/FileStamp.h"
#include "source/SourceLines.h"

#include <string>
#include <string_view>

// How a source file's bytes are written: its byte-order mark, its text encoding and its line
// end. The records themselves stay bytes; the format decides how they are shown and typed, and
// how a corrected source is written back.
namespace impmap {

enum class TextEncoding
{
    Windows1252,
    Utf8
};
enum class LineEnd
{
    CrLf,
    Lf,
    Cr
};

struct SourceFormat
{
    TextEncoding encoding = TextEncoding::Windows1252;
    bool byteOrderMark = false; // the file starts with a UTF-8 byte-order mark
    LineEnd lineEnd = LineEnd::CrLf;
    bool ascii = false; // no mark and every byte below 128: either encoding reads it alike

    bool operator==(const SourceFormat&) const = default;
};

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// "UTF-8" or "Windows-1252".
const char* EncodingName(TextEncoding encoding);
// "\r\n", "\n" or "\r".
std::string_view LineEndText(LineEnd lineEnd);

// "UTF-16 LE" or "UTF-16 BE" when bytes start with a UTF-16 byte-order mark or their start is
// plainly UTF-16 (zeros in at least three quarters of the high bytes and in under a quarter of
// the low ones); nullptr otherwise.
const char* Utf16Form(std::string_view bytes);

// True when bytes are valid UTF-8 (shortest forms, no surrogates, at most U+10FFFF) and hold at
// least one multi-byte sequence.
bool IsMultiByteUtf8(std::string_view bytes);

// The format of a file's bytes. A UTF-8 byte-order mark is noted; the text after it is UTF-8
// when it is valid UTF-8 and either holds a multi-byte sequence or had the mark, Windows-1252
// otherwise; ascii tells a file without a mark whose bytes are all below 128. The line end is the
// first one found (CR LF when there is none).
SourceFormat DetectSourceFormat(std::string_view bytes);

// A source file as read: its format, its bytes without the byte-order mark and the stamp of the
// file as read.
struct SourceText
{
    SourceFormat format;
    std::string bytes;
    FileStamp stamp;
};

// Whether bytes look like something other than text: more than one byte in five of their start
// is a control character other than tab, line feed, form feed, carriage return and end-of-file
// (as an executable, an image or a compressed file has).
bool LooksBinary(std::string_view bytes);

// Reads a source file. Throws FileError when it cannot be read, FileError("PATH is empty") for a
// file of no bytes (or a byte-order mark alone), FileError("Cannot open file \"PATH\". It is
// UTF-16 LE text, ...") when it is UTF-16 and FileError("PATH does not look like a delimited text
// file") when LooksBinary; nothing is read then. progress, when given, hears the bytes read and
// may stop the read (WorkCancelled).
SourceText ReadSourceFile(const std::string& path, WorkProgress* progress = nullptr);

// The bytes of a source file written in format: the byte-order mark when the file had one, then
// header (when given) and every line, each followed by the format's line end.
std::string SourceFileBytes(const SourceFormat& format, const std::string* header,
                            const SourceLines& lines);

} // namespace impmap

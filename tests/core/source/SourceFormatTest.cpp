#include "source/SourceFormat.h"

#include "../TestSupport.h"
#include "io/FileIo.h"
#include "source/QuotedLineBreaks.h"
#include "source/SplitRecord.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace impmap {
namespace {

using Fields = std::vector<std::string>;
constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto k1252 = TextEncoding::Windows1252;

TEST(SourceFormat, DetectsMarkEncodingAndFirstLineEnd)
{
    struct Case
    {
        std::string bytes;
        SourceFormat format;
    };
    const Case cases[] = {
        {"", {k1252, false, LineEnd::CrLf, true}},
        {"plain ascii\nnext\r\n", {k1252, false, LineEnd::Lf, true}},
        {std::string(40, 'a') + "\x7F\n", {k1252, false, LineEnd::Lf, true}},
        {"\xEF\xBB\xBF"
         "ascii\r\n",
         {kUtf8, true, LineEnd::CrLf}},
        {"\xEF\xBB\xBF"
         "M\xFCller\r",
         {k1252, true, LineEnd::Cr}}, // mark, but not UTF-8
        {"M\xC3\xBCller\r\r\n", {kUtf8, false, LineEnd::Cr}},
        {"\xE2\x82\xAC 5\r\n", {kUtf8, false, LineEnd::CrLf}}, // euro sign
        {"\xF0\x9F\x98\x80\n", {kUtf8, false, LineEnd::Lf}},   // four bytes
        {"M\xFCller\n", {k1252, false, LineEnd::Lf}},          // Windows-1252 u umlaut
        {"\x93quoted\x94\n", {k1252, false, LineEnd::Lf}},     // curly quotes
        {"\xC0\xAF\n", {k1252, false, LineEnd::Lf}},           // overlong slash
        {"\xE0\x80\xAF\n", {k1252, false, LineEnd::Lf}},       // overlong, three bytes
        {"\xED\xA0\x80\n", {k1252, false, LineEnd::Lf}},       // surrogate half
        {"\xF4\x90\x80\x80\n", {k1252, false, LineEnd::Lf}},   // above U+10FFFF
        {"ok \xC3", {k1252, false, LineEnd::CrLf}},            // cut short at the end
        {"\xC3\xA9\xA9", {k1252, false, LineEnd::CrLf}},       // stray continuation
        // Long runs of ASCII are skipped in blocks: what follows them is still read.
        {std::string(40, 'a') + "\xC3\xA9\n", {kUtf8, false, LineEnd::Lf}},
        {std::string(31, 'a') + "\xC3\xA9" + std::string(64, 'b') + "\n",
         {kUtf8, false, LineEnd::Lf}},
        {std::string(63, 'a') + "\xC3" + std::string(64, 'b'), {k1252, false, LineEnd::CrLf}},
        {"\xC3\xA9" + std::string(96, 'a') + "\xFC\n", {k1252, false, LineEnd::Lf}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectSourceFormat(c.bytes), c.format) << c.bytes;
        EXPECT_EQ(IsMultiByteUtf8(c.bytes), c.format.encoding == kUtf8) << c.bytes;
    }
    EXPECT_EQ(LineEndText(LineEnd::CrLf), "\r\n");
    EXPECT_EQ(LineEndText(LineEnd::Lf), "\n");
    EXPECT_EQ(LineEndText(LineEnd::Cr), "\r");
}

TEST(SourceFormat, RecognisesUtf16ByMarkOrByItsZeros)
{
    using namespace std::string_literals;
    const std::pair<std::string, const char*> cases[] = {
        {"\xFF\xFE"s, "UTF-16 LE"},
        {"\xFE\xFF"
         "\0a"s,
         "UTF-16 BE"},
        {"a\0b\0c\0\r\0\n\0"s, "UTF-16 LE"},
        {"\0a\0b\0c\0\r\0\n"s, "UTF-16 BE"},
        {"M\0\xFC\0l\0\xAC\x20"s, "UTF-16 LE"}, // a euro sign among Latin letters
        {"a"s, nullptr},
        {"ab\r\n"s, nullptr},
        {"\0\0\0\0"s, nullptr},
        {"a\0b\0c\0d\0"s + std::string(8, 'x'), nullptr}, // zeros in only half the high bytes
        {"\xEF\xBB\xBF"
         "abc"s,
         nullptr},
    };
    for (const auto& [bytes, form] : cases) {
        const char* found = Utf16Form(bytes);
        EXPECT_EQ(found ? std::string(found) : "none", form ? std::string(form) : "none")
            << bytes.size();
    }
}

TEST(SourceFormat, ReadingDropsTheMarkAndRefusesUtf16)
{
    test::TempDir dir;
    test::WriteFile(dir.File("bom.csv"), "\xEF\xBB\xBF"
                                         "a,b\r\n");
    const SourceText source = ReadSourceFile(dir.File("bom.csv"));
    EXPECT_EQ(source.bytes, "a,b\r\n");
    EXPECT_EQ(source.format, (SourceFormat{kUtf8, true, LineEnd::CrLf}));

    test::WriteFile(dir.File("wide.csv"), std::string("\xFF\xFE"
                                                      "a\0",
                                                      4));
    try {
        ReadSourceFile(dir.File("wide.csv"));
        ADD_FAILURE() << "UTF-16 was read";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + dir.File("wide.csv") +
                      "\". It is UTF-16 LE text, which cannot be read here: save it as UTF-8 or "
                      "ANSI text and open it again");
    }
}

// Files that hold no text to read are refused with a message naming them; text with a few
// control characters in its values is read.
TEST(SourceFormat, ReadingRefusesEmptyAndBinaryFiles)
{
    test::TempDir dir;
    std::string executable = "MZ\x90";
    for (int i = 0; i < 3000; ++i)
        executable += i % 3 == 0 ? std::string("\0\0\x01", 3) : std::string("\x8B\xEC");
    const struct
    {
        const char* name;
        std::string bytes;
        const char* refusal; // after the path; nullptr: read
    } cases[] = {
        {"empty", "", " is empty"},
        {"a byte-order mark alone", "\xEF\xBB\xBF", " is empty"},
        {"an executable", executable, " does not look like a delimited text file"},
        {"zeros", std::string(100, '\0'), " does not look like a delimited text file"},
        {"NUL bytes in a few values", std::string("a\0b,1\r\nc,\0\r\n", 11), nullptr},
        {"tabs, form feeds and an end-of-file mark", "a\tb\f\r\nc\td\r\n\x1A", nullptr},
        {"one blank line", "\r\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("source.bin");
        test::WriteFile(path, c.bytes);
        try {
            const SourceText source = ReadSourceFile(path);
            EXPECT_EQ(c.refusal, nullptr) << "read";
            EXPECT_EQ(source.stamp.size, c.bytes.size());
        } catch (const FileError& e) {
            ASSERT_NE(c.refusal, nullptr) << e.what();
            EXPECT_EQ(std::string(e.what()), path + c.refusal);
        }
    }
}

// A file changed by another program since it was stamped: another size, or other bytes under
// another time; a file only touched, or gone, counts as unchanged.
TEST(FileStamp, NoticesChangesBySizeTimeAndChecksum)
{
    test::TempDir dir;
    const std::string path = dir.File("s.csv");
    const std::string bytes = "r1\r\nr2\r\n";
    const auto later = [&path] {
        const auto time = std::filesystem::last_write_time(path);
        std::filesystem::last_write_time(path, time + std::chrono::seconds(5));
    };
    const struct
    {
        const char* name;
        std::function<void()> change;
        bool changed;
    } cases[] = {
        {"untouched", [] {}, false},
        {"touched only", later, false},
        {"a line appended", [&] { test::WriteFile(path, bytes + "r3\r\n"); }, true},
        {"same size, other bytes",
         [&] {
             test::WriteFile(path, "x1\r\nr2\r\n");
             later();
         },
         true},
        {"removed", [&] { std::filesystem::remove(path); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFile(path, bytes);
        const FileStamp stamp = StampOf(path, bytes);
        c.change();
        EXPECT_EQ(FileChangedSince(stamp), c.changed);
    }
    EXPECT_FALSE(FileChangedSince(FileStamp()));
    EXPECT_NE(BytesChecksum("r1\r\nr2\r\n"), BytesChecksum("x1\r\nr2\r\n"));
    EXPECT_NE(BytesChecksum(std::string(9, 'a')), BytesChecksum(std::string(10, 'a')));
}

TEST(SourceFormat, FileBytesKeepMarkHeaderAndLineEnd)
{
    const SourceLines lines(std::string("one\ntwo\n"));
    const std::string header = "h";
    EXPECT_EQ(SourceFileBytes({kUtf8, true, LineEnd::Lf}, &header, lines),
              "\xEF\xBB\xBFh\none\ntwo\n");
    EXPECT_EQ(SourceFileBytes({k1252, false, LineEnd::Cr}, nullptr, lines), "one\rtwo\r");
    EXPECT_EQ(SourceFileBytes({}, nullptr, SourceLines()), "");
}

TEST(SourceFormat, NonBreakingSpacesOfEachEncoding)
{
    struct Case
    {
        std::string text;
        TextEncoding encoding;
        Fields fields;
    };
    const Case cases[] = {
        {"\xA0"
         "a\xA0"
         "b\xA0,c",
         k1252,
         {"a b", "c"}},
        {"\xC2\xA0"
         "a\xC2\xA0"
         "b\xC2\xA0,c",
         kUtf8,
         {"a b", "c"}},
        // In UTF-8 a lone 0xA0 belongs to a letter: a grave, S caron, Cyrillic Er.
        {"\xC3\xA0,\xC5\xA0\xD0\xA0", kUtf8, {"\xC3\xA0", "\xC5\xA0\xD0\xA0"}},
        {"\xC3\xA0", k1252, {"\xC3"}},
    };
    for (const Case& c : cases) {
        Fields fields;
        SplitRecord(c.text, ',', fields, c.encoding);
        EXPECT_EQ(fields, c.fields) << c.text;
    }
}

TEST(QuotedLineBreaks, FindsAndJoinsLinesEndingInsideQuotes)
{
    struct Case
    {
        std::string text;
        std::vector<size_t> broken;
        std::string joined;
    };
    const std::string eleven(11, '\n');
    const Case cases[] = {
        {"a,b\nc,d\n", {}, "a,b\nc,d\n"},
        {"1,\"12 Main St\nApt 4\",NY\n2,x\n", {0}, "1,\"12 Main St Apt 4\",NY\n2,x\n"},
        // A value over three lines; the middle line has no quote.
        {"1,\"a\nb\nc\",d\n", {0, 1}, "1,\"a b c\",d\n"},
        // Doubled quotes are even; the broken value closes on the next line.
        {"\"say \"\"hi\nthere\"\"\",x\ny\n", {0}, "\"say \"\"hi there\"\"\",x\ny\n"},
        // Two broken records and a stray quote at the end that nothing closes.
        {"\"a\nb\"\n\"c\nd\"\n5\" pipe\nlast\n", {0, 2}, "\"a b\"\n\"c d\"\n5\" pipe\nlast\n"},
        // Long lines are counted eight bytes at a time; a byte like \xA2 is no quote.
        {"12345678,\"\xA2\xA2\xA2\xA2\xA2\xA2\xA2\xA2 text, \"\"more\"\"\nrest of it\",x,\"y\"\n",
         {0},
         "12345678,\"\xA2\xA2\xA2\xA2\xA2\xA2\xA2\xA2 text, \"\"more\"\" rest of it\",x,\"y\"\n"},
        // A quote left open longer than ten lines is a stray one.
        {"\"open" + eleven + "close\"\n", {}, "\"open" + eleven + "close\"\n"},
    };
    for (const Case& c : cases) {
        const SourceLines lines{std::string(c.text)};
        EXPECT_EQ(LinesEndingInsideQuotes(lines), c.broken) << c.text;
        size_t joins = 99;
        EXPECT_EQ(JoinLinesBrokenInsideQuotes(lines, joins).Joined("\n"), c.joined) << c.text;
        EXPECT_EQ(joins, c.broken.size());
    }
}

TEST(QuotedLineBreaks, WarningAndNoticeTexts)
{
    EXPECT_EQ(QuotedLineBreakWarning(7),
              "Record 7: Warning: the record ends inside a quoted value; "
              "the next line continues it (a cell with a line break?)");
    EXPECT_EQ(QuotedLineBreakNotice(3, 1),
              "1 record ends inside a quoted value that the next line continues (a cell with a "
              "line break?): record 3.\r\nEach line is read as a record of its own. Tools > Join "
              "Lines Broken Inside Quotes joins them.");
    EXPECT_EQ(QuotedLineBreakNotice(12, 4),
              "4 records end inside a quoted value that the next line continues (a cell with a "
              "line break?); the first is record 12.\r\nEach line is read as a record of its own. "
              "Tools > Join Lines Broken Inside Quotes joins them.");
}

} // namespace
} // namespace impmap

#include "source/SourceLines.h"

#include <gtest/gtest.h>

namespace impmap {
namespace {

std::vector<std::string> AllLines(const SourceLines& lines)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < lines.Count(); ++i)
        out.emplace_back(lines.Line(i));
    return out;
}

TEST(SourceLines, LineEnds)
{
    using Lines = std::vector<std::string>;
    const std::pair<const char*, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n", {""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(AllLines(SourceLines(bytes)), expected) << bytes;
}

TEST(SourceLines, FilesWhoseFirstMegabyteMisjudgesTheRestKeepEveryLine)
{
    // The list is sized from the first megabyte: long lines there, short ones after, and the
    // reverse; and lines so short that they are counted.
    const std::pair<size_t, size_t> shapes[] = {{4000, 3}, {3, 4000}, {0, 0}};
    for (const auto& [first, rest] : shapes) {
        std::string bytes;
        std::vector<std::string> expected;
        for (size_t size = first; bytes.size() < (size_t{3} << 20);) {
            if (bytes.size() > (size_t{1} << 20))
                size = rest;
            expected.push_back(std::string(size, 'x') + std::to_string(expected.size()));
            bytes += expected.back() + "\r\n";
        }
        EXPECT_EQ(AllLines(SourceLines(bytes)), expected) << first << ' ' << rest;
    }
}

TEST(SourceLines, EditsKeepOtherLinesAndJoinWithCrLf)
{
    SourceLines lines(std::string("h\r\none\r\ntwo\r\nthree\r\n"));
    lines.Erase(0);
    lines.Replace(1, "TWO");
    lines.Insert(0, "head");
    lines.Erase(3);
    EXPECT_EQ(lines.Joined(), "head\r\none\r\nTWO\r\n");
    SourceLines moved = std::move(lines);
    EXPECT_EQ(moved.Joined(), "head\r\none\r\nTWO\r\n");
}

TEST(SourceLines, MovingKeepsEveryLineOfAShortText)
{
    // A text this short sits inside the string object itself; lines that pointed there would show
    // whatever the moved-from object holds next.
    SourceLines source(std::string("a\r\nbc\nd"));
    SourceLines moved(std::move(source));
    source = SourceLines(std::string("zzzzzzzz"));
    EXPECT_EQ(AllLines(moved), (std::vector<std::string>{"a", "bc", "d"}));

    SourceLines assigned;
    assigned = std::move(moved);
    moved = SourceLines(std::string("yyyyyyyy"));
    assigned.Replace(1, "BC");
    EXPECT_EQ(AllLines(assigned), (std::vector<std::string>{"a", "BC", "d"}));
}

} // namespace
} // namespace impmap

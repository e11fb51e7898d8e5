#include "execute/OutputStore.h"

#include "io/FileIo.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace impmap {
namespace {

std::string FileBytes(const OutputStore& store)
{
    std::string bytes;
    store.WriteTo([&bytes](std::string_view piece) { bytes += piece; });
    return bytes;
}

// Lines come back as given, whether still in memory or already in the file, also lines that
// straddle the two or are longer than the buffer, and the store writes the file's bytes.
TEST(OutputStore, KeepsEveryLineAndTheFileBytes)
{
    const std::string longLine(3u << 20, 'x');
    const std::vector<std::vector<std::string>> cases = {
        {},
        {""},
        {"A,\"B C\",1.00", "", "D,,2.00"},
        {"a", longLine, "b", longLine, longLine, ""},
        std::vector<std::string>(100000, std::string(40, 'y')),
    };
    for (const std::vector<std::string>& lines : cases) {
        OutputStore store;
        std::string expected;
        for (const std::string& line : lines) {
            store.Append(line);
            expected += line + "\r\n";
        }
        ASSERT_EQ(store.size(), lines.size());
        EXPECT_EQ(store.empty(), lines.empty());
        for (size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(store[i], lines[i]) << "line " << i << " of " << lines.size();
            ASSERT_EQ(store.LineLength(i), lines[i].size());
        }
        EXPECT_EQ(store.ByteCount(), expected.size());
        EXPECT_TRUE(FileBytes(store) == expected);

        // A moved store keeps its lines; the one moved from is empty.
        OutputStore moved = std::move(store);
        EXPECT_TRUE(store.empty());
        EXPECT_EQ(FileBytes(store), "");
        EXPECT_TRUE(FileBytes(moved) == expected);
        moved.Clear();
        EXPECT_TRUE(moved.empty());
        EXPECT_EQ(moved.ByteCount(), 0u);
        EXPECT_EQ(FileBytes(moved), "");
    }
    const OutputStore listed{"one", "", "three"};
    EXPECT_EQ(FileBytes(listed), "one\r\n\r\nthree\r\n");
}

#ifndef _WIN32
// Without a temporary folder a large output cannot be held: the failure is reported.
TEST(OutputStore, ReportsAMissingTemporaryFolder)
{
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old != nullptr ? old : "";
    setenv("TMPDIR", "/nonexistent-folder-for-impmap", 1);
    OutputStore store;
    try {
        for (int i = 0; i < 40000; ++i)
            store.Append(std::string(100, 'z'));
        ADD_FAILURE() << "no failure reported";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create a temporary file. No such file or directory");
    }
    if (old != nullptr)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
}
#endif

} // namespace
} // namespace impmap

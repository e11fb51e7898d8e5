#include "io/FileIo.h"

#include "../TestSupport.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace impmap {
namespace {

#ifdef _WIN32
// Windows finds no path through a file used as a folder, and refuses to rename over a folder.
const std::string kFileAsFolderReason = "No such file or directory";
const std::string kRenameOverFolderReason =
    SystemReason(std::error_code(5 /* ERROR_ACCESS_DENIED */, std::system_category()));
#else
const std::string kFileAsFolderReason = "Not a directory";
const std::string kRenameOverFolderReason = "Is a directory";
#endif

class FileIoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ =
            fs::temp_directory_path() / ("impmap-fileio-" + std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    static void WriteRaw(const fs::path& path, std::string_view bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadRaw(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The sorted file names in folder, to show that no temporary file is left behind.
    static std::vector<std::string> Names(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\". "; }

    fs::path dir_;
};

TEST_F(FileIoTest, ReadWholeFileReturnsEveryByte)
{
    const std::string bytes = std::string("a\r\nb\rc\n", 7) + std::string(1, '\0') + "\xE9\xFF" +
                              std::string(200000, 'x');
    WriteRaw(dir_ / "data.bin", bytes);
    EXPECT_EQ(ReadWholeFile(dir_ / "data.bin"), bytes);
    WriteRaw(dir_ / "empty.txt", "");
    EXPECT_EQ(ReadWholeFile(dir_ / "empty.txt"), "");
}

TEST_F(FileIoTest, ReadWholeFileFailuresNameFileAndReason)
{
    const struct
    {
        fs::path path;
        std::string reason;
    } cases[] = {
        {dir_ / "missing.txt", "No such file or directory"},
        {dir_, "Is a directory"},
#ifndef _WIN32
        {dir_ / "loop", "Too many levels of symbolic links"},
        {dir_ / "fifo", "It is not a regular file"},
        {"/dev/zero", "It is not a regular file"},
#endif
    };
#ifndef _WIN32
    fs::create_symlink("loop", dir_ / "loop");
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
#endif
    for (const auto& c : cases) {
        try {
            ReadWholeFile(c.path);
            ADD_FAILURE() << c.path << " was read";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + Quoted(c.path) + c.reason);
        }
    }
}

TEST_F(FileIoTest, WriteFileAtomicallyCreatesAndReplacesWithoutLeftovers)
{
    const fs::path target = dir_ / "out.map";
    WriteFileAtomically(target, "first version, the longer one\r\n");
    EXPECT_EQ(ReadRaw(target), "first version, the longer one\r\n");
    WriteFileAtomically(target, std::string("second\0\xE9", 8));
    EXPECT_EQ(ReadRaw(target), std::string("second\0\xE9", 8));
    WriteFileAtomically(target, "");
    EXPECT_EQ(ReadRaw(target), "");
    EXPECT_EQ(Names(dir_), std::vector<std::string>{"out.map"});
}

// Reports how far work is, and asks it to stop once it has reached stopAt bytes.
class StopAt : public WorkProgress
{
public:
    explicit StopAt(std::uint64_t at) : stopAt(at) {}
    bool Continue(std::uint64_t done, std::uint64_t total) override
    {
        heard.emplace_back(done, total);
        return done < stopAt;
    }
    std::uint64_t stopAt;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> heard;
};

TEST_F(FileIoTest, ReadingAndWritingReportProgressAndStopWhenAsked)
{
    const fs::path target = dir_ / "big.csv";
    const std::string old = "the file as it was\r\n";
    const std::string bytes((size_t{9} << 20) + 5, 'x');
    const std::uint64_t size = bytes.size();
    WriteRaw(target, old);

    // A write stopped at any point, the last one just before the rename, leaves the file and
    // the folder as they were.
    for (const std::uint64_t at : {std::uint64_t{0}, std::uint64_t{4} << 20, size}) {
        StopAt stop(at);
        EXPECT_THROW(WriteFileAtomically(target, bytes, &stop), WorkCancelled) << at;
        EXPECT_EQ(ReadRaw(target), old) << at;
        EXPECT_EQ(Names(dir_), std::vector<std::string>{"big.csv"}) << at;
    }
    // Written whole, in pieces whose progress ends at the whole size.
    StopAt all(size + 1);
    WriteFileAtomically(target, bytes, &all);
    EXPECT_EQ(ReadRaw(target), bytes);
    using Heard = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
    EXPECT_EQ(all.heard, (Heard{{0, size}, {4 << 20, size}, {8 << 20, size}, {size, size}}));

    // A read hears its bytes grow to the size of the file, and stops when asked.
    StopAt reading(size + 1);
    EXPECT_EQ(ReadWholeFile(target, &reading), bytes);
    ASSERT_FALSE(reading.heard.empty());
    EXPECT_EQ(reading.heard.front(), std::make_pair(std::uint64_t{0}, size));
    EXPECT_EQ(reading.heard.back(), std::make_pair(size, size));
    EXPECT_TRUE(std::is_sorted(reading.heard.begin(), reading.heard.end()));
    StopAt early(1 << 20);
    EXPECT_THROW(ReadWholeFile(target, &early), WorkCancelled);
    EXPECT_EQ(early.heard.back().first, std::uint64_t{1} << 20);
}

TEST_F(FileIoTest, WriteFileAtomicallyFailureKeepsOldFileAndLeavesNoTemporary)
{
    WriteRaw(dir_ / "plain", "a file, not a folder");
    fs::create_directory(dir_ / "folder");
    WriteRaw(dir_ / "folder" / "inside.txt", "inside");
    WriteRaw(dir_ / "locked.map", "old locked");
    fs::permissions(dir_ / "locked.map", fs::perms::owner_read);
    const struct
    {
        fs::path target;
        std::string reason;
    } cases[] = {
        {dir_ / "plain" / "out.map", kFileAsFolderReason},
        {dir_ / "folder", "Is a directory"},
        {dir_ / "nowhere" / "out.map", "No such file or directory"},
        {dir_ / "locked.map", "Permission denied"},
    };
    for (const auto& c : cases) {
        try {
            WriteFileAtomically(c.target, "new bytes");
            ADD_FAILURE() << c.target << " was written";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + Quoted(c.target) + c.reason);
        }
    }
    EXPECT_EQ(ReadRaw(dir_ / "plain"), "a file, not a folder");
    EXPECT_EQ(ReadRaw(dir_ / "locked.map"), "old locked");
    EXPECT_EQ(Names(dir_), (std::vector<std::string>{"folder", "locked.map", "plain"}));
    EXPECT_EQ(Names(dir_ / "folder"), std::vector<std::string>{"inside.txt"});
}

TEST_F(FileIoTest, ReplacementKeepsAccessRights)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no POSIX access rights beyond read-only";
#else
    const fs::path target = dir_ / "private.map";
    WriteRaw(target, "old");
    const fs::perms rights = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, rights);
    WriteFileAtomically(target, "new");
    EXPECT_EQ(fs::status(target).permissions(), rights);
#endif
}

#ifndef _WIN32
TEST_F(FileIoTest, WritingThroughALinkReplacesTheFileItLeadsTo)
{
    fs::create_directory(dir_ / "sub");
    const struct
    {
        fs::path link;
        fs::path linkText; // what the link holds
        fs::path real;
        bool realExists;
    } cases[] = {
        {dir_ / "link.txt", "real.txt", dir_ / "real.txt", true},
        {dir_ / "dangling.txt", "made.txt", dir_ / "made.txt", false},
        {dir_ / "sub" / "up.txt", "../upper.txt", dir_ / "upper.txt", true},
        {dir_ / "absolute.txt", dir_ / "sub" / "abs.txt", dir_ / "sub" / "abs.txt", true},
        {dir_ / "chain.txt", "link.txt", dir_ / "real.txt", true},
    };
    for (const auto& c : cases) {
        if (c.realExists)
            WriteRaw(c.real, "old");
        if (!fs::is_symlink(fs::symlink_status(c.link)))
            fs::create_symlink(c.linkText, c.link);
        WriteFileAtomically(c.link, "new through " + c.link.filename().string());
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(c.link))) << c.link;
        EXPECT_EQ(fs::read_symlink(c.link), c.linkText);
        EXPECT_EQ(ReadRaw(c.real), "new through " + c.link.filename().string());
    }
    EXPECT_EQ(Names(dir_),
              (std::vector<std::string>{"absolute.txt", "chain.txt", "dangling.txt", "link.txt",
                                        "made.txt", "real.txt", "sub", "upper.txt"}));

    fs::create_symlink("loop", dir_ / "loop");
    try {
        WriteFileAtomically(dir_ / "loop", "x");
        ADD_FAILURE() << "a link loop was written";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + Quoted(dir_ / "loop") +
                                             "Too many levels of symbolic links");
        EXPECT_EQ(e.Reason(), "Too many levels of symbolic links");
    }
}

TEST_F(FileIoTest, ADeviceAsTargetIsWrittenStraight)
{
    AtomicFileWriter writer("/dev/null");
    writer.Write("discarded");
    writer.Commit();
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}
#endif

TEST_F(FileIoTest, AFolderWithoutRoomForNewFilesIsWrittenInPlace)
{
    const fs::path folder = dir_ / "locked";
    fs::create_directory(folder);
    WriteRaw(folder / "out.txt", "old content that is longer");
    test::LockedFolder lock(folder);
    if (!lock.Active())
        GTEST_SKIP() << "no way to keep new files out of a folder here";
    {
        AtomicFileWriter writer(folder / "out.txt");
        writer.Write("abandoned");
    }
    EXPECT_EQ(ReadRaw(folder / "out.txt"), "old content that is longer");
    WriteFileAtomically(folder / "out.txt", "new");
    EXPECT_EQ(ReadRaw(folder / "out.txt"), "new");
    {
        AtomicFileWriter writer(folder / "out.txt");
        writer.Write("closed");
        writer.Close();
        EXPECT_EQ(ReadRaw(folder / "out.txt"), "new");
        writer.Commit();
    }
    EXPECT_EQ(ReadRaw(folder / "out.txt"), "closed");
    EXPECT_EQ(Names(folder), std::vector<std::string>{"out.txt"});
    try {
        WriteFileAtomically(folder / "fresh.txt", "x");
        ADD_FAILURE() << "a new file was made in a locked folder";
    } catch (const FileError& e) {
        EXPECT_EQ(
            std::string(e.what()).rfind("Cannot create file " + Quoted(folder / "fresh.txt"), 0),
            0u)
            << e.what();
        EXPECT_FALSE(e.Reason().empty());
    }
}

TEST_F(FileIoTest, WriterShowsNothingUntilCommit)
{
    const fs::path target = dir_ / "batch.txt";
    WriteRaw(target, "old output");
    std::string expected;
    {
        AtomicFileWriter writer(target);
        for (int i = 0; i < 20000; ++i) {
            const std::string line = "line " + std::to_string(i) + "\r\n";
            writer.Write(line);
            expected += line;
        }
        writer.Write(std::string(300000, 'z'));
        expected += std::string(300000, 'z');
        EXPECT_EQ(ReadRaw(target), "old output");
        writer.Commit();
        EXPECT_THROW(writer.Write("more"), std::logic_error);
        EXPECT_THROW(writer.Commit(), std::logic_error);
    }
    EXPECT_EQ(ReadRaw(target), expected);
    EXPECT_EQ(Names(dir_), std::vector<std::string>{"batch.txt"});
}

TEST_F(FileIoTest, CloseLeavesCommitOnlyTheRenameAndEveryTemporaryIsTracked)
{
    WriteRaw(dir_ / "a.txt", "old a");
    {
        AtomicFileWriter a(dir_ / "a.txt");
        AtomicFileWriter b(dir_ / "b.txt");
        std::vector<std::string> tracked;
        for (int slot = 0; slot < kTemporaryFileSlots; ++slot) {
            if (TemporaryFile(slot)[0] != '\0')
                tracked.push_back(fs::path(TemporaryFile(slot)).filename().string());
        }
        std::sort(tracked.begin(), tracked.end());
        std::vector<std::string> temporaries = Names(dir_);
        temporaries.erase(std::remove(temporaries.begin(), temporaries.end(), "a.txt"),
                          temporaries.end());
        EXPECT_EQ(tracked, temporaries);
        EXPECT_EQ(tracked.size(), 2u);

        a.Write("new a");
        a.Close();
        EXPECT_THROW(a.Write("more"), std::logic_error);
        EXPECT_THROW(a.Close(), std::logic_error);
        EXPECT_EQ(ReadRaw(dir_ / "a.txt"), "old a");
        b.Write("new b");
        b.Close();
        a.Commit();
        b.Commit();
        EXPECT_THROW(a.Commit(), std::logic_error);
        for (int slot = 0; slot < kTemporaryFileSlots; ++slot)
            EXPECT_STREQ(TemporaryFile(slot), "");
    }
    EXPECT_EQ(ReadRaw(dir_ / "a.txt"), "new a");
    EXPECT_EQ(ReadRaw(dir_ / "b.txt"), "new b");
    EXPECT_EQ(Names(dir_), (std::vector<std::string>{"a.txt", "b.txt"}));
    {
        // Closed and never committed: the temporary goes, the target stays.
        AtomicFileWriter a(dir_ / "a.txt");
        a.Write("abandoned");
        a.Close();
    }
    EXPECT_EQ(ReadRaw(dir_ / "a.txt"), "new a");
    EXPECT_EQ(Names(dir_), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FileIoTest, AbandonedWritersRemoveTheirTemporariesAndKeepTarget)
{
    WriteRaw(dir_ / "kept.txt", "old");
    {
        // Two writers on one target at once need distinct temporary files.
        AtomicFileWriter writer(dir_ / "kept.txt");
        AtomicFileWriter another(dir_ / "kept.txt");
        AtomicFileWriter fresh(dir_ / "new.txt");
        writer.Write("never seen");
        another.Write("never seen either");
    }
    EXPECT_EQ(ReadRaw(dir_ / "kept.txt"), "old");
    EXPECT_EQ(Names(dir_), std::vector<std::string>{"kept.txt"});
}

TEST_F(FileIoTest, FailedCommitRemovesTemporary)
{
    const fs::path target = dir_ / "out.txt";
    AtomicFileWriter writer(target);
    writer.Write("bytes");
    // The target turns into a folder after the writer has started.
    fs::create_directory(target);
    WriteRaw(target / "inside.txt", "inside");
    try {
        writer.Commit();
        ADD_FAILURE() << "commit over a folder succeeded";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file " + Quoted(target) + kRenameOverFolderReason);
    }
    EXPECT_EQ(Names(dir_), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(Names(target), std::vector<std::string>{"inside.txt"});
}

} // namespace
} // namespace impmap

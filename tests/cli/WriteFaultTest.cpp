// Every user file the program writes (batch output, TIN Matching file, header file, map file,
// source file) under the faults a user meets: a folder where no new file can be made, a full disk,
// a signal in the middle of the write, a symbolic link as target. After each the old file is intact
// (or replaced as a whole), no temporary file is left, and a failure names the file and the
// system's reason.
#ifndef _WIN32

#include "../core/TestSupport.h"
#include "ChildProcess.h"
#include "mapping/Workspace.h"
#include "schema/FormCatalogue.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace impmap {
namespace {

namespace fs = std::filesystem;
using test::ChildOptions;
using test::ChildResult;
using test::FileNames;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kOld = "old content\r\n";

// Reports a failure of body as the window's error display would show it, on standard error.
int Reported(const std::function<void()>& body)
{
    try {
        body();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
}

// One kind of user file: how to write it to target (sources and maps live in dir).
struct FileKind
{
    const char* name;
    std::function<ChildResult(const fs::path& dir, const fs::path& target, const ChildOptions&)>
        write;
    bool makesNewFiles; // false for the source, which is only ever written over itself
};

std::vector<FileKind> Kinds()
{
    return {
        {"output",
         [](const fs::path& dir, const fs::path& target, const ChildOptions& options) {
             WriteFile(dir / "src.csv", "a,1\r\nb,2\r\n");
             WriteFile(dir / "m.MAP", "[Source]\r\nFileSpec=" + (dir / "src.csv").string() +
                                          "\r\n[Destination]\r\nForm=W-2\r\nMap=001\r\n");
             return test::RunCliChild({"run", (dir / "m.MAP").string(), "-o", target.string()},
                                      options);
         },
         true},
        {"tin-match",
         [](const fs::path& dir, const fs::path& target, const ChildOptions& options) {
             WriteFile(dir / "src.csv", "Ann Lee,101234567\r\nBo Poe,101234568\r\n");
             WriteFile(dir / "m.MAP", "[Source]\r\nFileSpec=" + (dir / "src.csv").string() +
                                          "\r\n[Destination]\r\nForm=1099-NEC\r\nMap=001" +
                                          std::string(30, '0') + "002\r\n");
             return test::RunCliChild(
                 {"tin-match", (dir / "m.MAP").string(), "-o", target.string()}, options);
         },
         true},
        {"header",
         [](const fs::path&, const fs::path& target, const ChildOptions& options) {
             return test::RunCliChild(
                 {"header", "W-2", "--delimiter", "comma", "-o", target.string()}, options);
         },
         true},
        {"map",
         [](const fs::path&, const fs::path& target, const ChildOptions& options) {
             return test::RunChild(
                 [&target] {
                     return Reported([&] {
                         Workspace workspace;
                         workspace.ChooseForm(FindFormIndex("W-2"));
                         workspace.SaveMapping(target.string());
                     });
                 },
                 options);
         },
         true},
        {"source",
         [](const fs::path&, const fs::path& target, const ChildOptions& options) {
             return test::RunChild(
                 [&target] {
                     return Reported([&] {
                         Workspace workspace;
                         workspace.SetSourcePath(target.string());
                         workspace.OpenSource();
                         workspace.DeleteCurrentRecord();
                         workspace.SaveSource();
                     });
                 },
                 options);
         },
         false},
    };
}

TEST(WriteFault, AFullDiskKeepsTheOldFileAndNamesFileAndReason)
{
    for (const FileKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const fs::path target = dir.Path() / "target.txt";
        WriteFile(target, kOld + "second line\r\nthird line\r\n");
        const std::string before = ReadFile(target);
        ChildOptions options;
        options.fileSizeLimit = 16;
        const ChildResult result = kind.write(dir.Path(), target, options);
        EXPECT_EQ(result.status, 2) << result.err;
        EXPECT_NE(result.err.find(target.string()), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("File too large"), std::string::npos) << result.err;
        EXPECT_EQ(ReadFile(target), before);
        const auto names = FileNames(dir.Path());
        EXPECT_TRUE(std::none_of(names.begin(), names.end(),
                                 [](const std::string& n) { return n.ends_with(".tmp"); }));
    }
}

TEST(WriteFault, AFolderWithoutRoomForNewFiles)
{
    for (const FileKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const fs::path folder = dir.Path() / "locked";
        fs::create_directory(folder);
        WriteFile(folder / "old.txt", kOld + "more\r\n");
        test::LockedFolder lock(folder);
        if (!lock.Active())
            GTEST_SKIP() << "no way to keep new files out of a folder here";
        // An existing file is written in place.
        const ChildResult existing = kind.write(dir.Path(), folder / "old.txt", {});
        EXPECT_EQ(existing.status, 0) << existing.err;
        EXPECT_NE(ReadFile(folder / "old.txt"), kOld + "more\r\n");
        EXPECT_FALSE(ReadFile(folder / "old.txt").empty());
        // A new one cannot be made, and the message says why.
        if (kind.makesNewFiles) {
            const ChildResult fresh = kind.write(dir.Path(), folder / "new.txt", {});
            EXPECT_EQ(fresh.status, 2);
            EXPECT_NE(fresh.err.find((folder / "new.txt").string()), std::string::npos)
                << fresh.err;
            EXPECT_TRUE(fresh.err.find("Operation not permitted") != std::string::npos ||
                        fresh.err.find("Permission denied") != std::string::npos)
                << fresh.err;
        }
        EXPECT_EQ(FileNames(folder), std::vector<std::string>{"old.txt"});
    }
}

TEST(WriteFault, ASymbolicLinkStaysALinkToTheNewContent)
{
    for (const FileKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        WriteFile(dir.Path() / "real.txt", kOld + "more\r\n");
        fs::create_symlink("real.txt", dir.Path() / "link.txt");
        const ChildResult result = kind.write(dir.Path(), dir.Path() / "link.txt", {});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.Path() / "link.txt")));
        const std::string now = ReadFile(dir.Path() / "real.txt");
        EXPECT_NE(now, kOld + "more\r\n");
        EXPECT_FALSE(now.empty());
        const auto names = FileNames(dir.Path());
        EXPECT_TRUE(std::none_of(names.begin(), names.end(),
                                 [](const std::string& n) { return n.ends_with(".tmp"); }));
    }
}

TEST(WriteFault, StandardOutputAndItsBufferThatCannotBeWritten)
{
    TempDir dir;
    WriteFile(dir.Path() / "src.csv", "a,1\r\nb,2\r\n");
    const std::string map = (dir.Path() / "m.MAP").string();
    WriteFile(map, "[Source]\r\nFileSpec=" + (dir.Path() / "src.csv").string() +
                       "\r\n[Destination]\r\nForm=W-2\r\nMap=001\r\n");
    const auto with = [](ChildOptions::Output output, long fileSizeLimit = -1) {
        ChildOptions options;
        options.output = output;
        options.fileSizeLimit = fileSizeLimit;
        return options;
    };
    struct Case
    {
        std::vector<std::string> args;
        ChildOptions options;
        const char* message;
    };
    const Case cases[] = {
        {{"forms"},
         with(ChildOptions::Output::Full),
         "Cannot write to standard output. No space left"},
        {{"forms"},
         with(ChildOptions::Output::Closed),
         "Cannot write to standard output. Bad file"},
        {{"run", map},
         with(ChildOptions::Output::Full),
         "Cannot write to standard output. No space"},
        {{"run", map},
         with(ChildOptions::Output::Closed),
         "Cannot write to standard output. Bad file"},
        {{"run", map},
         with(ChildOptions::Output::File, 16),
         "Cannot write the output to a temporary file. File too large"},
    };
    for (const Case& c : cases) {
        const ChildResult result = test::RunCliChild(c.args, c.options);
        EXPECT_EQ(result.status, 2) << c.args[0];
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

// Only the batch output takes long enough to be interrupted; the other files are written in one
// go of a few kilobytes.
TEST(WriteFault, ASignalDuringTheOutputRemovesTheTemporaryFile)
{
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        TempDir dir;
        std::string source;
        for (int i = 0; i < 400000; ++i)
            source += "name " + std::to_string(i) + "," + std::to_string(i) + "\r\n";
        WriteFile(dir.Path() / "src.csv", source);
        WriteFile(dir.Path() / "m.MAP",
                  "[Source]\r\nFileSpec=" + (dir.Path() / "src.csv").string() +
                      "\r\n[Destination]\r\nForm=W-2\r\nMap=001002\r\n");
        WriteFile(dir.Path() / "out.txt", kOld);
        bool sawTemporary = false;
        ChildOptions options;
        options.whileRunning = [&](pid_t pid) {
            // Wait until the temporary output has taken its first bytes, then interrupt.
            for (int i = 0; i < 20000 && !sawTemporary; ++i) {
                for (const auto& entry : fs::directory_iterator(dir.Path())) {
                    std::error_code ec;
                    if (entry.path().extension() == ".tmp" && entry.file_size(ec) > 0)
                        sawTemporary = true;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
            ::kill(pid, signalNumber);
        };
        const ChildResult result = test::RunCliChild(
            {"run", (dir.Path() / "m.MAP").string(), "-o", (dir.Path() / "out.txt").string()},
            options);
        SCOPED_TRACE(signalNumber);
        EXPECT_TRUE(sawTemporary);
        EXPECT_EQ(result.signal, signalNumber);
        EXPECT_EQ(ReadFile(dir.Path() / "out.txt"), kOld);
        EXPECT_EQ(FileNames(dir.Path()), (std::vector<std::string>{"m.MAP", "out.txt", "src.csv"}));
    }
}

// A TIN Matching request of several parts holds a temporary file for each until the last is
// written: a signal removes them all.
TEST(WriteFault, ASignalDuringASplitTinMatchingRequestRemovesEveryPart)
{
    TempDir dir;
    std::string source;
    for (int i = 0; i < 400000; ++i)
        source += "Payee " + std::to_string(i) + "," + std::to_string(100000000 + i) + "\r\n";
    WriteFile(dir.Path() / "src.csv", source);
    WriteFile(dir.Path() / "m.MAP", "[Source]\r\nFileSpec=" + (dir.Path() / "src.csv").string() +
                                        "\r\n[Destination]\r\nForm=1099-NEC\r\nMap=001" +
                                        std::string(30, '0') + "002\r\n");
    WriteFile(dir.Path() / "tin.txt", kOld);
    bool sawTwo = false;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        for (int i = 0; i < 20000 && !sawTwo; ++i) {
            int temporaries = 0;
            for (const auto& entry : fs::directory_iterator(dir.Path()))
                temporaries += entry.path().extension() == ".tmp";
            sawTwo = temporaries >= 2;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ::kill(pid, SIGTERM);
    };
    const ChildResult result = test::RunCliChild(
        {"tin-match", (dir.Path() / "m.MAP").string(), "-o", (dir.Path() / "tin.txt").string()},
        options);
    EXPECT_TRUE(sawTwo);
    EXPECT_EQ(result.signal, SIGTERM);
    EXPECT_EQ(ReadFile(dir.Path() / "tin.txt"), kOld);
    EXPECT_EQ(FileNames(dir.Path()), (std::vector<std::string>{"m.MAP", "src.csv", "tin.txt"}));
}

} // namespace
} // namespace impmap

#endif

// The batch command on inputs that once crashed it, hung it or took gigabytes: each must end in
// time with its exit status, a message that says why, and memory within 4 times the input size
// plus 64 MB. Large inputs are made here, at run time.
#ifndef _WIN32

#include "../core/TestSupport.h"
#include "ChildProcess.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace impmap {
namespace {

namespace fs = std::filesystem;
using test::ChildOptions;
using test::ChildResult;
using test::RunCliChild;
using test::TempDir;
using test::WriteFile;

// A map file for 1099-MISC over source: Map, and more sections or settings when given.
std::string MapText(const std::string& source, const std::string& map = "001",
                    const std::string& settings = "Delimiter=1\r\n", const std::string& more = "")
{
    return "[Source]\r\nFileSpec=" + source + "\r\n" + settings +
           "[Destination]\r\nForm=1099-MISC\r\nMap=" + map + "\r\n" + more;
}

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    out.reserve(text.size() * static_cast<size_t>(times));
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// Writes the files of one case into the folder and gives the arguments after "run".
using Setup = std::function<std::vector<std::string>(const fs::path& dir)>;

struct HostileCase
{
    const char* name;
    Setup setup;
    std::set<int> statuses; // the exit statuses that are right
    const char* message;    // a part of standard error ("" when anything goes)
    ChildOptions options = {};
};

// The map m.MAP over a source file with the given bytes.
Setup SourceBytes(std::string bytes, std::string map = "001")
{
    return [bytes = std::move(bytes), map = std::move(map)](const fs::path& dir) {
        WriteFile(dir / "src.csv", bytes);
        WriteFile(dir / "m.MAP", MapText((dir / "src.csv").string(), map));
        return std::vector<std::string>{(dir / "m.MAP").string()};
    };
}

// The map m.MAP naming source (made by make), or source given with --source.
Setup SpecialSource(std::function<void(const fs::path&)> make, bool asMap)
{
    return [make = std::move(make), asMap](const fs::path& dir) {
        make(dir / "special");
        if (asMap)
            return std::vector<std::string>{(dir / "special").string()};
        WriteFile(dir / "m.MAP", MapText((dir / "special").string()));
        return std::vector<std::string>{(dir / "m.MAP").string()};
    };
}

const auto kLoop = [](const fs::path& p) { fs::create_symlink(p.filename(), p); };
const auto kFifo = [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); };
const auto kFolder = [](const fs::path& p) { fs::create_directory(p); };
const auto kDevZero = [](const fs::path& p) { fs::create_symlink("/dev/zero", p); };

std::vector<HostileCase> Cases()
{
    const std::string settings = "Decimal=99999999999999999999\r\nDelimiter=-5\r\n"
                                 "Header=4294967296\r\nTrace=-2147483649\r\n";
    return {
        {"NUL bytes in values", SourceBytes(std::string("a\0b,1\r\nc,\0\r\n", 11)), {0}, ""},
        {"CR-only and mixed line ends", SourceBytes("a,1\rb,2\r\nc,3\n\rd,4"), {0}, ""},
        {"UTF-16 file",
         SourceBytes(std::string("\xFF\xFE"
                                 "a\0,\0"
                                 "1\0\r\0\n\0",
                                 12)),
         {0, 1, 2},
         ""},
        {"100 KB Map entry",
         SourceBytes("a,1\r\n", Repeat("001", 34000)),
         {1},
         "maps to an invalid US Postal Service Delivery Point value \"a\""},
        {"every row mapped to field 999: a short record writes them empty",
         SourceBytes("a,1\r\n", Repeat("999", 40)),
         {0},
         ""},
        {"huge and negative numbers in every setting",
         [settings](const fs::path& dir) {
             WriteFile(dir / "src.csv", "a,1\r\n");
             WriteFile(dir / "m.MAP",
                       MapText((dir / "src.csv").string(), "001", settings,
                               "[Default]\r\n001=-99999999999999999999\r\n[Merge]\r\n001=-1\r\n"
                               "002=99999999999\r\n003=4294967298\r\n"));
             return std::vector<std::string>{(dir / "m.MAP").string()};
         },
         {0},
         ""},
        {"merge chain over a 2 MB record",
         [](const fs::path& dir) {
             WriteFile(dir / "src.csv",
                       Repeat(std::string(2000, 'x') + ",", 999) + std::string(2000, 'x') + "\r\n");
             std::string merges = "[Merge]\r\n";
             for (int k = 1; k < 1000; ++k)
                 merges +=
                     std::to_string(1000 + k).substr(1) + "=" + std::to_string(k + 1) + "\r\n";
             WriteFile(dir / "m.MAP",
                       MapText((dir / "src.csv").string(), "001", "Delimiter=1\r\n", merges));
             return std::vector<std::string>{(dir / "m.MAP").string()};
         },
         {1},
         "Source record 1 is too large to map"},
        {"50 MB line of commas", SourceBytes(std::string(50 << 20, ',') + "\r\n"), {0}, ""},
        {"200 MB line without delimiters",
         [](const fs::path& dir) {
             // Written piece by piece: a child started by this process must not inherit the line.
             {
                 std::ofstream out(dir / "src.csv", std::ios::binary);
                 const std::string piece(1 << 20, 'x');
                 for (int i = 0; i < 200; ++i)
                     out << piece;
                 out << "\r\n";
             }
             WriteFile(dir / "m.MAP", MapText((dir / "src.csv").string()));
             return std::vector<std::string>{(dir / "m.MAP").string()};
         },
         {0, 1},
         ""},
        {"1,000,000 empty lines",
         SourceBytes(Repeat("\r\n", 1000000)),
         {0},
         "Your source file contains 1000000 NULL records."},
        {"symbolic link loop as source",
         SpecialSource(kLoop, false),
         {2},
         "Too many levels of symbolic links"},
        {"symbolic link loop as map",
         SpecialSource(kLoop, true),
         {2},
         "Too many levels of symbolic links"},
        {"FIFO as source", SpecialSource(kFifo, false), {2}, "It is not a regular file"},
        {"FIFO as map", SpecialSource(kFifo, true), {2}, "It is not a regular file"},
        {"folder as source", SpecialSource(kFolder, false), {2}, "Is a directory"},
        {"folder as map", SpecialSource(kFolder, true), {2}, "Is a directory"},
        {"/dev/zero as source", SpecialSource(kDevZero, false), {2}, "It is not a regular file"},
        {"/dev/zero as map", SpecialSource(kDevZero, true), {2}, "It is not a regular file"},
        {"folder as -o",
         [](const fs::path& dir) {
             fs::create_directory(dir / "out");
             WriteFile(dir / "src.csv", "a,1\r\n");
             WriteFile(dir / "m.MAP", MapText((dir / "src.csv").string()));
             return std::vector<std::string>{(dir / "m.MAP").string(), "-o",
                                             (dir / "out").string()};
         },
         {2},
         "\". Is a directory"},
        {"-o equal to the source",
         [](const fs::path& dir) {
             WriteFile(dir / "src.csv", "a,1\r\n");
             WriteFile(dir / "m.MAP", MapText((dir / "src.csv").string()));
             return std::vector<std::string>{(dir / "m.MAP").string(), "-o",
                                             (dir / "src.csv").string()};
         },
         {2},
         "which the output would replace"},
        {"source larger than the memory allowed",
         [](const fs::path& dir) {
             WriteFile(dir / "src.csv", "");
             fs::resize_file(dir / "src.csv", 400 << 20); // sparse: no disk used
             WriteFile(dir / "m.MAP", MapText((dir / "src.csv").string()));
             return std::vector<std::string>{(dir / "m.MAP").string()};
         },
         {2},
         "Not enough memory to load \"",
         ChildOptions{ChildOptions::Output::File, -1, 300L << 20, 20, {}}},
    };
}

// Under AddressSanitizer the program reserves a huge address space and keeps freed memory in
// quarantine, so its memory says nothing about the program's own and an address-space limit
// stops it from starting.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryMeasurable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryMeasurable = false;
#else
constexpr bool kMemoryMeasurable = true;
#endif
#else
constexpr bool kMemoryMeasurable = true;
#endif

long InputBytes(const fs::path& dir)
{
    long total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::error_code ec;
        if (entry.is_regular_file(ec) && !entry.is_symlink(ec))
            total += static_cast<long>(entry.file_size(ec));
    }
    return total;
}

TEST(HostileInput, EveryInputEndsInTimeWithItsStatusMessageAndBoundedMemory)
{
    for (const HostileCase& c : Cases()) {
        if (!kMemoryMeasurable && c.options.addressSpaceLimit > 0)
            continue;
        TempDir dir;
        std::vector<std::string> args = c.setup(dir.Path());
        args.insert(args.begin(), "run");
        const long inputBytes = c.options.addressSpaceLimit > 0 ? 0 : InputBytes(dir.Path());
        const ChildResult result = RunCliChild(args, c.options);
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.signal, 0);
        EXPECT_TRUE(c.statuses.count(result.status)) << result.status << ": " << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        if (result.status != 0) {
            EXPECT_FALSE(result.err.empty());
        }
        const long boundKb = (4 * inputBytes + (64L << 20)) / 1024;
        if (kMemoryMeasurable) {
            EXPECT_LE(result.maxRssKb, boundKb) << "input " << inputBytes << " bytes";
        }
    }
}

} // namespace
} // namespace impmap

#endif

#include "io/NativePath.h"

#include "../TestSupport.h"
#include "io/FileIo.h"
#include "io/TempFile.h"

#include <cstdio>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace impmap {
namespace {

namespace fs = std::filesystem;

fs::path U8(const char8_t* text)
{
    return fs::path(std::u8string(text));
}

TEST(NativePath, NamesSurviveTheRoundTrip)
{
    const std::pair<std::string, fs::path> cases[] = {
        {"", fs::path()},
        {"plain.MAP", U8(u8"plain.MAP")},
        {"\303\234bung \303\261 \346\235\261\344\272\254.MAP", U8(u8"Übung ñ 東京.MAP")},
        {"r\xC3\xA9sum\xC3\xA9/\xF0\x9F\x93\x84.txt", U8(u8"résumé/📄.txt")},
    };
    for (const auto& [utf8, expected] : cases) {
        const fs::path path = PathFromUtf8(utf8);
        EXPECT_EQ(path.native(), expected.native()) << utf8;
        EXPECT_EQ(Utf8FromPath(path), utf8);
    }
}

TEST(NativePath, WindowsFoldersAndFileNames)
{
#ifdef _WIN32
    // Drive letters, both separators, shares; the folder and the name come back as UTF-8.
    const struct
    {
        std::string path, folder, name;
    } cases[] = {
        {"C:\\Data\\\303\234bung\\x.MAP", "C:\\Data\\\303\234bung", "x.MAP"},
        {"c:/Data/x.MAP", "c:/Data", "x.MAP"},
        {"\\\\server\\share\\W-2.MAP", "\\\\server\\share", "W-2.MAP"},
        {"D:relative.MAP", "D:", "relative.MAP"},
    };
    for (const auto& c : cases) {
        const fs::path path = PathFromUtf8(c.path);
        EXPECT_EQ(Utf8FromPath(path.parent_path()), c.folder) << c.path;
        EXPECT_EQ(Utf8FromPath(path.filename()), c.name) << c.path;
    }
    EXPECT_EQ(Utf8FromWide(L"\u00DC\U0001F4C4"), "\xC3\x9C\xF0\x9F\x93\x84");
    EXPECT_EQ(Utf8FromWide(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
    // Text that is not UTF-8 is a name in the system's code page, as older map files hold it.
    if (GetACP() != 1252)
        GTEST_SKIP() << "the system code page is " << GetACP() << ", not 1252";
    EXPECT_EQ(PathFromUtf8("\334bung.TXT").native(), std::wstring(L"\u00DCbung.TXT"));
#else
    GTEST_SKIP() << "drive letters and UTF-16 names exist only on Windows";
#endif
}

TEST(NativePath, FilesWithNonAsciiNamesAreWrittenReadAndReported)
{
    test::TempDir dir;
    const std::string folder = Utf8FromPath(dir.Path()) + "/\303\234bung \346\235\261\344\272\254";
    fs::create_directory(PathFromUtf8(folder));
    const std::string file = folder + "/r\xC3\xA9sum\xC3\xA9.MAP";
    WriteFileAtomically(PathFromUtf8(file), "[Source]\r\n");

    // The name on disk is the Unicode name, not its bytes in some code page.
    const fs::path onDisk = dir.Path() / U8(u8"Übung 東京") / U8(u8"résumé.MAP");
    EXPECT_EQ(test::ReadFile(onDisk), "[Source]\r\n");
    EXPECT_EQ(ReadWholeFile(PathFromUtf8(file)), "[Source]\r\n");

    const fs::path missing = PathFromUtf8(folder + "/\xC3\xB1o.MAP");
    try {
        ReadWholeFile(missing);
        ADD_FAILURE() << "reading a missing file succeeded";
    } catch (const FileError& e) {
        EXPECT_EQ(
            std::string(e.what()).rfind("Cannot open file \"" + Utf8FromPath(missing) + "\". ", 0),
            0u)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("\xC3\xB1o.MAP\". "), std::string::npos);
    }
}

// The temporary files this program's temporary file function names ("imp*.tmp" on Windows).
size_t TemporaryFileCount()
{
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
        const std::string name = Utf8FromPath(entry.path().filename());
        if (name.starts_with("imp") && name.ends_with(".tmp"))
            ++count;
    }
    return count;
}

TEST(TemporaryFile, HoldsWhatIsWrittenAndLeavesNothingBehind)
{
    const size_t before = TemporaryFileCount();
    std::FILE* file = OpenTemporaryFile();
    ASSERT_NE(file, nullptr);
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 251);
    bytes += "\r\n\x1A\r\n"; // no text-mode translation, no end-of-file character
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::rewind(file);
    std::string back(bytes.size() + 10, '?');
    EXPECT_EQ(std::fread(back.data(), 1, back.size(), file), bytes.size());
    back.resize(bytes.size());
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_EQ(TemporaryFileCount(), before);
}

} // namespace
} // namespace impmap

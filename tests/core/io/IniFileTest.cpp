#include "io/IniFile.h"

#include "io/FileIo.h"

#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;

namespace impmap {
namespace {

const char kMapText[] = "[Source]\r\n"
                        "FileSpec=C:\\Data\\ale.csv\r\n"
                        "Decimal=0\r\n"
                        "Delimiter=1\r\n"
                        "Header=0\r\n"
                        "Trace=0\r\n"
                        "[Destination]\r\n"
                        "Form=ALE Group\r\n"
                        "Map=001002000004000000\r\n"
                        "[Default]\r\n"
                        "004=ABCD\r\n"
                        "005=0\r\n"
                        "[Merge]\r\n"
                        "002=3\r\n";

TEST(IniFile, WritesInOrderOfFirstWriteAndReadsNamesInAnyCase)
{
    IniFile ini;
    ini.WriteString("Source", "FileSpec", "C:\\Data\\old.csv");
    ini.WriteInteger("Source", "Decimal", 0);
    ini.WriteInteger("Source", "Delimiter", 1);
    ini.WriteInteger("Source", "Header", 0);
    ini.WriteInteger("Source", "Trace", 0);
    ini.WriteString("Destination", "Form", "ALE Group");
    ini.WriteString("Destination", "Map", "001002000004000000");
    ini.WriteString("Default", "004", "ABCD");
    ini.WriteString("Default", "005", "0");
    ini.WriteInteger("Merge", "002", 3);
    // Replacing, in any letter case, keeps the first spelling and position.
    ini.WriteString("SOURCE", "filespec", "C:\\Data\\ale.csv");
    EXPECT_EQ(ini.ToText(), kMapText);
    const IniFile parsed = IniFile::Parse(kMapText);
    EXPECT_EQ(parsed.ToText(), kMapText);
    EXPECT_EQ(parsed.ReadString("source", "FILESPEC", "?"), "C:\\Data\\ale.csv");
    EXPECT_EQ(parsed.ReadInteger("mErGe", "002", -1), 3);
}

TEST(IniFile, MissingSectionOrKeyGivesDefault)
{
    const IniFile ini = IniFile::Parse("[Source]\r\nEmpty=\r\n[Nothing]\r\n");
    EXPECT_EQ(ini.ReadString("Source", "FileSpec", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Other", "Empty", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nothing", "Key", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("Source", "Trace", 1), 1);
    EXPECT_FALSE(ini.HasKey("Source", "Trace"));
    // A key that is present but empty is an empty text, and not an integer.
    EXPECT_TRUE(ini.HasKey("Source", "Empty"));
    EXPECT_EQ(ini.ReadString("Source", "Empty", "dflt"), "");
    EXPECT_EQ(ini.ReadInteger("Source", "Empty", 7), 7);
    // Empty sections are not written.
    EXPECT_EQ(ini.ToText(), "[Source]\r\nEmpty=\r\n");
}

TEST(IniFile, ReadsIntegersAsWholeDecimalOrHexNumbers)
{
    const struct
    {
        const char* value;
        long expected;
    } cases[] = {{"12", 12},
                 {"-7", -7},
                 {"+5", 5},
                 {"007", 7},
                 {"  42  ", 42},
                 {"0x1F", 31},
                 {"-0x10", -16},
                 {"2147483647", 2147483647L},
                 {"-2147483648", -2147483647L - 1},
                 {"12abc", -99},
                 {"abc", -99},
                 {"1.5", -99},
                 {"0x", -99},
                 {"0xG", -99},
                 {"-", -99},
                 {"$1F", -99},
                 {"2147483648", -99},
                 {"-2147483649", -99},
                 {"0x80000000", -99}};
    for (const auto& c : cases) {
        IniFile ini;
        ini.WriteString("S", "K", c.value);
        EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.expected) << '"' << c.value << '"';
    }
}

TEST(IniFile, AcceptsEveryLineEnd)
{
    const char* texts[] = {
        "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n",
        "[A]\nx=1\ny=2\n[B]\nz=3\n",
        "[A]\rx=1\ry=2\r[B]\rz=3",
        "[A]\r\nx=1\ny=2\r[B]\n\rz=3",
    };
    for (const char* text : texts)
        EXPECT_EQ(IniFile::Parse(text).ToText(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n") << text;
}

TEST(IniFile, IgnoresBlankCommentAndStrayLines)
{
    const IniFile ini = IniFile::Parse("orphan=1\r\n"
                                       "\r\n"
                                       "  [ Source ]  \r\n"
                                       "\r\n"
                                       "; Decimal=5\r\n"
                                       "no equals sign\r\n"
                                       "=no key\r\n"
                                       "\t Decimal = 1 \t\r\n"
                                       "Decimal=2\r\n"
                                       "\r\n"
                                       "[Other]\r\n"
                                       "k=v\r\n"
                                       "[source]\r\n"
                                       "Header=1\r\n"
                                       "Decimal=3\r\n"
                                       "[Open\r\n"
                                       "k=w\r\n");
    EXPECT_EQ(ini.ToText(),
              "[Source]\r\nDecimal=1\r\nHeader=1\r\n[Other]\r\nk=v\r\n[Open]\r\nk=w\r\n");
}

TEST(IniFile, ReadsAtMost2047BytesOfAValue)
{
    const std::string longValue = std::string(2047, 'a') + "bcd";
    IniFile ini = IniFile::Parse("[S]\r\nK=" + longValue + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "K", ""), std::string(2047, 'a'));
    // The stored value is kept whole, so saving a document loses nothing it did not change.
    EXPECT_EQ(ini.ToText(), "[S]\r\nK=" + longValue + "\r\n");
    ini.WriteString("S", "K", std::string(2047, 'b'));
    EXPECT_EQ(ini.ReadString("S", "K", ""), std::string(2047, 'b'));
}

TEST(IniFile, ValuesAreTrimmedAndLineBreaksCannotSplitThem)
{
    IniFile ini;
    ini.WriteString("S", "Padded", "  padded\t ");
    ini.WriteString("S", "Broken", "one\r\n[Evil]\rtwo\nthree");
    const IniFile reread = IniFile::Parse(ini.ToText());
    EXPECT_EQ(reread.ReadString("S", "Padded", ""), "padded");
    EXPECT_EQ(reread.ReadString("S", "Broken", ""), "one  [Evil] two three");
    EXPECT_FALSE(reread.HasKey("Evil", "two"));
}

class IniFileOnDisk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("impmap-inifile-" + std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    fs::path dir_;
};

TEST_F(IniFileOnDisk, FixedValuesSurviveSaveAndReopen)
{
    const std::string values[] = {
        "ABCD",     "a=b=c", ";not a comment",  "[NOT A SECTION]",    "\"QUOTED\"",
        "'single'", "0x1F",  "C:\\Data\\x.csv", "\xC9T\xC9 \xFF\x80", std::string(2047, 'Z'),
    };
    IniFile ini;
    for (size_t i = 0; i < std::size(values); ++i)
        ini.WriteString("Default", std::to_string(i), values[i]);
    const fs::path path = dir_ / "values.MAP";
    ini.Save(path);
    const IniFile reopened = IniFile::Load(path);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(reopened.ReadString("default", std::to_string(i), "?"), values[i]) << i;
    EXPECT_EQ(reopened.ToText(), ini.ToText());
}

TEST_F(IniFileOnDisk, MissingFileIsAnEmptyDocument)
{
    for (const fs::path& path : {dir_ / "absent.MAP", dir_ / "absent" / "x.MAP"}) {
        const IniFile ini = IniFile::Load(path);
        EXPECT_EQ(ini.ToText(), "");
        EXPECT_EQ(ini.ReadInteger("Source", "Delimiter", 1), 1);
    }
}

TEST_F(IniFileOnDisk, UnreadableFileAndFailedSaveThrow)
{
    EXPECT_THROW(IniFile::Load(dir_), FileError);
    IniFile ini = IniFile::Parse(kMapText);
    const fs::path path = dir_ / "kept.MAP";
    ini.Save(path);
    ini.WriteString("Source", "FileSpec", "changed");
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_THROW(ini.Save(path), FileError);
    EXPECT_EQ(ReadWholeFile(path), kMapText);
}

} // namespace
} // namespace impmap

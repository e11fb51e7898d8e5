#include "WorkspaceFixture.h"
#include "convert/Rejection.h"
#include "execute/Engine.h"
#include "io/FileIo.h"

#include <filesystem>

namespace impmap {
namespace {

using test::ReadFile;
using test::WorkspaceFixture;
using Fields = std::vector<std::string>;

class Collector : public ExecuteCallbacks
{
public:
    void OutputLine(std::string_view line) override { output.append(line).append("\r\n"); }
    void Problem(const std::string& line) override { problems.push_back(line); }
    std::string output;
    std::vector<std::string> problems;
};

struct EncodingCase
{
    const char* folder;
    SourceFormat format;
};

// The fixture files hold the same records: a header of captions, then "Müller, José" with
// curly quotes and "José Müller"; the Windows-1252 ones add a record of every byte 0x80-0xFF.
const EncodingCase kCases[] = {
    {"utf8-bom", {TextEncoding::Utf8, true, LineEnd::CrLf}},
    {"utf8", {TextEncoding::Utf8, false, LineEnd::CrLf}},
    {"lf", {TextEncoding::Utf8, false, LineEnd::Lf}},
    {"mixed", {TextEncoding::Utf8, false, LineEnd::Lf}},
    {"windows-1252", {TextEncoding::Windows1252, false, LineEnd::CrLf}},
    {"cr", {TextEncoding::Windows1252, false, LineEnd::Cr}},
};

class SourceEncodings : public WorkspaceFixture
{
protected:
    std::filesystem::path Data(const std::string& folder, const char* file)
    {
        return test::DataPath("encodings/" + folder + "/" + file);
    }
};

TEST_F(SourceEncodings, EveryFormatReadsMapsRunsAndSavesAlike)
{
    for (const EncodingCase& c : kCases) {
        SCOPED_TRACE(c.folder);
        const bool utf8 = c.format.encoding == TextEncoding::Utf8;
        OpenSource(ReadFile(Data(c.folder, "source.csv")), HeaderMode::Read,
                   std::string(c.folder) + ".csv");
        EXPECT_EQ(workspace.Format(), c.format);
        EXPECT_EQ(workspace.RecordCount(), utf8 ? 3u : 4u);
        EXPECT_EQ(workspace.SourceFields(),
                  (Fields{"Name line 1", "Street address line 1", "City", "Rents"}));

        workspace.ChooseForm(22);
        workspace.MapByName();
        for (const auto& [caption, field] :
             {std::pair{"Name line 1", 1}, std::pair{"Street address line 1", 2},
              std::pair{"City", 3}, std::pair{"Rents", 4}})
            EXPECT_EQ(workspace.Rows()[static_cast<size_t>(RowOf(caption))].sourceFieldNo, field)
                << caption;

        workspace.SetHeader(HeaderMode::Skip);
        const Fields record =
            utf8 ? Fields{"M\xC3\xBCller, Jos\xC3\xA9", "1 \xE2\x80\x9CMain\xE2\x80\x9D St",
                          "K\xC3\xB6ln", "100.50"}
                 : Fields{"M\xFCller, Jos\xE9", "1 \x93Main\x94 St", "K\xF6ln", "100.50"};
        EXPECT_EQ(workspace.SourceFields(), record);

        Collector run;
        const ExecuteResult result =
            Execute(workspace, run, ExecuteOptions{CivilDate{2022, 6, 1}, false});
        EXPECT_EQ(result.outcome, ExecuteResult::Outcome::Completed) << result.message;
        EXPECT_EQ(run.output, ReadFile(test::DataPath(utf8 ? "encodings/output-utf8.txt"
                                                           : "encodings/output-windows-1252.txt")));

        workspace.GoToRecord(2);
        EXPECT_EQ(workspace.ChangeSourceFieldValue(4, "8"), FieldEdit::FirstChange);
        workspace.SaveSource();
        EXPECT_EQ(ReadFile(workspace.SourcePath()), ReadFile(Data(c.folder, "saved.csv")));
    }
}

// A saved source reads back in its own encoding with its records; bytes that would read back
// otherwise are not written, and the edits stay.
TEST_F(SourceEncodings, SavedSourceReadsBackInItsEncoding)
{
    struct Case
    {
        std::string source;
        std::string typed;
        bool saved;
    };
    const Case cases[] = {
        {"M\xFCller,1\r\nDoe,2\r\n", "\xC2\xA0x", true},   // another byte keeps it 1252
        {"Doe,1\r\nRoe,2\r\n", "\xE9", true},              // a lone accented letter
        {"Doe,1\r\nRoe,2\r\n", "\xC2\xA0x", false},        // "Â" and a non-breaking space
        {"K\xC3\xB6ln,1\r\nRoe,2\r\n", "\xC3\xA9x", true}, // UTF-8 stays UTF-8
    };
    for (const Case& c : cases) {
        OpenSource(c.source);
        const SourceFormat format = workspace.Format();
        workspace.GoToRecord(2);
        ASSERT_EQ(workspace.ChangeSourceFieldValue(1, c.typed), FieldEdit::FirstChange);
        const std::vector<std::string> fields = workspace.SourceFields();
        if (!c.saved) {
            EXPECT_THROW(workspace.SaveSource(), Rejection) << c.typed;
            EXPECT_TRUE(workspace.SourceModified());
            EXPECT_EQ(ReadFile(workspace.SourcePath()), c.source);
            continue;
        }
        workspace.SaveSource();
        workspace.OpenSource();
        EXPECT_EQ(workspace.Format().encoding, format.encoding) << c.typed;
        workspace.GoToRecord(2);
        EXPECT_EQ(workspace.SourceFields(), fields) << c.typed;
    }
}

TEST_F(SourceEncodings, Utf16IsRefusedAndNothingLoaded)
{
    for (const char* folder : {"utf16le", "utf16be", "utf16le-nomark"}) {
        SCOPED_TRACE(folder);
        const std::string form = std::string(folder) == "utf16be" ? "UTF-16 BE" : "UTF-16 LE";
        const std::string path = dir.File(std::string(folder) + ".csv");
        test::WriteFile(path, ReadFile(Data(folder, "source.csv")));
        workspace.SetSourcePath(path);
        try {
            workspace.OpenSource();
            ADD_FAILURE() << "loaded";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot open file \"" + path + "\". It is " + form +
                          " text, which cannot be read here: save it as UTF-8 or ANSI text and "
                          "open it again");
        }
        EXPECT_FALSE(workspace.SourceLoaded());
        EXPECT_EQ(workspace.RecordCount(), 0u);
        EXPECT_EQ(workspace.SourcePath(), "");
    }
}

TEST_F(SourceEncodings, BrokenRecordsAreWarnedAndJoinedInTheFileFormat)
{
    OpenSource("\xEF\xBB\xBFName line 1,City\n\"Doe\nJohn\",\"New\nYork\"\nRoe,Boston\n",
               HeaderMode::Skip);
    EXPECT_EQ(workspace.RecordsEndingInsideQuotes(), (std::vector<long>{1, 2}));
    workspace.ChooseForm(22);
    workspace.AssignSourceField(RowOf("Name line 1"), 1);
    Collector check;
    const ExecuteResult result =
        Execute(workspace, check, ExecuteOptions{CivilDate{2022, 6, 1}, true});
    EXPECT_EQ(check.problems,
              (std::vector<std::string>{
                  "Record 1: Warning: the record ends inside a quoted value; the next line "
                  "continues it (a cell with a line break?)",
                  "Record 2: Warning: the record ends inside a quoted value; the next line "
                  "continues it (a cell with a line break?)"}));
    EXPECT_EQ(result.problems, 2);
    EXPECT_EQ(result.failures, 0);

    const std::string before = ReadFile(workspace.SourcePath());
    const JoinedLines joined = workspace.JoinLinesBrokenInsideQuotes();
    EXPECT_EQ(joined.joins, 2u);
    EXPECT_EQ(joined.backupPath, workspace.SourcePath() + ".bak");
    EXPECT_EQ(ReadFile(joined.backupPath), before);
    EXPECT_EQ(ReadFile(workspace.SourcePath()),
              "\xEF\xBB\xBFName line 1,City\n\"Doe John\",\"New York\"\nRoe,Boston\n");
    EXPECT_EQ(workspace.RecordCount(), 2u);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"Doe John", "New York"}));
    EXPECT_FALSE(workspace.SourceModified());
    const JoinedLines none = workspace.JoinLinesBrokenInsideQuotes();
    EXPECT_EQ(none.joins, 0u);
    EXPECT_EQ(none.backupPath, "");
    EXPECT_EQ(ReadFile(joined.backupPath), before);
}

// A backup that cannot be written stops the join before the file is touched; a file that is gone
// leaves nothing to keep.
TEST_F(SourceEncodings, JoiningKeepsTheFileAsItWasOrWritesNothing)
{
    const std::string broken = "a,\"b\r\nc\"\r\nd,e\r\n";
    OpenSource(broken);
    std::filesystem::create_directory(workspace.SourcePath() + ".bak");
    EXPECT_THROW(workspace.JoinLinesBrokenInsideQuotes(), FileError);
    EXPECT_EQ(ReadFile(workspace.SourcePath()), broken);
    EXPECT_TRUE(workspace.SourceModified());
    std::filesystem::remove(workspace.SourcePath() + ".bak");

    OpenSource(broken, HeaderMode::Read, "gone.csv");
    std::filesystem::remove(workspace.SourcePath());
    const JoinedLines joined = workspace.JoinLinesBrokenInsideQuotes();
    EXPECT_EQ(joined.joins, 1u);
    EXPECT_EQ(joined.backupPath, "");
    EXPECT_EQ(ReadFile(workspace.SourcePath()), "a,\"b c\"\r\nd,e\r\n");
}

} // namespace
} // namespace impmap

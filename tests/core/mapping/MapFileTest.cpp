#include "../execute/EngineRuns.h"
#include "WorkspaceFixture.h"
#include "convert/Rejection.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/SourceLocation.h"

#include <filesystem>

namespace impmap {
namespace {

using test::ReadFile;
using test::WorkspaceFixture;
using test::WriteFile;

class MapFile : public WorkspaceFixture
{
protected:
    // The ALE Group mapping: fields 1, 2 and 4 feed rows 0, 1 and 3; row 4 fixed ABCD;
    // field 3 merged into field 2.
    void BuildAleMapping()
    {
        OpenSource("c1,name,extra,ein\r\n");
        workspace.ChooseForm(2);
        workspace.AssignSourceField(0, 1);
        workspace.AssignSourceField(1, 2);
        workspace.AssignSourceField(3, 4);
        workspace.SetFixedValue(4, std::string("ABCD"));
        workspace.MergeInto(2, 3);
        workspace.SetTrace(TraceMode::On);
    }

    std::string MapText(const std::string& source, const std::string& extra = "")
    {
        return "[Source]\r\nFileSpec=" + source +
               "\r\nDecimal=0\r\nDelimiter=1\r\nHeader=0\r\nTrace=0\r\n[Destination]\r\n"
               "Form=ALE Group\r\nMap=001002000004000000\r\n" +
               extra;
    }
};

TEST_F(MapFile, SavesTheStatedLayout)
{
    BuildAleMapping();
    const std::string path = dir.File("ale.MAP");
    workspace.SaveMapping(path);
    EXPECT_EQ(ReadFile(path),
              MapText(workspace.SourcePath(),
                      "[Default]\r\n004=ABCD\r\n005=0\r\n[Merge]\r\n002=3\r\n[Source Header]\r\n"
                      "001=c1\r\n002=name\r\n003=extra\r\n004=ein\r\n"));
    EXPECT_FALSE(workspace.MappingModified());
    EXPECT_EQ(workspace.MapFileName(), "ale.MAP");
    EXPECT_EQ(workspace.LastMappingPath(), path);
    EXPECT_EQ(workspace.WindowCaption(), "Vellorum - 2022 Import Mapping Utility 31.00 (ale.MAP)");
}

TEST_F(MapFile, SaveThenOpenRoundTrip)
{
    BuildAleMapping();
    workspace.SetDecimal(DecimalMode::Implied);
    const std::string path = dir.File("ale.MAP");
    workspace.SaveMapping(path);

    Workspace reopened;
    reopened.OpenMapping(path);
    reopened.GoToRecord(1);
    ASSERT_EQ(reopened.Rows().size(), workspace.Rows().size());
    for (size_t i = 0; i < reopened.Rows().size(); ++i) {
        EXPECT_EQ(reopened.Rows()[i].sourceFieldNo, workspace.Rows()[i].sourceFieldNo) << i;
        EXPECT_EQ(reopened.Rows()[i].value, workspace.Rows()[i].value) << i;
    }
    EXPECT_EQ(reopened.MergeSources(), workspace.MergeSources());
    EXPECT_EQ(reopened.Decimal(), DecimalMode::Implied);
    EXPECT_EQ(reopened.Delimiter(), Delimiter::Comma);
    EXPECT_EQ(reopened.Trace(), TraceMode::On);
    EXPECT_EQ(reopened.SourceFields()[1], "name extra");
    EXPECT_FALSE(reopened.MappingModified());
    EXPECT_EQ(reopened.LastMappingPath(), path);
}

// The source's header line goes into [Source Header] when the file has one: the line Header Skip
// takes away, or under Header Read a first line of names; opening a map brings it back.
TEST_F(MapFile, SourceHeaderIsSavedWhenTheFileHasAHeaderLine)
{
    struct Case
    {
        const char* source;
        HeaderMode header;
        const char* section; // the [Source Header] section written, empty for none
        std::vector<std::string> stored;
    };
    const Case cases[] = {
        {"Name,Tax ID,,Amount\r\nAl,123456789,,5\r\n",
         HeaderMode::Skip,
         "[Source Header]\r\n001=Name\r\n002=Tax ID\r\n003=\r\n004=Amount\r\n",
         {"Name", "Tax ID", "", "Amount"}},
        {"Name,Tax ID\r\nAl,123456789\r\n",
         HeaderMode::Read,
         "[Source Header]\r\n001=Name\r\n002=Tax ID\r\n",
         {"Name", "Tax ID"}},
        // A first line that is a record (amounts, numbers) is no header.
        {"Al,123456789,5.00\r\nBo,123456780,6.00\r\n", HeaderMode::Read, "", {}},
        {"Al,123456789,5.00\r\n",
         HeaderMode::Skip,
         "[Source Header]\r\n001=Al\r\n002=123456789\r\n003=5.00\r\n",
         {"Al", "123456789", "5.00"}},
    };
    for (const Case& c : cases) {
        OpenSource(c.source, c.header);
        workspace.ChooseForm(23);
        const std::string path = dir.File("h.MAP");
        workspace.SaveMapping(path);
        const std::string text = ReadFile(path);
        const size_t at = text.find("[Source Header]");
        EXPECT_EQ(at == std::string::npos ? "" : text.substr(at), c.section) << c.source;

        Workspace reopened;
        reopened.OpenMapping(path);
        EXPECT_EQ(reopened.StoredHeader(), c.stored) << c.source;
    }
    // A map without the section (an older one) stores no header, and says nothing of the last.
    Workspace reopened;
    reopened.OpenMapping(dir.File("h.MAP"));
    WriteFile(dir.File("old.MAP"), MapText(workspace.SourcePath()));
    reopened.OpenMapping(dir.File("old.MAP"));
    EXPECT_TRUE(reopened.StoredHeader().empty());
}

// The TIN type a run writes depends on the mapping and the file alone: not on the records looked
// at before, not on an earlier run; a run leaves the map as Save Map writes it, and the map saved,
// reopened and run writes the same lines.
TEST_F(MapFile, TinTypeDependsOnlyOnTheMappingAndTheFile)
{
    struct Case
    {
        const char* fixedTinType; // nullptr: none given
        std::vector<int> moves;   // navigation before the run: +1 Next, -1 Previous
        const char* firstType;    // what record 1 (a nine-digit id) is written with
    };
    const Case cases[] = {
        {nullptr, {}, "N/A"}, {nullptr, {+1, -1}, "N/A"}, {nullptr, {+1}, "N/A"},
        {"EIN", {}, "EIN"},   {"EIN", {+1, -1}, "EIN"},   {"ssn", {+1}, "SSN"},
    };
    const std::string source = "Roe,123456789\r\nDoe,12-3456789\r\nPoe,\r\nZoe,987654321\r\n";
    for (const Case& c : cases) {
        const std::string label = std::string(c.fixedTinType ? c.fixedTinType : "none") + " " +
                                  std::to_string(c.moves.size());
        Workspace w;
        WriteFile(dir.File("tin.csv"), source);
        w.SetSourcePath(dir.File("tin.csv"));
        w.OpenSource();
        w.ChooseForm(22);
        auto row = [&](const std::string& caption) {
            for (size_t i = 0; i < w.Rows().size(); ++i) {
                if (w.Rows()[i].caption == caption)
                    return static_cast<int>(i);
            }
            ADD_FAILURE() << caption;
            return 0;
        };
        w.AssignSourceField(row("Name line 1"), 1);
        w.AssignSourceField(row("Taxpayer id"), 2);
        if (c.fixedTinType)
            w.SetFixedValue(row("TIN Type"), std::string(c.fixedTinType));
        for (int move : c.moves) {
            if (move > 0)
                w.NavigateNext();
            else
                w.NavigatePrevious();
        }
        const std::string before = dir.File("before.MAP");
        w.SaveMapping(before);
        auto run = [](Workspace& ws, bool fast) {
            test::CallLog log(0, false, false);
            const ExecuteOptions options{CivilDate{2022, 6, 1}, false};
            if (fast)
                ExecuteFast(ws, log, options, FastOptions{});
            else
                Execute(ws, log, options);
            std::vector<std::string> lines;
            for (const std::string& call : log.calls) {
                if (call.rfind("line ", 0) == 0)
                    lines.push_back(call.substr(5));
            }
            return lines;
        };
        const std::vector<std::string> plain = run(w, false);
        ASSERT_EQ(plain.size(), 4U) << label;
        EXPECT_NE(plain[0].find(std::string(",") + c.firstType + ",123456789"), std::string::npos)
            << label << ": " << plain[0];
        EXPECT_NE(plain[1].find(",EIN,123456789"), std::string::npos) << label << plain[1];
        EXPECT_NE(plain[2].find(",N/A,"), std::string::npos) << label << plain[2];
        EXPECT_NE(plain[3].find(std::string(",") + c.firstType + ",987654321"), std::string::npos)
            << label << ": " << plain[3];
        EXPECT_EQ(run(w, true), plain) << label;
        // The record shown after the run says what the run wrote for it.
        EXPECT_EQ(w.Rows()[static_cast<size_t>(row("TIN Type"))].value,
                  w.CurrentRecord() == 2 ? "EIN" : c.firstType)
            << label;

        const std::string after = dir.File("after.MAP");
        w.SaveMapping(after);
        EXPECT_EQ(ReadFile(after), ReadFile(before)) << label;
        const std::string text = ReadFile(after);
        const bool fixedSaved = text.find("\r\n010=") != std::string::npos;
        EXPECT_EQ(fixedSaved, c.fixedTinType != nullptr) << label << "\n" << text;

        Workspace reopened;
        reopened.OpenMapping(after);
        EXPECT_EQ(run(reopened, false), plain) << label;
        EXPECT_EQ(run(reopened, true), plain) << label;
        const std::string again = dir.File("again.MAP");
        reopened.SaveMapping(again);
        EXPECT_EQ(ReadFile(again), ReadFile(after)) << label;
    }
}

TEST_F(MapFile, FixedValueWithSurroundingTextSurvivesUnchanged)
{
    OpenSource("a,b\r\n");
    workspace.ChooseForm(22);
    workspace.SetFixedValue(RowOf("Account number"), std::string("ACCT = 1; #2"));
    const std::string path = dir.File("m.MAP");
    workspace.SaveMapping(path);
    Workspace reopened;
    reopened.OpenMapping(path);
    EXPECT_EQ(reopened.Rows()[RowOf("Account number")].value, "ACCT = 1; #2");
}

// A fixed value reads back from the map file exactly as typed, or is refused when typed.
TEST_F(MapFile, FixedValuesTheMapFileCannotKeepAreRefused)
{
    struct Case
    {
        std::string typed;
        const char* refusal; // empty: kept whole
    };
    const Case cases[] = {
        {std::string(2047, 'A'), ""},
        {std::string(2048, 'A'), "The value for \"Account number\" is 2048 bytes long; a map file "
                                 "keeps at most 2047 bytes of a fixed value."},
        {"A\nB", "The value for \"Account number\" holds a line break, which a map file cannot "
                 "keep. Type it on one line."},
        {"A\rB", "The value for \"Account number\" holds a line break, which a map file cannot "
                 "keep. Type it on one line."},
    };
    OpenSource("a,b\r\n");
    for (const Case& c : cases) {
        workspace.ChooseForm(22);
        const int row = RowOf("Account number");
        std::string refusal;
        try {
            workspace.SetFixedValue(row, c.typed);
        } catch (const Rejection& e) {
            refusal = e.what();
        }
        EXPECT_EQ(refusal, c.refusal) << c.typed.size();
        EXPECT_EQ(ValueOf("Account number"), refusal.empty() ? c.typed : "") << c.typed.size();
        const std::string path = dir.File("m.MAP");
        workspace.SaveMapping(path);
        Workspace reopened;
        reopened.OpenMapping(path);
        EXPECT_EQ(reopened.Rows()[static_cast<size_t>(row)].value, ValueOf("Account number"))
            << c.typed.size();
    }
}

TEST_F(MapFile, SettingsFallBackAndClamp)
{
    OpenSource("a,b\r\n");
    const std::string path = dir.File("m.MAP");
    WriteFile(path, "[source]\r\nfilespec=" + workspace.SourcePath() +
                        "\r\nDecimal=5\r\nDelimiter=7\r\nHeader=0x0\r\nTrace=abc\r\n"
                        "[DESTINATION]\r\nFORM=ale group\r\nMap=00100\r\n");
    Workspace reopened;
    reopened.SetTrace(TraceMode::On);
    reopened.OpenMapping(path);
    EXPECT_EQ(reopened.FormIndex(), 2);
    EXPECT_EQ(reopened.Decimal(), DecimalMode::Implied);
    EXPECT_EQ(reopened.Delimiter(), Delimiter::Comma); // none chosen, then the first line decides
    EXPECT_EQ(reopened.Header(), HeaderMode::Read);
    EXPECT_EQ(reopened.Trace(), TraceMode::Off); // not a number: the default Off
    EXPECT_EQ(reopened.Rows()[0].sourceFieldNo, 1);
    EXPECT_EQ(reopened.Rows()[1].sourceFieldNo, 0);
}

TEST_F(MapFile, SettingsAreReadAsThirtyTwoBitIntegersEverywhere)
{
    OpenSource("a,b\r\n");
    struct Case
    {
        const char* decimal;
        const char* merge;
        DecimalMode decimalRead;
        int mergeRead;
    };
    const Case cases[] = {
        {"1", "3", DecimalMode::Implied, 3},
        {"4294967296", "4294967299", DecimalMode::Normal, 0},
        {"-4294967296", "-4294967295", DecimalMode::Normal, 0},
        {"2147483647", "2147483647", DecimalMode::Implied, 0},
        {"2147483648", "1001", DecimalMode::Normal, 0},
        {"-2147483648", "1000", DecimalMode::None, 1000},
        {"99999999999999999999", "0x3", DecimalMode::Normal, 3},
        {"0x00000001", "+2", DecimalMode::Implied, 2},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File("m.MAP");
        WriteFile(path,
                  "[Source]\r\nFileSpec=" + workspace.SourcePath() + "\r\nDecimal=" + c.decimal +
                      "\r\n[Destination]\r\nForm=ALE Group\r\n[Merge]\r\n002=" + c.merge + "\r\n");
        Workspace reopened;
        reopened.OpenMapping(path);
        EXPECT_EQ(reopened.Decimal(), c.decimalRead) << c.decimal;
        EXPECT_EQ(reopened.MergeSources()[2], c.mergeRead) << c.merge;
    }
}

TEST_F(MapFile, ByteOrderMarkBeforeTheFirstSectionIsSkipped)
{
    BuildAleMapping();
    const std::string path = dir.File("bom.MAP");
    WriteFile(path, "\xEF\xBB\xBF" + MapText(workspace.SourcePath()));
    Workspace reopened;
    reopened.OpenMapping(path);
    EXPECT_TRUE(reopened.SourceLoaded());
    EXPECT_EQ(reopened.SourcePath(), workspace.SourcePath());
    EXPECT_EQ(reopened.Trace(), TraceMode::On);
}

// Opening a map is all or nothing: a file that is no map, or whose Map entry is damaged, is
// refused before anything changes, saying why.
TEST_F(MapFile, AMapThatCannotBeReadChangesNothing)
{
    BuildAleMapping();
    const std::string saved = dir.File("ale.MAP");
    workspace.SaveMapping(saved);
    workspace.SetDecimal(DecimalMode::Implied); // changed since saved
    const std::string other = dir.File("other.csv");
    WriteFile(other, "x,y\r\n");
    const std::string path = dir.File("bad.MAP");
    std::string damaged = MapText(other);
    damaged.replace(damaged.find("002000"), 6, "0X2000");
    std::string randomBytes;
    for (int i = 0; i < 4096; ++i)
        randomBytes += static_cast<char>((i * 7919 + 13) % 256);
    const struct
    {
        const char* name;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"damaged Map entry", damaged + "[Default]\r\n005=9\r\n",
         "The map file " + path +
             " is damaged: \"0X2\" in its Map entry is not a source field number."},
        {"random bytes", randomBytes,
         "The map file " + path +
             " cannot be read: it holds neither a [Source] nor a [Destination] section (it may "
             "not be a map file at all)."},
        {"text without sections", "FileSpec=" + other + "\r\nTrace=1\r\n",
         "The map file " + path +
             " cannot be read: it holds neither a [Source] nor a [Destination] section (it may "
             "not be a map file at all)."},
        {"empty file", "",
         "The map file " + path +
             " cannot be read: it holds neither a [Source] nor a [Destination] section (it may "
             "not be a map file at all)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(path, c.bytes);
        const MappingState before = workspace.CaptureMapping();
        const std::string sourceBefore = workspace.SourcePath();
        try {
            workspace.OpenMapping(path);
            ADD_FAILURE() << "opened";
        } catch (const Rejection& refused) {
            EXPECT_EQ(std::string(refused.what()), c.message);
        }
        EXPECT_EQ(workspace.CaptureMapping(), before);
        EXPECT_EQ(workspace.SourcePath(), sourceBefore);
        EXPECT_EQ(workspace.RecordCount(), 1u);
        EXPECT_TRUE(workspace.MappingModified());
        EXPECT_EQ(workspace.MapFileName(), "ale.MAP");
        EXPECT_EQ(workspace.LastMappingPath(), saved);
        EXPECT_EQ(workspace.Trace(), TraceMode::On);
        EXPECT_EQ(workspace.Decimal(), DecimalMode::Implied);
    }
}

// A relative FileSpec names a file in the map file's folder, else in the program's folder.
TEST_F(MapFile, RelativeFileSpecIsLookedForBesideTheMapThenInTheProgramFolder)
{
    const std::string mapFolder = dir.File("maps");
    const std::string programFolder = dir.File("program");
    std::filesystem::create_directories(PathFromUtf8(mapFolder) / "data");
    std::filesystem::create_directories(PathFromUtf8(programFolder) / "data");
    const std::string map = mapFolder + "/m.MAP";
    const std::string previous = ProgramFolder();
    SetProgramFolder(programFolder);
    const struct
    {
        const char* name;
        std::vector<std::string> present; // files written, relative to dir
        std::string expected;             // the source path the map opens
    } cases[] = {
        {"beside the map",
         {"maps/data/src.csv", "program/data/src.csv"},
         mapFolder + "/data/src.csv"},
        {"in the program folder", {"program/data/src.csv"}, programFolder + "/data/src.csv"},
        {"in neither: as written", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(PathFromUtf8(mapFolder + "/data/src.csv"));
        std::filesystem::remove(PathFromUtf8(programFolder + "/data/src.csv"));
        for (const std::string& file : c.present)
            WriteFile(dir.File(file), "a,b\r\n");
        WriteFile(map, MapText("data/src.csv"));
        Workspace opened;
        if (c.expected.empty()) {
            EXPECT_THROW(opened.OpenMapping(map), FileError);
            EXPECT_FALSE(opened.SourceLoaded());
        } else {
            opened.OpenMapping(map);
            EXPECT_TRUE(opened.SourceLoaded());
            EXPECT_EQ(PathFromUtf8(opened.SourcePath()), PathFromUtf8(c.expected));
        }
    }
    // An absolute FileSpec is taken as written.
    EXPECT_EQ(ResolveFileSpec(mapFolder + "/none.csv", map), mapFolder + "/none.csv");
    SetProgramFolder(previous);
}

TEST_F(MapFile, UnknownFormOrMissingSourceIsNotRemembered)
{
    OpenSource("a,b\r\n");
    const std::string path = dir.File("m.MAP");
    std::string text = MapText(workspace.SourcePath());
    WriteFile(path, text.replace(text.find("ALE Group"), 9, "Nothing"));
    Workspace unknownForm;
    unknownForm.OpenMapping(path);
    EXPECT_TRUE(unknownForm.Rows().empty());
    EXPECT_TRUE(unknownForm.SourceLoaded()); // the source is still opened
    EXPECT_EQ(unknownForm.LastMappingPath(), "");

    WriteFile(path, MapText(dir.File("gone.csv")));
    Workspace goneSource;
    EXPECT_THROW(goneSource.OpenMapping(path), FileError);
    EXPECT_EQ(goneSource.SourcePath(), "");
    EXPECT_EQ(goneSource.Rows()[1].sourceFieldNo, 2);
    EXPECT_EQ(goneSource.WindowCaption(), "Vellorum - 2022 Import Mapping Utility 31.00");

    Workspace missingMap;
    missingMap.OpenMapping(dir.File("none.MAP"));
    EXPECT_TRUE(missingMap.Rows().empty());
    EXPECT_EQ(missingMap.Delimiter(), Delimiter::Comma);
}

TEST_F(MapFile, WriteFailureKeepsTheMappingUnsaved)
{
    BuildAleMapping();
    const std::string path = (dir.Path() / "missing" / "x.MAP").string();
    try {
        workspace.SaveMapping(path);
        ADD_FAILURE();
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + path + ". No such file or directory");
    }
    EXPECT_TRUE(workspace.MappingModified());
    EXPECT_EQ(workspace.MapFileName(), "");
    EXPECT_EQ(workspace.LastMappingPath(), "");
}

TEST_F(MapFile, ProposedNames)
{
    OpenSource("a\r\n", HeaderMode::Read, "payees.csv");
    workspace.ChooseForm(36);
    EXPECT_EQ(workspace.ProposedMapFileName(), "payeesW2C");
    EXPECT_EQ(workspace.ProposedOutputFileName(), "payeesW2C");
    workspace.ChooseForm(5);
    EXPECT_EQ(workspace.ProposedOutputFileName(), "payees1095B CI");
    workspace.SaveMapping(dir.File("mine.MAP"));
    EXPECT_EQ(workspace.ProposedMapFileName(), "mine.MAP");
}

} // namespace
} // namespace impmap

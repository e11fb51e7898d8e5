#include "WorkspaceFixture.h"
#include "convert/Rejection.h"
#include "io/FileIo.h"
#include "schema/FormCatalogue.h"
#include "source/QuotedLineBreaks.h"

#include <filesystem>
#include <functional>

namespace impmap {
namespace {

using test::ReadFile;
using test::WorkspaceFixture;
using Fields = std::vector<std::string>;

class SourceBrowsing : public WorkspaceFixture
{};

TEST_F(SourceBrowsing, OpeningDetectsTheDelimiterAndShowsRecordOne)
{
    OpenSource("name|amount,x\r\nDoe|12\r\n");
    EXPECT_EQ(workspace.Delimiter(), Delimiter::Pipe);
    EXPECT_EQ(workspace.RecordCount(), 2u);
    EXPECT_EQ(workspace.HeaderRecord(), "name|amount,x");
    EXPECT_EQ(workspace.CurrentRecord(), 1);
    EXPECT_EQ(workspace.ShownRecord(), 1);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"name", "amount,x"}));
    EXPECT_EQ(workspace.CurrentRecordText(), "name|amount,x");
    EXPECT_TRUE(workspace.SourceLoaded());
    EXPECT_TRUE(workspace.MappingModified());
}

TEST_F(SourceBrowsing, HeaderSkipDropsTheFirstLineButKeepsIt)
{
    OpenSource("only header\r\n", HeaderMode::Skip);
    EXPECT_EQ(workspace.RecordCount(), 0u);
    EXPECT_EQ(workspace.HeaderRecord(), "only header");
    EXPECT_EQ(workspace.ShownRecord(), 0);

    OpenSource("h1,h2\r\na,b\r\n", HeaderMode::Skip);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"a", "b"}));
    workspace.SetHeader(HeaderMode::Read); // reloads with the header as record 1
    EXPECT_EQ(workspace.SourceFields(), (Fields{"h1", "h2"}));
}

TEST_F(SourceBrowsing, EmptyAndUnreadableFiles)
{
    // An empty file is refused, saying so, and leaves no source.
    try {
        OpenSource("");
        ADD_FAILURE() << "an empty file was opened";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), dir.File("src.csv") + " is empty");
    }
    EXPECT_FALSE(workspace.SourceLoaded());
    EXPECT_EQ(workspace.RecordCount(), 0u);
    EXPECT_EQ(workspace.HeaderRecord(), "");
    EXPECT_TRUE(workspace.SourceFields().empty());

    // A load that leaves no record leaves no fields of the record shown before.
    OpenSource("Doe,123-45-6789\r\n");
    workspace.ChooseForm(22);
    workspace.SetHeader(HeaderMode::Skip);
    EXPECT_EQ(workspace.RecordCount(), 0u);
    EXPECT_TRUE(workspace.SourceFields().empty());
    EXPECT_EQ(workspace.SourceFieldCount(), 0u);
    EXPECT_FALSE(workspace.ExecuteEnabled());
    workspace.AssignSourceField(0, 1);
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 0);

    workspace.SetSourcePath(dir.File("missing.csv"));
    EXPECT_THROW(workspace.OpenSource(), FileError);
    EXPECT_FALSE(workspace.SourceLoaded());
    EXPECT_EQ(workspace.SourcePath(), "");
    EXPECT_EQ(workspace.RecordCount(), 0u);
}

// What a load leaves in a workspace, whole: the settings it touches, the format, every record
// and the record shown.
// The records broken inside quoted values, as "3 7".
std::string BrokenRecords(const Workspace& w)
{
    std::string text;
    for (const long record : w.RecordsEndingInsideQuotes())
        text += std::to_string(record) + " ";
    return text;
}

std::string LoadedState(const Workspace& w)
{
    std::string text =
        "loaded " + std::to_string(w.SourceLoaded()) + ", path " + w.SourcePath() + ", sheet " +
        w.Sheet() + ", workbook " + std::to_string(w.SourceIsWorkbook()) + ", header " +
        std::to_string(ChoiceIndex(w.Header())) + ", delimiter " +
        std::to_string(ChoiceIndex(w.Delimiter())) + ", " + EncodingName(w.Format().encoding) +
        (w.Format().byteOrderMark ? " with mark" : "") + ", line end " +
        std::string(LineEndText(w.Format().lineEnd)) + ", ascii " +
        std::to_string(w.Format().ascii) + ", header record " + w.HeaderRecord() + ", shown " +
        std::to_string(w.ShownRecord()) + ", changed " + std::to_string(w.MappingModified()) +
        std::to_string(w.SourceModified()) + ", sheet errors " +
        std::to_string(w.SheetErrors().size()) + ", broken " + BrokenRecords(w) + "\n";
    for (size_t i = 0; i < w.RecordCount(); ++i)
        text.append(w.Lines().Line(i)).append("\n");
    for (const std::string& field : w.SourceFields())
        text.append("[").append(field).append("]");
    return text;
}

TEST_F(SourceBrowsing, AReadAheadGivesWhatAReadGivesWithoutReadingAgain)
{
    struct Case
    {
        const char* name;
        const char* bytes; // nullptr: no such file; "*": a copy of a workbook
        HeaderMode header;
        // What is done with the source: opened; or opened under Read, then the Header set to
        // Skip or the delimiter changed (each of which reads it again).
        enum
        {
            Open,
            SkipHeader,
            Delimiter
        } action;
        const char* failure; // the message of a load that fails, after the path
    };
    const Case cases[] = {
        {"plain.csv", "name,tin\r\nDoe,123\r\n", HeaderMode::Read, Case::Open, nullptr},
        {"marked.txt",
         "\xEF\xBB\xBF"
         "n\xC3\xA9"
         "e|x\nb|c\n",
         HeaderMode::Skip, Case::Open, nullptr},
        {"header.csv", "h1,h2\ra,b\r", HeaderMode::Read, Case::SkipHeader, nullptr},
        {"tabs.txt", "a\tb,c\r\n", HeaderMode::Read, Case::Delimiter, nullptr},
        {"book.xlsx", "*", HeaderMode::Skip, Case::Open, nullptr},
        // Quoted values broken over lines; the header line, when taken, opens none.
        {"broken.csv", "\"h1,h2\nx\",y\np,q\na,\"b\nc\",d\n", HeaderMode::Skip, Case::Open,
         nullptr},
        {"broken.csv", "\"h1,h2\nx\",y\np,q\na,\"b\nc\",d\n", HeaderMode::Read, Case::Open,
         nullptr},
        {"broken.csv", "\"h1,h2\nx\",y\np,q\na,\"b\nc\",d\n", HeaderMode::Read, Case::SkipHeader,
         nullptr},
        {"missing.csv", nullptr, HeaderMode::Read, Case::Open, ""},
        {"empty.csv", "", HeaderMode::Read, Case::Open, " is empty"},
        {"binary.dat", "\x01\x02\x03\x04\x05\x06", HeaderMode::Read, Case::Open,
         " does not look like a delimited text file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
#ifndef IMPMAP_WORKBOOKS
        if (c.bytes != nullptr && std::string(c.bytes) == "*")
            continue; // this build reads no workbooks
#endif
        const std::string path = dir.File(c.name);
        const std::string away = path + ".away";
        if (c.bytes != nullptr && std::string(c.bytes) == "*")
            std::filesystem::copy_file(test::DataPath("workbooks/libreoffice.xlsx"), path);
        else if (c.bytes != nullptr)
            test::WriteFile(path, c.bytes);
        Workspace read, ahead;
        // Each reads the file as the action needs it; the second has it read ahead, then gone.
        const auto act = [&c, &path](Workspace& w, const std::function<void()>& load) {
            w.ChooseForm(22);
            w.SetHeader(c.action == Case::Open ? c.header : HeaderMode::Read);
            w.SetSourcePath(path);
            if (c.action == Case::Open) {
                load();
                return;
            }
            w.OpenSource();
            load();
        };
        const auto action = [&c](Workspace& w) {
            if (c.action == Case::Open)
                w.OpenSource();
            else if (c.action == Case::SkipHeader)
                w.SetHeader(HeaderMode::Skip);
            else
                w.ChangeDelimiter(impmap::Delimiter::Comma);
        };
        std::string readFailure, aheadFailure;
        try {
            act(read, [&] { action(read); });
        } catch (const FileError& e) {
            readFailure = e.what();
        }
        try {
            act(ahead, [&] {
                SourceReadAhead early = ReadSourceAhead(path, ahead.Sheet());
                if (c.bytes != nullptr)
                    std::filesystem::rename(path, away);
                ahead.WithSourceReadAhead(std::move(early), [&] { action(ahead); });
            });
        } catch (const FileError& e) {
            aheadFailure = e.what();
        }
        if (c.bytes != nullptr)
            std::filesystem::rename(away, path);
        std::string failure = c.failure ? path + c.failure : "";
        if (c.bytes == nullptr)
            failure = "Cannot open file \"" + path + "\". No such file or directory";
        EXPECT_EQ(readFailure, failure);
        EXPECT_EQ(aheadFailure, readFailure);
        EXPECT_EQ(LoadedState(ahead), LoadedState(read));
        // What the read found out about the lines goes with them when they change.
        if (ahead.RecordCount() > 1) {
            ahead.GoToRecord(2);
            ahead.DeleteCurrentRecord();
            std::string expected;
            for (const size_t line : LinesEndingInsideQuotes(ahead.Lines()))
                expected += std::to_string(line + 1) + " ";
            EXPECT_EQ(BrokenRecords(ahead), expected);
        }

        // Taken as read, with no file to read at all.
        if (c.failure == nullptr && c.action == Case::Open) {
            Workspace adopted;
            adopted.ChooseForm(22);
            adopted.SetHeader(c.header);
            adopted.SetSourcePath(path);
            LoadedSource loaded = ReadSource(path, "");
            std::filesystem::rename(path, away);
            adopted.AdoptSource(std::move(loaded));
            std::filesystem::rename(away, path);
            EXPECT_EQ(LoadedState(adopted), LoadedState(read));
        }
    }

    // A read ahead of another file, or of another sheet, is not taken: the file named is read.
    OpenSource("a,b\r\n", HeaderMode::Read, "first.csv");
    const std::string opened = LoadedState(workspace);
    test::WriteFile(dir.File("second.csv"), "c|d\r\n");
    workspace.WithSourceReadAhead(ReadSourceAhead(dir.File("second.csv"), ""),
                                  [&] { workspace.OpenSource(); });
    EXPECT_EQ(LoadedState(workspace), opened);
    // Nor is it kept for a later load.
    workspace.WithSourceReadAhead(ReadSourceAhead(dir.File("first.csv"), ""), [] {});
    test::WriteFile(dir.File("first.csv"), "e;f\r\n");
    workspace.OpenSource();
    EXPECT_EQ(workspace.CurrentRecordText(), "e;f");
}

// A record split ahead (on the window's worker) is taken by the showing of that record, and only
// while the lines, the delimiter and the encoding are those it was split under; never later.
TEST_F(SourceBrowsing, ARecordSplitAheadIsTakenOnlyWhileItIsStillTheRecords)
{
    using Step = std::function<void(Workspace&)>;
    const Step next = [](Workspace& w) { w.NavigateNext(); };
    struct Case
    {
        const char* name;
        long splitFor;
        Step before;
        bool taken;
    };
    const Case cases[] = {
        {"the record shown next", 2, nullptr, true},
        {"another record", 3, nullptr, false},
        {"a line edited since", 2, [](Workspace& w) { w.ChangeSourceFieldValue(1, "x"); }, false},
        {"another delimiter since", 2, [](Workspace& w) { w.SetDelimiter(Delimiter::Pipe); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenSource("a,b\r\nc,d\r\ne,f\r\n");
        RecordSplit split = workspace.SplitRecordAhead(c.splitFor);
        EXPECT_EQ(split.fields, (Fields{c.splitFor == 2 ? "c" : "e", c.splitFor == 2 ? "d" : "f"}));
        split.fields = {"split", "ahead"}; // tells a split taken from one made when shown
        if (c.before)
            c.before(workspace);
        // Shown again in the same operation, the record is split as it stands.
        Fields shown, again;
        workspace.WithRecordSplitAhead(std::move(split), [&] {
            next(workspace);
            shown = workspace.SourceFields();
            workspace.GoToRecord(2);
            again = workspace.SourceFields();
        });
        workspace.GoToRecord(workspace.CurrentRecord());
        EXPECT_EQ(workspace.CurrentRecord(), 2);
        EXPECT_EQ(shown, (c.taken ? Fields{"split", "ahead"} : workspace.SourceFields()));
        EXPECT_EQ(again, workspace.SourceFields());
        EXPECT_EQ(
            workspace.SourceFields(),
            (std::string(c.name) == "another delimiter since" ? Fields{"c,d"} : Fields{"c", "d"}));
    }
}

TEST_F(SourceBrowsing, MissingFieldsAndMerges)
{
    OpenSource("a,b,c,d,e\r\nonly,two\r\n");
    workspace.ChooseForm(22);
    const int row = RowOf("Name line 1");
    workspace.AssignSourceField(row, 5);
    workspace.MergeInto(3, 5);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"a", "b", "c e", "d", "e"}));
    workspace.MergeInto(2, 3);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"a", "b c e", "c e", "d", "e"}));
    workspace.MergeInto(2, 3); // the same drop again removes the merge
    EXPECT_EQ(workspace.SourceFields(), (Fields{"a", "b", "c e", "d", "e"}));
    workspace.MergeInto(3, 4); // another source replaces it
    EXPECT_EQ(workspace.SourceFields()[2], "c d");
    workspace.GoToRecord(2);
    EXPECT_EQ(ValueOf("Name line 1"), "(5) NOT ALLOCATED?");
    EXPECT_EQ(workspace.SourceFields(), (Fields{"only", "two"}));
}

TEST_F(SourceBrowsing, NavigationButtonsAndGoTo)
{
    OpenSource("1\r\n2\r\n3\r\n");
    workspace.ChooseForm(2);
    workspace.SetModified(false);
    NavigationState nav = workspace.Navigation();
    EXPECT_FALSE(nav.first || nav.previous);
    EXPECT_TRUE(nav.next && nav.last);
    workspace.NavigateLast();
    EXPECT_EQ(workspace.CurrentRecord(), 3);
    EXPECT_TRUE(workspace.SaveMapEnabled());
    workspace.SetModified(false);
    workspace.NavigateNext(); // nothing to move to, but the mapping counts as changed
    EXPECT_EQ(workspace.CurrentRecord(), 3);
    EXPECT_TRUE(workspace.MappingModified());

    const std::pair<const char*, const char*> answers[] = {
        {"0", "Value is not acceptable"},   {"-3", "Value is not acceptable"},
        {"abc", "Value is not acceptable"}, {"", "Value is not acceptable"},
        {"4", "Exceeds end of file"},       {"99999999999999999999", "Exceeds end of file"},
    };
    for (const auto& [answer, message] : answers) {
        try {
            workspace.GoToAnswer(answer);
            ADD_FAILURE() << answer;
        } catch (const Rejection& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    EXPECT_EQ(workspace.CurrentRecord(), 3);
    workspace.GoToAnswer(" 2 ");
    EXPECT_EQ(workspace.CurrentRecord(), 2);
    workspace.ShowRecordAtLine(0);
    EXPECT_EQ(workspace.CurrentRecord(), 1);
    workspace.ShowRecordAtLine(3); // the empty line after the last record
    EXPECT_EQ(workspace.CurrentRecord(), 1);
}

TEST_F(SourceBrowsing, DeletingRecords)
{
    OpenSource("1\r\n2\r\n3\r\n");
    workspace.GoToRecord(3);
    workspace.DeleteCurrentRecord();
    EXPECT_EQ(workspace.CurrentRecord(), 2);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"2"}));
    EXPECT_TRUE(workspace.SourceModified());
    workspace.DeleteCurrentRecord();
    workspace.DeleteCurrentRecord();
    EXPECT_EQ(workspace.RecordCount(), 0u);
    EXPECT_EQ(workspace.ShownRecord(), 0);
    EXPECT_TRUE(workspace.SourceFields().empty());
    EXPECT_EQ(workspace.SourceFieldCount(), 0u);
    workspace.MergeInto(1, 2); // no fields shown: nothing to merge
    EXPECT_EQ(workspace.MergeSources()[1], 0);
}

// The first record decides the delimiter when the file loads; when it changes, the workspace
// follows as a reload of the saved file would, and the mapping is marked changed.
TEST_F(SourceBrowsing, AChangedFirstRecordDecidesTheDelimiterAsALoadWould)
{
    struct Case
    {
        const char* name;
        const char* file;
        bool edit; // edit field 1 of record 1 to "x", or delete record 1
        Delimiter delimiter;
        Fields fields;
        bool marked; // the last step changed the delimiter
    };
    const Case cases[] = {
        {"deleting a pipe record before comma ones", "a|b|c\r\nx,y,z,w\r\n", false,
         Delimiter::Comma, Fields{"x", "y", "z", "w"}, true},
        {"deleting a record that agrees", "a|b\r\nc|d\r\n", false, Delimiter::Pipe,
         Fields{"c", "d"}, false},
        {"putting back the pipe record", "a|b|c\r\nx,y,z,w\r\n", true, Delimiter::Pipe,
         Fields{"x", "b", "c"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenSource(c.file);
        workspace.SetModified(false);
        if (c.edit) {
            workspace.DeleteCurrentRecord();
            workspace.InsertRecord(1, "a|b|c");
            workspace.SetModified(false);
            workspace.ChangeSourceFieldValue(1, "x");
        } else {
            workspace.DeleteCurrentRecord();
        }
        EXPECT_EQ(workspace.Delimiter(), c.delimiter);
        EXPECT_EQ(workspace.SourceFields(), c.fields);
        EXPECT_EQ(workspace.MappingModified(), c.marked);
    }
}

// What undo and redo of a deletion and of a field change do: the line goes back in its place
// (also into an emptied source) and is shown.
TEST_F(SourceBrowsing, RecordsPutBackInTheirPlaceAreShown)
{
    OpenSource("a,1\r\nb,2\r\nc,3\r\n");
    workspace.DeleteRecord(2);
    workspace.InsertRecord(2, "b,2");
    EXPECT_EQ(workspace.Lines().Joined(), "a,1\r\nb,2\r\nc,3\r\n");
    EXPECT_EQ(workspace.CurrentRecord(), 2);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"b", "2"}));
    workspace.ReplaceRecord(3, "c,30");
    EXPECT_EQ(workspace.CurrentRecord(), 3);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"c", "30"}));
    workspace.SetSourceModified(false);
    EXPECT_FALSE(workspace.SourceModified());
    workspace.InsertRecord(4, "d,4"); // after the last one
    EXPECT_TRUE(workspace.SourceModified());
    for (const long outside : {0L, 6L}) {
        workspace.InsertRecord(outside, "x");
        workspace.ReplaceRecord(outside, "x");
        workspace.DeleteRecord(outside);
    }
    EXPECT_EQ(workspace.Lines().Joined(), "a,1\r\nb,2\r\nc,30\r\nd,4\r\n");

    for (int i = 0; i < 4; ++i)
        workspace.DeleteRecord(1);
    EXPECT_TRUE(workspace.SourceFields().empty());
    workspace.InsertRecord(1, "e,5");
    EXPECT_EQ(workspace.ShownRecord(), 1);
    EXPECT_EQ(workspace.SourceFields(), (Fields{"e", "5"}));
}

TEST_F(SourceBrowsing, SavingWritesTheHeaderFirstUnderSkip)
{
    OpenSource("head\r\n1\r\n2\r\n3\r\n", HeaderMode::Skip);
    workspace.GoToRecord(2);
    workspace.DeleteCurrentRecord();
    workspace.SaveSource();
    EXPECT_EQ(ReadFile(workspace.SourcePath()), "head\r\n1\r\n3\r\n");
    EXPECT_FALSE(workspace.SourceModified());
    EXPECT_EQ(workspace.RecordCount(), 2u);
}

TEST_F(SourceBrowsing, SavingNeverAddsOrDropsTheHeaderLine)
{
    struct Case
    {
        HeaderMode loadedWith;
        HeaderMode changedTo;
        long deleted;
        const char* saved;
    };
    // The Header change finds no fields shown (the empty record); the record deleted after it is
    // that empty one, wherever the reload put it.
    const Case cases[] = {
        {HeaderMode::Read, HeaderMode::Skip, 2, "H1,H2\r\nA,B\r\n"},
        {HeaderMode::Skip, HeaderMode::Read, 1, "H1,H2\r\nA,B\r\n"},
        {HeaderMode::Read, HeaderMode::Read, 2, "H1,H2\r\nA,B\r\n"},
        {HeaderMode::Skip, HeaderMode::Skip, 1, "H1,H2\r\nA,B\r\n"},
    };
    for (const Case& c : cases) {
        OpenSource("H1,H2\r\n\r\nA,B\r\n", c.loadedWith);
        workspace.GoToRecord(c.deleted);
        ASSERT_TRUE(workspace.SourceFields().empty());
        workspace.SetHeader(c.changedTo);
        for (long r = 1; r <= static_cast<long>(workspace.RecordCount()); ++r) {
            if (workspace.Lines().Line(static_cast<size_t>(r - 1)).empty())
                workspace.GoToRecord(r);
        }
        workspace.DeleteCurrentRecord();
        workspace.SaveSource();
        EXPECT_EQ(ReadFile(workspace.SourcePath()), c.saved)
            << ChoiceIndex(c.loadedWith) << " to " << ChoiceIndex(c.changedTo);
    }
}

TEST_F(SourceBrowsing, WideRecordsKeepTheMappableFieldsAndEveryByteOfTheRest)
{
    for (const char delimiter : {',', '|'}) {
        std::string line;
        for (int i = 1; i <= 1500; ++i)
            line += (i > 1 ? std::string(1, delimiter) : "") + " f" + std::to_string(i);
        OpenSource("x" + std::string(1, delimiter) + "y\r\n" + line + "\r\n");
        workspace.GoToRecord(2);
        ASSERT_EQ(workspace.SourceFields().size(), 1000u);
        EXPECT_EQ(workspace.SourceFieldCount(), 1500u);
        EXPECT_EQ(workspace.SourceFields()[999], "f1000");
        workspace.ChangeSourceFieldValue(2, "new");
        const std::string rest = line.substr(line.find(" f1001") - 1);
        const std::string_view changed = workspace.Lines().Line(1);
        EXPECT_EQ(changed.substr(0, 8),
                  "f1" + std::string(1, delimiter) + "new" + std::string(1, delimiter) + "f");
        EXPECT_EQ(changed.substr(changed.size() - rest.size()), rest);
        EXPECT_EQ(workspace.SourceFieldCount(), 1500u);
    }
}

TEST_F(SourceBrowsing, RecordsThatWouldTakeTooMuchMemoryAreRefusedByName)
{
    struct Case
    {
        const char* what;
        int fields;
        size_t fieldSize;
        bool chain;     // merge field k+1 into field k for every k
        int mappedRows; // rows mapped to field 1
        bool refused;
    };
    const Case cases[] = {
        {"merge chain over a 100 KB record", 1000, 100, true, 1, true},
        {"merge chain over a short record", 1000, 3, true, 1, false},
        {"one field of 5 MB mapped twice", 1, 5 << 20, false, 2, true},
        {"one field of 5 MB mapped once", 1, 5 << 20, false, 1, false},
    };
    for (const Case& c : cases) {
        std::string line;
        for (int i = 0; i < c.fields; ++i)
            line += (i > 0 ? "," : "") + std::string(c.fieldSize, 'v');
        OpenSource("h,i\r\n" + line + "\r\n");
        workspace.ClearMerges();
        workspace.ChooseForm(FindFormIndex("1099-MISC"));
        workspace.GoToRecord(2);
        for (int row = 0; row < c.mappedRows; ++row)
            workspace.AssignSourceField(row, 1);
        if (c.chain) {
            for (int k = 1; k < c.fields; ++k)
                workspace.MergeInto(k, k + 1);
        }
        workspace.GoToRecord(2);
        EXPECT_EQ(!workspace.RecordProblem().empty(), c.refused) << c.what;
        if (!c.refused) {
            EXPECT_EQ(workspace.Rows()[0].value.size(),
                      c.chain ? static_cast<size_t>(c.fields) * (c.fieldSize + 1) - 1 : c.fieldSize)
                << c.what;
            continue;
        }
        EXPECT_EQ(workspace.RecordProblem().rfind("Source record 2 is too large to map: its merged "
                                                  "fields and mapped values need more than ",
                                                  0),
                  0u)
            << workspace.RecordProblem();
        EXPECT_TRUE(workspace.RecordProblem().ends_with(
            " MB, and at most 8 MB can be held for one record"));
        EXPECT_LE(workspace.SourceFields()[0].size(), c.fieldSize) << c.what; // merges not shown
        workspace.GoToRecord(1);
        EXPECT_EQ(workspace.RecordProblem(), "");
    }
}

TEST_F(SourceBrowsing, SavingToAnUnwritablePlaceKeepsTheEdits)
{
    OpenSource("1\r\n2\r\n");
    workspace.DeleteCurrentRecord();
    workspace.SetSourcePath((dir.Path() / "no-such-folder" / "x.csv").string());
    EXPECT_THROW(workspace.SaveSource(), FileError);
    EXPECT_TRUE(workspace.SourceModified());
    EXPECT_EQ(workspace.RecordCount(), 1u);
}

TEST_F(SourceBrowsing, ChangingAFieldValueRebuildsTheLine)
{
    OpenSource("a,b,c\r\nx,y,z\r\n");
    workspace.MergeInto(1, 2);
    EXPECT_EQ(workspace.ChangeSourceFieldValue(2, "Doe, John"), FieldEdit::FirstChange);
    EXPECT_EQ(workspace.Lines().Line(0), "a,\"Doe, John\",c");
    EXPECT_EQ(workspace.SourceFields()[0], "a Doe, John"); // merges shown again
    EXPECT_EQ(workspace.ChangeSourceFieldValue(3, " c "), FieldEdit::Unchanged);
    EXPECT_EQ(workspace.ChangeSourceFieldValue(3, "C"), FieldEdit::Changed);
    EXPECT_EQ(workspace.Lines().Line(0), "a,\"Doe, John\",C");
    EXPECT_TRUE(workspace.SourceModified());

    OpenSource("a|b\r\n");
    workspace.ChangeSourceFieldValue(1, "new");
    EXPECT_EQ(workspace.Lines().Line(0), "new|b");
}

// An edited record is written so that it reads back, under its own delimiter, with every field
// as it stood or was typed: values holding the delimiter or a double quote are quoted, and a
// record emptied to one empty field stays a record.
TEST_F(SourceBrowsing, EditedRecordsReadBackAsTyped)
{
    struct Case
    {
        std::string source;
        int field;
        std::string typed;
        std::string line;                // the line rebuilt
        std::vector<std::string> fields; // the record as read back from the saved file
    };
    const Case cases[] = {
        {"\"a|b\"|John|12-3456789\r\n", 2, "x", "\"a|b\"|x|12-3456789", {"a|b", "x", "12-3456789"}},
        {"a|b\r\n", 1, "p|q", "\"p|q\"|b", {"p|q", "b"}},
        {"\"a\tb\"\tc\r\n", 2, "d", "\"a\tb\"\td", {"a\tb", "d"}},
        {"a|b\r\n", 1, "5\" pipe", "\"5\"\" pipe\"|b", {"5\" pipe", "b"}},
        {"a,b\r\n", 2, "say \"hi\"", "a,\"say \"\"hi\"\"\"", {"a", "say \"hi\""}},
        {"only|\r\n", 1, "", "|", {"", ""}},
        {"only\tx\r\nnext\r\n", 2, "", "only\t", {"only", ""}},
        {"only,x\r\nnext\r\n", 1, "", ",x", {"", "x"}},
    };
    for (const Case& c : cases) {
        OpenSource(c.source);
        const Delimiter delimiter = workspace.Delimiter();
        const size_t records = workspace.RecordCount();
        EXPECT_EQ(workspace.ChangeSourceFieldValue(c.field, c.typed), FieldEdit::FirstChange)
            << c.source;
        EXPECT_EQ(workspace.Lines().Line(0), c.line) << c.source;
        workspace.SaveSource();
        workspace.OpenSource();
        workspace.ChangeDelimiter(delimiter);
        EXPECT_EQ(workspace.RecordCount(), records) << c.source;
        EXPECT_EQ(workspace.SourceFields(), c.fields) << c.source;
    }
    // A field emptied to nothing on a one-field record of each delimiter keeps the record.
    for (const Delimiter delimiter : {Delimiter::Tab, Delimiter::Comma, Delimiter::Pipe}) {
        SCOPED_TRACE(DelimiterName(delimiter));
        OpenSource("abc\r\n");
        workspace.ChangeDelimiter(delimiter);
        ASSERT_EQ(workspace.ChangeSourceFieldValue(1, ""), FieldEdit::FirstChange);
        EXPECT_EQ(workspace.Lines().Line(0), "\"\"");
        EXPECT_EQ(workspace.SourceFields(), std::vector<std::string>{""});
    }
}

// The fields shown are always the shown line split by the current delimiter, and an edit of a
// field that the record does not have, or a value with a line break, changes nothing.
TEST_F(SourceBrowsing, EditsThatCannotBeWrittenAreRefused)
{
    OpenSource("names\r\n1|2|3|4|5|6|7|8|9|10\r\n"); // a first line that decides nothing
    workspace.ChangeDelimiter(Delimiter::Pipe);
    workspace.GoToRecord(2);
    ASSERT_EQ(workspace.SourceFields().size(), 10U);
    workspace.SetSourcePath("  "); // the box edited to blanks: no reload can happen
    workspace.ChangeDelimiter(Delimiter::Comma);
    EXPECT_EQ(workspace.SourceFields(), std::vector<std::string>{"1|2|3|4|5|6|7|8|9|10"});
    EXPECT_EQ(workspace.ChangeSourceFieldValue(9, "x"), FieldEdit::Unchanged);
    EXPECT_EQ(workspace.Lines().Line(1), "1|2|3|4|5|6|7|8|9|10");
    EXPECT_FALSE(workspace.SourceModified());

    for (const char* typed : {"a\nb", "x\r\ny", "x\r"}) {
        OpenSource("a,b\r\nc,d\r\n");
        try {
            workspace.ChangeSourceFieldValue(1, typed);
            ADD_FAILURE() << "accepted a line break";
        } catch (const Rejection& e) {
            EXPECT_EQ(std::string(e.what()), "A source field cannot hold a line break: it would "
                                             "split record 1 in two. Type the value on one line.");
        }
        EXPECT_EQ(workspace.Lines().Line(0), "a,b");
        EXPECT_EQ(workspace.RecordCount(), 2U);
        EXPECT_FALSE(workspace.SourceModified());
    }
}

} // namespace
} // namespace impmap

namespace impmap {
namespace {

TEST_F(SourceBrowsing, BinaryBytesAreJustText)
{
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>((i * 7919) % 256);
    OpenSource(bytes);
    ASSERT_GT(workspace.RecordCount(), 1u);
    workspace.ChooseForm(22);
    workspace.AssignSourceField(0, 1);
    for (long r = 1; r <= static_cast<long>(workspace.RecordCount()); ++r)
        workspace.GoToRecord(r);
    EXPECT_EQ(workspace.CurrentRecord(), static_cast<long>(workspace.RecordCount()));
    workspace.SaveSource();
    EXPECT_EQ(test::ReadFile(workspace.SourcePath()),
              workspace.Lines().Joined(LineEndText(workspace.Format().lineEnd)));
}

} // namespace
} // namespace impmap

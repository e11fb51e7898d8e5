#include "WorkspaceFixture.h"
#include "convert/Rejection.h"

#include <functional>

namespace impmap {
namespace {

using test::WorkspaceFixture;

class MappingEditing : public WorkspaceFixture
{
protected:
    void SetUp() override
    {
        OpenSource("Client ID,NAME LINE 1,city ,Zip,x,x\r\nC1,Doe,Rome,00120,5,6\r\n");
        workspace.ChooseForm(2); // ALE Group
    }

    std::string MessageOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const Rejection& e) {
            return e.what();
        }
        return "(no error)";
    }
};

TEST_F(MappingEditing, DropAssignsReassignsAndUnassigns)
{
    workspace.SetFixedValue(1, std::string("fixed"));
    workspace.AssignSourceField(1, 3); // replaces the fixed value
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 3);
    EXPECT_EQ(workspace.Rows()[1].value, "city");
    workspace.AssignSourceField(1, 5);
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 5);
    workspace.AssignSourceField(1, 5);
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 0);
    EXPECT_EQ(workspace.Rows()[1].value, "");
    EXPECT_TRUE(workspace.SaveMapEnabled());
}

TEST_F(MappingEditing, DoubleClickOnARow)
{
    EXPECT_EQ(MessageOf([&] { workspace.ToggleAssignment(0, 0); }),
              "A source field has not been selected for assignment");
    workspace.ToggleAssignment(0, 2);
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 2);
    workspace.ToggleAssignment(0, 0); // a mapped row is unassigned
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 0);
}

TEST_F(MappingEditing, FixedValues)
{
    workspace.SetModified(false);
    workspace.SetFixedValue(4, std::string(" abcd "));
    EXPECT_EQ(workspace.Rows()[4].value, "ABCD"); // kept as the map file keeps it
    EXPECT_TRUE(workspace.MappingModified());
    workspace.SetModified(false);
    workspace.SetFixedValue(4, std::string(" ABCD ")); // trimmed it is the same
    EXPECT_FALSE(workspace.MappingModified());
    workspace.SetFixedValue(4, std::string("x"));
    workspace.SetModified(false);
    workspace.SetFixedValue(4, std::string("X")); // same value again: nothing changes
    EXPECT_FALSE(workspace.MappingModified());
    workspace.SetFixedValue(5, std::string("")); // average employee count ('w')
    EXPECT_EQ(workspace.Rows()[5].value, "0");

    workspace.AssignSourceField(3, 4);
    EXPECT_EQ(MessageOf([&] { workspace.CheckFixedValueAllowed(3); }),
              "Cannot override!\r\n\r\nDestination field \"Employer id\" maps to source field 4");
}

TEST_F(MappingEditing, TinTypeFixedValueIsRemembered)
{
    workspace.ChooseForm(23);
    workspace.SetFixedValue(RowOf("TIN Type"), std::string(" ein "));
    EXPECT_EQ(workspace.TinTypeValue(), "EIN");
    EXPECT_EQ(ValueOf("TIN Type"), "N/A"); // what a run writes while the taxpayer id is empty
    workspace.SetFixedValue(RowOf("Taxpayer id"), std::string("123456789"));
    EXPECT_EQ(ValueOf("TIN Type"), "EIN");
    workspace.ChooseForm(22); // a new form keeps it
    EXPECT_EQ(workspace.TinTypeValue(), "EIN");
    workspace.SetFixedValue(RowOf("Taxpayer id"), std::string("123456789"));
    EXPECT_EQ(ValueOf("TIN Type"), "EIN");
}

// Every setting a map file keeps is a mapping change, whether or not a record is shown.
TEST_F(MappingEditing, EverySettingChangeMarksTheMapping)
{
    const std::pair<const char*, std::function<void(Workspace&)>> changes[] = {
        {"decimal", [](Workspace& w) { w.SetDecimal(DecimalMode::Implied); }},
        {"trace", [](Workspace& w) { w.SetTrace(TraceMode::Off); }},
        {"header", [](Workspace& w) { w.SetHeader(HeaderMode::Skip); }},
        {"delimiter", [](Workspace& w) { w.ChangeDelimiter(Delimiter::Pipe); }},
    };
    for (const auto& [name, change] : changes) {
        for (const bool shown : {false, true}) {
            Workspace w;
            w.ChooseForm(2);
            if (shown) {
                w.SetSourcePath(dir.File("src.csv"));
                w.OpenSource();
            }
            ASSERT_EQ(w.SourceFields().empty(), !shown);
            w.SetModified(false);
            change(w);
            EXPECT_TRUE(w.MappingModified()) << name << (shown ? " shown" : " not shown");
        }
    }
}

TEST_F(MappingEditing, WhichRowsAFieldFeeds)
{
    EXPECT_EQ(MessageOf([&] { workspace.RowsFedBy(3); }),
              "Source field No. 3 (city)\r\nhas not been mapped");
    workspace.AssignSourceField(1, 3);
    FeedReport one = workspace.RowsFedBy(3);
    EXPECT_EQ(one.rows, std::vector<int>{1});
    EXPECT_EQ(one.title, "Source Field No. 3");
    EXPECT_EQ(one.text, "Source field: city\r\n\r\nmaps to \r\n\r\nDestination: Name line 1");
    workspace.AssignSourceField(2, 3);
    workspace.AssignSourceField(4, 3);
    FeedReport three = workspace.RowsFedBy(3);
    EXPECT_EQ(three.rows, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(three.text, "Source field: city\r\n\r\nmaps to the following 3 destination fields: "
                          "\r\n\r\n\"Name line 1\",\"Name line 2\",\"Name control\"");
}

TEST_F(MappingEditing, ResetKeepsFormSourceAndSettings)
{
    workspace.AssignSourceField(0, 1);
    workspace.SetFixedValue(4, std::string("x"));
    workspace.MergeInto(1, 2);
    workspace.SetTinTypeValue("SSN");
    workspace.SetDecimal(DecimalMode::Implied);
    workspace.ResetMapping();
    EXPECT_EQ(workspace.FormIndex(), 2);
    EXPECT_EQ(workspace.Decimal(), DecimalMode::Implied);
    EXPECT_EQ(workspace.TinTypeValue(), "");
    EXPECT_EQ(workspace.MergeSources()[1], 0);
    for (const DestinationRow& row : workspace.Rows())
        EXPECT_EQ(row.sourceFieldNo, 0);
    EXPECT_EQ(ValueOf("Name control"), "");
    EXPECT_EQ(ValueOf("Average employee count"), "0");
    EXPECT_EQ(workspace.CurrentRecord(), 1);
}

TEST_F(MappingEditing, MapByNameMatchesWholeCaptionsIgnoringCase)
{
    workspace.MergeInto(1, 2);
    workspace.SetFixedValue(4, std::string("x"));
    ASSERT_TRUE(workspace.MapByNameEnabled());
    workspace.MapByName();
    // The rows show the converted values at once, as showing the record again does.
    const std::vector<std::string> shown = Values();
    workspace.GoToRecord(1);
    EXPECT_EQ(Values(), shown);
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 1);
    EXPECT_EQ(workspace.Rows()[0].value, "Client ID");
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 2);
    EXPECT_EQ(workspace.Rows()[1].value, "NAME LINE 1");
    EXPECT_EQ(workspace.Rows()[4].value, "");
    EXPECT_EQ(workspace.MergeSources()[1], 0);

    workspace.ChooseForm(22);
    workspace.MapByName();
    const std::vector<std::string> converted = Values();
    workspace.GoToRecord(1);
    EXPECT_EQ(Values(), converted);
    EXPECT_EQ(workspace.Rows()[RowOf("City")].sourceFieldNo, 3); // "city " trimmed by splitting
    EXPECT_EQ(workspace.Rows()[RowOf("Zip code")].sourceFieldNo, 0);
    workspace.SetHeader(HeaderMode::Skip);
    EXPECT_FALSE(workspace.MapByNameEnabled());
}

// Undo puts back the mapping before a change and redo the one after it, whole: the rows, the
// merges, the settings and what the record on display shows with them.
TEST_F(MappingEditing, RestoringACapturedMappingUndoesAndRedoesEveryChange)
{
    const std::vector<std::pair<std::string, std::function<void()>>> changes{
        {"assign", [&] { workspace.AssignSourceField(1, 3); }},
        {"unassign", [&] { workspace.ToggleAssignment(0, 0); }},
        {"fixed value", [&] { workspace.SetFixedValue(4, std::string("x")); }},
        {"merge", [&] { workspace.MergeInto(2, 4); }},
        {"unmerge", [&] { workspace.MergeInto(1, 2); }},
        {"reset", [&] { workspace.ResetMapping(); }},
        {"map by name", [&] { workspace.MapByName(); }},
        {"form", [&] { workspace.ChooseForm(23); }},
        {"decimal", [&] { workspace.SetDecimal(DecimalMode::Implied); }},
        {"trace", [&] { workspace.SetTrace(TraceMode::Off); }},
        {"header", [&] { workspace.SetHeader(HeaderMode::Skip); }},
        {"tin type",
         [&] {
             workspace.ChooseForm(23);
             workspace.SetFixedValue(RowOf("TIN Type"), std::string("ein"));
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        OpenSource("Client ID,NAME LINE 1,city ,Zip,x,x\r\nC1,Doe,Rome,00120,5,6\r\n");
        workspace.ChooseForm(2);
        workspace.ToggleAssignment(0, 1);
        workspace.MergeInto(1, 2);
        const MappingState before = workspace.CaptureMapping();
        const std::vector<std::string> valuesBefore = Values();
        const std::vector<std::string> fieldsBefore = workspace.SourceFields();
        change();
        const MappingState after = workspace.CaptureMapping();
        const std::vector<std::string> valuesAfter = Values();
        const std::vector<std::string> fieldsAfter = workspace.SourceFields();
        ASSERT_NE(before, after);

        workspace.RestoreMapping(before, "");
        EXPECT_EQ(workspace.CaptureMapping(), before);
        EXPECT_EQ(Values(), valuesBefore);
        EXPECT_EQ(workspace.SourceFields(), fieldsBefore);
        workspace.RestoreMapping(after, "");
        EXPECT_EQ(workspace.CaptureMapping(), after);
        EXPECT_EQ(Values(), valuesAfter);
        EXPECT_EQ(workspace.SourceFields(), fieldsAfter);
    }
}

// Undo marks the mapping changed exactly when it differs from the one last saved or opened, and
// puts back the caption it had.
TEST_F(MappingEditing, ARestoredMappingIsChangedExactlyWhenItDiffersFromTheSavedOne)
{
    workspace.AssignSourceField(0, 1);
    const std::string map = dir.File("saved.MAP");
    workspace.SaveMapping(map);
    const MappingState saved = workspace.CaptureMapping();
    workspace.ChooseForm(23); // a new form drops the caption
    const MappingState changed = workspace.CaptureMapping();
    EXPECT_EQ(workspace.MapFileName(), "");

    workspace.RestoreMapping(saved, "saved.MAP");
    EXPECT_FALSE(workspace.MappingModified());
    EXPECT_EQ(workspace.MapFileName(), "saved.MAP");
    workspace.RestoreMapping(changed, "");
    EXPECT_TRUE(workspace.MappingModified());
    EXPECT_TRUE(workspace.SaveMapEnabled());

    workspace.OpenMapping(map);
    EXPECT_EQ(workspace.CaptureMapping(), saved);
    workspace.RestoreMapping(changed, "");
    workspace.RestoreMapping(saved, "saved.MAP");
    EXPECT_FALSE(workspace.MappingModified());
}

// Apply of Suggest Mapping: the chosen rows with exactly their merges, the other rows untouched,
// one change; nothing changes when any choice is refused.
TEST_F(MappingEditing, ApplySuggestionsAssignsTheChosenRowsWithTheirMerges)
{
    OpenSource("First,Middle,Last,TIN,Amount\r\nJohn,A,Doe,123456789,5\r\n", HeaderMode::Skip);
    workspace.ChooseForm(23); // 1099-NEC
    workspace.SetFixedValue(RowOf("Client ID"), std::string("DEMO"));
    workspace.AssignSourceField(RowOf("City"), 5);
    workspace.MergeInto(4, 5); // a merge that the suggestion for field 4 replaces
    workspace.SetModified(false);
    struct Observer : WorkspaceObserver
    {
        void WorkspaceChanged(unsigned) override { ++calls; }
        int calls = 0;
    } observer;
    workspace.SetObserver(&observer);
    workspace.ApplySuggestions({{RowOf("Name line 1"), 1, {2, 3}}, {RowOf("Taxpayer id"), 4, {}}});
    workspace.SetObserver(nullptr);
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(ValueOf("Name line 1"), "John A Doe");
    EXPECT_EQ(ValueOf("Taxpayer id"), "123456789");
    EXPECT_EQ(workspace.Rows()[static_cast<size_t>(RowOf("City"))].sourceFieldNo, 5);
    EXPECT_EQ(ValueOf("Client ID"), "DEMO");
    const auto& merges = workspace.MergeSources();
    EXPECT_EQ(std::vector<int>(merges.begin() + 1, merges.begin() + 6),
              (std::vector<int>{2, 3, 0, 0, 0}));
    EXPECT_TRUE(workspace.MappingModified());

    const auto before = workspace.Rows();
    EXPECT_EQ(
        MessageOf([&] {
            workspace.ApplySuggestions({{RowOf("State"), 2, {}}, {RowOf("Zip code"), 1000, {}}});
        }),
        "Source field No. 1000 cannot be mapped.\r\n\r\nA mapping can use source fields 1 "
        "to 999 only.");
    EXPECT_EQ(MessageOf([&] {
                  workspace.ApplySuggestions({{RowOf("State"), 2, {3, 3}}});
              }),
              "A suggested mapping merges source field No. 3 twice.");
    EXPECT_EQ(workspace.Rows()[static_cast<size_t>(RowOf("State"))].sourceFieldNo,
              before[static_cast<size_t>(RowOf("State"))].sourceFieldNo);
}

TEST_F(MappingEditing, FieldsBeyondTheMapFileLimitsAreRefused)
{
    std::string wide;
    for (int i = 1; i <= 1001; ++i)
        wide += (i > 1 ? "," : "") + std::to_string(i);
    OpenSource(wide + "\r\n");
    EXPECT_EQ(MessageOf([&] { workspace.AssignSourceField(0, 1000); }),
              "Source field No. 1000 cannot be mapped.\r\n\r\nA mapping can use source fields 1 "
              "to 999 only.");
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 0);
    workspace.AssignSourceField(0, 999);
    EXPECT_EQ(workspace.Rows()[0].value, "999");
    workspace.MergeInto(1000, 2);
    EXPECT_EQ(workspace.SourceFields()[999], "1000 2");
    EXPECT_EQ(MessageOf([&] { workspace.MergeInto(1001, 2); }),
              "Source field No. 1001 cannot be merged.\r\n\r\nMerges can use source fields 1 to "
              "1000 only.");
}

} // namespace
} // namespace impmap

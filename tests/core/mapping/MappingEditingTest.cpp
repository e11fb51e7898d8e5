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
    workspace.DropOnDestination(1, 3); // replaces the fixed value
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 3);
    EXPECT_EQ(workspace.Rows()[1].value, "city");
    workspace.DropOnDestination(1, 5);
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 5);
    workspace.DropOnDestination(1, 5);
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 0);
    EXPECT_EQ(workspace.Rows()[1].value, "");
    EXPECT_TRUE(workspace.SaveMapEnabled());
}

TEST_F(MappingEditing, DoubleClickOnARow)
{
    EXPECT_EQ(MessageOf([&] { workspace.DoubleClickDestination(0, 0); }),
              "A source field has not been selected for assignment");
    workspace.DoubleClickDestination(0, 2);
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 2);
    workspace.DoubleClickDestination(0, 0); // a mapped row is unassigned
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 0);
}

TEST_F(MappingEditing, FixedValues)
{
    workspace.SetModified(false);
    workspace.SetFixedValue(4, std::string(" abcd "));
    EXPECT_EQ(workspace.Rows()[4].value, " ABCD ");
    EXPECT_TRUE(workspace.MappingModified());
    workspace.SetModified(false);
    workspace.SetFixedValue(4, std::string(" ABCD ")); // trimmed it differs from " ABCD "
    workspace.SetFixedValue(4, std::string("x"));
    workspace.SetModified(false);
    workspace.SetFixedValue(4, std::string("X")); // same value again: nothing changes
    EXPECT_FALSE(workspace.MappingModified());
    workspace.SetFixedValue(5, std::string("")); // average employee count ('w')
    EXPECT_EQ(workspace.Rows()[5].value, "0");

    workspace.DropOnDestination(3, 4);
    EXPECT_EQ(MessageOf([&] { workspace.CheckFixedValueAllowed(3); }),
              "Cannot override!\r\n\r\nDestination field \"Employer id\" maps to source field 4");
}

TEST_F(MappingEditing, TinTypeFixedValueIsRemembered)
{
    workspace.ChooseForm(23);
    workspace.SetFixedValue(RowOf("TIN Type"), std::string(" ein "));
    EXPECT_EQ(workspace.TinTypeValue(), "EIN");
    EXPECT_EQ(ValueOf("TIN Type"), "EIN");
    workspace.ChooseForm(22); // a new form keeps it
    EXPECT_EQ(ValueOf("TIN Type"), "EIN");
}

TEST_F(MappingEditing, WhichRowsAFieldFeeds)
{
    EXPECT_EQ(MessageOf([&] { workspace.RowsFedBy(3); }),
              "Source field No. 3 (city)\r\nhas not been mapped");
    workspace.DropOnDestination(1, 3);
    FeedReport one = workspace.RowsFedBy(3);
    EXPECT_EQ(one.rows, std::vector<int>{1});
    EXPECT_EQ(one.title, "Source Field No. 3");
    EXPECT_EQ(one.text, "Source field: city\r\n\r\nmaps to \r\n\r\nDestination: Name line 1");
    workspace.DropOnDestination(2, 3);
    workspace.DropOnDestination(4, 3);
    FeedReport three = workspace.RowsFedBy(3);
    EXPECT_EQ(three.rows, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(three.text, "Source field: city\r\n\r\nmaps to the following 3 destination fields: "
                          "\r\n\r\n\"Name line 1\",\"Name line 2\",\"Name control\"");
}

TEST_F(MappingEditing, ResetKeepsFormSourceAndSettings)
{
    workspace.DropOnDestination(0, 1);
    workspace.SetFixedValue(4, std::string("x"));
    workspace.DropOnSource(1, 2);
    workspace.SetTinTypeValue("SSN");
    workspace.SetDecimal(1);
    workspace.ResetMapping();
    EXPECT_EQ(workspace.FormIndex(), 2);
    EXPECT_EQ(workspace.Decimal(), 1);
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
    workspace.DropOnSource(1, 2);
    workspace.SetFixedValue(4, std::string("x"));
    ASSERT_TRUE(workspace.MapByNameEnabled());
    workspace.MapByName();
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 1);
    EXPECT_EQ(workspace.Rows()[0].value, "Client ID");
    EXPECT_EQ(workspace.Rows()[1].sourceFieldNo, 2);
    EXPECT_EQ(workspace.Rows()[1].value, "NAME LINE 1");
    EXPECT_EQ(workspace.Rows()[4].value, "");
    EXPECT_EQ(workspace.MergeSources()[1], 0);

    workspace.ChooseForm(22);
    workspace.MapByName();
    EXPECT_EQ(workspace.Rows()[RowOf("City")].sourceFieldNo, 3); // "city " trimmed by splitting
    EXPECT_EQ(workspace.Rows()[RowOf("Zip code")].sourceFieldNo, 0);
    workspace.SetHeader(1);
    EXPECT_FALSE(workspace.MapByNameEnabled());
}

TEST_F(MappingEditing, FieldsBeyondTheMapFileLimitsAreRefused)
{
    std::string wide;
    for (int i = 1; i <= 1001; ++i)
        wide += (i > 1 ? "," : "") + std::to_string(i);
    OpenSource(wide + "\r\n");
    EXPECT_EQ(MessageOf([&] { workspace.DropOnDestination(0, 1000); }),
              "Source field No. 1000 cannot be mapped.\r\n\r\nA mapping can use source fields 1 "
              "to 999 only.");
    EXPECT_EQ(workspace.Rows()[0].sourceFieldNo, 0);
    workspace.DropOnDestination(0, 999);
    EXPECT_EQ(workspace.Rows()[0].value, "999");
    workspace.DropOnSource(1000, 2);
    EXPECT_EQ(workspace.SourceFields()[999], "1000 2");
    EXPECT_EQ(MessageOf([&] { workspace.DropOnSource(1001, 2); }),
              "Source field No. 1001 cannot be merged.\r\n\r\nMerges can use source fields 1 to "
              "1000 only.");
}

} // namespace
} // namespace impmap

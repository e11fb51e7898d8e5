#include "WorkspaceFixture.h"

namespace impmap {
namespace {

using test::WorkspaceFixture;

class DestinationValues : public WorkspaceFixture
{};

TEST_F(DestinationValues, FreshFormShowsTheConversionOfEmptyValues)
{
    workspace.ChooseForm(1); // Sponsors: a '9' row and an indicator
    EXPECT_EQ(ValueOf("EIN (enter as 9 digits)"), "000000000");
    EXPECT_EQ(ValueOf("Foreign address indicator"), "");
    workspace.ChooseForm(22); // 1099-MISC
    EXPECT_EQ(ValueOf("Rents"), "0");
    EXPECT_EQ(ValueOf("TIN Type"), "N/A");
    EXPECT_EQ(ValueOf("Name line 1"), "");
    for (const DestinationRow& row : workspace.Rows())
        EXPECT_EQ(row.sourceFieldNo, 0);
    EXPECT_EQ(workspace.Rows()[RowOf("Rents")].typeCode, 'c');
}

TEST_F(DestinationValues, NoFormGivesNoRows)
{
    workspace.ChooseForm(-1);
    EXPECT_TRUE(workspace.Rows().empty());
    EXPECT_FALSE(workspace.SaveMapEnabled());
    EXPECT_FALSE(workspace.ExecuteEnabled());
    EXPECT_EQ(workspace.WindowCaption(), "Vellorum - 2022 Import Mapping Utility 31.00");
}

struct TinCase
{
    const char* taxpayerId;
    const char* tinTypeValue;
    bool executing;
    const char* expectedId;
    const char* expectedType;
};

TEST_F(DestinationValues, TaxpayerIdDecidesTheTinType)
{
    const TinCase cases[] = {
        {"12-3456789", "", false, "123456789", "EIN"},
        {"123-45-6789", "", false, "123456789", "SSN"},
        {"123456789", "", false, "123456789", "N/A"},
        {"123456789", "EIN", false, "123456789", "EIN"},
        {"", "", true, "", "N/A"},
        // A run writes N/A for an empty id, and the record shown says what the run writes.
        {"", "SSN", false, "", "N/A"},
        {"", "SSN", true, "", "N/A"},
        {"AB#CDEFGHI", "", false, "ABCDEFGHI", "EIN"}, // any third character goes
    };
    OpenSource("x\r\n");
    for (const TinCase& c : cases) {
        workspace.ChooseForm(22);
        workspace.SetTinTypeValue(c.tinTypeValue);
        workspace.SetFixedValue(RowOf("Taxpayer id"), std::string(c.taxpayerId));
        workspace.SetExecuting(c.executing);
        workspace.ConvertDestinationValues();
        workspace.SetExecuting(false);
        EXPECT_EQ(ValueOf("Taxpayer id"), c.expectedId) << c.taxpayerId;
        EXPECT_EQ(ValueOf("TIN Type"), c.expectedType) << c.taxpayerId;
    }
}

TEST_F(DestinationValues, SocialSecurityNineDigitAndAmountRows)
{
    OpenSource("123-45-6789,12-3456789,12-345,1234567890,$1,(5)\r\n");
    workspace.ChooseForm(36); // W-2C: 'n' Correct SSN, 'N' Incorrect SSN
    workspace.AssignSourceField(RowOf("Correct SSN"), 1);
    EXPECT_EQ(ValueOf("Correct SSN"), "123456789");
    workspace.AssignSourceField(RowOf("Correct SSN"), 2);
    EXPECT_EQ(ValueOf("Correct SSN"), "12-3456789");

    workspace.ChooseForm(1); // Sponsors
    const int ein = RowOf("EIN (enter as 9 digits)");
    workspace.AssignSourceField(ein, 3);
    EXPECT_EQ(ValueOf("EIN (enter as 9 digits)"), "000012345");
    workspace.AssignSourceField(ein, 4);
    EXPECT_EQ(ValueOf("EIN (enter as 9 digits)"), "234567890");
}

TEST_F(DestinationValues, DecimalChangeReconvertsTheShownRecord)
{
    OpenSource("123450\r\n");
    workspace.ChooseForm(22);
    workspace.AssignSourceField(RowOf("Rents"), 1);
    EXPECT_EQ(ValueOf("Rents"), "123450");
    workspace.SetDecimal(DecimalMode::Implied);
    EXPECT_EQ(ValueOf("Rents"), "1234.5");
    workspace.SetDecimal(DecimalMode::Normal);
    EXPECT_EQ(ValueOf("Rents"), "123450");
}

} // namespace
} // namespace impmap

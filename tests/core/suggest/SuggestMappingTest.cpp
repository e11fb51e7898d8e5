// Suggest Mapping on header rows of every layout: the whole mapping applied at the default
// confidence, and the rules that keep a column from the wrong field.
#include "mapping/HeaderLine.h"
#include "schema/FormCatalogue.h"
#include "source/SplitRecord.h"
#include "suggest/HeaderChange.h"
#include "suggest/HeaderWords.h"
#include "suggest/Suggest.h"
#include "suggest/SuggestTables.h"

#include <gtest/gtest.h>

using namespace impmap;
using namespace impmap::suggest;

namespace {

constexpr size_t npos = std::string_view::npos;

std::vector<std::string> Header(const std::string& line)
{
    std::vector<std::string> fields;
    SplitRecord(line, ',', fields);
    return fields;
}

// The proposals of at least the given confidence as "Caption=3+4" joined by "; ", in layout
// order.
std::string Applied(const std::string& form, const std::string& line, int minimum = kHighConfidence)
{
    std::string text;
    for (const Proposal& proposal :
         SuggestMapping({FindFormIndex(form), Header(line), nullptr, nullptr})) {
        if (proposal.column == 0 || proposal.confidence < minimum)
            continue;
        if (!text.empty())
            text += "; ";
        text += proposal.caption + "=" + ColumnsText(proposal);
    }
    return text;
}

struct FormCase
{
    const char* form;
    const char* header;
    const char* applied;
};

// One header row per layout, in the words its exports and templates use.
const FormCase kFormCases[] = {
    {"Clients", "Client ID,Company,Address,City,State,Zip,EIN,Phone,Fax,Contact Name,Email",
     "Client ID=1; Name line 1=2; Street address line 1=3; City=4; State=5; Zip code=6; "
     "Taxpayer id=7; Telephone (XXX-XXX-XXXX)=8; Main contact=10; Fax (XXX-XXX-XXXX)=9; "
     "E-mail address=11"},
    {"Sponsors", "Sponsor ID,EIN,Sponsor Name,Address,City,State,Zip,Phone",
     "Sponsor ID=1; EIN (enter as 9 digits)=2; Name line 1=3; Street address line 1=4; City=5; "
     "State=6; Zip code=7; Telephone (XXX-XXX-XXXX)=8"},
    {"ALE Group", "Client ID,Member Name,Member EIN,Average Employees",
     "Client ID=1; Name line 1=2; Employer id=3; Average employee count=4"},
    {"1094-C", "Client ID,Total Forms Filed,Member of ALE Group,Jan Column (b),Jan Column (c)",
     "Client ID=1; Total forms filed by ALE member=2; Member of ALE group indicator=3; "
     "JAN Column (b)=4; JAN Column (c)=5"},
    {"1095-B",
     "Last Name,First Name,SSN,Date of Birth,Address,City,State,Zip,Origin Code,"
     "Covered All Year,Jan,Feb",
     "First name=2; Last name=1; Social security number=3; Date of birth=4; "
     "Street address line 1=5; City=6; State=7; Zip code=8; Origin of Health Coverage Code=9; "
     "JAN-DEC coverage=10; JAN coverage=11; FEB coverage=12"},
    {"1095-B CI", "Import ID,First Name,Last Name,SSN,DOB,Full Year",
     "Import ID=1; First name=2; Last name=3; Social security number=4; Date of birth=5; "
     "JAN-DEC coverage=6"},
    {"1095-C",
     "Employee ID,First Name,Last Name,SSN,Age on Jan 1,Plan Start Month,"
     "All 12 Months Line 14,All 12 Months Line 15,All 12 Months Line 16,Jan Offer Code",
     "Employee ID=1; First name=2; Last name=3; Social security number=4; Age on Jan 1=5; "
     "Plan Start Month=6; JAN-DEC coverage code=7; JAN-DEC employee share=8; "
     "JAN-DEC safe harbor code=9; JAN coverage code=10"},
    {"1095-C CI", "First Name,Middle Initial,Last Name,SSN,Birth Date,Covered All 12 Months",
     "First name=1; Middle initial=2; Last name=3; Social security number=4; Date of birth=5; "
     "JAN-DEC coverage=6"},
    {"1098",
     "Borrower Name,Borrower SSN,Property Address,Mortgage Interest,Points Paid,"
     "Mortgage Insurance Premiums,Outstanding Principal,Origination Date,Property Tax",
     "Name line 1=1; Taxpayer id=2; Real estate taxes=9; "
     "Box 1 - Mortgage interest received from payer=4; "
     "Box 2 - Outstanding mortgage principal as of 1/1/2022=7; "
     "Box 3 - Mortgage origination date=8; Box 5 - Mortgage insurance premiums=6; "
     "Box 6 - Points paid on purchase of principal residence=5; "
     "Box 8 - Address of property securing mortgage line 1=3"},
    {"1098-C", "Donor Name,Donor TIN,Date of Contribution,VIN,Year,Make,Model,Gross Proceeds",
     "Name line 1=1; Taxpayer id=2; Date of contribution=3; Year=5; Make=6; Model=7; "
     "Vehicle ID number=4; Box 4c - Gross proceeds=8"},
    {"1098-E", "Borrower Name,SSN,Account Number,Student Loan Interest",
     "Name line 1=1; Taxpayer id=2; Account number=3; Box 1 - Student loan interest received=4"},
    {"1098-F", "Payer Name,TIN,Total Amount,Violation,Restitution,Date of Order,Case Number",
     "Name line 1=1; Taxpayer id=2; Total amount to be paid=3; Violation amount=4; "
     "Restitution amount=5; Date of order=6; Case number=7"},
    {"1098-T", "Student Name,Student SSN,Payments Received,Scholarships,Half Time,Graduate",
     "Name line 1=1; Taxpayer id=2; Box 1 - Payments received=3; "
     "Box 5 - Scholarships or grants=4; Box 8 - Half-time student indicator=5; "
     "Box 9 - Graduate student indicator=6"},
    {"1099-A", "Borrower,Borrower TIN,Acquisition Date,Principal Balance,FMV,Personally Liable",
     "Name line 1=1; Taxpayer id=2; Date of lender's acquisition=3; Box 5 - Liability indicator=6; "
     "Balance of principal outstanding=4; FMV of property=5"},
    {"1099-B",
     "Customer,SSN,Description,Date Acquired,Date Sold,Proceeds,Cost Basis,"
     "Wash Sale Loss,Federal Withholding",
     "Name line 1=1; Taxpayer id=2; Description of property=3; Date acquired=4; "
     "Date sold or disposed=5; Proceeds=6; Cost or other basis=7; Wash sale loss disallowed=8; "
     "Federal income tax withheld=9"},
    {"1099-C", "Debtor Name,Debtor TIN,Date of Event,Amount Discharged,Interest,Event Code",
     "Name line 1=1; Taxpayer id=2; Event Date=3; Amount of debt discharged=4; Interest=5; "
     "Event Code=6"},
    {"1099-CAP", "Shareholder,TIN,Date of Sale,Amount Received,Shares Exchanged,Class of Stock",
     "Name line 1=1; Taxpayer id=2; Date of sale or exchange=3; Aggregate amount received=4; "
     "Number of shares exchanged=5; Classes of stock exchanged=6"},
    {"1099-DIV", "Shareholder Name,SSN,Box 1a,Box 1b,Box 2a,Box 3,Box 4,Box 5,Box 7",
     "Name line 1=1; Taxpayer id=2; Total ordinary dividends=3; Qualified dividends=4; "
     "Total capital gain distributions=5; Nondividend distributions=6; "
     "Federal income tax withheld=7; Section 199A dividends=8; Foreign tax paid=9"},
    {"1099-G",
     "Claimant Name,SSN,Unemployment Compensation,State Tax Refund,Tax Year,"
     "Federal Tax Withheld,State,State Tax Withheld",
     "Taxpayer id=2; Unemployment compensation=3; State or local income tax refunds or credits=4; "
     "Tax year for which refunds or credits were issued=5; Federal income tax withheld=6; "
     "State 1=7; State 1 tax withheld=8"},
    {"1099-INT",
     "Account Number,Name,SSN,Interest,Early Withdrawal Penalty,Savings Bond Interest,"
     "Fed W/H,Tax-Exempt Interest",
     "Name line 1=2; Taxpayer id=3; Account number=1; Interest income=4; "
     "Early withdrawal penalty=5; Interest on US Savings Bonds and Treasury obligations=6; "
     "Federal income tax withheld=7; Tax-exempt interest=8"},
    {"1099-K", "Payee Name,Payee TIN,Gross Amount,Card Not Present,Transactions,Jan,Feb,Mar",
     "Name line 1=1; Taxpayer id=2; Number of payment transactions=5; Gross amount=3; "
     "Card not present transactions=4; JAN payments=6; FEB payments=7; MAR payments=8"},
    {"1099-LTC",
     "Policyholder Name,Policyholder SSN,Gross LTC Benefits,Accelerated Death Benefits,"
     "Insured Name,Insured SSN",
     "Policyholder's name line 1=1; Policyholder's taxpayer ID=2; "
     "Gross long-term care benefits=3; Accelerated death benefits=4; Insured's taxpayer ID=6; "
     "Insured's name line 1=5"},
    {"1099-MISC",
     "Payee,Tax ID,Rents,Royalties,Other Income,Medical Payments,Attorney Fees,"
     "Fed Tax Withheld",
     "Name line 1=1; Taxpayer id=2; Rents=3; Royalties=4; Other income=5; "
     "Federal income tax withheld=8; Medical and health care=6; "
     "Gross proceeds paid to an attorney=7"},
    {"1099-NEC", "First Name,Middle,Last Name,Tax ID,Address 1,City,State,Zip,Amount",
     "Name line 1=1+2+3; Street address line 1=5; City=6; State=7; Zip code=8; Taxpayer id=4; "
     "Nonemployee compensation=9"},
    {"1099-OID", "Holder,TIN,OID,Other Periodic Interest,Acquisition Premium,Tax-Exempt OID",
     "Taxpayer id=2; OID for 2022=3; Other periodic interest=4; Acquisition premium=5; "
     "Tax-exempt OID=6"},
    {"1099-PATR",
     "Patron Name,Patron TIN,Patronage Dividends,Nonpatronage Distributions,"
     "Per-Unit Retain Allocations,Qualified Payments",
     "Name line 1=1; Taxpayer id=2; Patronage dividends=3; Nonpatronage distributions=4; "
     "Per-unit retain allocations=5; Qualified payments=6"},
    {"1099-Q", "Recipient,SSN,Gross Distribution,Earnings,Basis,Trustee to Trustee Transfer",
     "Name line 1=1; Taxpayer id=2; Box 1 - Gross distribution=3; Box 2 - Earnings=4; "
     "Box 3 - Basis=5; Box 4 - Trustee-to-trustee transfer indicator=6"},
    {"1099-R",
     "Participant,SSN,Gross Distribution,Taxable Amount,Federal Withholding,"
     "Distribution Code,Date Paid",
     "Name line 1=1; Taxpayer id=2; Date of payment=7; Distribution code=6; "
     "Gross distribution=3; Taxable amount=4; Federal income tax withheld=5"},
    {"1099-S",
     "Transferor Name,Transferor TIN,Closing Date,Gross Proceeds,Property Address,"
     "Buyer's Part of Real Estate Tax",
     "Name line 1=1; Taxpayer id=2; Closing date=3; Description of property line 1=5; "
     "Gross proceeds=4; Buyer's part of real estate tax=6"},
    {"1099-SA",
     "Recipient Name,SSN,Gross Distribution,Earnings on Excess Contributions,"
     "Distribution Code,HSA",
     "Name line 1=1; Taxpayer id=2; Gross distribution=3; Earnings on excess contributions=4; "
     "Distribution code=5; Box 5 - HSA indicator=6"},
    {"3921", "Employee Name,SSN,Grant Date,Exercise Date,Exercise Price,FMV on Exercise,Shares",
     "Name line 1=1; Taxpayer id=2; Date option granted=3; Date option exercised=4; "
     "Price per share=5; FMV per share=6; Number of shares=7"},
    {"3922",
     "Employee Name,SSN,Grant Date,Exercise Date,FMV on Grant Date,FMV on Exercise Date,"
     "Price Paid,Shares Transferred",
     "Name line 1=1; Taxpayer id=2; Date option granted=3; Date option exercised=4; "
     "FMV per share on grant date=5; FMV per share on exercise date=6; "
     "Exercise price paid per share=7; Number of shares transferred=8"},
    {"5498", "Participant Name,SSN,IRA Contributions,Rollover,Roth Conversion,FMV,RMD,RMD Amount",
     "Name line 1=1; Taxpayer id=2; Box 1 - IRA contributions=3; "
     "Box 2 - Rollover contributions=4; Box 3 - Roth IRA conversion amount=5; "
     "Box 5 - FMV of account=6; Box 11 - RMD Indicator for 2023=7; Box 12b - RMD amount=8"},
    {"5498-ESA", "Beneficiary,SSN,Coverdell Contributions,Rollover Contributions",
     "Name line 1=1; Taxpayer id=2; Box 1 - Coverdell ESA contributions=3; "
     "Box 2 - Rollover contributions=4"},
    {"5498-SA", "Participant,SSN,Total Contributions,Rollover,FMV,HSA",
     "Name line 1=1; Taxpayer id=2; Box 2 - Total contributions made in 2022=3; "
     "Box 4 - Rollover contributions=4; Box 5 - FMV of HSA, Archer MSA, or MA MSA=5; "
     "Box 6 - HSA indicator=6"},
    {"W-2",
     "Employee SSN,First Name,Last Name,Wages,Federal Income Tax,SS Wages,SS Tax,"
     "Medicare Wages,Medicare Tax,Box 12a Code,Box 12a Amount,State,State Wages,"
     "State Income Tax",
     "First name=2; Last name=3; Social security number=1; Wages=4; Federal withheld=5; "
     "Social security wages=6; Social security tax=7; Medicare wages and tips=8; "
     "Medicare tax=9; Box 12a code=10; Box 12a amount=11; State 1=12; State 1 wages=13; "
     "State 1 tax withheld=14"},
    {"W-2C",
     "Tax Year,First Name,Last Name,SSN,Previous Wages,Corrected Wages,"
     "Previously Reported Federal Income Tax,Corrected Federal Income Tax",
     "Year corrected=1; First name=2; Last name=3; Correct SSN=4; Previous wages=5; "
     "Previous federal income tax=7; Corrected wages=6; Corrected federal income tax=8"},
    {"W-2G",
     "Winner,Winner TIN,Gross Winnings,Date Won,Type of Wager,Federal Tax Withheld,"
     "State Winnings,State Tax Withheld",
     "Name line 1=1; Taxpayer id=2; Gross winnings=3; Federal income tax withheld=6; "
     "Type of wager code (1-9)=5; Date won=4; State winnings=7; State income tax withheld=8"},
};

TEST(SuggestMapping, EveryLayoutMapsTheHeaderRowOfItsExports)
{
    std::vector<std::string> covered;
    for (const FormCase& c : kFormCases) {
        EXPECT_EQ(Applied(c.form, c.header), c.applied) << c.form;
        covered.emplace_back(c.form);
    }
    for (int form = 0; form < kFormCount; ++form) {
        const std::string name(FormNames[static_cast<size_t>(form)]);
        EXPECT_NE(std::find(covered.begin(), covered.end(), name), covered.end()) << name;
    }
}

// One column alone: the field it fills at the default confidence, empty when none. The words
// are normalised (case, punctuation, possessives, "#", "No.", words of no meaning) and never
// cross a number, federal and state, or the payer and the recipient.
TEST(SuggestMapping, AHeaderAloneFindsItsFieldOrNone)
{
    struct Case
    {
        const char* form;
        const char* header;
        const char* field;
        int minimum = kHighConfidence;
    };
    const Case cases[] = {
        // The issue's examples, and the ways a box is named.
        {"1099-NEC", "Recipient Taxpayer ID Number", "Taxpayer id"},
        {"1099-NEC", "Payee TIN", "Taxpayer id"},
        {"1099-NEC", "SSN", "Taxpayer id"},
        {"1099-NEC", "Rcp TIN", "Taxpayer id"},
        {"1099-NEC", "Box 1 Amount", "Nonemployee compensation"},
        {"1099-NEC", "nonemployee_comp", "Nonemployee compensation"},
        {"1099-NEC", "nonEmployeeComp", "Nonemployee compensation"},
        {"1099-NEC", "Zip/Postal Code", "Zip code"},
        {"1099-NEC", "Box 4", "Federal income tax withheld"},
        {"1099-NEC", "Box 4 Amount", "Federal income tax withheld"},
        {"1099-NEC", "4 Federal income tax withheld", "Federal income tax withheld"},
        {"1099-NEC", "federal_tax_withheld", "Federal income tax withheld"},
        {"1099-NEC", "FEDTAXWH", "Federal income tax withheld"},
        {"1099-NEC", "Fed W/H", "Federal income tax withheld"},
        {"W-2", "1 Wages, tips, other compensation", "Wages"},
        {"W-2", "Box 12a Code", "Box 12a code"},
        {"W-2", "Box 12a", "Box 12a amount"},
        {"W-2", "Box 12 Code-A", "Box 12a code"},
        {"W-2", "Box 12 Amount-B", "Box 12b amount"},
        {"W-2", "Employee\xE2\x80\x99s SSN", "Social security number"},
        {"W-2", "Employee\x92s SSN", "Social security number"},
        {"W-2", "Box 13 Checkbox 2", "Retirement plan indicator"},
        {"W-2", "Box 16(2)", "State 2 wages"},
        // Normalising: "#", "No.", "Nbr", blanks, underscores, case.
        {"1099-INT", "Acct #", "Account number"},
        {"W-2", "SS #", "Social security number"},
        {"W-2", "File #", "File (Control) number"},
        {"Clients", "State #2 ID", "State #2 ID"},
        {"1099-INT", "Account No.", "Account number"},
        {"1099-INT", "Tax ID Nbr", "Taxpayer id"},
        {"1099-INT", "ZIP   CODE", "Zip code"},
        {"1099-INT", "recipient_tin", "Taxpayer id"},
        {"1099-INT", "State 1 Tax Withheld", "State 1 tax withheld"},
        {"1099-INT", "U.S. Savings Bonds", "Interest on US Savings Bonds and Treasury obligations"},
        {"1099-K", "$ Sales", "Gross amount"},
        {"1099-R", "1st year of designated ROTH contributions",
         "First year of designated Roth contribution"},
        {"W-2", "3rd Party Sick Pay", "Third-party sick pay indicator"},
        {"1099-NEC", "Street address (including apt. no.)", "Street address line 1"},
        {"1099-NEC", "Account number (see instructions)", "Account number"},
        {"W-2", "Employee Location Address", "Street address line 2"},
        // A return's name before its box, and a box of another year's form.
        {"1099-DIV", "1099-DIV-2A Total Capital Gain Distributions",
         "Total capital gain distributions"},
        {"1099-DIV", "1099-DIV-3 Nondividend Distributions", "Nondividend distributions"},
        {"W-2", "Form W-2 Box 1", "Wages"},
        {"1099-DIV", "1099-DIV-11 Exempt Interest Dividends", ""},
        {"1099-DIV", "1099-DIV-11 Exempt Interest Dividends", "Exempt-interest dividends",
         kMediumConfidence},
        {"1099-INT", "Box 4 Interest income", ""},
        // Numbers and jurisdictions decide.
        {"1099-NEC", "State 2 Income", "State 2 income"},
        {"1099-NEC", "State Income", "State 1 income"},
        {"1099-NEC", "Address 3", ""},
        {"1099-NEC", "State 3 Income", ""},
        {"W-2", "State Wages", "State 1 wages"},
        {"W-2", "Medicare Wages", "Medicare wages and tips"},
        {"W-2", "Local Tax", "Locality 1 tax withheld"},
        {"W-2", "Local Tax Code", "Name of locality 1"},
        {"W-2", "Local Tax Code 2", "Name of locality 2"},
        {"W-2", "Local Wages 2", "Locality 2 wages"},
        {"W-2", "Locality 3", ""},
        {"1099-MISC", "Box 16", "State 1 tax withheld"},
        {"1099-MISC", "Box 16 Federal", ""},
        {"1099-MISC", "Box 7 Nonemployee compensation", ""},
        // The payer's columns fill no field of the recipient.
        {"1099-NEC", "Payer Name", ""},
        {"1099-NEC", "Payer TIN", ""},
        {"1099-NEC", "Payer's State No.", ""},
        {"W-2", "Employer EIN", ""},
        {"W-2", "Employer State ID (Box 15)", ""},
        {"1099-NEC", "Payer made direct sales of $5000 or more", "Direct sales indicator"},
        {"1099-NEC",
         "Payer made direct sales totaling $5,000 or more of consumer products to recipient for "
         "resale",
         "Direct sales indicator"},
        // On the 1098 the lender files and the borrower is the payer.
        {"1098", "Lender TIN", ""},
        {"1098", "Payer/Borrower TIN", "Taxpayer id"},
        {"1098", "Recipient Name", ""},
        // Amounts are no check boxes, and the other way round.
        {"5498", "RMD Amount", "Box 12b - RMD amount"},
        {"W-2", "Statutory Employee Checkbox", "Statutory employee indicator"},
        {"W-2", "Allocated Tips Checkbox", ""},
        {"1099-B", "Gain/(Loss)", ""},
        {"1099-R", "Taxable amount not determined", "Taxable amount not determined indicator"},
        // Abbreviations read by their neighbours, and headers that fit two fields alike.
        {"W-2", "MedWages", "Medicare wages and tips"},
        {"1099-MISC", "Med Payments", "Medical and health care"},
        {"1099-NEC", "1099 Amount", "Nonemployee compensation"},
        {"1099-NEC", "State Withholding", "State 1 tax withheld"},
        {"W-2", "Social Security", ""},
        {"1099-NEC", "Vendor Type", ""},
        // Words that say nothing of a field.
        {"1099-NEC", "Notes", ""},
        {"1099-NEC", "1099 Box", ""},
        {"W-2", "Department", ""},
    };
    for (const Case& c : cases) {
        const std::string applied = Applied(c.form, std::string("\"") + c.header + "\"", c.minimum);
        const std::string expected = *c.field ? std::string(c.field) + "=1" : "";
        EXPECT_EQ(applied, expected) << c.form << ": " << c.header;
    }
}

// Each column feeds one field and each field takes one column, the best first; a layout with
// separate name fields takes the name columns one to one, a layout with one name line merges
// them into it.
TEST(SuggestMapping, ColumnsAndFieldsAreUsedOnce)
{
    EXPECT_EQ(Applied("1099-DIV", "State,State,State Tax Withheld,City"),
              "City=4; State=1; State 1=2; State 1 tax withheld=3");
    // A group of columns repeated is the next line of its series.
    EXPECT_EQ(Applied("W-2", "SSN,State,State Wages,State Tax,State,State Wages,State Tax,State,"
                             "State Wages"),
              "Social security number=1; State 1=2; State 1 wages=3; State 1 tax withheld=4; "
              "State 2=5; State 2 wages=6; State 2 tax withheld=7");
    EXPECT_EQ(
        Applied("W-2", "City,State,Zip,State,State Wages,State,State Wages,Local Tax,,Local Tax,"),
        "City=1; State=2; Zip code=3; State 1=4; State 1 wages=5; Locality 1 tax withheld=8; "
        "State 2=6; State 2 wages=7");
    EXPECT_EQ(Applied("1099-NEC", "SSN,TIN,Tax ID"), "Taxpayer id=1");
    EXPECT_EQ(Applied("W-2", "First Name,Middle Name,Last Name,Suffix"),
              "First name=1; Middle initial=2; Last name=3; Suffix=4");
    EXPECT_EQ(Applied("1099-MISC", "Last Name,Suffix,First Name,MI,Amount"), "Name line 1=3+4+1+2");
    EXPECT_EQ(Applied("1099-MISC", "Name,First Name,Last Name"), "Name line 1=1");
    // A column that names no side, in the payer's block before the recipient's, is the payer's
    // as likely as not: proposed, not applied. After the recipient's columns it is theirs.
    EXPECT_EQ(Applied("1099-MISC", "Payer Entity ID,Account Number,Tax Year,Recipient TIN,Rents"),
              "Taxpayer id=4; Rents=5");
    EXPECT_EQ(
        Applied("1099-MISC", "Payer Entity ID,Account Number,Recipient TIN", kMediumConfidence),
        "Taxpayer id=3; Account number=2");
    EXPECT_EQ(Applied("1099-MISC", "Payer TIN,Recipient TIN,Account Number,Payer Name,Rents"),
              "Taxpayer id=2; Account number=3; Rents=5");
    EXPECT_EQ(Applied("1099-MISC", "Payer TIN,Account Number,Rents"), "Account number=2; Rents=3");
}

TEST(SuggestMapping, ConfidenceBands)
{
    EXPECT_EQ(BandName(BandOf(100)), std::string("high"));
    EXPECT_EQ(BandName(BandOf(kHighConfidence)), std::string("high"));
    EXPECT_EQ(BandName(BandOf(kHighConfidence - 1)), std::string("medium"));
    EXPECT_EQ(BandName(BandOf(kMediumConfidence)), std::string("medium"));
    EXPECT_EQ(BandName(BandOf(kMediumConfidence - 1)), std::string("low"));
    EXPECT_EQ(BandName(BandOf(0)), std::string(""));
}

// Every caption the synonym and box lists name is a field of its layout, so that no entry is
// lost to a typing error; every box label reads as one.
TEST(SuggestTables, EveryEntryNamesAFieldOfItsLayout)
{
    std::vector<std::string> definitions;
    const auto hasCaption = [&definitions](std::string_view form, std::string_view caption) {
        definitions.clear();
        BuildFormSchema(FindFormIndex(form), definitions);
        return std::any_of(definitions.begin(), definitions.end(),
                           [&](const std::string& d) { return CaptionOf(d) == caption; });
    };
    for (const BoxEntry& entry : BoxTable()) {
        EXPECT_TRUE(hasCaption(entry.form, entry.caption)) << entry.form << ": " << entry.caption;
        EXPECT_TRUE(IsBoxLabel(entry.label)) << entry.form << ": " << entry.label;
    }
    for (const SynonymEntry& entry : SynonymTable()) {
        if (entry.form.front() == '*' || std::string_view(entry.caption).find('{') != npos)
            continue;
        EXPECT_TRUE(hasCaption(entry.form, entry.caption)) << entry.form << ": " << entry.caption;
    }
}

// The notice on opening a map whose file's header line changed names every column that moved,
// vanished, is new or bears another name.
TEST(HeaderChanges, AreNamedColumnByColumn)
{
    struct Case
    {
        std::vector<std::string> saved;
        std::vector<std::string> current;
        const char* text;
        size_t limit = 10;
    };
    const Case cases[] = {
        {{"Name", "TIN", "Amount"}, {"name ", "TIN", "Amount"}, ""},
        {{"Name", "Zip", "TIN", "Amount"},
         {"Name", "Zip", "Tax ID"},
         "Column 3 was \"TIN\", now \"Tax ID\"; column 4 \"Amount\" is gone."},
        {{"Name", "TIN", "Amount"},
         {"TIN", "Name", "Amount", "Memo"},
         "Column 1 \"Name\" is now column 2; column 2 \"TIN\" is now column 1; column 4 "
         "\"Memo\" is new."},
        {{"Name", "", "Amount"}, {"Name", "Extra", "Amount"}, "Column 2 \"Extra\" is new."},
        {{"A", "B", "C", "D"},
         {"E", "F", "G", "H"},
         "Column 1 was \"A\", now \"E\"; column 2 was \"B\", now \"F\"; and 2 more changes.",
         2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            DescribeHeaderChanges(CompareHeaders(c.saved, c.current), 2 + (c.saved.size() < 4)),
            c.text);
    }
}

} // namespace

// The words that name the person a record is about and the filer, layout by layout. On most
// returns the filer is the payer and the person the recipient; on the 1098 family the
// "recipient" is the lender who files, and the payer is the borrower the record is about.
#include "schema/FormCatalogue.h"
#include "suggest/SuggestTables.h"

namespace impmap::suggest {
namespace {

struct FormRolesEntry
{
    std::string_view form;
    Roles roles;
};

// The client, sponsor and ALE records describe the filer itself.
constexpr Roles kFilerRecord{"payer employer filer client company sponsor member ale business", "",
                             false};

constexpr FormRolesEntry kRoles[] = {
    {"Clients", kFilerRecord},
    {"Sponsors", kFilerRecord},
    {"ALE Group", kFilerRecord},
    {"1094-C", kFilerRecord},
    {"1095-B", {"responsible individual insured covered employee", "issuer provider employer"}},
    {"1095-B CI", {"covered individual insured dependent", "issuer provider employer"}},
    {"1095-C", {"employee individual", "employer ale issuer"}},
    {"1095-C CI", {"covered individual dependent employee", "employer ale issuer"}},
    {"1098", {"payer borrower mortgagor", "recipient lender mortgagee filer", false}},
    {"1098-C", {"donor", "donee organization filer"}},
    {"1098-E", {"payer borrower student", "recipient lender filer", false}},
    {"1098-F", {"payer", "filer"}},
    {"1098-T", {"student", "filer school institution university college"}},
    {"1099-A", {"borrower debtor", "lender creditor filer"}},
    {"1099-C", {"borrower debtor", "lender creditor filer"}},
    {"1099-K", {"payee merchant participating", "filer"}},
    {"1099-LTC", {"policyholder", "payer filer issuer"}},
    {"1099-Q", {"recipient", "payer trustee filer"}},
    {"1099-S", {"transferor seller", "filer settlement"}},
    {"1099-SA", {"recipient", "payer trustee filer"}},
    {"3921", {"employee transferee", "transferor corporation filer"}},
    {"3922", {"employee transferee", "transferor corporation filer"}},
    {"5498", {"participant", "trustee issuer filer"}},
    {"5498-ESA", {"beneficiary participant", "trustee issuer filer"}},
    {"5498-SA", {"participant", "trustee issuer filer"}},
    {"W-2", {"employee", "employer company"}},
    {"W-2C", {"employee", "employer company"}},
    {"W-2G", {"winner", "payer filer"}},
};

// Every other return: payer and recipient.
constexpr Roles kPayerRecipient{"", "payer filer issuer transmitter employer"};

} // namespace

Roles FormRoles(int formIndex)
{
    if (formIndex < 0 || formIndex >= kFormCount)
        return kPayerRecipient;
    const std::string_view name = FormNames[static_cast<size_t>(formIndex)];
    for (const FormRolesEntry& entry : kRoles) {
        if (entry.form == name)
            return entry.roles;
    }
    return kPayerRecipient;
}

} // namespace impmap::suggest

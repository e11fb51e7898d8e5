#pragma once

#include "execute/Engine.h"
#include "mapping/DestinationRow.h"

#include <string>
#include <string_view>
#include <vector>

// Plausibility warnings of a check: values that pass their type's rules but are unlikely to be
// what the user meant (numbers never issued, a zip code that lost its leading zero, a TIN type
// carried over from an earlier record). They never stop a run and never change a value.
namespace impmap {

// Each rule gives the reason for its warning ("..., a social security number never issued"), or
// an empty text when the value is plausible. Empty values are always plausible.
std::string SsnReason(std::string_view nineDigits);
std::string EinReason(std::string_view nineDigits);
std::string ZipReason(std::string_view zip, bool foreignAddress);
std::string StateReason(std::string_view state);
std::string EmailReason(std::string_view email);
// A zip code extension of fewer than 4 digits: it lost its leading zeros.
std::string ZipExtensionReason(std::string_view extension);
// A written percentage outside 0 to 100.
std::string PercentageReason(std::string_view percentage);
// A written date (MMDDYYYY) more than a year before or after the tax year.
std::string DateReason(std::string_view date);
// A money amount whose conversion changes its meaning, judged on source, the value as it stands
// in the file: a negative amount of a field that takes none (typeCode 'c'), a decimal comma,
// grouping commas in the wrong places, blank-separated pieces that are added up.
std::string AmountReason(std::string_view source, char typeCode);

// The tax year the import files are for.
inline constexpr int kTaxYear = 2022;

// The rules for one mapping. Which rule a row gets is decided once, from its type code and
// caption; Check then runs them over each record.
class PlausibilityRules
{
public:
    // tinTypeValue: the fixed TIN type the user gave (empty when none).
    PlausibilityRules(const std::vector<DestinationRow>& rows, std::string tinTypeValue);

    // Appends the record's warnings to out, in row order. values: the written values, one per
    // row; sourceFields: the record's source fields after merges.
    void Check(long record, RecordViews values, RecordViews sourceFields,
               std::vector<FieldProblem>& out) const;

    // The check line of a warning: "Record N: Warning: " and its text.
    static std::string Line(const FieldProblem& warning);

private:
    enum class Rule
    {
        None,
        Ssn,
        Ein,
        TaxpayerId,
        Zip,
        ZipExtension,
        State,
        Email,
        Percentage,
        Date,
        Amount
    };

    std::string TinTypeCarried(RecordViews values, RecordViews sourceFields) const;

    std::vector<DestinationRow> rows_;
    std::vector<Rule> rules_;
    std::vector<size_t> checkedRows_; // the rows with a rule, and the TIN type row, in order
    std::vector<bool> ssnCaption_;    // a taxpayer id row whose caption says SSN
    std::string tinTypeValue_;
    int tinTypeRow_ = -1;  // the last T row
    int taxpayerRow_ = -1; // the last N row, whose form decides the T row
    int foreignRow_ = -1;  // the foreign address indicator
};

} // namespace impmap

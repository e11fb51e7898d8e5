#pragma once

#include "execute/Engine.h"
#include "mapping/DestinationRow.h"
#include "source/SourceFormat.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A mapping compiled once per run into per-row steps: where each value comes from (a source
// field with its merges, or a fixed value converted in advance), the conversion the record
// display applies to it, and the rule the run applies after that.
namespace impmap {

class Workspace;

// The record display's conversion of one row, by its type code and place.
enum class DisplayStep : unsigned char
{
    None,
    TinType,      // trimmed, then ConvertTinType
    Amount,       // trimmed, then TryConvertAmount
    Whole,        // trimmed, then ConvertWholeNumber
    Nine,         // trimmed, then the last nine digits
    Indicator,    // trimmed, then ConvertIndicator
    LastTaxpayer, // the last taxpayer id: trimmed, dashes of an EIN or SSN form dropped
    LastSsn,      // the last social security number: trimmed, dashes of an SSN form dropped
};

struct PlanRow
{
    enum class Kind : unsigned char
    {
        Constant,  // a fixed value: constant holds what the run writes
        Text,      // a source value written trimmed, without conversion
        Amount,    // a money amount (fast one-pass conversion, general path for the rest)
        Indicator, // an indicator (the yes and no words directly, general path for the rest)
        General,   // display step and rule on a copy of the value
        TinType,   // the last TIN type row: set from the last taxpayer id of each record
    };
    Kind kind = Kind::Text;
    DisplayStep display = DisplayStep::None;
    int field = 0;        // source field (1-based), 0 when not mapped
    bool merged = false;  // the field has a merge
    bool hasRule = false; // the run's rule does something for this type code
    DestinationRow row;   // caption and type code for the rules and their messages
    std::string constant;
    std::string notAllocated; // what the display shows for a field the record lacks
};

struct ExecutionPlan
{
    // Nothing when a fixed value would make the compiled steps differ from the plain engine:
    // one whose conversion does not settle after one pass, or that fails its rule (the plain
    // engine then reports it with the record it fails on).
    static std::optional<ExecutionPlan> Compile(const Workspace& workspace,
                                                const ExecuteOptions& options);

    std::vector<PlanRow> rows;
    char delimiter = ',';
    bool implied = false;
    bool headerHint = false; // record 1 failures add the hint about skipping the header
    TextEncoding encoding = TextEncoding::Windows1252;
    std::array<int, 1001> merges{}; // merges[k]: field appended to field k (0: none)
    std::vector<int> activeMerges;  // the fields k with a merge, highest first
    int maxField = 0;               // the highest source field whose text a row can need
    int mappedRows = 0;
    // Whether the run gathers each record's values and source fields for RecordValues.
    bool keepValues = false;
    bool keepFields = false; // and the source fields too

    // At least the bytes that showing a record of lineLength bytes can hold in merged fields
    // and mapped values (the record budget's measure); exact enough to pass any common record.
    size_t ValueBound(size_t lineLength) const;

    // The last taxpayer id decides the last TIN type row.
    int lastTaxpayerRow = -1;
    int lastTinTypeRow = -1;
    std::string tinTypeValue;      // the fixed TIN type, empty when none
    std::string fixedTinType;      // an unmapped last TIN type row as every record shows it
    std::string lastTaxpayerFixed; // the last taxpayer id when it is fixed, trimmed
};

// Applies a display step to value in place (typeCode tells money amounts c and C apart).
void ApplyDisplayStep(DisplayStep step, char typeCode, std::string& value, bool implied);

} // namespace impmap

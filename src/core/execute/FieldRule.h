#pragma once

#include "execute/Engine.h"
#include "mapping/DestinationRow.h"

#include <optional>
#include <string>
#include <vector>

// The conversion and check of one destination value by its row's type code, exactly as a run
// applies it; shared by the engines so that both word every result and message alike.
namespace impmap {

// The head of every message a failed run ends with.
inline constexpr char kFailedHead[] = "Execution failed!\r\n\r\n";

struct FieldRuleFailure
{
    std::string message;   // the message a run ends with
    std::string checkLine; // the same problem as a check report words it, without "Record N: "
};

// Converts the trimmed value of row (rowIndex, 0-based) in place for record (1-based);
// headerHint adds the hint about skipping the header to a failure message. A bad taxpayer number
// after record 1 becomes zeros and is reported through callbacks (Problem and FieldProblemFound,
// with the row's value in sourceFields, in check mode; Warning otherwise) and counted in
// warnings. Returns the failure, or nothing.
std::optional<FieldRuleFailure> ApplyFieldRule(const DestinationRow& row, int rowIndex, long record,
                                               bool headerHint, std::string& value,
                                               const std::vector<std::string>& sourceFields,
                                               ExecuteCallbacks& callbacks,
                                               const ExecuteOptions& options, bool implied,
                                               long& warnings);

} // namespace impmap

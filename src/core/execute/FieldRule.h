#pragma once

#include "execute/Engine.h"
#include "mapping/DestinationRow.h"

#include <optional>
#include <string>

// The conversion and check of one destination value by its row's type code, exactly as a run
// applies it; shared by the engines so that both word every result and message alike.
namespace impmap {

struct FieldRuleFailure
{
    std::string message;   // the message a run ends with
    std::string checkLine; // the same problem as a check report words it, without "Record N: "
};

// Converts the trimmed value in place for record (1-based); headerHint adds the hint about
// skipping the header to a failure message. A bad taxpayer number after record 1 becomes zeros
// and is reported through callbacks (Problem in check mode, Warning otherwise) and counted in
// warnings. Returns the failure, or nothing.
std::optional<FieldRuleFailure> ApplyFieldRule(const DestinationRow& row, long record,
                                               bool headerHint, std::string& value,
                                               ExecuteCallbacks& callbacks,
                                               const ExecuteOptions& options, bool implied,
                                               long& warnings);

} // namespace impmap

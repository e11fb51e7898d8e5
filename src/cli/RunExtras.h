#pragma once

#include "check/ControlTotals.h"
#include "check/FieldCountWarnings.h"
#include "check/Plausibility.h"
#include "check/ProblemRecords.h"
#include "check/SheetErrorWarnings.h"
#include "tinmatch/TinMatchCheck.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace impmap {
class Workspace;
}

// What run and check report beside the engine's own lines: the plausibility warnings (check),
// the problem records file (check --problem-records), the control totals (--totals) and the
// warnings of TIN Matching results (check --tin-results).
namespace impmap::cli {

struct ExtrasOptions
{
    bool check = false;
    bool totals = false;
    std::optional<std::string> problemRecords; // file to write
    std::vector<std::string> tinResults = {};  // TIN Matching results files to read
};

class RunExtras
{
public:
    // Takes the mapping as the run begins. Throws FileError when the problem records file
    // cannot be created or a results file cannot be read, UsageError when the mapping cannot
    // take TIN Matching results.
    RunExtras(const Workspace& workspace, const ExtrasOptions& options, std::ostream& out);

    void FieldProblemFound(const FieldProblem& problem);
    // Prints the record's plausibility warnings and writes it to the problem records file when
    // it has a problem.
    void RecordValues(long record, RecordViews values, RecordViews sourceFields);

    // Whether RecordValues does anything: check mode or control totals.
    bool WantsRecordValues() const { return options_.check || options_.totals; }
    // The plausibility rules read source fields; the totals need only the values.
    bool WantsSourceFields() const { return options_.check; }
    // Plausibility and TIN Matching warnings printed.
    long Warnings() const { return warnings_; }
    // After a completed run: writes the problem records file and prints on err what the TIN
    // Matching results could not give and the totals. Throws FileError.
    void Finish(std::ostream& err);

private:
    const Workspace& workspace_;
    ExtrasOptions options_;
    std::ostream& out_;
    PlausibilityRules rules_;
    SheetErrorWarnings sheetErrors_;
    FieldCountWarnings fieldCounts_;
    ControlTotals totals_;
    std::unique_ptr<ProblemRecordsWriter> records_;
    std::unique_ptr<TinMatchCheck> tinMatch_;
    std::vector<FieldProblem> pending_; // the problems of the record in progress
    std::vector<std::string> texts_;
    long warnings_ = 0;
};

} // namespace impmap::cli

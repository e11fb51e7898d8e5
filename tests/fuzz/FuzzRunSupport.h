#pragma once

// A fixed source file and an execution that collects everything a run tells, for the targets
// that open map files and run them.
#include "FuzzSupport.h"
#include "execute/Engine.h"
#include "mapping/Workspace.h"
#include "schema/FormCatalogue.h"

namespace impmap::fuzz {

// Names, addresses, taxpayer ids, amounts, dates, years and flags, a quoted comma, an empty last
// field and a NULL record, under a header line.
inline constexpr std::string_view kFixedSource =
    "Name,First,Last,Street,City,ST,Zip,TIN,Amount,Date,Year,Flag,Note\r\n"
    "\"Doe, John\",John,Doe,1 First Street,New York,NY,10012-1002,123-45-6789,\"$1,500.50\","
    "1/5/2022,22,Y,\r\n"
    "Jane,Jane,Smith,2 Second St,LIC,NY,11101,12-3456789,(200),12/31/21,2021,N\r\n"
    "\r\n"
    "Bob,,Jones,,Paris,TX,75460,987654321,1 2 3,20220704,99,\r\n";

inline constexpr CivilDate kFixedToday{2022, 6, 1};

class Collected : public ExecuteCallbacks
{
public:
    void Warning(const std::string& line) override { warnings.push_back(line); }
    void OutputLine(std::string_view line) override { lines.emplace_back(line); }
    void Problem(const std::string& line) override { problems.push_back(line); }

    std::vector<std::string> warnings;
    std::vector<std::string> lines;
    std::vector<std::string> problems;
};

struct Execution
{
    ExecuteResult result;
    Collected collected;
};

// Executes the workspace's mapping from record 1, as the batch command does.
inline Execution ExecuteFromFirst(Workspace& workspace, bool checkAll)
{
    Execution execution;
    workspace.GoToRecord(1);
    execution.result =
        Execute(workspace, execution.collected, ExecuteOptions{kFixedToday, checkAll});
    return execution;
}

// Every output line holds one value per destination field, written in the canonical form.
inline void CheckOutputLines(const Workspace& workspace, const std::vector<std::string>& lines,
                             std::string_view context)
{
    const size_t fieldCount = workspace.Rows().size();
    Check(workspace.FormIndex() < 0 ||
              fieldCount == static_cast<size_t>(FormFieldCount(workspace.FormIndex())),
          "a form has its own number of rows", context);
    for (const auto& line : lines) {
        const auto values = ParseOutputLine(line);
        Check(values && values->size() == fieldCount,
              "an output line has one value per destination field",
              std::string(context) + " line " + Shown(line));
    }
}

} // namespace impmap::fuzz

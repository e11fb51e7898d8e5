#pragma once

#include <optional>
#include <string>
#include <vector>

namespace impmap {

class Workspace;

// Holds Executing for the length of a run. However the run ends, the record to show is shown
// again outside the run. Showing records never changes the fixed values, so a run leaves the
// mapping as it found it.
class RunScope
{
public:
    explicit RunScope(Workspace& workspace);
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    // A run that does not show its records itself names the last one it reached: it is shown
    // under Executing before the run ends, as a run showing every record leaves it.
    void Reached(long record) { reached_ = record; }
    // The record to show at the end; without it, the record the run reached.
    void ShowAtEnd(long record) { endRecord_ = record; }

private:
    Workspace& workspace_;
    long reached_ = 0;
    std::optional<long> endRecord_;
};

} // namespace impmap

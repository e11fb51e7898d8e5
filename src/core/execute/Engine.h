#pragma once

#include "convert/CivilDate.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The execution engine: runs the current mapping over every source record, converting and
// checking each destination value by its type code, and produces one output line per record.
namespace impmap {

class Workspace;
struct DestinationRow;

// One problem found in check mode, in parts.
struct FieldProblem
{
    long record = 0;
    int row = -1;            // 0-based destination row
    std::string sourceValue; // the row's value as it stood in the source (or its fixed value)
    std::string text;        // the problem line without its "Record N: " head
    bool warning = false;    // a bad taxpayer number replaced by zeros
    bool irsAnswer = false;  // a warning from an answer of the IRS's TIN Matching
};

// A record's values or source fields, one view each, valid only during the call that gets them.
using RecordViews = std::span<const std::string_view>;

// What a run tells its caller while it goes on. All callbacks run on the caller's thread.
class ExecuteCallbacks
{
public:
    virtual ~ExecuteCallbacks() = default;
    // The record total, once, before the first record.
    virtual void Started(long total) { (void)total; }
    // Record position, for the first and last record and every step-th (1, 10 or 25) between.
    virtual void Progress(long position, long total) { (void)position, (void)total; }
    // Checked once per record; true ends the run silently.
    virtual bool Cancelled() { return false; }
    // A warning-log line ("Record 5: Bad TIN ...").
    virtual void Warning(const std::string& line) { (void)line; }
    // Once per non-NULL record, after its line: let pending window messages be processed.
    virtual void ProcessMessages() {}
    // Every tenth of a second while the fast engine waits for records that other threads are
    // still converting (a record of many megabytes): a window lets its messages through.
    virtual void Waiting() {}
    // One finished output line, without line end.
    virtual void OutputLine(std::string_view line) = 0;
    // In check mode: one problem line ("Record 4: Destination field ...").
    virtual void Problem(const std::string& line) { (void)line; }
    // In check mode, with every Problem line: the same problem in parts.
    virtual void FieldProblemFound(const FieldProblem& problem) { (void)problem; }
    // Once per non-NULL record, after its values are converted and checked and before its
    // OutputLine, in both modes: the values in row order and the record's source fields (after
    // merges) from which they came.
    virtual void RecordValues(long record, RecordViews values, RecordViews sourceFields)
    {
        (void)record, (void)values, (void)sourceFields;
    }
    // False lets the fast engine skip gathering what RecordValues gets (it then calls it not at
    // all); the plain engine calls it regardless.
    virtual bool WantsRecordValues() const { return true; }
    // False: RecordValues gets no source fields (an empty list) from either engine, which spares
    // the fast engine keeping them when only the values are wanted.
    virtual bool WantsSourceFields() const { return true; }
};

struct ExecuteOptions
{
    CivilDate today;
    // Report every problem of every record instead of stopping at the first.
    bool checkAll = false;
};

struct ExecuteResult
{
    enum class Outcome
    {
        Completed,
        Failed,
        Aborted
    };
    Outcome outcome = Outcome::Aborted;
    long records = 0;     // records in the source
    long nullRecords = 0; // NULL records skipped
    long lines = 0;       // output lines produced
    long problems = 0;    // check mode: problem lines reported, warnings included
    long failures = 0;    // check mode: fields that failed their check
    // Failed: the message as raised (before the error box's full stop), the failing record and
    // the 0-based destination row to mark (-1 when none).
    std::string message;
    long failingRecord = 0;
    int failingRow = -1;
};

// A row's value as it stood in the source: its source field (after merges) when mapped, empty
// when the record lacks that field, its fixed value when unmapped.
std::string SourceValueOf(const DestinationRow& row, const std::vector<std::string>& fields);
std::string_view SourceValueOf(const DestinationRow& row, RecordViews fields);

// "Your source file contains N NULL record." / "... records." with its second line.
std::string NullRecordNotice(long count);

// Runs the mapping. Sets Executing for the length of the run; a run started while one is going
// on returns Aborted at once. On completion the workspace shows again the record it showed
// before; on failure it shows the failing record.
ExecuteResult Execute(Workspace& workspace, ExecuteCallbacks& callbacks,
                      const ExecuteOptions& options);

} // namespace impmap

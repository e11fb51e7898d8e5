#pragma once

// Runs one map file over one source with the plain engine and with the fast one, and compares
// everything a caller can observe. Header-only so that the fuzz target can use it without
// GoogleTest.
#include "execute/Engine.h"
#include "execute/FastEngine.h"
#include "mapping/Workspace.h"

#include <fstream>
#include <string>
#include <vector>

namespace impmap::test {

// Every callback of a run, in order, as one line of text each.
class CallLog : public ExecuteCallbacks
{
public:
    CallLog(long cancelAt, bool wantsValues, bool wantsFields)
        : cancelAt_(cancelAt), wantsValues_(wantsValues), wantsFields_(wantsFields)
    {}
    void Started(long total) override { Add("started " + std::to_string(total)); }
    void Progress(long position, long total) override
    {
        position_ = position;
        Add("progress " + std::to_string(position) + "/" + std::to_string(total));
    }
    bool Cancelled() override
    {
        Add("cancelled?");
        return cancelAt_ > 0 && position_ >= cancelAt_;
    }
    void Warning(const std::string& line) override { Add("warning " + line); }
    void ProcessMessages() override { Add("messages"); }
    void OutputLine(std::string_view line) override { Add("line " + std::string(line)); }
    void Problem(const std::string& line) override { Add("problem " + line); }
    void FieldProblemFound(const FieldProblem& p) override
    {
        Add("field problem " + std::to_string(p.record) + " row " + std::to_string(p.row) +
            " source [" + p.sourceValue + "] " + p.text + (p.warning ? " (warning)" : ""));
    }
    void RecordValues(long record, RecordViews values, RecordViews sourceFields) override
    {
        if (!wantsValues_)
            return;
        std::string call = "values " + std::to_string(record) + ":";
        for (const std::string_view value : values)
            call.append(" [").append(value).append("]");
        call += " from";
        for (const std::string_view field : sourceFields)
            call.append(" [").append(field).append("]");
        Add(std::move(call));
    }
    bool WantsRecordValues() const override { return wantsValues_; }
    bool WantsSourceFields() const override { return wantsFields_; }

    std::vector<std::string> calls;

private:
    void Add(std::string call) { calls.push_back(std::move(call)); }
    long cancelAt_;
    bool wantsValues_;
    bool wantsFields_;
    long position_ = 0;
};

// What one run leaves behind.
struct RunTrace
{
    std::vector<std::string> calls;
    std::vector<std::string> result; // the result's fields as text
    std::vector<std::string> state;  // the workspace afterwards
};

struct RunSetup
{
    std::string mapText;
    std::string source;
    long showRecord = 1; // the record shown before the run
    long cancelAt = 0;   // cancel once progress reached this record
    bool checkAll = false;
    bool wantsValues = true; // what the callbacks answer to WantsRecordValues
    bool wantsFields = true; // and to WantsSourceFields
};

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Opens the map (naming src.csv in folder) and runs it with the plain engine, or the fast one
// with the given options.
inline RunTrace TraceRun(const std::string& folder, const RunSetup& setup, bool fast,
                         const FastOptions& fastOptions = {})
{
    WriteBytes(folder + "/src.csv", setup.source);
    WriteBytes(folder + "/run.MAP", setup.mapText);
    Workspace workspace;
    try {
        workspace.OpenMapping(folder + "/run.MAP", folder + "/src.csv");
    } catch (const std::exception& e) {
        return RunTrace{{}, {std::string("open failed: ") + e.what()}, {}};
    }
    workspace.GoToRecord(setup.showRecord);
    CallLog log(setup.cancelAt, setup.wantsValues, setup.wantsFields);
    const ExecuteOptions options{CivilDate{2022, 6, 1}, setup.checkAll};
    const ExecuteResult r =
        fast ? ExecuteFast(workspace, log, options, fastOptions) : Execute(workspace, log, options);
    RunTrace trace;
    trace.calls = std::move(log.calls);
    trace.result = {"outcome " + std::to_string(static_cast<int>(r.outcome)),
                    "records " + std::to_string(r.records),
                    "null records " + std::to_string(r.nullRecords),
                    "lines " + std::to_string(r.lines),
                    "problems " + std::to_string(r.problems),
                    "failures " + std::to_string(r.failures),
                    "message " + r.message,
                    "failing record " + std::to_string(r.failingRecord),
                    "failing row " + std::to_string(r.failingRow)};
    for (const DestinationRow& row : workspace.Rows())
        trace.state.push_back("row " + row.caption + " = " + row.value);
    for (const std::string& field : workspace.SourceFields())
        trace.state.push_back("field " + field);
    trace.state.push_back("current " + std::to_string(workspace.CurrentRecord()));
    trace.state.push_back("shown " + std::to_string(workspace.ShownRecord()));
    trace.state.push_back("text " + std::string(workspace.CurrentRecordText()));
    trace.state.push_back(workspace.Executing() ? "executing" : "idle");
    return trace;
}

// The first difference between two lists, or empty.
inline std::string FirstDifference(const char* what, const std::vector<std::string>& plain,
                                   const std::vector<std::string>& fast)
{
    for (size_t i = 0; i < std::max(plain.size(), fast.size()); ++i) {
        const std::string a = i < plain.size() ? plain[i] : "(nothing)";
        const std::string b = i < fast.size() ? fast[i] : "(nothing)";
        if (a != b)
            return std::string(what) + " #" + std::to_string(i) + ": plain [" + a + "] fast [" + b +
                   "]";
    }
    return {};
}

// Empty when the fast engine behaved as the plain one; otherwise the first difference.
inline std::string CompareEngines(const std::string& folder, const RunSetup& setup,
                                  const FastOptions& fastOptions)
{
    const RunTrace plain = TraceRun(folder, setup, false);
    const RunTrace fast = TraceRun(folder, setup, true, fastOptions);
    std::string difference = FirstDifference("result", plain.result, fast.result);
    if (difference.empty())
        difference = FirstDifference("call", plain.calls, fast.calls);
    if (difference.empty())
        difference = FirstDifference("state", plain.state, fast.state);
    return difference;
}

} // namespace impmap::test

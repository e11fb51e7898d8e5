#pragma once

#include "check/FieldCountWarnings.h"
#include "check/Plausibility.h"
#include "check/SheetErrorWarnings.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace impmap {

class Workspace;

// Every problem of a check, kept for the report window: the engine's problems and the
// plausibility warnings, in record order, with the source line of every record that has one, so
// that the problem records file can be written later whatever the user does to the source.
class ProblemList
{
public:
    // Problems beyond this many are counted but not listed, which bounds the memory of a check.
    static constexpr size_t kMaxListed = 500000;

    // Takes the mapping and the source settings as the check begins.
    explicit ProblemList(const Workspace& workspace, size_t maxListed = kMaxListed);

    // A problem of the record in progress.
    void Add(const FieldProblem& problem);
    // The record is done: adds its plausibility warnings and keeps its source line.
    void EndRecord(long record, RecordViews values, RecordViews sourceFields);

    const std::vector<std::string>& Captions() const { return captions_; }
    const std::vector<FieldProblem>& Problems() const { return problems_; }
    // Every problem found, listed or not.
    long Found() const { return found_; }
    bool Complete() const { return static_cast<size_t>(found_) == problems_.size(); }
    long RecordsWithProblems() const { return static_cast<long>(lines_.size()); }

    // Writes the problem records file of the listed problems. Throws FileError.
    void Save(const std::filesystem::path& path) const;

private:
    const Workspace& workspace_;
    PlausibilityRules rules_;
    SheetErrorWarnings sheetErrors_;
    FieldCountWarnings fieldCounts_;
    std::vector<std::string> captions_;
    char delimiter_;
    std::optional<std::string> header_;
    std::string sourcePath_;
    std::vector<FieldProblem> problems_;
    std::vector<FieldProblem> pending_;
    std::vector<std::pair<long, std::string>> lines_; // record number and source line
    size_t maxListed_;
    long found_ = 0;
};

} // namespace impmap

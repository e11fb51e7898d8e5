#pragma once

#include "execute/Engine.h"

#include <cstddef>
#include <string>
#include <vector>

namespace impmap {

class Workspace;

// The warnings of a check about records whose number of fields differs from the header line's
// (or, without a header, the first record's): a missing cell of a short row, or an unquoted
// delimiter inside a value ("Smith, John"), which moves every later field.
class FieldCountWarnings
{
public:
    explicit FieldCountWarnings(const Workspace& workspace);
    // Appends the warning of record, when its field count differs.
    void Check(long record, std::vector<FieldProblem>& out) const;

    // The number of fields records should have; 0 when unknown.
    size_t Expected() const { return expected_; }

    // "the record has 4 fields where the header has 6 (a missing or extra delimiter?)".
    static std::string Text(size_t fields, size_t expected, bool header);

private:
    bool Skipped(size_t line) const;

    const Workspace& workspace_;
    std::vector<size_t> skipped_; // 0-based lines not compared, ascending
    size_t expected_ = 0;         // 0: nothing to compare with
    bool header_ = false;
};

} // namespace impmap

#pragma once

#include "execute/Engine.h"

#include <cstddef>
#include <vector>

namespace impmap {

class Workspace;

// The warnings of a check about a workbook source's error values: "cell K5 holds the error #N/A"
// for each error cell of a record, in record order.
class SheetErrorWarnings
{
public:
    explicit SheetErrorWarnings(const Workspace& workspace);
    // Appends the warnings of record (records come in ascending order).
    void Check(long record, std::vector<FieldProblem>& out);

private:
    const Workspace& workspace_;
    size_t next_ = 0;
};

} // namespace impmap

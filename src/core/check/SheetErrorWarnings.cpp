#include "check/SheetErrorWarnings.h"

#include "mapping/Workspace.h"

namespace impmap {

SheetErrorWarnings::SheetErrorWarnings(const Workspace& workspace) : workspace_(workspace) {}

void SheetErrorWarnings::Check(long record, std::vector<FieldProblem>& out)
{
    const std::vector<SheetError>& errors = workspace_.SheetErrors();
    while (next_ < errors.size() && workspace_.RecordOfSheetLine(errors[next_].line) < record)
        ++next_;
    for (; next_ < errors.size() && workspace_.RecordOfSheetLine(errors[next_].line) == record;
         ++next_) {
        out.push_back({record, -1, errors[next_].text, SheetErrorText(errors[next_]), true, false});
    }
}

} // namespace impmap

#include "execute/RunScope.h"

#include "mapping/Workspace.h"

#include <exception>

namespace impmap {

RunScope::RunScope(Workspace& workspace) : workspace_(workspace)
{
    workspace_.SetExecuting(true);
}

RunScope::~RunScope()
{
    try {
        if (reached_ > 0)
            workspace_.GoToRecord(reached_);
    } catch (const std::exception&) {
        // Out of memory while unwinding: the record display stays as it is.
    }
    workspace_.SetExecuting(false);
    try {
        workspace_.GoToRecord(endRecord_ ? *endRecord_ : workspace_.CurrentRecord());
    } catch (const std::exception&) {
        // Out of memory while unwinding: the record display stays as it is.
    }
}

} // namespace impmap

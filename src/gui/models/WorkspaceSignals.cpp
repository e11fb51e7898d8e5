#include "models/WorkspaceSignals.h"

#include "mapping/Workspace.h"
#include "platform/Bytes.h"

namespace impmap::gui {

WorkspaceSignals::WorkspaceSignals(Workspace& workspace, QObject* parent)
    : QObject(parent), workspace_(workspace)
{
    workspace_.SetObserver(this);
}

WorkspaceSignals::~WorkspaceSignals()
{
    workspace_.SetObserver(nullptr);
}

void WorkspaceSignals::WorkspaceAboutToChange(unsigned changes)
{
    emit AboutToChange(changes);
}

void WorkspaceSignals::WorkspaceChanged(unsigned changes)
{
    // Every view decodes the workspace's bytes in the loaded file's encoding.
    SetTextEncoding(workspace_.Format().encoding);
    emit Changed(changes);
}

} // namespace impmap::gui

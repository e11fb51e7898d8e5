#include "models/WorkspaceSignals.h"

#include "mapping/Workspace.h"

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
    emit Changed(changes);
}

} // namespace impmap::gui

#pragma once

#include "mapping/WorkspaceObserver.h"

#include <QObject>

namespace impmap {
class Workspace;
}

namespace impmap::gui {

// Turns the workspace's change notifications into a Qt signal, so views and controllers can
// connect to it. Installs itself as the workspace's observer for its lifetime.
class WorkspaceSignals : public QObject, public WorkspaceObserver
{
    Q_OBJECT

public:
    explicit WorkspaceSignals(Workspace& workspace, QObject* parent = nullptr);
    ~WorkspaceSignals() override;

    void WorkspaceAboutToChange(unsigned changes) override;
    void WorkspaceChanged(unsigned changes) override;

signals:
    // The lines of changes (kChangeSourceLines, kChangeOutput) are about to change; Changed with
    // the same flags follows once they have.
    void AboutToChange(unsigned changes);
    // changes is an OR of impmap::WorkspaceChange flags.
    void Changed(unsigned changes);

private:
    Workspace& workspace_;
};

} // namespace impmap::gui

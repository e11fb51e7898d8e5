#pragma once

#include <QObject>

namespace impmap::gui {

struct MainWindowContext;

// Execute and Save Output: runs the engine over the workspace with the progress dialog, shows
// the warning log, fills the Output tab and saves it with the import instructions.
class ExecuteController : public QObject
{
    Q_OBJECT

public:
    explicit ExecuteController(MainWindowContext& context, QObject* parent = nullptr);

    // True from the start of a run until its clean-up is done (the window refuses to close).
    bool Busy() const { return busy_; }

private:
    MainWindowContext& context_;
    bool busy_ = false;
};

} // namespace impmap::gui

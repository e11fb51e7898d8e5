#pragma once

#include "execute/Engine.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QTreeView;

namespace impmap {
class ControlTotals;
class OutputStore;
} // namespace impmap

namespace impmap::gui {

class ExecuteDialog;
class LinesModel;
class WarningLog;
struct MainWindowContext;

// Execute and Save Output: runs the engine over the workspace with the progress dialog, shows
// the warning log, fills the Output tab and saves it with the import instructions.
class ExecuteController : public QObject
{
    Q_OBJECT

public:
    // Events are let through to the progress dialog at most this often during a run.
    static constexpr int kMessageIntervalMs = 30;
    // 0 lets events through after every record (tests that act in the middle of a run).
    void SetMessageInterval(int milliseconds) { messageIntervalMs_ = milliseconds; }

    explicit ExecuteController(MainWindowContext& context, QObject* parent = nullptr);
    ~ExecuteController() override;

    // True from the start of a run until its clean-up is done (the window refuses to close).
    bool Busy() const { return busy_; }

    // The Execute button: runs the mapping, saves the output and reports the outcome.
    void bExecuteClick();
    // The Save Output button: saves the output again; a cancelled dialog says nothing.
    void bSaveOutputClick();
    // Check All Records: runs the check with the progress dialog and its Cancel, passing the
    // problems and record values on to sink, and shows the Totals tab when it completes. A
    // failure (nothing mapped) is shown here.
    ExecuteResult RunCheck(ExecuteCallbacks& sink);

    ExecuteDialog& ProgressDialog() const { return *progress_; }
    WarningLog& Log() const { return *log_; }
    LinesModel& OutputModel() const { return *outputModel_; }

private:
    class RunCallbacks;

    ExecuteResult Run(ExecuteCallbacks* checkSink);
    void SetUp(long total);
    void Complete(OutputStore& lines, long nullRecords);
    void EndRun(bool setUp, int failingRow);
    void CleanUp(int failingRow);
    void SetRunControlsShown(bool shown);
    void MarkFailingRow(int row);
    // The Totals tab shows these totals, or is hidden for none.
    void ShowTotals(const ControlTotals* totals);
    // The Output tab is shown and Save Output enabled exactly while there is output.
    void reOutputChange(int lineCount);

    MainWindowContext& context_;
    std::unique_ptr<ExecuteDialog> progress_;
    std::unique_ptr<WarningLog> log_;
    LinesModel* outputModel_ = nullptr;
    int messageIntervalMs_ = kMessageIntervalMs;
    bool busy_ = false;
    bool checking_ = false; // the run is Check All Records: the last output and log stay
    QPointer<QWidget> focusBeforeRun_;
    // Maximised, full screen or minimised: the window comes back from the run as it was.
    Qt::WindowStates stateBeforeRun_;
};

// Selects the destination row, scrolls it into view and gives the list the focus.
void SelectDestinationRow(QTreeView* view, int row);

} // namespace impmap::gui

#pragma once

#include "io/WorkProgress.h"

#include <QString>
#include <functional>

class QWidget;

namespace impmap::gui {

// Runs work that could hold the window for longer than a moment (reading or writing a large
// source file) on a worker thread while the window's events go on: it repaints, and the user's
// input to it waits until the work ends. Once the work has taken longer than kProgressDelayMs, a
// window-modal progress dialog shows how far it is, with Cancel. The work must change nothing
// that the window's thread reads, and the window changes nothing while it runs (the workspace is
// only read by the work and changed afterwards, on the window's thread).
class BackgroundTask
{
public:
    static constexpr int kProgressDelayMs = 200;

    // title names the action ("Opening payees.csv..."), label says what is done. Work that must
    // not stop half-way (an undo step already taken) is not cancellable: its dialog has no Cancel.
    BackgroundTask(QWidget* window, QString title, QString label, bool cancellable = true);

    // Runs work to its end. False when the user cancelled: the work stopped (WorkCancelled) or
    // its result is to be dropped. What else the work threw is thrown again here.
    bool Run(const std::function<void(WorkProgress& progress)>& work);

    // True while a task runs: what would change the workspace from elsewhere (a file handed
    // over, Close) waits.
    static bool Active();

    // For tests: called on the worker thread before each task's work (a slow read made to order).
    static void SetWorkerHook(std::function<void()> hook);

private:
    QWidget* window_;
    QString title_;
    QString label_;
    bool cancellable_;
};

} // namespace impmap::gui

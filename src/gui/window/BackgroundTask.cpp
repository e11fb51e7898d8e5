#include "window/BackgroundTask.h"

#include "prompts/TitleWidth.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>
#include <utility>

namespace impmap::gui {

namespace {

int gActive = 0;
std::function<void()> gWorkerHook;

// How far the work is, written by the worker and read by the window's timer.
class SharedProgress : public WorkProgress
{
public:
    bool Continue(std::uint64_t done, std::uint64_t total) override
    {
        done_.store(done, std::memory_order_relaxed);
        total_.store(total, std::memory_order_relaxed);
        return !cancelled_.load(std::memory_order_relaxed);
    }
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    // The part done, in thousandths; -1 while the total is unknown.
    int Permille() const
    {
        const std::uint64_t total = total_.load(std::memory_order_relaxed);
        if (total == 0)
            return -1;
        const std::uint64_t done = std::min(done_.load(std::memory_order_relaxed), total);
        return static_cast<int>(done * 1000 / total);
    }

private:
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
    std::atomic<bool> cancelled_{false};
};

// The progress dialog over window until the worker has finished: its share done, or busy while
// the size is unknown, and Cancel when the work can stop.
void ShowProgressUntilFinished(const QString& title, const QString& label, bool cancellable,
                               QWidget* window, SharedProgress& progress, QEventLoop& loop,
                               const std::atomic<bool>& finished)
{
    QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, 1000, window);
    dialog.setWindowTitle(title);
    dialog.setMinimumWidth(WidthForTitle(title));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    if (cancellable) {
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
            progress.Cancel();
            dialog.setLabelText(QStringLiteral("Cancelling..."));
        });
    } else {
        dialog.setCancelButton(nullptr);
    }
    QTimer update;
    const auto show = [&] {
        const int permille = progress.Permille();
        if (permille < 0) {
            dialog.setRange(0, 0); // busy until the size is known
        } else {
            dialog.setRange(0, 1000);
            dialog.setValue(permille);
        }
    };
    QObject::connect(&update, &QTimer::timeout, &dialog, show);
    update.start(50);
    show();
    dialog.show();
    if (!finished.load())
        loop.exec();
    update.stop();
}

} // namespace

BackgroundTask::BackgroundTask(QWidget* window, QString title, QString label, bool cancellable)
    : window_(window), title_(std::move(title)), label_(std::move(label)), cancellable_(cancellable)
{}

bool BackgroundTask::Active()
{
    return gActive > 0;
}

void BackgroundTask::SetWorkerHook(std::function<void()> hook)
{
    gWorkerHook = std::move(hook);
}

bool BackgroundTask::Run(const std::function<void(WorkProgress& progress)>& work)
{
    SharedProgress progress;
    std::exception_ptr failure;
    bool stopped = false;
    std::atomic<bool> finished{false};
    QEventLoop loop;
    const std::function<void()> hook = gWorkerHook;

    // However this ends, the worker is stopped and waited for before what it uses goes.
    struct Joiner
    {
        std::thread thread;
        SharedProgress& progress;
        ~Joiner()
        {
            if (thread.joinable()) {
                progress.Cancel();
                thread.join();
            }
            --gActive;
        }
    };
    ++gActive;
    Joiner worker{std::thread([&] {
                      try {
                          if (hook)
                              hook();
                          work(progress);
                      } catch (const WorkCancelled&) {
                          stopped = true;
                      } catch (...) {
                          failure = std::current_exception();
                      }
                      finished.store(true);
                      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
                  }),
                  progress};

    // A short task ends before anything is shown; meanwhile the window repaints, and what the
    // user types or clicks waits for its end.
    QTimer delay;
    delay.setSingleShot(true);
    QObject::connect(&delay, &QTimer::timeout, &loop, &QEventLoop::quit);
    delay.start(kProgressDelayMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!finished.load()) {
        ShowProgressUntilFinished(title_, label_, cancellable_, window_, progress, loop, finished);
    }
    worker.thread.join();
    if (failure && !progress.Cancelled())
        std::rethrow_exception(failure);
    return !stopped && !progress.Cancelled();
}

} // namespace impmap::gui

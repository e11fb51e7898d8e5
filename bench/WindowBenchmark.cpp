// Times the window on a large source, offscreen: opening a map file (which loads its source) until
// record 1 is painted, Execute through the real controller and progress dialog, how long the event
// loop goes without a turn during the run, how soon a Cancel press ends a run, and Save Output.
//
//   impmap_window_benchmark MAPFILE [OUTDIR] [REPEAT]
//     OUTDIR   where the saved output goes (default: the map file's folder), as window.out
//     REPEAT   how often the whole sequence runs (default 3)
//   impmap_window_benchmark --source SOURCEFILE
//     opens a source file through the locate button, then shows record 2 (Page Down) and the
//     Source tab: for a file with a record of many megabytes, or one of gigabytes
//
// Prints one line per phase and pass, then the best and worst of each, and the saved output's
// SHA-256. The source actions (open, Header, Delimiter, Save Source) also give the longest time
// the window's thread went without a turn of its event loop ("frozen").

#include "execute/ExecuteController.h"
#include "execute/ExecuteDialog.h"
#include "mapping/Workspace.h"
#include "prompts/Prompts.h"
#include "settings/Settings.h"
#include "settings/WorkingFolders.h"
#include "window/MainWindow.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"
#include "window/SourceController.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace impmap::gui;

QElapsedTimer gClock;

double Seconds(qint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / 1e9;
}

// CPU time used so far by the whole process or by the calling (window) thread, in seconds: less
// disturbed than wall time by other work on the machine.
double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

[[noreturn]] void Fail(const QString& why)
{
    std::fprintf(stderr, "impmap_window_benchmark: %s\n", qPrintable(why));
    std::exit(1);
}

// Answers every prompt at once as a user would who goes straight through: the map file and the
// output file are the ones given, "Cancel this session?" is answered Yes, the question about
// saving the mapping No, every other box with its default. Error boxes end the benchmark.
class BenchPrompts : public Prompts
{
public:
    QString mapFile;
    QString outputFile;
    qint64 saveAskedAt = -1;    // the save dialog was asked for
    qint64 instructionsAt = -1; // the output was written and the instructions came up

    Button Message(const MessageRequest& request) override
    {
        if (request.icon == Icon::Critical)
            Fail(QStringLiteral("error box: ") + request.text);
        if (request.title == QStringLiteral("Importing Instructions"))
            instructionsAt = gClock.nsecsElapsed();
        const auto has = [&request](Button button) {
            return std::find(request.buttons.begin(), request.buttons.end(), button) !=
                   request.buttons.end();
        };
        if (request.text == QStringLiteral("Cancel this session?"))
            return Button::Yes;
        if (has(Button::No))
            return Button::No;
        return request.defaultButton;
    }
    std::optional<QString> InputText(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> OpenFileName(const QString&, const QString&, const QString&,
                                        const QString&) override
    {
        return mapFile;
    }
    std::optional<QString> SaveFileName(const QString&, const QString&, const QString&,
                                        const QString&, const QString&, int) override
    {
        saveAskedAt = gClock.nsecsElapsed();
        return outputFile;
    }
    void Beep() override {}
    std::optional<int> ChooseSheet(const QString&, const std::vector<SheetChoice>&,
                                   int preselected) override
    {
        return preselected;
    }
};

// Notes when widgets of one window are painted.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(const QWidget* window) : window_(window) {}

    int paints = 0;
    qint64 lastPaint = -1;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window_) {
            ++paints;
            lastPaint = gClock.nsecsElapsed();
        }
        return false;
    }

private:
    const QWidget* window_;
};

// Lets events through until the window has painted and then stayed quiet for a while; returns
// when the last paint ended. Without mustPaint, a window that has nothing to paint is left alone
// after a quiet while.
qint64 UntilPainted(PaintWatch& watch, bool mustPaint = true)
{
    const int before = watch.paints;
    qint64 paintedAt = -1;
    QElapsedTimer quiet;
    quiet.start();
    QElapsedTimer limit;
    limit.start();
    // Wakes the wait below at least this often; otherwise it sleeps until there are events.
    QTimer tick;
    tick.start(10);
    while (limit.elapsed() < 10000) {
        const int paints = watch.paints;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (watch.paints != paints) {
            paintedAt = gClock.nsecsElapsed();
            quiet.start();
        } else if ((watch.paints != before || !mustPaint) && quiet.elapsed() >= 100) {
            return paintedAt;
        }
    }
    Fail(QStringLiteral("the window was not painted within 10 s"));
}

// The longest time between two turns of the event loop, and between two paints of the progress
// dialog, while a run goes on.
class GapWatch : public QObject
{
public:
    GapWatch(const ExecuteDialog& dialog) : dialog_(dialog)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            Turn();
            if (onTurn)
                onTurn();
        });
    }

    std::function<void()> onTurn;
    qint64 longestTurnGap = 0;
    long gapFrom = 0; // the record positions on either side of the longest turn gap
    long gapTo = 0;
    qint64 longestPaintGap = 0;
    int paints = 0;

    void Start()
    {
        lastTurn_ = lastPaint_ = -1;
        longestTurnGap = longestPaintGap = 0;
        paints = 0;
        timer_.start();
        qApp->installEventFilter(this);
    }
    void Stop()
    {
        timer_.stop();
        qApp->removeEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && dialog_.Running() && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &dialog_) {
            const qint64 now = gClock.nsecsElapsed();
            if (lastPaint_ >= 0 && now - lastPaint_ > longestPaintGap)
                longestPaintGap = now - lastPaint_;
            if (lastPaint_ < 0 || now != lastPaint_)
                ++paints;
            lastPaint_ = now;
        }
        return false;
    }

private:
    void Turn()
    {
        if (!dialog_.Running()) {
            lastTurn_ = -1;
            return;
        }
        const qint64 now = gClock.nsecsElapsed();
        if (lastTurn_ >= 0 && now - lastTurn_ > longestTurnGap) {
            longestTurnGap = now - lastTurn_;
            gapFrom = lastPosition_;
            gapTo = dialog_.Position();
        }
        lastTurn_ = now;
        lastPosition_ = dialog_.Position();
    }

    const ExecuteDialog& dialog_;
    QTimer timer_;
    qint64 lastTurn_ = -1;
    long lastPosition_ = 0;
    qint64 lastPaint_ = -1;
};

// The longest time the window's thread goes without running a timer that ticks every 10 ms: how
// long the window stays frozen while an action runs (nested event loops included).
class TickWatch : public QObject
{
public:
    TickWatch()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 now = gClock.nsecsElapsed();
            longest = std::max(longest, now - last_);
            last_ = now;
        });
    }
    qint64 longest = 0;

    void Start()
    {
        longest = 0;
        last_ = gClock.nsecsElapsed();
        timer_.start();
    }
    // Ends the watch; the time since the last tick counts as well.
    void Stop()
    {
        timer_.stop();
        longest = std::max(longest, gClock.nsecsElapsed() - last_);
    }

private:
    QTimer timer_;
    qint64 last_ = 0;
};

QString Sha256(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot read ") + path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex());
}

// Opens the source file that the prompts name through the locate button, shows record 2 and then
// the Source tab, each timed until the window has painted, with the longest frozen time.
int SourceBench(MainWindow& window, PaintWatch& paints)
{
    MainWindowUi& ui = window.Ui();
    TickWatch ticks;
    const auto timed = [&](const char* name, const std::function<void()>& action) {
        ticks.Start();
        const qint64 begin = gClock.nsecsElapsed();
        action();
        const qint64 painted = UntilPainted(paints, false);
        ticks.Stop();
        std::printf("%-26s %8.3f s, frozen %8.3f s\n", name,
                    Seconds(std::max(painted, gClock.nsecsElapsed() - 100'000'000) - begin),
                    Seconds(ticks.longest));
        std::fflush(stdout);
    };
    timed("open (locate)", [&] { ui.edSourceFileLocate->trigger(); });
    std::printf("records: %zu\n", window.Workspace().RecordCount());
    timed("Page Down to record 2", [&] { ui.sbNext->click(); });
    timed("Source tab", [&] { ui.tabs->setCurrentWidget(ui.tabSource); });
    timed("Mapping tab", [&] { ui.tabs->setCurrentIndex(0); });
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool sourceOnly = args.size() == 3 && args[1] == QStringLiteral("--source");
    if (!sourceOnly && (args.size() < 2 || args.size() > 4))
        Fail(QStringLiteral("usage: impmap_window_benchmark MAPFILE [OUTDIR] [REPEAT] | "
                            "--source SOURCEFILE"));
    const QString mapFile = QFileInfo(args[sourceOnly ? 2 : 1]).absoluteFilePath();
    const QString outDir = args.size() > 2 ? args[2] : QFileInfo(mapFile).absolutePath();
    const int repeat = args.size() > 3 ? args[3].toInt() : 3;

    // A home of its own: settings, working folders, no last mapping to reopen.
    QTemporaryDir home;
    qputenv("IMPMAP_HOME", QFile::encodeName(home.path()));
    const WorkingFolders folders = MakeWorkingFolders(WorkingFoldersBase());
    Settings settings(home.filePath(QStringLiteral("VELLORUM.ini")));
    BenchPrompts prompts;
    prompts.mapFile = mapFile;
    prompts.outputFile = QDir(outDir).filePath(QStringLiteral("window.out"));
    // The map file names its source relative to the folder it is run from, as with impmap-cli.
    QDir::setCurrent(QFileInfo(mapFile).absolutePath());

    gClock.start();
    MainWindow window(prompts, settings, folders);
    PaintWatch windowPaints(&window);
    app.installEventFilter(&windowPaints);
    window.show();
    UntilPainted(windowPaints);

    if (sourceOnly)
        return SourceBench(window, windowPaints);

    ExecuteController& execute = window.Execution();
    ExecuteDialog& dialog = execute.ProgressDialog();
    GapWatch gaps(dialog);
    std::map<std::string, std::vector<double>> figures;
    const auto note = [&figures](const char* name, double seconds, int pass) {
        figures[name].push_back(seconds);
        std::printf("pass %d  %-26s %8.3f s\n", pass, name, seconds);
        std::fflush(stdout);
    };

    // The run has passed its last record.
    qint64 lastRecordAt = -1;
    QObject::connect(&dialog, &ExecuteDialog::PositionChanged, &dialog, [&](long position) {
        if (position == dialog.Total())
            lastRecordAt = gClock.nsecsElapsed();
    });

    for (int pass = 1; pass <= repeat; ++pass) {
        // Open Map: reads the map file and its source, shows record 1.
        TickWatch openTicks;
        openTicks.Start();
        double cpuBefore = CpuSeconds(RUSAGE_SELF);
        qint64 start = gClock.nsecsElapsed();
        window.MapFiles().sbOpenMapClick();
        const qint64 opened = gClock.nsecsElapsed();
        const qint64 painted = UntilPainted(windowPaints);
        openTicks.Stop();
        note("open map, frozen", Seconds(openTicks.longest), pass);
        // The wait for the paint is mostly idle: its CPU time is the painting's.
        note("open map, CPU", CpuSeconds(RUSAGE_SELF) - cpuBefore, pass);
        if (window.Workspace().ShownRecord() != 1)
            Fail(QStringLiteral("record 1 is not shown after opening the map file"));
        note("open map (call)", Seconds(opened - start), pass);
        note("open map, record 1 shown", Seconds(painted - start), pass);

        // Execute, saving the output when asked.
        QFile::remove(prompts.outputFile);
        prompts.saveAskedAt = prompts.instructionsAt = -1;
        gaps.onTurn = nullptr;
        gaps.Start();
        cpuBefore = CpuSeconds(RUSAGE_SELF);
        const double threadBefore = CpuSeconds(RUSAGE_THREAD);
        start = gClock.nsecsElapsed();
        execute.bExecuteClick();
        const qint64 ended = gClock.nsecsElapsed();
        const double threadCpu = CpuSeconds(RUSAGE_THREAD) - threadBefore;
        const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
        gaps.Stop();
        if (prompts.saveAskedAt < 0 || prompts.instructionsAt < 0)
            Fail(QStringLiteral("the run did not save its output"));
        note("execute (until save asked)", Seconds(prompts.saveAskedAt - start), pass);
        note("execute, end to save asked", Seconds(prompts.saveAskedAt - lastRecordAt), pass);
        note("execute, save in the run", Seconds(prompts.instructionsAt - prompts.saveAskedAt),
             pass);
        note("execute (whole click)", Seconds(ended - start), pass);
        note("execute, CPU all threads", cpu, pass);
        note("execute, CPU window thread", threadCpu, pass);
        note("longest loop gap", Seconds(gaps.longestTurnGap), pass);
        note("longest dialog paint gap", Seconds(gaps.longestPaintGap), pass);
        std::printf("pass %d  dialog paints %d; longest loop gap between records %ld and %ld\n",
                    pass, gaps.paints, gaps.gapFrom, gaps.gapTo);
        UntilPainted(windowPaints, false);

        // Save Output again, as the button does.
        prompts.saveAskedAt = prompts.instructionsAt = -1;
        start = gClock.nsecsElapsed();
        execute.bSaveOutputClick();
        note("save output (click)", Seconds(gClock.nsecsElapsed() - start), pass);
        if (prompts.instructionsAt < 0)
            Fail(QStringLiteral("Save Output did not save"));
        UntilPainted(windowPaints, false);

        // Execute once more and press Cancel half-way through.
        const long total = static_cast<long>(window.Workspace().RecordCount());
        qint64 pressedAt = -1;
        gaps.onTurn = [&] {
            if (pressedAt < 0 && dialog.Running() && dialog.Position() >= total / 2) {
                pressedAt = gClock.nsecsElapsed();
                dialog.CancelButton()->click();
            }
        };
        gaps.Start();
        prompts.saveAskedAt = -1;
        execute.bExecuteClick();
        const qint64 cancelled = gClock.nsecsElapsed();
        gaps.Stop();
        if (pressedAt < 0 || prompts.saveAskedAt >= 0)
            Fail(QStringLiteral("the run was not cancelled"));
        note("cancel press to run end", Seconds(cancelled - pressedAt), pass);
        note("longest loop gap (cancel)", Seconds(gaps.longestTurnGap), pass);
        UntilPainted(windowPaints, false);

        // The source actions that hold the window: the open button, a Header change and a
        // Delimiter change (each reads the file again) and Save Source (the file is written back
        // as it is), each until the window has painted again.
        // The time is the whole action's (the file read or written on a worker included); the
        // window is frozen only for the longest gap between two turns of its event loop.
        impmap::Workspace& work = window.Workspace();
        MainWindowUi& ui = window.Ui();
        TickWatch ticks;
        const auto timed = [&](const std::string& name, const std::function<void()>& action) {
            ticks.Start();
            const qint64 begin = gClock.nsecsElapsed();
            action();
            const qint64 done = gClock.nsecsElapsed();
            UntilPainted(windowPaints, false);
            ticks.Stop();
            note(name.c_str(), Seconds(done - begin), pass);
            note((name + ", frozen").c_str(), Seconds(ticks.longest), pass);
        };
        const auto chooseDelimiter = [&ui](int index) {
            ui.cbDelimiter->setCurrentIndex(index);
            emit ui.cbDelimiter->activated(index);
        };
        timed("open button", [&] { ui.sbOpenSource->click(); });
        const int header = impmap::ChoiceIndex(work.Header());
        timed("Header change", [&] { ui.rgHeaderButtons->button(1 - header)->click(); });
        ui.rgHeaderButtons->button(header)->click();
        const int delimiter = impmap::ChoiceIndex(work.Delimiter());
        timed("Delimiter change", [&] { chooseDelimiter(delimiter == 1 ? 0 : 1); });
        chooseDelimiter(delimiter);
        timed("Save Source", [&] { ui.edSourceFileSave->trigger(); });
        UntilPainted(windowPaints, false);
    }

    std::printf("%d passes:                       best    worst\n", repeat);
    for (const auto& [name, values] : figures) {
        const auto [best, worst] = std::minmax_element(values.begin(), values.end());
        std::printf("  %-26s %8.3f s %8.3f s\n", name.c_str(), *best, *worst);
    }
    std::printf("output sha256 %s\n", qPrintable(Sha256(prompts.outputFile)));
    return 0;
}

#include "execute/ExecuteController.h"

#include "check/ControlTotals.h"
#include "convert/CivilDate.h"
#include "execute/ExecuteDialog.h"
#include "execute/FastEngine.h"
#include "execute/OutputSaver.h"
#include "execute/WarningLog.h"
#include "mapping/Workspace.h"
#include "models/LinesModel.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "prompts/Prompts.h"
#include "report/TotalsView.h"
#include "window/BrokenRecordsPrompt.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

namespace impmap::gui {

namespace {

const char* const kNotSaved =
    "Output has not been saved!\r\n\r\nWhen you are ready to save the results, click \r\n\r\n"
    "\"Save Output\"\r\n\r\n shown at the bottom of the main window.";

// The groups whose controls are disabled during a run.
std::vector<QWidget*> SettingsGroups(const MainWindowUi& ui)
{
    return {ui.gbTaxForm, ui.gbSource, ui.gbDelimiter, ui.rgHeader};
}

// The buttons hidden during a run: the record navigation of both tabs, Execute, Tools, Help.
std::vector<QWidget*> RunButtons(const MainWindowUi& ui)
{
    return {ui.sbFirst,  ui.sbSourceFirst, ui.sbPrevious, ui.sbSourcePrevious,
            ui.sbNext,   ui.sbSourceNext,  ui.sbLast,     ui.sbSourceLast,
            ui.bExecute, ui.bTools,        ui.bHelp};
}

} // namespace

// What the engine reports during a run, passed on to the progress dialog and the warning log.
class ExecuteController::RunCallbacks : public ExecuteCallbacks
{
public:
    RunCallbacks(ExecuteController& controller, ExecuteCallbacks* checkSink)
        : totals(controller.context_.workspace.Rows()), controller_(controller),
          checkSink_(checkSink)
    {}

    void Started(long total) override
    {
        setUp = true;
        controller_.SetUp(total);
    }
    void Progress(long position, long total) override
    {
        (void)total;
        controller_.progress_->SetPosition(position);
    }
    bool Cancelled() override { return controller_.progress_->Cancelled(); }
    void Warning(const std::string& line) override { controller_.log_->AddLine(FromBytes(line)); }
    void ProcessMessages() override
    {
        // Often enough for the dialog to repaint and answer its Cancel button, rarely enough
        // not to slow a long run down. After the first record the clock is read every few records
        // only: read for each of a million records it costs tens of milliseconds.
        if (clock_.isValid() && controller_.messageIntervalMs_ > 0 &&
            ++recordsSinceClock_ < kRecordsPerClockRead)
            return;
        recordsSinceClock_ = 0;
        if (clock_.isValid() && clock_.elapsed() < controller_.messageIntervalMs_)
            return;
        LetEventsThrough();
        clock_.start();
    }
    void Waiting() override { LetEventsThrough(); }
    void OutputLine(std::string_view line) override
    {
        if (checkSink_ == nullptr)
            lines.Append(line);
    }
    void FieldProblemFound(const FieldProblem& problem) override
    {
        if (checkSink_ != nullptr)
            checkSink_->FieldProblemFound(problem);
    }
    void RecordValues(long record, RecordViews values, RecordViews sourceFields) override
    {
        totals.Add(values);
        if (checkSink_ != nullptr)
            checkSink_->RecordValues(record, values, sourceFields);
    }
    // The totals need only the values; a check's plausibility rules read the source fields.
    bool WantsSourceFields() const override { return checkSink_ != nullptr; }

    ControlTotals totals;
    bool setUp = false;
    OutputStore lines;

private:
    static constexpr int kRecordsPerClockRead = 64;

    // The dialog shows the position reached, then repaints and answers its Cancel button.
    void LetEventsThrough()
    {
        controller_.progress_->ShowPosition();
        QCoreApplication::processEvents();
    }

    ExecuteController& controller_;
    ExecuteCallbacks* checkSink_;
    QElapsedTimer clock_;
    int recordsSinceClock_ = 0;
};

ExecuteController::ExecuteController(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context),
      progress_(std::make_unique<ExecuteDialog>(context.prompts)),
      log_(std::make_unique<WarningLog>(context.prompts))
{
    const Workspace& workspace = context_.workspace;
    outputModel_ = new LinesModel([&workspace] { return workspace.OutputLines().size(); },
                                  [&workspace](size_t i) {
                                      const OutputStore& lines = workspace.OutputLines();
                                      return i < lines.size() ? lines[i] : std::string_view();
                                  },
                                  context_.notifier, kChangeOutput, this);
    MainWindowUi& ui = context_.ui;
    ui.reOutput->setModel(outputModel_);
    connect(outputModel_, &LinesModel::LinesChanged, this, &ExecuteController::reOutputChange);
    reOutputChange(outputModel_->rowCount());
    connect(ui.bExecute, &QPushButton::clicked, this, &ExecuteController::bExecuteClick);
    connect(ui.bSaveOutput, &QPushButton::clicked, this, &ExecuteController::bSaveOutputClick);
    // The totals go with the output: loading the source again (a reload, a Header or Delimiter
    // change) or opening a map empties both.
    connect(&context_.notifier, &WorkspaceSignals::Changed, this, [this](unsigned changes) {
        if ((changes & (kChangeSourceOpened | kChangeMapOpened)) != 0 && !busy_)
            ShowTotals(nullptr);
    });
}

ExecuteController::~ExecuteController() = default;

void ExecuteController::bExecuteClick()
{
    RunGuarded(context_.prompts, [this] {
        if (AskToJoinBrokenRecords(context_.prompts, context_.workspace))
            Run(nullptr);
    });
}

ExecuteResult ExecuteController::RunCheck(ExecuteCallbacks& sink)
{
    return Run(&sink);
}

void ExecuteController::bSaveOutputClick()
{
    RunGuarded(context_.prompts, [this] {
        SaveOutput(context_.workspace, context_.prompts, context_.settings,
                   context_.folders.saveOutput);
    });
}

ExecuteResult ExecuteController::Run(ExecuteCallbacks* checkSink)
{
    // The window is hidden for the whole run; this only keeps a stray second click out.
    if (busy_)
        return {};
    busy_ = true;
    RunCallbacks callbacks(*this, checkSink);
    const bool check = checkSink != nullptr;
    checking_ = check;
    ExecuteResult result;
    try {
        // The engine checks the mapping before anything else and then calls Started, which
        // hides the window and shows the progress dialog.
        result = ExecuteFast(context_.workspace, callbacks, ExecuteOptions{SystemToday(), check});
        if (callbacks.setUp && result.outcome == ExecuteResult::Outcome::Completed) {
            ShowTotals(&callbacks.totals);
            if (!check)
                Complete(callbacks.lines, result.nullRecords);
        }
    } catch (...) {
        // A failure while saving ends the run as failed; the output stays for Save Output.
        EndRun(callbacks.setUp, -1);
        throw;
    }
    const bool failed = result.outcome == ExecuteResult::Outcome::Failed;
    EndRun(callbacks.setUp, failed ? result.failingRow : -1);
    if (failed)
        ShowError(context_.prompts, FromBytes(result.message));
    return result;
}

void ExecuteController::ShowTotals(const ControlTotals* totals)
{
    MainWindowUi& ui = context_.ui;
    if (totals != nullptr)
        ui.lvTotals->SetTotals(*totals);
    ui.tabs->setTabVisible(ui.tabs->indexOf(ui.tabTotals), totals != nullptr);
}

void ExecuteController::EndRun(bool setUp, int failingRow)
{
    if (setUp)
        CleanUp(failingRow);
    busy_ = false;
}

void ExecuteController::SetUp(long total)
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    MainWindowUi& ui = context_.ui;
    ui.lvSource->hide();
    ui.lvDestination->hide();
    // Disabling the groups disables every control inside them; enabling them again gives each
    // control back its own state.
    for (QWidget* group : SettingsGroups(ui))
        group->setEnabled(false);
    // The window is hidden for the run; the keyboard comes back to where it was.
    focusBeforeRun_ = QApplication::focusWidget();
    stateBeforeRun_ = context_.window.windowState();
    SetRunControlsShown(false);
    context_.window.hide();

    progress_->SetRunning(true);
    progress_->StartAnimation();
    progress_->SetTotal(total);
    progress_->ShowForRun();

    // A check writes no output: the last run's lines and warnings stay for Save Output.
    if (!checking_) {
        context_.workspace.ClearOutput();
        log_->ClearLog();
    }
    ShowTotals(nullptr);
}

void ExecuteController::Complete(OutputStore& lines, long nullRecords)
{
    progress_->StopAnimation();
    progress_->SetRunning(false);
    Prompts& prompts = context_.prompts;
    context_.workspace.SetOutput(std::move(lines));
    if (nullRecords > 0) {
        prompts.Beep();
        prompts.Information(FromBytes(NullRecordNotice(nullRecords)));
    }
    if (context_.workspace.OutputLines().empty())
        return;
    if (!SaveOutput(context_.workspace, prompts, context_.settings, context_.folders.saveOutput)) {
        prompts.Beep();
        prompts.Information(QString::fromLatin1(kNotSaved));
    }
}

void ExecuteController::CleanUp(int failingRow)
{
    progress_->StopAnimation();
    // Hidden before it is let off the top, so that it does not come up once more on the way.
    progress_->hide();
    progress_->SetRunning(false);
    // A window manager may forget a hidden window's state (a maximised window came back at its
    // normal size): it is set again before the window is shown.
    context_.window.setWindowState(stateBeforeRun_);
    context_.window.show();
    QApplication::restoreOverrideCursor();

    MainWindowUi& ui = context_.ui;
    for (QWidget* group : SettingsGroups(ui))
        group->setEnabled(true);
    SetRunControlsShown(true);
    ui.lvSource->show();
    ui.lvDestination->show();
    if (failingRow >= 0)
        MarkFailingRow(failingRow);
    else if (focusBeforeRun_)
        focusBeforeRun_->setFocus();
    context_.window.raise();
    context_.window.activateWindow();
    if (log_->LineCount() > 0 && !checking_)
        log_->ShowLog();
}

void ExecuteController::SetRunControlsShown(bool shown)
{
    for (QWidget* control : RunButtons(context_.ui))
        control->setVisible(shown);
}

void ExecuteController::MarkFailingRow(int row)
{
    SelectDestinationRow(context_.ui.lvDestination, row);
}

void SelectDestinationRow(QTreeView* view, int row)
{
    const QAbstractItemModel* model = view->model();
    if (model == nullptr || row < 0 || row >= model->rowCount())
        return;
    const QModelIndex index = model->index(row, 0);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
    view->scrollTo(index);
    view->setFocus();
}

void ExecuteController::reOutputChange(int lineCount)
{
    MainWindowUi& ui = context_.ui;
    ui.tabs->setTabVisible(ui.tabs->indexOf(ui.tabOutput), lineCount > 0);
    ui.bSaveOutput->setEnabled(lineCount > 0);
}

} // namespace impmap::gui

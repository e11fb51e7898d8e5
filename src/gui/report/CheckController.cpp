#include "report/CheckController.h"

#include "check/ProblemList.h"
#include "execute/ExecuteController.h"
#include "mapping/Workspace.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "report/CheckReportWindow.h"
#include "tinmatch/TinMatchCheck.h"
#include "window/BrokenRecordsPrompt.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/SourceInBackground.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

namespace impmap::gui {

namespace {

// Passes the run's problems and record values on to the list, with the record's TIN Matching
// warning when there are answers.
class ListCallbacks : public ExecuteCallbacks
{
public:
    ListCallbacks(ProblemList& list, TinMatchCheck* tinMatch) : list_(list), tinMatch_(tinMatch) {}
    void OutputLine(std::string_view line) override { (void)line; }
    void FieldProblemFound(const FieldProblem& problem) override { list_.Add(problem); }
    void RecordValues(long record, RecordViews values, RecordViews sourceFields) override
    {
        if (tinMatch_ != nullptr) {
            answers_.clear();
            tinMatch_->Check(record, values, sourceFields, answers_);
            for (const FieldProblem& problem : answers_)
                list_.Add(problem);
        }
        list_.EndRecord(record, values, sourceFields);
    }

private:
    ProblemList& list_;
    TinMatchCheck* tinMatch_;
    std::vector<FieldProblem> answers_;
};

} // namespace

CheckController::CheckController(MainWindowContext& context, ExecuteController& execute,
                                 QObject* parent)
    : QObject(parent), context_(context), execute_(execute)
{
    MainWindowUi& ui = context_.ui;
    connect(ui.popupCheckAll, &QAction::triggered, this, &CheckController::popupCheckAllClick);
    connect(ui.popupTools, &QMenu::aboutToShow, this,
            [this] { context_.ui.popupCheckAll->setEnabled(context_.workspace.ExecuteEnabled()); });
}

CheckController::~CheckController()
{
    delete report_.data();
}

CheckReportWindow* CheckController::Report() const
{
    return report_.data();
}

void CheckController::popupCheckAllClick()
{
    RunGuarded(context_.prompts, [this] { CheckAll(); });
}

void CheckController::CheckAll()
{
    Workspace& workspace = context_.workspace;
    if (workspace.Executing() || !workspace.ExecuteEnabled())
        return;
    if (!AskToJoinBrokenRecords(context_.prompts, workspace))
        return;
    auto list = std::make_unique<ProblemList>(workspace);
    const std::unique_ptr<TinMatchCheck> tinMatch = tinResults_.Check(workspace);
    ListCallbacks callbacks(*list, tinMatch.get());
    const ExecuteResult result = execute_.RunCheck(callbacks);
    if (result.outcome != ExecuteResult::Outcome::Completed)
        return;
    const auto counted = [](auto count, const char* one, const char* many) {
        return QStringLiteral("%1 ").arg(count) + QLatin1String(count == 1 ? one : many);
    };
    QString summary = counted(result.records, "record", "records") + QStringLiteral(" checked, ") +
                      counted(list->Found(), "problem", "problems");
    if (tinMatch) {
        tinMatch->Finish();
        summary += QStringLiteral("; ") + TinMatchResultsLoader::Summary(*tinMatch);
    }
    delete report_.data();
    const QString source = FromBytes(workspace.SourcePath());
    const QString name = QFileInfo(source).completeBaseName() + QStringLiteral("PROBLEMS");
    report_ = new CheckReportWindow(std::move(list), summary, context_.prompts,
                                    context_.folders.saveOutput, name, &context_.window);
    report_->setAttribute(Qt::WA_DeleteOnClose);
    // Left open, it does not keep the program running once the main window has closed.
    report_->setAttribute(Qt::WA_QuitOnClose, false);
    connect(report_, &CheckReportWindow::ShowProblem, this, &CheckController::ShowProblem);
    // Queued: the check that follows replaces the report whose button asked for it.
    connect(report_, &CheckReportWindow::LoadTinMatchResults, this,
            &CheckController::LoadTinMatchResults, Qt::QueuedConnection);
    report_->show();
    report_->raise();
    report_->activateWindow();
    if (tinMatch)
        TinMatchResultsLoader::ShowNotes(context_.prompts, *tinMatch);
}

void CheckController::LoadTinMatchResults()
{
    RunGuarded(context_.prompts, [this] {
        if (tinResults_.Choose(context_.prompts, context_.folders.saveOutput, context_.workspace))
            CheckAll();
    });
}

void CheckController::ShowProblem(long record, int row)
{
    Workspace& workspace = context_.workspace;
    if (workspace.Executing() || record < 1 ||
        static_cast<size_t>(record) > workspace.RecordCount())
        return;
    ShowRecordInBackground(context_, record,
                           [&workspace, record] { workspace.GoToRecord(record); });
    MainWindowUi& ui = context_.ui;
    ui.tabs->setCurrentWidget(ui.tabMapping);
    SelectDestinationRow(ui.lvDestination, row);
    context_.window.raise();
    context_.window.activateWindow();
    // The report stays above the window: it moves aside so that the row shown is not under it.
    if (report_) {
        report_->MoveAsideOf(
            QRect(ui.lvDestination->mapToGlobal(QPoint(0, 0)), ui.lvDestination->size()));
    }
}

} // namespace impmap::gui

#pragma once

#include "tinmatch/TinMatchResultsLoader.h"

#include <QObject>
#include <QPointer>

namespace impmap::gui {

class CheckReportWindow;
class ExecuteController;
struct MainWindowContext;

// Check All Records (Tools menu): runs the check with the progress dialog, opens the report and
// shows a problem's record on the Mapping tab when the user double-clicks it. The report's
// "Load TIN Matching Results..." checks again with the answers of the IRS among the problems.
class CheckController : public QObject
{
    Q_OBJECT

public:
    CheckController(MainWindowContext& context, ExecuteController& execute,
                    QObject* parent = nullptr);
    ~CheckController() override;

    void popupCheckAllClick();
    // The report of the last check, while it is open.
    CheckReportWindow* Report() const;
    void ShowProblem(long record, int row);
    void LoadTinMatchResults();

private:
    void CheckAll();

    MainWindowContext& context_;
    ExecuteController& execute_;
    QPointer<CheckReportWindow> report_;
    TinMatchResultsLoader tinResults_;
};

} // namespace impmap::gui

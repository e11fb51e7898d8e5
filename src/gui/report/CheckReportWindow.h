#pragma once

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace impmap {
class ProblemList;
}

namespace impmap::gui {

class Prompts;
class ProblemsFilter;
class ProblemsModel;

// The report of Check All Records: one row per problem, sorted by any column, filtered by
// destination field and kind; a double-click asks for the record on the Mapping tab,
// "Save Problem Records..." writes the records to fix and "Load TIN Matching Results..." asks
// for a check with the IRS's answers.
class CheckReportWindow : public QWidget
{
    Q_OBJECT

public:
    // summary: the count line of the check ("N records checked, M problems"). folder: where the
    // save dialog starts; proposedName: the file name it proposes.
    CheckReportWindow(std::unique_ptr<ProblemList> list, const QString& summary, Prompts& prompts,
                      const QString& folder, const QString& proposedName,
                      QWidget* parent = nullptr);
    ~CheckReportWindow() override;

    QTableView* View() const { return tvProblems_; }
    QComboBox* FieldFilter() const { return coField_; }
    QComboBox* KindFilter() const { return coKind_; }
    QPushButton* SaveButton() const { return bSave_; }
    QPushButton* LoadTinResultsButton() const { return bLoadTinResults_; }
    QLabel* Summary() const { return lbSummary_; }

    void bSaveClick();
    // Moves the report, and shrinks it when it must, so that it leaves avoid (global
    // coordinates) free: into the largest part of the screen beside, above or below it.
    void MoveAsideOf(const QRect& avoid);

signals:
    // A problem row was double-clicked: its record and 0-based destination row.
    void ShowProblem(long record, int row);
    // "Load TIN Matching Results..." was pressed.
    void LoadTinMatchResults();

private:
    // The field and kind filters: every field with a problem, by name.
    void BuildFilters();
    // The table of problems, sorted by record, its columns of fixed widths.
    void BuildProblemTable();
    // The buttons, and the filters, table and buttons laid out; returns the Close button.
    QPushButton* LayOut();
    void Connect(QPushButton* close);
    void FilterChange();
    // Esc: closes a drop-down that is open, otherwise the report.
    void EscapePressed();
    void tvProblemsDoubleClick(const QModelIndex& index);

    std::unique_ptr<ProblemList> list_;
    Prompts& prompts_;
    QString folder_;
    QString proposedName_;
    QString summary_;
    ProblemsModel* model_ = nullptr;
    ProblemsFilter* filter_ = nullptr;
    QTableView* tvProblems_ = nullptr;
    QComboBox* coField_ = nullptr;
    QComboBox* coKind_ = nullptr;
    QPushButton* bSave_ = nullptr;
    QPushButton* bLoadTinResults_ = nullptr;
    QLabel* lbSummary_ = nullptr;
};

} // namespace impmap::gui

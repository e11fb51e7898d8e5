#pragma once

#include "suggest/SuggestionsModel.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

// The Suggest Mapping dialog: the proposals for every destination field, ticked for high
// confidence; Apply assigns the ticked rows in one step.
namespace impmap::gui {

class SuggestDialog : public QDialog
{
    Q_OBJECT

public:
    // intro says where the proposals come from; note is shown under the list when not empty
    // (a file of learned choices that could not be read).
    SuggestDialog(const QString& intro, const QString& note, QWidget* parent = nullptr);

    SuggestionsModel& Model() { return model_; }
    QTableView* Table() const { return table_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* TickHighButton() const { return tickHigh_; }
    QPushButton* ClearButton() const { return clear_; }
    // "12 of 28 fields have a proposal; 9 ticked."
    QString Summary() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void UpdateSummary();
    void FitToRows();

    SuggestionsModel model_;
    QTableView* table_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* tickHigh_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace impmap::gui

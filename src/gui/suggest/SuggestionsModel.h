#pragma once

#include "mapping/Workspace.h"
#include "suggest/Suggest.h"

#include <QAbstractTableModel>
#include <QString>
#include <vector>

// The rows of the Suggest Mapping dialog: one per destination field, with the proposed source
// field, the value it would take, the confidence and the reason, and a check box that says
// whether Apply assigns it.
namespace impmap::gui {

class SuggestionsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        kField,
        kNumber,
        kHeader,
        kValue,
        kConfidence,
        kReason,
        kColumnCount
    };

    struct Row
    {
        suggest::Proposal proposal;
        QString header;           // the proposed column's header ("First + Middle + Last")
        QString value;            // what it would take from the record
        QString replaces;         // what the row holds now and would lose, empty when nothing
        bool defaultTick = false; // ticked when the dialog opens
        bool ticked = false;
    };

    explicit SuggestionsModel(QObject* parent = nullptr);

    // The rows to show, with the number of the record their values come from.
    void SetRows(std::vector<Row> rows, long record);
    const std::vector<Row>& Rows() const { return rows_; }
    long Record() const { return record_; }

    // The ticks as they stand when the dialog opens.
    void TickDefaults();
    void ClearTicks();
    void Toggle(int row);
    int TickedCount() const;
    int ProposedCount() const;
    // The ticked rows as Workspace::ApplySuggestions takes them.
    std::vector<AssignmentChoice> Chosen() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void TicksChanged();

private:
    QVariant ConfidenceData(const Row& row, int role) const;
    void SetTicks(bool (*tick)(const Row&));

    std::vector<Row> rows_;
    long record_ = 0;
};

// The confidence as the dialog writes it: "High (95)", "Medium (70)", "Low (40)".
QString ConfidenceText(int confidence);

} // namespace impmap::gui

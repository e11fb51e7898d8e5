#pragma once

#include "mapping/DestinationRow.h"

#include <QAbstractTableModel>
#include <vector>

namespace impmap {
class Workspace;
}

namespace impmap::gui {

class WorkspaceSignals;

// The destination list: one row per destination field of the chosen form, read straight from
// the workspace. Columns "Destination Field", "Source Field", "No." and "T". The model shows its
// own copy of the rows, taken when the workspace reports a change, so what it answers always
// matches the rows it has announced.
class DestinationRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        kCaption = 0,
        kValue = 1,
        kSourceFieldNo = 2,
        kTypeCode = 3,
        kColumnCount = 4
    };

    DestinationRowsModel(const Workspace& workspace, WorkspaceSignals& notifier,
                         QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void OnChanged(unsigned changes);

    const Workspace& workspace_;
    std::vector<DestinationRow> rows_;
};

} // namespace impmap::gui

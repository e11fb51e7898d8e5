#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace impmap {
class Workspace;
}

namespace impmap::gui {

class WorkspaceSignals;

// The source field list: the fields of the record on display (merges applied), columns "No."
// and "Source Field". The model shows its own copy of the one record's fields, taken when the
// workspace reports a change, so what it answers always matches the rows it has announced.
class SourceFieldsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        kNumber = 0,
        kValue = 1,
        kColumnCount = 2
    };

    SourceFieldsModel(const Workspace& workspace, WorkspaceSignals& notifier,
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
    std::vector<std::string> fields_;
};

} // namespace impmap::gui

#include "models/SourceFieldsModel.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"

namespace impmap::gui {

SourceFieldsModel::SourceFieldsModel(const Workspace& workspace, WorkspaceSignals& notifier,
                                     QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace),
      shownRows_(static_cast<int>(workspace.SourceFields().size()))
{
    connect(&notifier, &WorkspaceSignals::Changed, this, &SourceFieldsModel::OnChanged);
}

void SourceFieldsModel::OnChanged(unsigned changes)
{
    if (!(changes & kChangeSourceFields))
        return;
    const int rows = static_cast<int>(workspace_.SourceFields().size());
    if (rows != shownRows_) {
        // Keep the selection on a field number where the count changes only at the end.
        if (rows > shownRows_) {
            beginInsertRows({}, shownRows_, rows - 1);
            shownRows_ = rows;
            endInsertRows();
        } else {
            beginRemoveRows({}, rows, shownRows_ - 1);
            shownRows_ = rows;
            endRemoveRows();
        }
    }
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, kColumnCount - 1), {Qt::DisplayRole});
}

int SourceFieldsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int SourceFieldsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SourceFieldsModel::data(const QModelIndex& index, int role) const
{
    // Inside a batch of changes the workspace may already hold fewer fields than are shown.
    if (!index.isValid() || index.row() >= shownRows_ || role != Qt::DisplayRole ||
        static_cast<size_t>(index.row()) >= workspace_.SourceFields().size())
        return {};
    if (index.column() == kNumber)
        return QString::number(index.row() + 1);
    return FromBytes(workspace_.SourceFields()[static_cast<size_t>(index.row())]);
}

QVariant SourceFieldsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == kNumber ? QStringLiteral("No.") : QStringLiteral("Source Field");
}

Qt::ItemFlags SourceFieldsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled;
}

} // namespace impmap::gui

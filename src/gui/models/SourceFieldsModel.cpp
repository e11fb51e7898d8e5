#include "models/SourceFieldsModel.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"

namespace impmap::gui {

SourceFieldsModel::SourceFieldsModel(const Workspace& workspace, WorkspaceSignals& notifier,
                                     QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace), fields_(workspace.SourceFields())
{
    connect(&notifier, &WorkspaceSignals::Changed, this, &SourceFieldsModel::OnChanged);
}

void SourceFieldsModel::OnChanged(unsigned changes)
{
    if (!(changes & kChangeSourceFields))
        return;
    const std::vector<std::string>& fields = workspace_.SourceFields();
    const int shown = static_cast<int>(fields_.size());
    const int rows = static_cast<int>(fields.size());
    // Rows come and go only at the end, so the selection stays on its field number.
    if (rows > shown) {
        beginInsertRows({}, shown, rows - 1);
        fields_ = fields;
        endInsertRows();
    } else if (rows < shown) {
        beginRemoveRows({}, rows, shown - 1);
        fields_.resize(static_cast<size_t>(rows));
        endRemoveRows();
    }
    fields_ = fields;
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, kColumnCount - 1), {Qt::DisplayRole});
}

int SourceFieldsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

int SourceFieldsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SourceFieldsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    if (index.column() == kNumber)
        return QString::number(index.row() + 1);
    return ShownText(fields_[static_cast<size_t>(index.row())]);
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
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

} // namespace impmap::gui

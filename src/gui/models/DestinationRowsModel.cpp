#include "models/DestinationRowsModel.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"

namespace impmap::gui {

DestinationRowsModel::DestinationRowsModel(const Workspace& workspace, WorkspaceSignals& notifier,
                                           QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace), rows_(workspace.Rows())
{
    connect(&notifier, &WorkspaceSignals::Changed, this, &DestinationRowsModel::OnChanged);
}

void DestinationRowsModel::OnChanged(unsigned changes)
{
    const std::vector<DestinationRow>& rows = workspace_.Rows();
    const int count = static_cast<int>(rows.size());
    if ((changes & kChangeRows) || rows.size() != rows_.size()) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if ((changes & kChangeRowValues) && count > 0) {
        rows_ = rows;
        emit dataChanged(index(0, 0), index(count - 1, kColumnCount - 1), {Qt::DisplayRole});
    }
}

int DestinationRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DestinationRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DestinationRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const DestinationRow& row = rows_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case kCaption:
            return FromBytes(row.caption);
        case kValue:
            return ShownText(row.value);
        case kSourceFieldNo:
            return QString::number(row.sourceFieldNo);
        case kTypeCode:
            return QString(QChar::fromLatin1(row.typeCode));
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole &&
        (index.column() == kSourceFieldNo || index.column() == kTypeCode))
        return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

QVariant DestinationRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case kCaption:
        return QStringLiteral("Destination Field");
    case kValue:
        return QStringLiteral("Source Field");
    case kSourceFieldNo:
        return QStringLiteral("No.");
    case kTypeCode:
        return QStringLiteral("T");
    default:
        return {};
    }
}

Qt::ItemFlags DestinationRowsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
}

} // namespace impmap::gui

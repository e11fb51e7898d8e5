#include "models/DestinationRowsModel.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"

namespace impmap::gui {

DestinationRowsModel::DestinationRowsModel(const Workspace& workspace, WorkspaceSignals& notifier,
                                           QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace),
      shownRows_(static_cast<int>(workspace.Rows().size()))
{
    connect(&notifier, &WorkspaceSignals::Changed, this, &DestinationRowsModel::OnChanged);
}

void DestinationRowsModel::OnChanged(unsigned changes)
{
    const int rows = static_cast<int>(workspace_.Rows().size());
    if ((changes & kChangeRows) || rows != shownRows_) {
        beginResetModel();
        shownRows_ = rows;
        endResetModel();
    } else if ((changes & kChangeRowValues) && rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, kColumnCount - 1), {Qt::DisplayRole});
    }
}

int DestinationRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int DestinationRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DestinationRowsModel::data(const QModelIndex& index, int role) const
{
    // Inside a batch of changes the workspace may already hold fewer rows than are shown.
    if (!index.isValid() || index.row() >= shownRows_ ||
        static_cast<size_t>(index.row()) >= workspace_.Rows().size())
        return {};
    const DestinationRow& row = workspace_.Rows()[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case kCaption:
            return FromBytes(row.caption);
        case kValue:
            return FromBytes(row.value);
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

QVariant DestinationRowsModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const
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

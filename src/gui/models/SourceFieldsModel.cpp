#include "models/SourceFieldsModel.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"

namespace impmap::gui {

namespace {

// The fields as far as they are shown: a value of megabytes is not copied whole on every record.
std::vector<std::string> ShownFields(const std::vector<std::string>& fields)
{
    std::vector<std::string> shown;
    shown.reserve(fields.size());
    for (const std::string& field : fields)
        shown.push_back(field.substr(0, kShownBytes + 1)); // enough for ShownText to cut it
    return shown;
}

} // namespace

SourceFieldsModel::SourceFieldsModel(const Workspace& workspace, WorkspaceSignals& notifier,
                                     QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace),
      fields_(ShownFields(workspace.SourceFields()))
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
    std::vector<std::string> shownFields = ShownFields(fields);
    if (rows > shown) {
        beginInsertRows({}, shown, rows - 1);
        fields_ = shownFields;
        endInsertRows();
    } else if (rows < shown) {
        beginRemoveRows({}, rows, shown - 1);
        fields_.resize(static_cast<size_t>(rows));
        endRemoveRows();
    }
    fields_ = std::move(shownFields);
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

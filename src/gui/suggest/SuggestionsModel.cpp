#include "suggest/SuggestionsModel.h"

#include "platform/Bytes.h"

#include <QBrush>
#include <QColor>

namespace impmap::gui {
namespace {

// Colours that differ in lightness too, so that the bands read apart in grey: dark for high,
// middle for medium, light for low.
QColor BandBackground(suggest::ConfidenceBand band)
{
    switch (band) {
    case suggest::ConfidenceBand::High:
        return QColor(0x1b, 0x6e, 0x35);
    case suggest::ConfidenceBand::Medium:
        return QColor(0xe8, 0xb0, 0x2c);
    case suggest::ConfidenceBand::Low:
        return QColor(0xf6, 0xe1, 0xe1);
    case suggest::ConfidenceBand::None:
        break;
    }
    return {};
}

} // namespace

QString ConfidenceText(int confidence)
{
    const QString band = FromBytes(suggest::BandName(suggest::BandOf(confidence)));
    if (band.isEmpty())
        return {};
    return band.left(1).toUpper() + band.mid(1) + QStringLiteral(" (%1)").arg(confidence);
}

SuggestionsModel::SuggestionsModel(QObject* parent) : QAbstractTableModel(parent) {}

void SuggestionsModel::SetRows(std::vector<Row> rows, long record)
{
    beginResetModel();
    rows_ = std::move(rows);
    record_ = record;
    endResetModel();
    emit TicksChanged();
}

void SuggestionsModel::SetTicks(bool (*tick)(const Row&))
{
    for (Row& row : rows_)
        row.ticked = row.proposal.column != 0 && tick(row);
    if (!rows_.empty())
        emit dataChanged(index(0, kField), index(rowCount() - 1, kField), {Qt::CheckStateRole});
    emit TicksChanged();
}

void SuggestionsModel::TickDefaults()
{
    SetTicks([](const Row& row) { return row.defaultTick; });
}

void SuggestionsModel::ClearTicks()
{
    SetTicks([](const Row&) { return false; });
}

void SuggestionsModel::Toggle(int row)
{
    if (row < 0 || row >= rowCount() || rows_[static_cast<size_t>(row)].proposal.column == 0)
        return;
    rows_[static_cast<size_t>(row)].ticked = !rows_[static_cast<size_t>(row)].ticked;
    emit dataChanged(index(row, kField), index(row, kField), {Qt::CheckStateRole});
    emit TicksChanged();
}

int SuggestionsModel::TickedCount() const
{
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.ticked; }));
}

int SuggestionsModel::ProposedCount() const
{
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                          [](const Row& row) { return row.proposal.column != 0; }));
}

std::vector<AssignmentChoice> SuggestionsModel::Chosen() const
{
    std::vector<AssignmentChoice> chosen;
    for (const Row& row : rows_) {
        if (row.ticked)
            chosen.push_back({row.proposal.row, row.proposal.column, row.proposal.merged});
    }
    return chosen;
}

int SuggestionsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SuggestionsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SuggestionsModel::ConfidenceData(const Row& row, int role) const
{
    const suggest::ConfidenceBand band = suggest::BandOf(row.proposal.confidence);
    switch (role) {
    case Qt::DisplayRole:
        return ConfidenceText(row.proposal.confidence);
    case Qt::BackgroundRole:
        return band == suggest::ConfidenceBand::None ? QVariant()
                                                     : QVariant(QBrush(BandBackground(band)));
    case Qt::ForegroundRole:
        return band == suggest::ConfidenceBand::High ? QVariant(QBrush(Qt::white)) : QVariant();
    default:
        return {};
    }
}

QVariant SuggestionsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const bool proposed = row.proposal.column != 0;
    if (index.column() == kConfidence && proposed &&
        (role == Qt::DisplayRole || role == Qt::BackgroundRole || role == Qt::ForegroundRole))
        return ConfidenceData(row, role);
    if (role == Qt::CheckStateRole && index.column() == kField && proposed)
        return row.ticked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && index.column() == kReason && !row.replaces.isEmpty())
        return row.replaces;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kField:
        return FromBytes(row.proposal.caption);
    case kNumber:
        return proposed ? FromBytes(suggest::ColumnsText(row.proposal)) : QString();
    case kHeader:
        return row.header;
    case kValue:
        return row.value;
    case kReason:
        return row.replaces.isEmpty()
                   ? FromBytes(row.proposal.reason)
                   : FromBytes(row.proposal.reason) + QStringLiteral("; ") + row.replaces;
    default:
        return {};
    }
}

bool SuggestionsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != kField || index.row() >= rowCount())
        return false;
    Row& row = rows_[static_cast<size_t>(index.row())];
    const bool ticked = value.toInt() == Qt::Checked;
    if (row.proposal.column == 0 || row.ticked == ticked)
        return false;
    row.ticked = ticked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit TicksChanged();
    return true;
}

Qt::ItemFlags SuggestionsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == kField && index.row() < rowCount() &&
        rows_[static_cast<size_t>(index.row())].proposal.column != 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant SuggestionsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case kField:
        return QStringLiteral("Destination field");
    case kNumber:
        return QStringLiteral("No.");
    case kHeader:
        return QStringLiteral("Source field");
    case kValue:
        return record_ > 0 ? QStringLiteral("Value (record %1)").arg(record_)
                           : QStringLiteral("Value");
    case kConfidence:
        return QStringLiteral("Confidence");
    case kReason:
        return QStringLiteral("Reason");
    default:
        return {};
    }
}

} // namespace impmap::gui

#include "models/LinesModel.h"

#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"

#include <limits>

namespace impmap::gui {

LinesModel::LinesModel(CountFunction count, LineFunction line, WorkspaceSignals& notifier,
                       unsigned refreshOn, QObject* parent)
    : QAbstractListModel(parent), count_(std::move(count)), line_(std::move(line)),
      refreshOn_(refreshOn)
{
    shownRows_ = static_cast<int>(count_());
    connect(&notifier, &WorkspaceSignals::AboutToChange, this, &LinesModel::OnAboutToChange);
    connect(&notifier, &WorkspaceSignals::Changed, this, &LinesModel::OnChanged);
}

void LinesModel::OnAboutToChange(unsigned changes)
{
    // Inside a batch several changes may come before the one Changed.
    if (!(changes & refreshOn_) || resetting_)
        return;
    beginResetModel();
    resetting_ = true;
}

void LinesModel::OnChanged(unsigned changes)
{
    if (!(changes & refreshOn_))
        return;
    if (!resetting_)
        beginResetModel();
    const size_t count = count_();
    shownRows_ = static_cast<int>(
        std::min<size_t>(count, static_cast<size_t>(std::numeric_limits<int>::max())));
    resetting_ = false;
    endResetModel();
    emit LinesChanged(shownRows_);
}

int LinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

QVariant LinesModel::data(const QModelIndex& index, int role) const
{
    // While a reset is going on the workspace may already hold fewer lines than are shown.
    if (!index.isValid() || index.row() >= shownRows_ || role != Qt::DisplayRole ||
        static_cast<size_t>(index.row()) >= count_())
        return {};
    return ShownText(line_(static_cast<size_t>(index.row())));
}

} // namespace impmap::gui

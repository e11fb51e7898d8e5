#include "window/LineListView.h"

namespace impmap::gui {

namespace {

// Rows laid out between two turns of the event loop: about 10 ms of work.
constexpr int kRowsPerBatch = 100000;

} // namespace

LineListView::LineListView(QWidget* parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(kRowsPerBatch);
}

void LineListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    pending_ = QPersistentModelIndex();
    // A row not laid out yet has no place to scroll to: it waits for its batch.
    if (index.isValid() && index.model() == model() && !visualRect(index).isValid()) {
        pending_ = index;
        pendingHint_ = hint;
        return;
    }
    QListView::scrollTo(index, hint);
}

void LineListView::timerEvent(QTimerEvent* event)
{
    QListView::timerEvent(event);
    if (pending_.isValid() && visualRect(pending_).isValid()) {
        const QModelIndex index = pending_;
        pending_ = QPersistentModelIndex();
        QListView::scrollTo(index, pendingHint_);
    }
}

} // namespace impmap::gui

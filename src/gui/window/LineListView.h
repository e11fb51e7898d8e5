#pragma once

#include <QListView>
#include <QPersistentModelIndex>

namespace impmap::gui {

// A list of the lines of a file, one row each. Millions of rows are laid out a batch at a time
// while the window goes on: the first rows show at once, the scroll bar grows as the rest are
// laid out. A row asked to be scrolled to before it is laid out is scrolled to once it is.
class LineListView : public QListView
{
public:
    explicit LineListView(QWidget* parent = nullptr);

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QPersistentModelIndex pending_;
    ScrollHint pendingHint_ = EnsureVisible;
};

} // namespace impmap::gui

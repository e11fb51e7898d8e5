#pragma once

#include <QAbstractListModel>
#include <functional>
#include <string_view>

namespace impmap::gui {

class WorkspaceSignals;

// A read-only list of text lines (the Source view and the Output view) read on demand from the
// workspace's own store, so a million lines cost nothing until they are scrolled into view. The
// workspace announces a change of the lines before making it: the model's reset begins then
// and ends once the change is done.
class LinesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using CountFunction = std::function<size_t()>;
    using LineFunction = std::function<std::string_view(size_t)>;

    // refreshOn: the WorkspaceChange flags after which the lines are read again.
    LinesModel(CountFunction count, LineFunction line, WorkspaceSignals& notifier,
               unsigned refreshOn, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    // The number of lines may have changed (tab visibility follows it).
    void LinesChanged(int count);

private:
    void OnAboutToChange(unsigned changes);
    void OnChanged(unsigned changes);

    CountFunction count_;
    LineFunction line_;
    unsigned refreshOn_;
    int shownRows_ = 0;
    bool resetting_ = false;
};

} // namespace impmap::gui

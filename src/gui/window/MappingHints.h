#pragma once

#include <QObject>
#include <QString>

class QPoint;
class QTreeView;

namespace impmap::gui {

struct MainWindowContext;

// The hints of the two lists: over lvDestination the field guide of a selected row while the mouse
// is on that row; over lvSource "Source Value = " and the trimmed value of the selected field
// while the mouse is on it and the value is not blank. Moving off the row hides the hint at once;
// a hint stays up to 15 seconds.
class MappingHints : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHintDisplayMilliseconds = 15000;

    explicit MappingHints(MainWindowContext& context, QObject* parent = nullptr);

    // The hint for a mouse position in each list's viewport; empty for none.
    QString DestinationHintAt(const QPoint& viewportPos) const;
    QString SourceHintAt(const QPoint& viewportPos) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString HintAt(const QTreeView* view, const QPoint& viewportPos) const;

    MainWindowContext& context_;
    const QTreeView* shownFor_ = nullptr; // the list whose hint is up
};

} // namespace impmap::gui

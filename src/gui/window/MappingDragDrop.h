#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QMimeData;
class QTreeView;

namespace impmap::gui {

struct MainWindowContext;
class DropTargetDelegate;

// A press on the source list becomes a drag once the mouse has moved this many pixels along
// either axis with the button held; a shorter movement is an ordinary click.
inline constexpr int kDragThreshold = 10;

bool DragThresholdReached(const QPoint& pressed, const QPoint& current);

// A dragged source field travels as "<process id> <field number>" under this type, so a drop
// coming from another program is refused.
inline constexpr char kSourceFieldMimeType[] = "application/x-impmap-source-field";

// New MIME data carrying a source field number (the caller owns it).
QMimeData* SourceFieldMimeData(int sourceFieldNo);

// The field number a drop carries; 0 when it is not a source field dragged in this program.
int SourceFieldOf(const QMimeData* data);

// Dragging between the lists of the Mapping tab: starts a drag of a source field from lvSource
// after the threshold, accepts it over either list while that list has rows, shows the row under
// the mouse as drop target (Trace On) or freezes the painting of the main window for the length of
// the drag (Trace Off), and hands each drop to the controller after the drag has ended.
class MappingDragDrop : public QObject
{
    Q_OBJECT

public:
    // target: the destination row (or -1) or the source field number (or 0) under the mouse.
    using DropHandler = std::function<void(int target, int draggedField)>;
    // Runs a drag of a source field and returns when it is over; the default runs a QDrag.
    using DragRunner = std::function<void(int sourceFieldNo)>;

    MappingDragDrop(MainWindowContext& context, DropHandler onDestination, DropHandler onSource,
                    QObject* parent = nullptr);

    // Replaces the drag loop (tests: the real one waits for the mouse button to be let go).
    void SetDragRunner(DragRunner runner) { runner_ = std::move(runner); }

    bool Dragging() const { return dragging_; }
    // The row a list shows as drop target, or -1.
    int DropTargetRow(const QTreeView* view) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool SourceMouseEvent(QEvent* event);
    bool DragEvent(QTreeView* view, QEvent* event);
    bool Accepts(const QTreeView* view, const QMimeData* data) const;
    void RunDrag(int sourceFieldNo);
    void SetDropTarget(QTreeView* view, int row);
    DropTargetDelegate* DelegateOf(const QTreeView* view) const;

    MainWindowContext& context_;
    DropHandler onDestination_;
    DropHandler onSource_;
    DragRunner runner_;
    DropTargetDelegate* sourceDelegate_ = nullptr;
    DropTargetDelegate* destinationDelegate_ = nullptr;

    bool armed_ = false; // a left or middle press on a source row, no drag yet
    QPoint pressedAt_;
    int pressedField_ = 0;
    bool dragging_ = false;
    bool traceOn_ = true;
};

} // namespace impmap::gui

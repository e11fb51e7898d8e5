#include "window/MappingDragDrop.h"

#include "mapping/Workspace.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MappingViews.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

namespace impmap::gui {

// Paints the drop target row of a list as selected without touching the list's selection, so
// the selected source field (the one being dragged) stays what it is.
class DropTargetDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    int TargetRow() const { return targetRow_; }
    void SetTargetRow(int row) { targetRow_ = row; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        if (index.row() != targetRow_) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem target(option);
        target.state |= QStyle::State_Selected | QStyle::State_Active;
        QStyledItemDelegate::paint(painter, target, index);
    }

private:
    int targetRow_ = -1;
};

bool DragThresholdReached(const QPoint& pressed, const QPoint& current)
{
    const QPoint moved = current - pressed;
    return qAbs(moved.x()) >= kDragThreshold || qAbs(moved.y()) >= kDragThreshold;
}

QMimeData* SourceFieldMimeData(int sourceFieldNo)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kSourceFieldMimeType),
                  QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                      QByteArray::number(sourceFieldNo));
    return data;
}

int SourceFieldOf(const QMimeData* data)
{
    if (data == nullptr || !data->hasFormat(QString::fromLatin1(kSourceFieldMimeType))) {
        return 0;
    }
    const QList<QByteArray> parts =
        data->data(QString::fromLatin1(kSourceFieldMimeType)).split(' ');
    bool pidOk = false;
    bool fieldOk = false;
    if (parts.size() != 2 || parts[0].toLongLong(&pidOk) != QCoreApplication::applicationPid()) {
        return 0;
    }
    const int field = parts[1].toInt(&fieldOk);
    return pidOk && fieldOk && field > 0 ? field : 0;
}

MappingDragDrop::MappingDragDrop(MainWindowContext& context, DropHandler onDestination,
                                 DropHandler onSource, QObject* parent)
    : QObject(parent), context_(context), onDestination_(std::move(onDestination)),
      onSource_(std::move(onSource))
{
    QTreeView* source = context_.ui.lvSource;
    QTreeView* destination = context_.ui.lvDestination;
    sourceDelegate_ = new DropTargetDelegate(source);
    destinationDelegate_ = new DropTargetDelegate(destination);
    source->setItemDelegate(sourceDelegate_);
    destination->setItemDelegate(destinationDelegate_);
    for (QTreeView* view : {source, destination}) {
        view->setDragEnabled(false); // drags start here, not in the view
        view->viewport()->setAcceptDrops(true);
        view->viewport()->installEventFilter(this);
    }
}

int MappingDragDrop::DropTargetRow(const QTreeView* view) const
{
    const DropTargetDelegate* delegate = DelegateOf(view);
    return delegate != nullptr ? delegate->TargetRow() : -1;
}

DropTargetDelegate* MappingDragDrop::DelegateOf(const QTreeView* view) const
{
    if (view == context_.ui.lvSource) {
        return sourceDelegate_;
    }
    return view == context_.ui.lvDestination ? destinationDelegate_ : nullptr;
}

bool MappingDragDrop::eventFilter(QObject* watched, QEvent* event)
{
    QTreeView* view = ListOfViewport(context_.ui, watched);
    if (!view)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return DragEvent(view, event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return view == context_.ui.lvSource && SourceMouseEvent(event);
    default:
        return false;
    }
}

bool MappingDragDrop::SourceMouseEvent(QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = mouse->position().toPoint();
    QTreeView* source = context_.ui.lvSource;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const bool dragButton =
            mouse->button() == Qt::LeftButton || mouse->button() == Qt::MiddleButton;
        const int row = RowAt(source, pos);
        armed_ = dragButton && row >= 0 && !context_.workspace.Executing();
        if (!armed_) {
            return false;
        }
        // The press selects the field at once and is kept from the view, which would otherwise
        // move its selection with the mouse or defer it to the release that the drag swallows.
        pressedAt_ = pos;
        pressedField_ = row + 1;
        SelectOnly(source, row);
        return true;
    }
    case QEvent::MouseMove:
        if (!armed_) {
            return false;
        }
        if (!(mouse->buttons() & (Qt::LeftButton | Qt::MiddleButton))) {
            armed_ = false; // the release went elsewhere
            return false;
        }
        if (DragThresholdReached(pressedAt_, pos)) {
            armed_ = false;
            RunDrag(pressedField_);
        }
        return true;
    case QEvent::MouseButtonRelease: {
        const bool ours =
            armed_ && (mouse->button() == Qt::LeftButton || mouse->button() == Qt::MiddleButton);
        armed_ = false;
        return ours;
    }
    default: // double-click
        armed_ = false;
        return false;
    }
}

void MappingDragDrop::RunDrag(int sourceFieldNo)
{
    traceOn_ = context_.workspace.Trace() == TraceMode::On;
    QMainWindow& window = context_.window;
    const bool freeze = !traceOn_ && window.updatesEnabled();
    if (freeze) {
        window.setUpdatesEnabled(false);
    }
    dragging_ = true;
    struct EndDrag
    {
        MappingDragDrop& self;
        QMainWindow& window;
        bool frozen;
        ~EndDrag()
        {
            self.dragging_ = false;
            self.SetDropTarget(self.context_.ui.lvSource, -1);
            self.SetDropTarget(self.context_.ui.lvDestination, -1);
            if (frozen) {
                window.setUpdatesEnabled(true);
            }
        }
    } endDrag{*this, window, freeze};

    if (runner_) {
        runner_(sourceFieldNo);
        return;
    }
    auto* drag = new QDrag(context_.ui.lvSource); // Qt deletes it when the drag is over
    drag->setMimeData(SourceFieldMimeData(sourceFieldNo));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

bool MappingDragDrop::Accepts(const QTreeView* view, const QMimeData* data) const
{
    if (SourceFieldOf(data) == 0 || context_.workspace.Executing()) {
        return false;
    }
    return view == context_.ui.lvSource ? !context_.workspace.SourceFields().empty()
                                        : !context_.workspace.Rows().empty();
}

bool MappingDragDrop::DragEvent(QTreeView* view, QEvent* event)
{
    if (event->type() == QEvent::DragLeave) {
        SetDropTarget(view, -1);
        return true;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    if (!Accepts(view, drop->mimeData())) {
        SetDropTarget(view, -1);
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::MoveAction);
    drop->accept();
    const int row = RowAt(view, drop->position().toPoint());
    if (event->type() != QEvent::Drop) {
        const bool trace = dragging_ ? traceOn_ : context_.workspace.Trace() == TraceMode::On;
        SetDropTarget(view, trace ? row : -1);
        return true;
    }
    SetDropTarget(view, -1);
    const int dragged = SourceFieldOf(drop->mimeData());
    const bool onSource = view == context_.ui.lvSource;
    const int target = onSource ? row + 1 : row; // field 0 / row -1: nothing under the mouse
    const DropHandler& handler = onSource ? onSource_ : onDestination_;
    // The drop is handled once the drag has ended, outside the drag's own event loop, so a
    // message box it may show runs in the normal loop.
    QTimer::singleShot(0, this, [handler, target, dragged] { handler(target, dragged); });
    return true;
}

void MappingDragDrop::SetDropTarget(QTreeView* view, int row)
{
    DropTargetDelegate* delegate = DelegateOf(view);
    if (delegate == nullptr || delegate->TargetRow() == row) {
        return;
    }
    delegate->SetTargetRow(row);
    view->viewport()->update();
}

} // namespace impmap::gui

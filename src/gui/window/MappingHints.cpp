#include "window/MappingHints.h"

#include "mapping/Workspace.h"
#include "platform/Bytes.h"
#include "schema/FieldGuide.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MappingViews.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QTreeView>

namespace impmap::gui {

MappingHints::MappingHints(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context)
{
    for (QTreeView* view : {context_.ui.lvSource, context_.ui.lvDestination}) {
        view->viewport()->setMouseTracking(true);
        view->viewport()->installEventFilter(this);
    }
}

QString MappingHints::DestinationHintAt(const QPoint& viewportPos) const
{
    const QTreeView* view = context_.ui.lvDestination;
    const int row = RowAt(view, viewportPos);
    const auto& rows = context_.workspace.Rows();
    if (!IsRowSelected(view, row) || row >= static_cast<int>(rows.size())) {
        return {};
    }
    const DestinationRow& r = rows[static_cast<size_t>(row)];
    return FromBytes(FieldGuideText(r.caption, r.typeCode, r.value));
}

QString MappingHints::SourceHintAt(const QPoint& viewportPos) const
{
    const QTreeView* view = context_.ui.lvSource;
    const int row = RowAt(view, viewportPos);
    const auto& fields = context_.workspace.SourceFields();
    if (!IsRowSelected(view, row) || row >= static_cast<int>(fields.size())) {
        return {};
    }
    const QString value = TrimmedText(FromBytes(fields[static_cast<size_t>(row)]));
    return value.isEmpty() ? QString() : QStringLiteral("Source Value = ") + value;
}

QString MappingHints::HintAt(const QTreeView* view, const QPoint& viewportPos) const
{
    return view == context_.ui.lvSource ? SourceHintAt(viewportPos)
                                        : DestinationHintAt(viewportPos);
}

bool MappingHints::eventFilter(QObject* watched, QEvent* event)
{
    const QTreeView* view = ListOfViewport(context_.ui, watched);
    if (!view)
        return false;
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = HintAt(view, help->pos());
        if (hint.isEmpty()) {
            QToolTip::hideText();
            shownFor_ = nullptr;
            event->ignore();
        } else {
            // The hint goes as soon as the mouse leaves the row it explains.
            QToolTip::showText(help->globalPos(), hint, view->viewport(),
                               RowRect(view, RowAt(view, help->pos())), kHintDisplayMilliseconds);
            shownFor_ = view;
        }
        return true;
    }
    if ((event->type() == QEvent::MouseMove || event->type() == QEvent::Leave) &&
        shownFor_ == view && QToolTip::isVisible()) {
        const QString hint =
            event->type() == QEvent::MouseMove
                ? HintAt(view, static_cast<QMouseEvent*>(event)->position().toPoint())
                : QString();
        if (hint.isEmpty()) {
            QToolTip::hideText();
            shownFor_ = nullptr;
        } else if (hint != QToolTip::text()) {
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            QToolTip::showText(view->viewport()->mapToGlobal(pos), hint, view->viewport(),
                               RowRect(view, RowAt(view, pos)), kHintDisplayMilliseconds);
        }
    }
    return false;
}

} // namespace impmap::gui

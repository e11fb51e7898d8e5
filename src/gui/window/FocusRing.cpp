#include "window/FocusRing.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace impmap::gui {

void FocusRing::Add(QWidget* widget)
{
    widget->installEventFilter(new FocusRing(widget));
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::Paint || widget == nullptr || !widget->hasFocus())
        return false;
    // The widget paints itself first; the ring goes over it.
    widget->removeEventFilter(this);
    QCoreApplication::sendEvent(widget, event);
    widget->installEventFilter(this);
    QPainter painter(widget);
    QStyleOptionFocusRect option;
    option.initFrom(widget);
    option.backgroundColor = widget->palette().color(QPalette::Base);
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, widget);
    return true;
}

} // namespace impmap::gui

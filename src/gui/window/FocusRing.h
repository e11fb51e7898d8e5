#pragma once

#include <QObject>

class QWidget;

namespace impmap::gui {

// Draws the style's focus rectangle over a widget that paints none of its own while it has the
// keyboard focus (the buttons inside a line edit), so that a user moving with Tab sees where
// Space will act.
class FocusRing : public QObject
{
public:
    static void Add(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusRing(QObject* parent) : QObject(parent) {}
};

} // namespace impmap::gui

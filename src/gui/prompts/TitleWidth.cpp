#include "prompts/TitleWidth.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

namespace impmap::gui {

namespace {

// The title bar's icon and its minimise, maximise and close buttons, with their margins.
constexpr int kTitleBarExtra = 140;

} // namespace

int WidthForTitle(const QString& title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarExtra;
}

} // namespace impmap::gui

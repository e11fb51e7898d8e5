#pragma once

#include <QString>

// Windows wide enough for their whole title: the window system cuts a title that does not fit.
namespace impmap::gui {

// The least width at which a window shows title in full: the title in the bold face window
// systems use for titles, and room for the icon and the buttons of the title bar.
int WidthForTitle(const QString& title);

} // namespace impmap::gui

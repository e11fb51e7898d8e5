#pragma once

#include <QString>

// The user manual: every help topic in the order of the contents page, on one page, with the
// links between topics turned into links within the page. It is built from the help pages in the
// program's resources, so it ships with the program and needs no network.
namespace impmap::gui {

// The address under which the help window shows the manual.
inline constexpr char kUserManualPage[] = "qrc:/help/manual.html";

QString UserManualHtml();

} // namespace impmap::gui

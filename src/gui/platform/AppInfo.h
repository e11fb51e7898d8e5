#pragma once

#include <QString>

// The program's name and version as the windows show them.
namespace impmap::gui {

// "Vellorum - 2022 Import Mapping Utility": the application title, the caption of error boxes.
QString ApplicationTitle();

// The file-version text of the build ("31.00"), taken from the project version.
QString FileVersionText();

// Names the application and its organisation for Qt. No display name is set: on X11 Qt would
// append it to every window's title, so each title bar would no longer show just its caption.
void SetApplicationIdentity();

// The main window's caption at start: the title, one blank and the file-version text.
QString MainWindowCaption();

} // namespace impmap::gui

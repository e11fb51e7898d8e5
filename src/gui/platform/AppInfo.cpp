#include "platform/AppInfo.h"

#include "mapping/Workspace.h"

#ifndef IMPMAP_VERSION_TEXT
#error "IMPMAP_VERSION_TEXT must be defined by the build"
#endif

namespace impmap::gui {

QString ApplicationTitle()
{
    return QString::fromLatin1(kApplicationTitle);
}

QString FileVersionText()
{
    return QStringLiteral(IMPMAP_VERSION_TEXT);
}

QString MainWindowCaption()
{
    return ApplicationTitle() + u' ' + FileVersionText();
}

} // namespace impmap::gui

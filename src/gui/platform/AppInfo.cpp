#include "platform/AppInfo.h"

#ifndef IMPMAP_VERSION_TEXT
#error "IMPMAP_VERSION_TEXT must be defined by the build"
#endif

namespace impmap::gui {

QString ApplicationTitle()
{
    return QStringLiteral("Vellorum - 2022 Import Mapping Utility");
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

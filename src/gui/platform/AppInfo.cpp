#include "platform/AppInfo.h"

#include "mapping/Workspace.h"

#include <QCoreApplication>

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

void SetApplicationIdentity()
{
    QCoreApplication::setApplicationName(ApplicationTitle());
    QCoreApplication::setOrganizationName(QStringLiteral("VELLORUM"));
}

QString MainWindowCaption()
{
    return ApplicationTitle() + u' ' + FileVersionText();
}

} // namespace impmap::gui

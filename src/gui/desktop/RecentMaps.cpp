#include "desktop/RecentMaps.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "settings/Settings.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QToolButton>

namespace impmap::gui {

namespace {

// Entries wider than this many average characters are shortened in the middle.
constexpr int kEntryCharacters = 72;

QString Normalised(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

bool SamePath(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

} // namespace

RecentMaps::RecentMaps(MainWindowContext& context, std::function<void(const QString&)> open,
                       QObject* parent)
    : QObject(parent), context_(context), open_(std::move(open)),
      menu_(new QMenu(context.ui.sbOpenMap))
{
    menu_->setObjectName(QStringLiteral("popupRecentMaps"));
    menu_->setToolTipsVisible(true);
    QToolButton* button = context_.ui.sbOpenMap;
    button->setMenu(menu_);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    connect(menu_, &QMenu::aboutToShow, this, &RecentMaps::FillMenu);
    connect(&context_.notifier, &WorkspaceSignals::Changed, this, &RecentMaps::Refresh);
    FillMenu();
}

QStringList RecentMaps::Paths() const
{
    return context_.settings.RecentMaps();
}

void RecentMaps::Add(const QString& path)
{
    const QString added = Normalised(path);
    QStringList paths{added};
    for (const QString& kept : Paths()) {
        if (!SamePath(kept, added) && paths.size() < kLimit)
            paths << kept;
    }
    context_.settings.SetRecentMaps(paths);
}

void RecentMaps::Clear()
{
    context_.settings.SetRecentMaps({});
}

void RecentMaps::Refresh(unsigned changes)
{
    // A map file that failed to open leaves no path behind.
    const std::string& path = context_.workspace.LastMappingPath();
    if ((changes & (kChangeMapOpened | kChangeMapSaved)) && !path.empty())
        Add(PathText(path));
}

void RecentMaps::FillMenu()
{
    menu_->clear();
    const QStringList paths = Paths();
    const QFontMetrics metrics(menu_->font());
    const int width = metrics.averageCharWidth() * kEntryCharacters;
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths[i];
        QString shown = metrics.elidedText(path, Qt::ElideMiddle, width);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* entry = menu_->addAction(QStringLiteral("&%1 ").arg((i + 1) % 10) + shown, this,
                                          [this, path] { open_(path); });
        const bool there = QFileInfo(path).isFile();
        entry->setEnabled(there);
        entry->setToolTip(there ? path : path + QStringLiteral(" (no longer there)"));
    }
    if (paths.isEmpty())
        menu_->addAction(QStringLiteral("No recent maps"))->setEnabled(false);
    menu_->addSeparator();
    QAction* clear = menu_->addAction(QStringLiteral("&Clear Recent Maps"), this, [this] {
        Clear();
        FillMenu();
    });
    clear->setObjectName(QStringLiteral("popupClearRecentMaps"));
    clear->setEnabled(!paths.isEmpty());
}

} // namespace impmap::gui

#include "settings/WorkingFolders.h"

#include "platform/ExampleSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace impmap::gui {

namespace {

// The folder name below parent, made when missing; fallback when it cannot be made.
QString MadeFolder(const QString& parent, const QString& name, const QString& fallback)
{
    const QString path = QDir(parent).filePath(name);
    return QDir().mkpath(path) ? QDir::cleanPath(path) : fallback;
}

} // namespace

QString WorkingFoldersBase()
{
    const QString home = qEnvironmentVariable("IMPMAP_HOME");
    if (!home.isEmpty()) {
        return home;
    }
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (IsWritableFolder(programFolder)) {
        return programFolder;
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

WorkingFolders MakeWorkingFolders(const QString& base)
{
    const QString mapsPath = QDir(base).filePath(QStringLiteral("2022MAPS"));
    const QString maps = MadeFolder(base, QStringLiteral("2022MAPS"), QDir::currentPath());
    const QString headers = MadeFolder(mapsPath, QStringLiteral("HEADERS"), maps);
    const QString example = MadeFolder(mapsPath, QStringLiteral("EXAMPLE"), maps);

    WorkingFolders folders;
    folders.maps = QDir::toNativeSeparators(maps);
    folders.headers = QDir::toNativeSeparators(headers);
    folders.example = QDir::toNativeSeparators(example);
    WriteExampleSource(example, &folders.exampleError);
    QDir::setCurrent(maps);
    return folders;
}

bool IsWritableFolder(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("impmap-probe-XXXXXX")));
    return probe.open();
}

} // namespace impmap::gui

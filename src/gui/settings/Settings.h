#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

// The per-user settings kept between runs. On Windows they are string values in the registry under
// HKEY_CURRENT_USER\VELLORUM; elsewhere they live in an INI file with the same sub-keys and value
// names. The store is opened afresh for every read and write, and a missing value reads as its
// default. Every value is a string.
namespace impmap::gui {

class Settings
{
public:
    // The user's own store: the registry key on Windows, "VELLORUM.ini" in the user's
    // configuration folder elsewhere.
    Settings();
    // An INI file at the given path, on every platform (tests and portable use).
    explicit Settings(QString iniFilePath);

    // "Import\VL2022" / TextDirectory: the folder for import text files. Default: the current
    // directory.
    QString TextDirectory() const;
    void SetTextDirectory(const QString& folder);

    // "Import" / "VL2022": the full path and name of the running program file. Written only.
    void SetProgramPath(const QString& programFilePath);

    // "ImportMapping\2022" / LastMapping: the map file reopened at start-up, trimmed.
    // Default: empty.
    QString LastMapping() const;
    void SetLastMapping(const QString& mapFilePath);

    // "ImportMapping\2022" / SourcePath: the Open Source dialog's initial folder. Default, and in
    // place of a stored folder that no longer exists: the current directory.
    QString SourcePath() const;
    void SetSourcePath(const QString& folder);

    // "ImportMapping\2022\RecentMaps" / "1" to "10": the map files last opened or saved, the
    // latest first. Default: none.
    QStringList RecentMaps() const;
    void SetRecentMaps(const QStringList& paths);

    // Where the INI file lies; empty when the store is the Windows registry.
    const QString& IniFilePath() const { return iniFilePath_; }

private:
    std::unique_ptr<QSettings> Open() const;
    QString Read(const QString& key, const QString& defaultValue) const;
    void Write(const QString& key, const QString& value);

    QString iniFilePath_;
};

// The current directory in the platform's own notation, the default of the folder settings.
QString CurrentFolder();

// The folder part of a file path in the platform's notation, with its trailing separator:
// "C:\MAPS\PAYEES.CSV" gives "C:\MAPS\" on Windows. Empty when the path names no folder.
QString FolderWithTrailingSeparator(const QString& filePath);

} // namespace impmap::gui

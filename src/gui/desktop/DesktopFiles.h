#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace impmap::gui {

struct MainWindowContext;
class ExecuteController;
class MapFileController;
class SourceController;

// True for a map file's name (extension .MAP in any case).
bool IsMapFileName(const QString& path);

// Files that come from the desktop: named on the command line, handed over by a later start of
// the program, or dropped on the window. A map file opens as Open Map opens it (asking first
// about a changed mapping), any other file as the source file, as the locate button loads it.
class DesktopFiles : public QObject
{
    Q_OBJECT

public:
    DesktopFiles(MainWindowContext& context, MapFileController& mapFiles, SourceController& sources,
                 const ExecuteController& execution, QObject* parent = nullptr);
    ~DesktopFiles() override;

    // The file named on the command line, opened once the window is first on the screen
    // (OpenStartFile), so that what it asks or reports stands over the window; a map file takes
    // the place of the last mapping, which is not read.
    void SetStartFile(const QString& path) { startFile_ = path; }
    bool StartsWithMap() const { return !startFile_.isEmpty() && IsMapFileName(startFile_); }
    void OpenStartFile();

    // Opens path once the window is free: never inside the event that brought it, and not while
    // a run, a check or a dialog is going on. The latest file wins.
    void Open(const QString& path);
    // The file waiting for the window; empty when none.
    const QString& Pending() const { return pending_; }

protected:
    // Drops of one file anywhere on the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Busy() const;
    void OpenPending();
    void OpenNow(const QString& path);

    MainWindowContext& context_;
    MapFileController& mapFiles_;
    SourceController& sources_;
    const ExecuteController& execution_;
    QString startFile_;
    QString pending_;
    QTimer retry_;
};

} // namespace impmap::gui

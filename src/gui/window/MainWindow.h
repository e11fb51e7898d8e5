#pragma once

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "undo/UndoHistory.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/SourceSaver.h"

#include <QMainWindow>
#include <QPointer>

class QKeyEvent;

namespace impmap::gui {

class DesktopFiles;
class DestinationRowsModel;
class ExecuteController;
class HelpWindow;
class LinesModel;
class MapFileController;
class MappingController;
class Prompts;
class Settings;
class SourceController;
class SourceFieldsModel;
class SourceFormatController;
struct WorkingFolders;

// The window the user works in. It owns the workspace (all mapping and source state), the models
// over it and the controllers that serve the controls; itself it handles the window's life
// (creation, first showing, closing), its keys, help and resizing.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // prompts answers every question the window asks; settings keeps what is remembered between
    // runs; workingFolders are the folders made at start-up (MakeWorkingFolders).
    MainWindow(Prompts& prompts, Settings& settings, const WorkingFolders& workingFolders,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The type is named in full: Workspace in this class is this accessor.
    impmap::Workspace& Workspace() { return workspace_; }
    MainWindowUi& Ui() { return ui_; }
    const DialogFolders& Folders() const { return folders_; }
    SourceController& Sources() { return *sources_; }
    MapFileController& MapFiles() { return *mapFiles_; }
    MappingController& Mapping() { return *mapping_; }
    ExecuteController& Execution() { return *execute_; }
    UndoHistory& Undo() { return undo_; }
    // Files from the command line, a later start and drops.
    DesktopFiles& Desktop() { return *desktop_; }
    // The help window; nothing until help was first asked for.
    HelpWindow* Help() const;
    // The window's width at the last layout adjustment; 0 until the window was first shown.
    int LastWidth() const { return lastWidth_; }
    bool FirstShowDone() const { return firstShowDone_; }

    // Every showing: the first restores the settings and reopens the last mapping; each shows
    // record 1 unless a run is going on.
    void FormShow();
    // Whether a close request may go on: never during a run; after a change of the mapping or
    // the source, only when the user does not cancel the questions about saving them.
    bool FormCloseQuery();
    // The window closes: the help window closes, the last mapping and source folder are stored.
    void FormClose();
    // Every change of the window's size once it has been shown: the lists' columns follow.
    void FormResize();

public slots:
    void bHelpClick();
    void bCloseClick();
    void btUserManualOnlineClick();
    void sbWhatsThisClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The "What's this?" entry of a right click.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The window sees every key first; the lists' panels follow their focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const WorkingFolders& workingFolders);
    bool FormKeyDown(QWidget* receiver, const QKeyEvent& event);
    void OnWorkspaceChanged(unsigned changes);
    HelpWindow& HelpViewer();

    Prompts& prompts_;
    Settings& settings_;
    impmap::Workspace workspace_;
    WorkspaceSignals notifier_;
    UndoHistory undo_;
    DialogFolders folders_;
    MainWindowUi ui_;
    MainWindowContext context_;
    SourceSaver sourceSaver_{context_};
    QString exampleError_;

    DestinationRowsModel* destinationModel_ = nullptr;
    SourceFieldsModel* sourceFieldsModel_ = nullptr;
    LinesModel* sourceLinesModel_ = nullptr;
    SourceController* sources_ = nullptr;
    MapFileController* mapFiles_ = nullptr;
    MappingController* mapping_ = nullptr;
    ExecuteController* execute_ = nullptr;
    SourceFormatController* sourceFormat_ = nullptr;
    DesktopFiles* desktop_ = nullptr;
    QPointer<HelpWindow> help_;

    bool firstShowDone_ = false;
    int lastWidth_ = 0;
};

} // namespace impmap::gui

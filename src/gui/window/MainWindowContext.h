#pragma once

#include <QString>

class QMainWindow;

namespace impmap {
class Workspace;
}

namespace impmap::gui {

class Prompts;
class Settings;
class UndoHistory;
class WorkspaceSignals;
struct MainWindowUi;

// Initial folders of the file dialogs, fixed at start-up.
struct DialogFolders
{
    QString maps;       // Open Mapping and Save Mapping: 2022MAPS
    QString headers;    // Save Header: 2022MAPS/HEADERS
    QString openSource; // Open Source: SourcePath from the settings
    QString saveOutput; // Save Output: TextDirectory from the settings
};

// What the main window's controllers share: the state, the prompts seam, the settings and the
// controls. All references outlive the controllers.
struct MainWindowContext
{
    Workspace& workspace;
    WorkspaceSignals& notifier;
    Prompts& prompts;
    Settings& settings;
    MainWindowUi& ui;
    QMainWindow& window;
    DialogFolders& folders;
    UndoHistory& undo; // every change the user can undo goes through it
};

} // namespace impmap::gui

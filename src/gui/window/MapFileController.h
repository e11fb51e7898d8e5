#pragma once

#include "platform/Prompts.h"

#include <QObject>
#include <QString>
#include <string>
#include <string_view>

namespace impmap::gui {

struct MainWindowContext;

// File paths as the core holds them: bytes in the file system's own encoding, so a name that the
// dialogs return opens the same file, and the name read back shows as the user typed it.
std::string PathBytes(const QString& path);
QString PathText(std::string_view bytes);

// The map files: Open Map and Save Map, the question about saving a changed mapping, the window
// caption with the map file's name, and the Save Map button's availability and hint.
class MapFileController : public QObject
{
    Q_OBJECT

public:
    MapFileController(MainWindowContext& context, QObject* parent = nullptr);

    // "Do you want to save the current mapping?" with Yes, No and Cancel.
    Button AskSaveMapping();

    // Opens the map file named by the settings at start-up; every failure is dropped, as the
    // file may be long gone.
    void OpenLastMapping(const QString& path);

    enum class SaveOutcome
    {
        Saved,
        Cancelled,
        Failed
    };
    // Save Map: asks for the file name and writes the map file; a failure is shown.
    SaveOutcome SaveMapping();
    // The question before the mapping is dropped (Close, Open Map), when it has unsaved changes:
    // true when the caller may go on. Yes saves first; a save that fails stops the caller, a
    // cancelled save dialog does not.
    bool MayDropMapping();

public slots:
    void sbSaveMapClick();
    // Open Map: offers to save a changed mapping, asks for a map file and opens it.
    void sbOpenMapClick();

private:
    void Refresh(unsigned changes);

    MainWindowContext& context_;
};

} // namespace impmap::gui

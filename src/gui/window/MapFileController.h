#pragma once

#include "prompts/Prompts.h"

#include <QObject>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace impmap::gui {

struct MainWindowContext;
class SourceSaver;

// File paths as the core holds them: bytes in the file system's own encoding, so a name that the
// dialogs return opens the same file, and the name read back shows as the user typed it.
std::string PathBytes(const QString& path);
QString PathText(std::string_view bytes);
// A path as the file system spells it on this platform (wide on Windows).
std::filesystem::path FileSystemPath(const QString& path);

// The map files: Open Map and Save Map, the question about saving a changed mapping, the window
// caption with the map file's name, and the Save Map button's availability and hint.
class MapFileController : public QObject
{
    Q_OBJECT

public:
    MapFileController(MainWindowContext& context, SourceSaver& sourceSaver,
                      QObject* parent = nullptr);

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
    // Before another map replaces the mapping and the source: the question about the mapping,
    // then the one about unsaved edits of the source.
    bool MayOpenAnotherMap();
    // Opens a map file named elsewhere than in the open dialog (a recent map, the command line, a
    // drop, a second start): the question about a changed mapping first, then as Open Map does.
    void OpenMapFile(const QString& path);

signals:
    // A map file and its source were opened (Open Map, or the last mapping at start-up).
    void MappingOpened();
    // The mapping was written to a map file.
    void MappingSaved();

public slots:
    void sbSaveMapClick();
    // Open Map: offers to save a changed mapping, asks for a map file and opens it.
    void sbOpenMapClick();

private:
    void Refresh(unsigned changes);
    // Opens the map file the user named, once the mapping may go; a failure is shown.
    void OpenNamedMap(const QString& path);

    MainWindowContext& context_;
    SourceSaver& sourceSaver_;
};

} // namespace impmap::gui

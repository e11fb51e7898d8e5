#pragma once

#include <QString>

// The working folders "2022MAPS", "2022MAPS/HEADERS" and "2022MAPS/EXAMPLE" and the example
// source file in the last of them.
namespace impmap::gui {

struct WorkingFolders
{
    // "2022MAPS": initial folder of the map dialogs; the current directory once they are made.
    QString maps;
    // "2022MAPS/HEADERS": initial folder of the Save Header dialog.
    QString headers;
    // "2022MAPS/EXAMPLE": holds the example source file.
    QString example;
    // Why the example source file could not be written; empty when it is there.
    QString exampleError;
};

// The folder in which "2022MAPS" is made: the environment variable IMPMAP_HOME when it is set;
// otherwise the folder of the program file when files can be created there; otherwise the user's
// application data folder.
QString WorkingFoldersBase();

// Makes the three folders below base where they are missing and writes the example source file
// when it is not there yet, then makes "2022MAPS" the current directory. A folder that cannot be
// made is replaced by the folder above it ("2022MAPS" by the current directory), silently; only a
// failure to write the example file is reported, in exampleError. Paths are in the platform's
// notation.
WorkingFolders MakeWorkingFolders(const QString& base);

// True when a file can be created in folder.
bool IsWritableFolder(const QString& folder);

} // namespace impmap::gui

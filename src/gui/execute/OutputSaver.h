#pragma once

#include <QString>

namespace impmap {
class Workspace;
}

namespace impmap::gui {

class Prompts;
class Settings;

// Save Output: asks for a file name (proposing the source name with the form's name), writes the
// output lines to it, remembers its folder as TextDirectory and shows how to import the file.
// Returns false when the user cancels the dialog. A file that cannot be written throws
// FileError with the system's reason; an existing file is then left as it was and nothing is
// remembered.
bool SaveOutput(const Workspace& workspace, Prompts& prompts, Settings& settings,
                const QString& initialFolder);

} // namespace impmap::gui

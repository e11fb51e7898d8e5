#include "execute/OutputSaver.h"

#include "execute/ImportInstructions.h"
#include "io/FileIo.h"
#include "mapping/Workspace.h"
#include "platform/Bytes.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"

#include <QFileInfo>
#include <filesystem>

namespace impmap::gui {

namespace {

const char* const kFileMarker = "\x01";
const char* const kFolderMarker = "\x02";

// The instructions with the file's own name and folder; markers stand in for them in the byte
// text, so that names beyond the single-byte range keep their characters.
QString InstructionsFor(int formIndex, const QString& path)
{
    QString text = FromBytes(ImportInstructions(formIndex, kFileMarker, kFolderMarker));
    text.replace(QLatin1String(kFileMarker), QFileInfo(path).fileName());
    text.replace(QLatin1String(kFolderMarker), FolderWithTrailingSeparator(path));
    return text;
}

} // namespace

std::string OutputFileBytes(const std::vector<std::string>& lines)
{
    size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

bool SaveOutput(const Workspace& workspace, Prompts& prompts, Settings& settings,
                const QString& initialFolder)
{
    const std::optional<QString> path =
        prompts.SaveFileName(QStringLiteral("Save output..."), initialFolder,
                             QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*"),
                             QStringLiteral("TXT"), FromBytes(workspace.ProposedOutputFileName()));
    if (!path)
        return false;
    WriteFileAtomically(std::filesystem::path(path->toStdU16String()),
                        OutputFileBytes(workspace.OutputLines()));
    settings.SetTextDirectory(FolderWithTrailingSeparator(*path));
    prompts.ShowMessageBox(InstructionsFor(workspace.FormIndex(), *path),
                           QStringLiteral("Importing Instructions"), 1, 0, 2);
    return true;
}

} // namespace impmap::gui

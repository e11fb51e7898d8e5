#include "execute/OutputSaver.h"

#include "execute/ImportInstructions.h"
#include "io/FileIo.h"
#include "mapping/Workspace.h"
#include "platform/Bytes.h"
#include "prompts/Prompts.h"
#include "settings/Settings.h"

#include <QFile>
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

bool SaveOutput(const Workspace& workspace, Prompts& prompts, Settings& settings,
                const QString& initialFolder)
{
    const std::optional<QString> path = prompts.SaveFileName(
        QStringLiteral("Save output..."), initialFolder,
        QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*"), QStringLiteral("TXT"),
        QFile::decodeName(workspace.ProposedOutputFileName().c_str()));
    if (!path)
        return false;
    // Written piece by piece from the store: the file's bytes are never held as a whole.
    AtomicFileWriter writer(std::filesystem::path(path->toStdU16String()));
    workspace.OutputLines().WriteTo([&writer](std::string_view bytes) { writer.Write(bytes); });
    writer.Commit();
    settings.SetTextDirectory(FolderWithTrailingSeparator(*path));
    prompts.ShowMessageBox(InstructionsFor(workspace.FormIndex(), *path),
                           QStringLiteral("Importing Instructions"), message_box::kOk,
                           message_box::kDefaultFirst, message_box::kIconInformation);
    return true;
}

} // namespace impmap::gui

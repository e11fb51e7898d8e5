#include "window/SourceInBackground.h"

#include "convert/Text.h"
#include "mapping/SourceRead.h"
#include "mapping/Workspace.h"
#include "window/BackgroundTask.h"
#include "window/MainWindowContext.h"
#include "window/MapFileController.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <optional>

namespace impmap::gui {

namespace {

QString FileName(const std::string& path)
{
    return QFileInfo(PathText(Trim(path))).fileName();
}

QString NativePath(const std::string& path)
{
    return QDir::toNativeSeparators(PathText(Trim(path)));
}

} // namespace

bool LoadSourceInBackground(MainWindowContext& context, const QString& action,
                            const std::string& path, const std::string& sheet,
                            const std::function<void()>& operation, bool cancellable)
{
    std::optional<SourceReadAhead> ahead;
    BackgroundTask task(&context.window, QStringLiteral("%1 %2...").arg(action, FileName(path)),
                        QStringLiteral("Reading %1").arg(NativePath(path)), cancellable);
    if (!task.Run([&](WorkProgress& progress) { ahead = ReadSourceAhead(path, sheet, &progress); }))
        return false;
    context.workspace.WithSourceReadAhead(std::move(*ahead), operation);
    return true;
}

bool ReloadSourceInBackground(MainWindowContext& context, const std::function<void()>& operation,
                              bool cancellable)
{
    const Workspace& workspace = context.workspace;
    if (!workspace.SourceLoaded() || !workspace.OpenSourceEnabled()) {
        operation();
        return true;
    }
    return LoadSourceInBackground(context, QStringLiteral("Reloading"), workspace.SourcePath(),
                                  workspace.Sheet(), operation, cancellable);
}

bool SaveSourceInBackground(MainWindowContext& context)
{
    Workspace& workspace = context.workspace;
    const std::string path = workspace.SourcePath();
    FileStamp stamp;
    BackgroundTask task(&context.window, QStringLiteral("Saving %1...").arg(FileName(path)),
                        QStringLiteral("Writing %1").arg(NativePath(path)));
    // The worker only reads the workspace; the window changes nothing until it has ended.
    const bool saved = task.Run([&](WorkProgress& progress) {
        const std::string bytes = workspace.SourceBytesToSave();
        stamp = WriteSourceFile(path, bytes, &progress);
    });
    if (saved)
        workspace.SourceSaved(std::move(stamp));
    return saved;
}

} // namespace impmap::gui

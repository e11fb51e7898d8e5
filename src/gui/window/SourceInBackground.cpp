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

// A record longer than this is split on the worker: about 10 ms of copying on the window's thread.
constexpr std::size_t kSplitAheadBytes = std::size_t{4} << 20;

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

bool SaveSourceInBackground(MainWindowContext& context, const std::function<void()>& first)
{
    Workspace& workspace = context.workspace;
    const std::string path = workspace.SourcePath();
    FileStamp stamp;
    BackgroundTask task(&context.window, QStringLiteral("Saving %1...").arg(FileName(path)),
                        QStringLiteral("Writing %1").arg(NativePath(path)));
    // The worker only reads the workspace; the window changes nothing until it has ended.
    const bool saved = task.Run([&](WorkProgress& progress) {
        if (first)
            first();
        const std::string bytes = workspace.SourceBytesToSave();
        stamp = WriteSourceFile(path, bytes, &progress);
    });
    if (saved)
        workspace.SourceSaved(std::move(stamp));
    return saved;
}

std::optional<JoinedLines> JoinLinesInBackground(MainWindowContext& context)
{
    Workspace& workspace = context.workspace;
    const std::string path = workspace.SourcePath();
    JoinedLines result;
    std::optional<SourceLines> joined;
    BackgroundTask joining(&context.window,
                           QStringLiteral("Joining lines of %1...").arg(FileName(path)),
                           QStringLiteral("Joining the lines of %1").arg(NativePath(path)));
    if (!joining.Run(
            [&](WorkProgress&) { joined = workspace.LinesJoinedInsideQuotes(result.joins); }))
        return std::nullopt;
    if (result.joins == 0)
        return result;
    workspace.TakeJoinedLines(std::move(*joined));
    if (!SaveSourceInBackground(context, [&] { result.backupPath = workspace.BackUpSourceFile(); }))
        return std::nullopt;
    ReloadSourceInBackground(
        context, [&workspace] { workspace.OpenSource(); }, false);
    return result;
}

void ShowRecordInBackground(MainWindowContext& context, long n,
                            const std::function<void()>& operation)
{
    Workspace& workspace = context.workspace;
    if (n < 1 || static_cast<std::size_t>(n) > workspace.RecordCount() ||
        workspace.Lines().Line(static_cast<std::size_t>(n - 1)).size() < kSplitAheadBytes) {
        operation();
        return;
    }
    std::optional<RecordSplit> split;
    // Splitting cannot stop half-way; it takes a fraction of a second for hundreds of megabytes.
    BackgroundTask task(&context.window, QStringLiteral("Showing record %1...").arg(n),
                        QStringLiteral("Reading the fields of record %1").arg(n), false);
    task.Run([&](WorkProgress&) { split = workspace.SplitRecordAhead(n); });
    workspace.WithRecordSplitAhead(std::move(*split), operation);
}

} // namespace impmap::gui

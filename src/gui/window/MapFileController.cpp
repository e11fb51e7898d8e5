#include "window/MapFileController.h"

#include "convert/Rejection.h"
#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/SourceLocation.h"
#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "prompts/ErrorDisplay.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/SourceInBackground.h"
#include "window/SourceSaver.h"

#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QShortcut>
#include <QToolButton>

namespace impmap::gui {

namespace {

const QString kMapFilter = QStringLiteral("Vellorum Map File (*.MAP)|*.MAP");

} // namespace

std::string PathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString PathText(std::string_view bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::filesystem::path FileSystemPath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

MapFileController::MapFileController(MainWindowContext& context, SourceSaver& sourceSaver,
                                     QObject* parent)
    : QObject(parent), context_(context), sourceSaver_(sourceSaver)
{
    connect(context_.ui.sbOpenMap, &QToolButton::clicked, this, &MapFileController::sbOpenMapClick);
    connect(context_.ui.sbSaveMap, &QToolButton::clicked, this, &MapFileController::sbSaveMapClick);
    connect(&context_.notifier, &WorkspaceSignals::Changed, this, &MapFileController::Refresh);
    // The keys work on every tab, as long as the buttons would.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), &context_.window),
            &QShortcut::activated, this, &MapFileController::sbOpenMapClick);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &context_.window),
            &QShortcut::activated, this, [this] {
                if (context_.ui.sbSaveMap->isEnabled())
                    sbSaveMapClick();
            });
    Refresh(kChangeAll);
}

Button MapFileController::AskSaveMapping()
{
    return context_.prompts.Confirm(QStringLiteral("Do you want to save the current mapping?"),
                                    {Button::Yes, Button::No, Button::Cancel}, Button::Yes);
}

MapFileController::SaveOutcome MapFileController::SaveMapping()
{
    SaveOutcome outcome = SaveOutcome::Failed;
    RunGuarded(context_.prompts, [this, &outcome] {
        Workspace& workspace = context_.workspace;
        const std::optional<QString> path = context_.prompts.SaveFileName(
            QStringLiteral("Save mapping..."), context_.folders.maps, kMapFilter,
            QStringLiteral("MAP"), PathText(workspace.ProposedMapFileName()));
        if (!path) {
            outcome = SaveOutcome::Cancelled;
            return;
        }
        workspace.SaveMapping(PathBytes(*path));
        outcome = SaveOutcome::Saved;
    });
    if (outcome == SaveOutcome::Saved)
        emit MappingSaved();
    return outcome;
}

void MapFileController::sbSaveMapClick()
{
    SaveMapping();
}

bool MapFileController::MayDropMapping()
{
    if (!context_.workspace.SaveMapEnabled())
        return true;
    switch (AskSaveMapping()) {
    case Button::Yes:
        return SaveMapping() != SaveOutcome::Failed;
    case Button::No:
        return true;
    default:
        return false;
    }
}

bool MapFileController::MayOpenAnotherMap()
{
    return MayDropMapping() && sourceSaver_.MayDropSourceEdits();
}

void MapFileController::sbOpenMapClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        if (!MayOpenAnotherMap())
            return;
        const std::optional<QString> path =
            context_.prompts.OpenFileName(QStringLiteral("Open mapping..."), context_.folders.maps,
                                          kMapFilter, PathText(workspace.MapFileName()));
        if (path)
            OpenNamedMap(*path);
    });
}

void MapFileController::OpenMapFile(const QString& path)
{
    RunGuarded(context_.prompts, [&] {
        // A name from outside the dialog may name nothing: reading it says why, as for a source
        // file, before the mapping is asked about.
        if (!QFileInfo(path).isFile())
            ReadWholeFile(PathFromUtf8(PathBytes(path)));
        if (MayOpenAnotherMap())
            OpenNamedMap(path);
    });
}

void MapFileController::OpenNamedMap(const QString& path)
{
    Workspace& workspace = context_.workspace;
    // The user asked for this file: a damaged map or a source file that cannot be opened is
    // reported once the state reached so far is on display.
    std::optional<QString> failure;
    try {
        // The map's source file is read on a worker first; cancelling that changes nothing.
        const std::string file = PathBytes(path);
        const MapSource source = SourceOfMapFile(file);
        const auto open = [&] { workspace.OpenMapping(file); };
        if (TrimView(source.path).empty())
            open();
        else if (!LoadSourceInBackground(context_, QStringLiteral("Opening"), source.path,
                                         source.sheet, open))
            return;
    } catch (const Rejection& refused) {
        // A map that cannot be read changed nothing: the record on display stays.
        ShowError(context_.prompts, PathText(refused.what()));
        return;
    } catch (const std::exception& error) {
        failure = PathText(error.what());
    }
    workspace.GoToRecord(1);
    if (failure)
        ShowError(context_.prompts, *failure);
    else
        emit MappingOpened();
}

void MapFileController::OpenLastMapping(const QString& path)
{
    try {
        context_.workspace.OpenMapping(PathBytes(path));
    } catch (...) {
        // Start-up goes on with whatever the attempt left.
        return;
    }
    emit MappingOpened();
}

void MapFileController::Refresh(unsigned changes)
{
    const Workspace& workspace = context_.workspace;
    if (changes & kChangeCaption)
        context_.window.setWindowTitle(PathText(workspace.WindowCaption()));
    if (changes & (kChangeModified | kChangeRows | kChangeSourceFields)) {
        const bool enabled = workspace.SaveMapEnabled();
        context_.ui.sbSaveMap->setEnabled(enabled);
        context_.ui.sbSaveMap->setToolTip(
            enabled ? QStringLiteral("Save the current mapping (Ctrl+S)") : QString());
    }
}

} // namespace impmap::gui

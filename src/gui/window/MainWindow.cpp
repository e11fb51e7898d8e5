#include "window/MainWindow.h"

#include "desktop/DesktopFiles.h"
#include "desktop/RecentMaps.h"
#include "execute/ExecuteController.h"
#include "help/Help.h"
#include "help/HelpWindow.h"
#include "mapping/SourceLocation.h"
#include "models/DestinationRowsModel.h"
#include "models/LinesModel.h"
#include "models/SourceFieldsModel.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "report/CheckController.h"
#include "settings/Settings.h"
#include "settings/WorkingFolders.h"
#include "suggest/SuggestController.h"
#include "tinmatch/TinMatchExportController.h"
#include "window/BackgroundTask.h"
#include "window/ListPlaceholders.h"
#include "window/MainWindowLayout.h"
#include "window/MapFileController.h"
#include "window/MappingController.h"
#include "window/SourceController.h"
#include "window/SourceFormatController.h"
#include "window/SourceInBackground.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QWhatsThis>
#include <algorithm>

namespace impmap::gui {
namespace {

// The source file box starts with a single blank: no file named yet (the workspace trims paths).
constexpr char kNoSourceFileYet[] = " ";

// The length of the longest line in characters; a tab counts as the columns it may take. Only
// the longest line itself is read.
template <typename LengthAt, typename LineAt>
std::size_t LongestLine(std::size_t count, LengthAt lengthAt, LineAt lineAt)
{
    std::size_t longest = 0;
    std::size_t longestIndex = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (lengthAt(i) > longest) {
            longest = lengthAt(i);
            longestIndex = i;
        }
    }
    if (count == 0)
        return 0;
    // A line is shown cut at kShownBytes.
    const std::string_view line = lineAt(longestIndex).substr(0, kShownBytes + 1);
    return std::min(longest, kShownBytes + 1) +
           9 * static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t'));
}

} // namespace

MainWindow::MainWindow(Prompts& prompts, Settings& settings, const WorkingFolders& workingFolders,
                       QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), settings_(settings), notifier_(workspace_),
      undo_(workspace_, notifier_, prompts_), context_{workspace_, notifier_, prompts_, settings_,
                                                       ui_,        *this,     folders_, undo_}
{
    FormCreate(workingFolders);
}

MainWindow::~MainWindow()
{
    // The controllers and models use the workspace, which goes before the window's children.
    qApp->removeEventFilter(this);
    ui_.lvSource->removeEventFilter(this);
    ui_.lvDestination->removeEventFilter(this);
    delete desktop_;
    delete sourceFormat_;
    delete execute_;
    delete mapping_;
    delete mapFiles_;
    delete sources_;
    delete takeCentralWidget();
    delete sourceLinesModel_;
    delete sourceFieldsModel_;
    delete destinationModel_;
}

void MainWindow::FormCreate(const WorkingFolders& workingFolders)
{
    BuildMainWindowLayout(*this, ui_);

    destinationModel_ = new DestinationRowsModel(workspace_, notifier_, this);
    sourceFieldsModel_ = new SourceFieldsModel(workspace_, notifier_, this);
    sourceLinesModel_ = new LinesModel([this] { return workspace_.RecordCount(); },
                                       [this](std::size_t i) { return workspace_.Lines().Line(i); },
                                       notifier_, kChangeSourceLines, this);
    ui_.lvSource->setModel(sourceFieldsModel_);
    ui_.lvDestination->setModel(destinationModel_);
    ui_.reSource->setModel(sourceLinesModel_);
    SetInitialColumnWidths(ui_);
    SetLongestLineSource(ui_.reSource, [this] {
        const auto lineAt = [this](std::size_t i) { return workspace_.Lines().Line(i); };
        return LongestLine(
            workspace_.RecordCount(), [&lineAt](std::size_t i) { return lineAt(i).size(); },
            lineAt);
    });
    SetLongestLineSource(ui_.reOutput, [this] {
        const OutputStore& lines = workspace_.OutputLines();
        return LongestLine(
            lines.size(), [&lines](std::size_t i) { return lines.LineLength(i); },
            [&lines](std::size_t i) { return lines[i]; });
    });

    // The working folders were made before the window; the dialogs start in them.
    folders_.maps = workingFolders.maps;
    folders_.headers = workingFolders.headers;
    folders_.openSource = CurrentFolder();
    folders_.saveOutput = settings_.TextDirectory();
    exampleError_ = workingFolders.exampleError;
    // A map file's relative FileSpec is looked for here after the map's own folder.
    SetProgramFolder(PathBytes(QCoreApplication::applicationDirPath()));

    workspace_.SetSourcePath(kNoSourceFileYet);

    sources_ = new SourceController(context_, sourceSaver_, this);
    mapFiles_ = new MapFileController(context_, sourceSaver_, this);
    mapping_ = new MappingController(context_, this);
    execute_ = new ExecuteController(context_, this);
    sourceFormat_ = new SourceFormatController(context_, this);
    new CheckController(context_, *execute_, this);
    new TinMatchExportController(context_, *execute_, this);
    undo_.AddMenuEntries(ui_.popupTools, this);
    undo_.SetSourceReader([this](const std::function<void()>& restore) {
        ReloadSourceInBackground(context_, restore, false);
    });
    new RecentMaps(
        context_, [this](const QString& path) { mapFiles_->OpenMapFile(path); }, this);
    desktop_ = new DesktopFiles(context_, *mapFiles_, *sources_, *execute_, this);
    new ListPlaceholders(context_, this);
    new SuggestController(context_, *mapFiles_, this);

    connect(&notifier_, &WorkspaceSignals::Changed, this, &MainWindow::OnWorkspaceChanged);
    connect(ui_.bHelp, &QPushButton::clicked, this, &MainWindow::bHelpClick);
    connect(ui_.bClose, &QPushButton::clicked, this, &MainWindow::bCloseClick);
    connect(ui_.btUserManualOnline, &QPushButton::clicked, this,
            &MainWindow::btUserManualOnlineClick);
    connect(ui_.sbWhatsThis, &QToolButton::clicked, this, &MainWindow::sbWhatsThisClick);
    ui_.lvSource->installEventFilter(this);
    ui_.lvDestination->installEventFilter(this);
    qApp->installEventFilter(this);
    OnWorkspaceChanged(kChangeAll);
    lastWidth_ = 0;
}

void MainWindow::FormShow()
{
    if (!firstShowDone_) {
        lastWidth_ = width();
        setMinimumSize(isMaximized() ? QSize(kDesignedWidth, kDesignedHeight) : size());
        // A window that opens at its final size gets no resize afterwards.
        FitListColumns(ui_);
        settings_.SetProgramPath(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        const QString lastMapping = settings_.LastMapping();
        folders_.openSource = settings_.SourcePath();
        if (!exampleError_.isEmpty())
            ShowError(prompts_, exampleError_);
        // A map file named on the command line takes the last mapping's place.
        if (!lastMapping.isEmpty() && !desktop_->StartsWithMap())
            mapFiles_->OpenLastMapping(lastMapping);
        desktop_->OpenStartFile();
    }
    firstShowDone_ = true;
    // After a run the window is shown again before the run has ended; the record that the run
    // restores stays on display.
    if (!workspace_.Executing() && !execute_->Busy())
        workspace_.GoToRecord(1);
}

bool MainWindow::FormCloseQuery()
{
    if (workspace_.Executing() || execute_->Busy() || BackgroundTask::Active())
        return false;
    return mapFiles_->MayDropMapping() && sourceSaver_.MayDropSourceEdits();
}

void MainWindow::FormClose()
{
    if (help_)
        help_->close();
    settings_.SetLastMapping(PathText(workspace_.LastMappingPath()));
    const QString sourceFile = TrimmedText(ui_.edSourceFile->text());
    if (!sourceFile.isEmpty())
        settings_.SetSourcePath(FolderWithTrailingSeparator(sourceFile));
}

void MainWindow::FormResize()
{
    if (lastWidth_ == 0)
        return;
    // The Source File group and the current-record box follow the width through their layouts.
    lastWidth_ = width();
    FitListColumns(ui_);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A window restored from the task bar is not shown anew.
    if (!event->spontaneous())
        FormShow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QWidget* target = childAt(event->pos());
    if (target == nullptr)
        target = this;
    // A right click on the lists edits the mapping.
    for (QWidget* list :
         {static_cast<QWidget*>(ui_.lvSource), static_cast<QWidget*>(ui_.lvDestination)}) {
        if (target == list || list->isAncestorOf(target)) {
            event->ignore();
            return;
        }
    }
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("popupWhatsThis"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint where = event->globalPos();
    const QPointer<QWidget> clicked(target);
    menu->addAction(QStringLiteral("What's this?"), this, [clicked, where] {
        if (clicked)
            ShowWhatsThis(clicked, where);
    });
    menu->popup(where);
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_.lvSource || watched == ui_.lvDestination) {
        QFrame* panel = watched == ui_.lvSource ? ui_.pnSource : ui_.pnDestination;
        if (event->type() == QEvent::FocusIn)
            ShowListFocus(panel, true);
        else if (event->type() == QEvent::FocusOut)
            ShowListFocus(panel, false);
        else if (event->type() == QEvent::Resize && lastWidth_ != 0)
            FitListColumns(ui_);
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* receiver = static_cast<QWidget*>(watched);
        if (receiver->window() == this && FormKeyDown(receiver, *static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::FormKeyDown(QWidget* receiver, const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Escape:
        bCloseClick();
        return true;
    case Qt::Key_F1:
        HelpViewer().ShowTopicFor(receiver);
        return true;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
    case Qt::Key_Home:
    case Qt::Key_End:
        // Only the plain keys are the window's: with Ctrl or another modifier they stay with the
        // focused control. The source file box keeps them for its caret.
        if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (receiver == ui_.edSourceFile || QApplication::focusWidget() == ui_.edSourceFile)
            return false;
        return sources_->FormKeyDown(event.key());
    default:
        return false;
    }
}

void MainWindow::OnWorkspaceChanged(unsigned changes)
{
    if (changes & (kChangeRows | kChangeSourceFields))
        ui_.bExecute->setEnabled(workspace_.ExecuteEnabled());
}

HelpWindow* MainWindow::Help() const
{
    return help_;
}

HelpWindow& MainWindow::HelpViewer()
{
    if (!help_)
        help_ = new HelpWindow(this);
    return *help_;
}

// ---- Handlers ---------------------------------------------------------------------------------

void MainWindow::bHelpClick()
{
    HelpViewer().ShowContents();
}
void MainWindow::bCloseClick()
{
    close();
}
void MainWindow::btUserManualOnlineClick()
{
    HelpViewer().ShowManual();
}
void MainWindow::sbWhatsThisClick()
{
    QWhatsThis::enterWhatsThisMode();
}

} // namespace impmap::gui

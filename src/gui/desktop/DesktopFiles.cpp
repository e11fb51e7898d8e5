#include "desktop/DesktopFiles.h"

#include "execute/ExecuteController.h"
#include "mapping/Workspace.h"
#include "window/BackgroundTask.h"
#include "window/MainWindowContext.h"
#include "window/MapFileController.h"
#include "window/SourceController.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMimeData>
#include <QUrl>
#include <utility>

namespace impmap::gui {

namespace {

// How often a file handed over while the window is busy is tried again.
constexpr int kRetryMs = 250;

// The one local file a drag carries; empty when it carries several, or a folder.
QString DraggedFile(const QMimeData* mime)
{
    if (mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

bool IsMapFileName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("MAP"), Qt::CaseInsensitive) == 0;
}

DesktopFiles::DesktopFiles(MainWindowContext& context, MapFileController& mapFiles,
                           SourceController& sources, const ExecuteController& execution,
                           QObject* parent)
    : QObject(parent), context_(context), mapFiles_(mapFiles), sources_(sources),
      execution_(execution)
{
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &DesktopFiles::OpenPending);
    // Children that take no drops of their own hand them to the window.
    context_.window.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

DesktopFiles::~DesktopFiles()
{
    qApp->removeEventFilter(this);
}

void DesktopFiles::OpenStartFile()
{
    if (!startFile_.isEmpty())
        Open(std::exchange(startFile_, {}));
}

void DesktopFiles::Open(const QString& path)
{
    pending_ = path;
    retry_.start(0);
}

bool DesktopFiles::Busy() const
{
    return context_.workspace.Executing() || execution_.Busy() || BackgroundTask::Active() ||
           QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

void DesktopFiles::OpenPending()
{
    if (pending_.isEmpty())
        return;
    if (Busy()) {
        retry_.start(kRetryMs);
        return;
    }
    OpenNow(std::exchange(pending_, {}));
}

void DesktopFiles::OpenNow(const QString& path)
{
    if (IsMapFileName(path))
        mapFiles_.OpenMapFile(path);
    else
        sources_.LocateSourceFile(path);
}

bool DesktopFiles::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &context_.window)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->mimeData() == nullptr || !drop->mimeData()->hasUrls())
        return false; // the lists' own drags
    // Several files, a folder or a web address open nothing, and no box takes them as text.
    const QString path = DraggedFile(drop->mimeData());
    if (path.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        Open(path);
    return true;
}

} // namespace impmap::gui

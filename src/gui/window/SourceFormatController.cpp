#include "window/SourceFormatController.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "source/QuotedLineBreaks.h"
#include "source/SplitRecord.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"
#include "window/SourceInBackground.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>

namespace impmap::gui {

namespace {

QString LineEndName(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::Lf:
        return QStringLiteral("LF");
    case LineEnd::Cr:
        return QStringLiteral("CR");
    default:
        return QStringLiteral("CR LF");
    }
}

} // namespace

SourceFormatController::SourceFormatController(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context)
{
    MainWindowUi& ui = context_.ui;
    connect(&context_.notifier, &WorkspaceSignals::Changed, this, &SourceFormatController::Refresh);
    connect(ui.popupJoinLines, &QAction::triggered, this,
            &SourceFormatController::popupJoinLinesClick);
    connect(ui.popupTools, &QMenu::aboutToShow, this, [this] {
        context_.ui.popupJoinLines->setEnabled(context_.workspace.RecordCount() > 0);
    });
    ShowEncoding();
}

void SourceFormatController::Refresh(unsigned changes)
{
    if (changes & (kChangeSourceLines | kChangeSettings))
        ShowEncoding();
    // The notice waits until the operation that loaded the file has ended.
    if (changes & kChangeSourceOpened)
        QMetaObject::invokeMethod(
            this,
            [this] {
                ShowSemicolonNotice();
                ShowBrokenLinesNotice();
            },
            Qt::QueuedConnection);
}

void SourceFormatController::ShowEncoding()
{
    const Workspace& workspace = context_.workspace;
    QLabel* label = context_.ui.lbSourceEncoding;
    if (!workspace.SourceLoaded()) {
        label->clear();
        label->setToolTip(QString());
        return;
    }
    if (workspace.SourceIsWorkbook()) {
        const QString sheet = QString::fromStdString(workspace.Sheet());
        label->setText(QStringLiteral("Workbook, sheet %1").arg(sheet));
        label->setToolTip(QStringLiteral("The source is the sheet %1 of a workbook, read as "
                                         "tab-delimited UTF-8 text; the workbook itself is never "
                                         "written")
                              .arg(sheet));
        return;
    }
    const SourceFormat& format = workspace.Format();
    // Plain ASCII reads alike in both encodings; what is typed into it is written as the encoding
    // says.
    const QString name =
        format.ascii ? QStringLiteral("ASCII") : QString::fromLatin1(EncodingName(format.encoding));
    label->setText(name);
    label->setToolTip(
        QStringLiteral("The source file is %1 text%2; its lines end with %3")
            .arg(name, format.byteOrderMark ? QStringLiteral(" with a byte-order mark") : QString(),
                 LineEndName(format.lineEnd)));
}

void SourceFormatController::ShowSemicolonNotice()
{
    const Workspace& workspace = context_.workspace;
    if (!workspace.SourceLoaded() || workspace.SourceIsWorkbook() ||
        !LooksSemicolonDelimited(workspace.HeaderRecord()))
        return;
    const QString path = PathText(workspace.SourcePath());
    if (path == lastSemicolonNotice_)
        return;
    lastSemicolonNotice_ = path;
    context_.prompts.Information(QString::fromStdString(
        SemicolonDelimitedMessage(QDir::toNativeSeparators(path).toStdString())));
}

void SourceFormatController::ShowBrokenLinesNotice()
{
    const Workspace& workspace = context_.workspace;
    if (!workspace.SourceLoaded())
        return;
    const std::vector<long> broken = workspace.RecordsEndingInsideQuotes();
    if (broken.empty())
        return;
    const QString notice =
        QString::fromLatin1(QuotedLineBreakNotice(broken.front(), broken.size()));
    const QString key = PathText(workspace.SourcePath()) + u'\n' + notice;
    if (key == lastNotice_)
        return;
    lastNotice_ = key;
    context_.prompts.Information(notice);
}

void SourceFormatController::popupJoinLinesClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        const std::vector<long> broken = workspace.RecordsEndingInsideQuotes();
        if (broken.empty()) {
            context_.prompts.Information(
                QStringLiteral("No record of the source file ends inside a quoted value."));
            return;
        }
        const QString question =
            QStringLiteral("%1 inside a quoted value that the next line continues; the first is "
                           "record %2.\r\nReplace each of these line breaks with a blank and "
                           "save the source file?")
                .arg(broken.size() == 1
                         ? QStringLiteral("1 record of the source file ends")
                         : QStringLiteral("%1 records of the source file end").arg(broken.size()))
                .arg(broken.front());
        if (context_.prompts.Confirm(question, {Button::Yes, Button::No}, Button::No) !=
            Button::Yes)
            return;
        const std::optional<JoinedLines> joined = JoinLinesInBackground(context_);
        if (!joined)
            return;
        QString notice =
            QStringLiteral("%1 replaced by blanks; the source file was saved.")
                .arg(joined->joins == 1 ? QStringLiteral("1 line break")
                                        : QStringLiteral("%1 line breaks").arg(joined->joins));
        if (!joined->backupPath.empty())
            notice += QStringLiteral("\r\nThe file as it was is kept in %1.")
                          .arg(QDir::toNativeSeparators(PathText(joined->backupPath)));
        context_.prompts.Information(notice);
    });
}

} // namespace impmap::gui

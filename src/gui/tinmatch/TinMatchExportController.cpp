#include "tinmatch/TinMatchExportController.h"

#include "execute/ExecuteController.h"
#include "io/NativePath.h"
#include "mapping/Workspace.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "prompts/Prompts.h"
#include "tinmatch/TinMatchExport.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace impmap::gui {

namespace {

const QString kTitle = QStringLiteral("Export for TIN Matching");

QString FileText(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

// The summary box: the lines of every file, then the records left out.
QString Summary(const std::vector<TinMatchPart>& parts, long leftOut,
                const QStringList& leftOutLines)
{
    QStringList lines;
    for (const TinMatchPart& part : parts)
        lines << QStringLiteral("%1 %2 written to %3")
                     .arg(part.lines)
                     .arg(part.lines == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
                     .arg(FileText(part.path));
    if (leftOut > 0) {
        lines << QString()
              << QStringLiteral("%1 %2 left out:")
                     .arg(leftOut)
                     .arg(leftOut == 1 ? QStringLiteral("record") : QStringLiteral("records"));
        lines << leftOutLines;
        if (leftOut > leftOutLines.size())
            lines << QStringLiteral("... and %1 more").arg(leftOut - leftOutLines.size());
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

TinMatchExportController::TinMatchExportController(MainWindowContext& context,
                                                   ExecuteController& execute, QObject* parent)
    : QObject(parent), context_(context), execute_(execute)
{
    MainWindowUi& ui = context_.ui;
    popupTinMatch_ = new QAction(QStringLiteral("Export for &TIN Matching..."), ui.popupTools);
    popupTinMatch_->setObjectName(QStringLiteral("popupTinMatch"));
    // Beside Check All Records, which it runs like.
    const QList<QAction*> actions = ui.popupTools->actions();
    const qsizetype checkAll = actions.indexOf(ui.popupCheckAll);
    ui.popupTools->insertAction(
        checkAll >= 0 && checkAll + 1 < actions.size() ? actions[checkAll + 1] : nullptr,
        popupTinMatch_);
    connect(popupTinMatch_, &QAction::triggered, this,
            &TinMatchExportController::popupTinMatchClick);
    connect(ui.popupTools, &QMenu::aboutToShow, this,
            [this] { popupTinMatch_->setEnabled(context_.workspace.ExecuteEnabled()); });
}

void TinMatchExportController::popupTinMatchClick()
{
    RunGuarded(context_.prompts, [this] { Export(); });
}

void TinMatchExportController::Export()
{
    Workspace& workspace = context_.workspace;
    if (workspace.Executing() || !workspace.ExecuteEnabled())
        return;
    Prompts& prompts = context_.prompts;
    if (const std::string refusal = TinMatchRefusal(workspace.FormIndex(), workspace.Rows());
        !refusal.empty()) {
        ShowError(prompts, FromBytes(refusal));
        return;
    }
    const QString source = PathText(workspace.SourcePath());
    const std::optional<QString> path = prompts.SaveFileName(
        QStringLiteral("Export for TIN Matching..."), context_.folders.saveOutput,
        QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*"), QStringLiteral("TXT"),
        QFileInfo(source).completeBaseName() + QStringLiteral("TINMATCH"));
    if (!path || path->isEmpty())
        return;
    TinMatchFiles files(
        std::filesystem::path(path->toStdU16String()),
        {PathFromUtf8(workspace.SourcePath()), PathFromUtf8(workspace.LastMappingPath())});
    QStringList leftOutLines;
    TinMatchExport request(workspace, files, [&leftOutLines](long, const std::string& line) {
        if (leftOutLines.size() < kLeftOutListed)
            leftOutLines << FromBytes(line);
    });
    if (execute_.RunCheck(request).outcome != ExecuteResult::Outcome::Completed)
        return;
    request.Finish();
    if (files.Lines() == 0) {
        prompts.Information(
            QStringLiteral("No record can be sent for TIN Matching; nothing was written.\r\n\r\n") +
                Summary({}, request.LeftOutCount(), leftOutLines),
            kTitle);
        return;
    }
    const std::vector<TinMatchPart> parts = files.Commit();
    QString summary = Summary(parts, request.LeftOutCount(), leftOutLines);
    for (const std::filesystem::path& earlier : files.EarlierParts())
        summary += QStringLiteral("\r\n\r\n%1 is left from an earlier request; do not send it "
                                  "with these.")
                       .arg(FileText(earlier));
    prompts.Information(summary, kTitle);
}

} // namespace impmap::gui

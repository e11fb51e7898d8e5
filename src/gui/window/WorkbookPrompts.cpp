#include "window/WorkbookPrompts.h"

#include "io/NativePath.h"
#include "mapping/Workspace.h"
#include "prompts/Prompts.h"
#include "source/WorkbookSource.h"
#include "window/MapFileController.h"

#include <QDir>
#include <QFileInfo>

namespace impmap::gui {

std::optional<std::string> ChooseWorkbookSheet(Prompts& prompts, const std::string& path)
{
    std::vector<SheetSummary> sheets = ListSheets(path, false);
    if (sheets.size() == 1)
        return sheets.front().name;
    sheets = ListSheets(path, true);
    std::vector<SheetChoice> choices;
    int preselected = -1;
    for (size_t i = 0; i < sheets.size(); ++i) {
        choices.push_back({QString::fromStdString(sheets[i].name), sheets[i].hidden,
                           static_cast<qint64>(sheets[i].rows)});
        if (preselected < 0 && !sheets[i].hidden)
            preselected = static_cast<int>(i);
    }
    const std::optional<int> chosen = prompts.ChooseSheet(
        QFileInfo(PathText(path)).fileName(), choices, preselected < 0 ? 0 : preselected);
    if (!chosen)
        return std::nullopt;
    return sheets.at(static_cast<size_t>(*chosen)).name;
}

std::string SheetTextFileName(const std::string& workbookPath, const std::string& sheet)
{
    std::string name = Utf8FromPath(PathFromUtf8(workbookPath).stem()) + " - " + sheet + ".txt";
    for (char& c : name) {
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 32)
            c = '_';
    }
    return name;
}

void SaveSheetAsText(Prompts& prompts, Workspace& workspace)
{
    const QString sheet = QString::fromStdString(workspace.Sheet());
    const Button answer = prompts.Question(
        QStringLiteral("Save Source"),
        QStringLiteral("The workbook itself is never written. Save the sheet \"%1\" as a "
                       "tab-delimited text file (UTF-8) instead?\r\nFrom then on, that text file "
                       "is the source.")
            .arg(sheet),
        {Button::Yes, Button::No}, Button::Yes);
    if (answer != Button::Yes)
        return;
    const QString workbook = PathText(workspace.SourcePath());
    const std::optional<QString> target = prompts.SaveFileName(
        QStringLiteral("Save the sheet as text"), QFileInfo(workbook).absolutePath(),
        QStringLiteral("Text (*.TXT)|*.TXT|All Files (*.*)|*.*"), QStringLiteral("txt"),
        QString::fromStdString(SheetTextFileName(workspace.SourcePath(), workspace.Sheet())));
    if (!target)
        return;
    workspace.SaveSourceAsText(PathBytes(QDir::toNativeSeparators(*target)));
}

} // namespace impmap::gui

#include "window/MappingToolsMenu.h"

#include "io/FileIo.h"
#include "mapping/HeaderLine.h"
#include "mapping/Workspace.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "prompts/Prompts.h"
#include "schema/FormCatalogue.h"
#include "undo/UndoHistory.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace impmap::gui {

namespace {

QString FormName(int formIndex)
{
    if (formIndex < 0 || formIndex >= kFormCount) {
        return {};
    }
    return FromBytes(FormNames[static_cast<size_t>(formIndex)]);
}

} // namespace

HeaderEntry CreateHeaderEntry(int formIndex, Delimiter delimiter)
{
    if (DelimiterName(delimiter)[0] == '\0') {
        return {QStringLiteral("Cannot Create Header File (Delimiter Required)"), false};
    }
    if (FormName(formIndex).isEmpty()) {
        return {QStringLiteral("Cannot Create Header File (Tax Form Required)"), false};
    }
    QString form = FormName(formIndex);
    form.replace(u'&', QStringLiteral("&&")); // an ampersand in a name is no access key
    return {QStringLiteral("&Create ") + QString::fromLatin1(DelimiterName(delimiter)) +
                QStringLiteral(" Delimited Header File for ") + form,
            true};
}

MappingToolsMenu::MappingToolsMenu(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context)
{
    MainWindowUi& ui = context_.ui;
    if (ui.bTools->menu() != ui.popupTools) {
        ui.bTools->setMenu(ui.popupTools);
    }
    connect(ui.popupTools, &QMenu::aboutToShow, this, &MappingToolsMenu::popupToolsPopup);
    connect(ui.popupMapByName, &QAction::triggered, this, &MappingToolsMenu::popupMapByNameClick);
    connect(ui.popupResetMapping, &QAction::triggered, this,
            &MappingToolsMenu::popupResetMappingClick);
    connect(ui.popupCreateHeader, &QAction::triggered, this,
            &MappingToolsMenu::popupCreateHeaderClick);
}

void MappingToolsMenu::popupToolsPopup()
{
    const Workspace& workspace = context_.workspace;
    MainWindowUi& ui = context_.ui;
    ui.popupMapByName->setEnabled(workspace.MapByNameEnabled());
    ui.popupResetMapping->setEnabled(workspace.ResetEnabled());
    const HeaderEntry header = CreateHeaderEntry(workspace.FormIndex(), workspace.Delimiter());
    ui.popupCreateHeader->setText(header.caption);
    ui.popupCreateHeader->setEnabled(header.enabled);
}

void MappingToolsMenu::popupMapByNameClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        if (workspace.Executing() || !workspace.MapByNameEnabled()) {
            return;
        }
        const QString text =
            QStringLiteral("Vellorum will attempt to map your source file to Form \"") +
            FormName(workspace.FormIndex()) +
            QStringLiteral("\" based solely upon the field names in the header record of your "
                           "source file.\r\n\r\nOkay to proceed?");
        if (context_.prompts.ShowMessageBox(text, QStringLiteral("Map by Name Confirmation"),
                                            message_box::kYesNo, message_box::kDefaultFirst,
                                            message_box::kIconQuestion) != Button::Yes) {
            return;
        }
        context_.undo.ChangeMapping([&] { workspace.MapByName(); }, QStringLiteral("Map by Name"));
    });
}

void MappingToolsMenu::popupResetMappingClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        if (workspace.Executing() || !workspace.ResetEnabled()) {
            return;
        }
        context_.prompts.Beep();
        if (context_.prompts.Confirm(QStringLiteral("Okay to reset this mapping?"),
                                     {Button::Yes, Button::No}, Button::Yes) != Button::Yes) {
            return;
        }
        context_.undo.ChangeMapping([&] { workspace.ResetMapping(); },
                                    QStringLiteral("Reset Mapping"));
    });
}

void MappingToolsMenu::popupCreateHeaderClick()
{
    RunGuarded(context_.prompts, [this] { CreateHeader(); });
}

void MappingToolsMenu::CreateHeader()
{
    const int form = context_.workspace.FormIndex();
    const Delimiter delimiter = context_.workspace.Delimiter();
    if (!CreateHeaderEntry(form, delimiter).enabled) {
        return;
    }
    const std::optional<QString> path = context_.prompts.SaveFileName(
        QStringLiteral("Save header..."), context_.folders.headers,
        QStringLiteral("Text Format|*.TXT|Comma Separated|*.CSV"), QStringLiteral("TXT"),
        FromBytes(ProposedHeaderFileName(form, delimiter)), delimiter == Delimiter::Comma ? 1 : 0);
    if (!path || path->isEmpty()) {
        return;
    }
    try {
        WriteFileAtomically(FileSystemPath(*path), HeaderLine(form, delimiter) + "\r\n");
    } catch (const FileError& error) {
        // The message holds the path in the file system's own encoding.
        ShowError(context_.prompts, QString::fromLocal8Bit(error.what()));
    }
}

} // namespace impmap::gui

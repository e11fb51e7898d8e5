#include "window/MappingKeyboard.h"

#include "convert/Rejection.h"
#include "mapping/Workspace.h"
#include "prompts/ErrorDisplay.h"
#include "prompts/Prompts.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MappingController.h"
#include "window/MappingViews.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QTreeView>
#include <string>

namespace impmap::gui {

namespace {

const QString kMapSelectedHelp = QStringLiteral(
    "Maps the selected source field onto the selected destination field, as dragging it there "
    "does.");
const QString kMergeIntoHelp = QStringLiteral(
    "Merges the selected source field into another source field, as dragging it onto that field "
    "does. Merging the same two fields again removes the merge.");
const QString kAssignHelp = QStringLiteral(
    "On the destination list: assigns the selected source field to the selected destination "
    "field, or unassigns a mapped one, as a double-click does.");
const QString kUnassignHelp = QStringLiteral(
    "On the destination list: removes the source field assigned to the selected destination "
    "field.");
const QString kFixedValueHelp = QStringLiteral(
    "On the destination list: sets the fixed value of the selected destination field, as a right "
    "click does.");
const QString kChangeValueHelp = QStringLiteral(
    "On the source list (Shift+F10 opens its menu): changes the value of the selected source "
    "field in the record on display, as a right click does.");

bool IsContextMenuKey(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Menu ||
           (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier);
}

// The rectangle of row, scrolled into sight first.
QRect ShownRowRect(QTreeView* view, int row)
{
    view->scrollTo(view->model()->index(row, 0));
    return RowRect(view, row);
}

} // namespace

MappingKeyboard::MappingKeyboard(MainWindowContext& context, MappingController& mapping,
                                 QObject* parent)
    : QObject(parent), context_(context), mapping_(mapping)
{
    MainWindowUi& ui = context_.ui;
    ui.popupTools->addSeparator();
    QAction* map = AddEntry(QStringLiteral("&Map Selected Field"), {}, kMapSelectedHelp,
                            &MappingKeyboard::MapSelectedField);
    map->setObjectName(QStringLiteral("popupMapSelectedField"));
    map->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    QAction* merge =
        AddEntry(QStringLiteral("Merge &Into..."), {}, kMergeIntoHelp, &MappingKeyboard::MergeInto);
    merge->setObjectName(QStringLiteral("popupMergeInto"));
    merge->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    for (QAction* action : {map, merge}) {
        action->setShortcutContext(Qt::WindowShortcut);
        context_.window.addAction(action);
    }
    // These keys belong to one list each; the list's key handling below runs them, and the menu
    // shows them after a tab.
    AddEntry(QStringLiteral("&Assign or Unassign Field"), QStringLiteral("Enter"), kAssignHelp,
             &MappingKeyboard::AssignOrUnassign)
        ->setObjectName(QStringLiteral("popupAssignOrUnassign"));
    AddEntry(QStringLiteral("&Unassign Field"), QStringLiteral("Del"), kUnassignHelp,
             &MappingKeyboard::Unassign)
        ->setObjectName(QStringLiteral("popupUnassign"));
    AddEntry(QStringLiteral("Set &Fixed Value..."), QStringLiteral("Shift+F10"), kFixedValueHelp,
             &MappingKeyboard::SetFixedValue)
        ->setObjectName(QStringLiteral("popupSetFixedValue"));
    QAction* change = AddEntry(QStringLiteral("Change Source &Value..."), {}, kChangeValueHelp,
                               &MappingKeyboard::ChangeSourceValue);
    change->setObjectName(QStringLiteral("popupChangeSourceValue"));
    ui.popupTools->setToolTipsVisible(true);

    sourceMenu_ = new QMenu(ui.lvSource);
    sourceMenu_->setObjectName(QStringLiteral("popupSourceField"));
    sourceMenu_->setToolTipsVisible(true);
    sourceMenu_->addAction(change);
    sourceMenu_->addAction(merge);

    ui.lvSource->installEventFilter(this);
    ui.lvDestination->installEventFilter(this);
}

QAction* MappingKeyboard::AddEntry(const QString& text, const QString& keys, const QString& help,
                                   void (MappingKeyboard::*slot)())
{
    QAction* action =
        context_.ui.popupTools->addAction(keys.isEmpty() ? text : text + u'\t' + keys);
    action->setToolTip(help);
    action->setStatusTip(help);
    action->setWhatsThis(help);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

bool MappingKeyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool noModifier = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (watched == context_.ui.lvDestination) {
        if (noModifier && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            AssignOrUnassign();
            return true;
        }
        if (noModifier && key->key() == Qt::Key_Delete) {
            Unassign();
            return true;
        }
        if (IsContextMenuKey(*key)) {
            SetFixedValue();
            return true;
        }
    } else if (watched == context_.ui.lvSource && IsContextMenuKey(*key)) {
        OpenSourceMenu();
        return true;
    }
    return false;
}

int MappingKeyboard::KeyboardRow(QTreeView* view)
{
    const int selected = SelectedRow(view);
    if (selected >= 0 || view->model() == nullptr) {
        return selected;
    }
    return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

void MappingKeyboard::MapSelectedField()
{
    const int field = KeyboardRow(context_.ui.lvSource) + 1;
    const int row = KeyboardRow(context_.ui.lvDestination);
    if (context_.workspace.Executing()) {
        return;
    }
    if (field < 1 || row < 0) {
        ShowError(context_.prompts,
                  QStringLiteral("Select a source field and a destination field to map it onto"));
        return;
    }
    SelectOnly(context_.ui.lvSource, field - 1);
    SelectOnly(context_.ui.lvDestination, row);
    mapping_.lvDestinationDragDrop(row, field);
}

void MappingKeyboard::MergeInto()
{
    const Workspace& workspace = context_.workspace;
    const int field = KeyboardRow(context_.ui.lvSource) + 1;
    if (workspace.Executing()) {
        return;
    }
    if (field < 1) {
        ShowError(context_.prompts, QStringLiteral("Select the source field to merge"));
        return;
    }
    const int count = static_cast<int>(workspace.SourceFields().size());
    const std::optional<QString> entered = context_.prompts.InputText(
        QStringLiteral("Merge Into"),
        QStringLiteral("Merge source field No. %1 into source field No.").arg(field), QString());
    if (!entered) {
        return;
    }
    bool isNumber = false;
    const int target = entered->trimmed().toInt(&isNumber);
    if (!isNumber || target < 1 || target > count || target == field) {
        ShowError(
            context_.prompts,
            QStringLiteral("Enter the number of another source field, from 1 to %1").arg(count));
        return;
    }
    mapping_.lvSourceDragDrop(target, field);
}

void MappingKeyboard::AssignOrUnassign()
{
    QTreeView* destination = context_.ui.lvDestination;
    if (SelectedRow(destination) < 0 && KeyboardRow(destination) >= 0) {
        SelectOnly(destination, KeyboardRow(destination));
    }
    mapping_.lvDestinationDblClick();
}

void MappingKeyboard::Unassign()
{
    const Workspace& workspace = context_.workspace;
    const int row = KeyboardRow(context_.ui.lvDestination);
    if (row < 0 || row >= static_cast<int>(workspace.Rows().size()) ||
        workspace.Rows()[static_cast<size_t>(row)].sourceFieldNo == 0) {
        context_.prompts.Beep();
        return;
    }
    SelectOnly(context_.ui.lvDestination, row);
    mapping_.lvDestinationDblClick();
}

void MappingKeyboard::SetFixedValue()
{
    QTreeView* destination = context_.ui.lvDestination;
    const int row = KeyboardRow(destination);
    if (row < 0) {
        return;
    }
    mapping_.EditFixedValue(SelectForMenu(destination, row));
}

void MappingKeyboard::ChangeSourceValue()
{
    const int row = KeyboardRow(context_.ui.lvSource);
    if (row < 0) {
        return;
    }
    mapping_.EditSourceValue(row);
}

void MappingKeyboard::OpenSourceMenu()
{
    QTreeView* source = context_.ui.lvSource;
    const int row = KeyboardRow(source);
    if (row < 0) {
        return;
    }
    SelectOnly(source, row);
    sourceMenu_->popup(source->viewport()->mapToGlobal(ShownRowRect(source, row).bottomLeft()));
}

} // namespace impmap::gui

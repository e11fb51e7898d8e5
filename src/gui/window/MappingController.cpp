#include "window/MappingController.h"

#include "mapping/Workspace.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "prompts/Prompts.h"
#include "undo/UndoHistory.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MappingDragDrop.h"
#include "window/MappingHints.h"
#include "window/MappingKeyboard.h"
#include "window/MappingToolsMenu.h"
#include "window/MappingViews.h"

#include <QItemSelection>
#include <QMouseEvent>
#include <QTreeView>

namespace impmap::gui {

namespace {

const QString kSourceChangedNotice = QStringLiteral(
    "Your source file has changed!\r\n\r\nIf you want to save these changes, click on the "
    "\r\n\r\n\"Red Disk Icon\" \r\n\r\ndisplayed at the end of the \"Source File\" group above.");

} // namespace

MappingController::MappingController(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context)
{
    dragDrop_ = new MappingDragDrop(
        context_, [this](int row, int field) { lvDestinationDragDrop(row, field); },
        [this](int target, int dragged) { lvSourceDragDrop(target, dragged); }, this);
    hints_ = new MappingHints(context_, this);
    toolsMenu_ = new MappingToolsMenu(context_, this);
    keyboard_ = new MappingKeyboard(context_, *this, this);
    for (QTreeView* view : {context_.ui.lvSource, context_.ui.lvDestination}) {
        // The right button edits values in these lists; it opens no context menu there.
        view->setContextMenuPolicy(Qt::PreventContextMenu);
        view->viewport()->installEventFilter(this);
    }
}

bool MappingController::eventFilter(QObject* watched, QEvent* event)
{
    const bool onSource = watched == context_.ui.lvSource->viewport();
    const bool onDestination = watched == context_.ui.lvDestination->viewport();
    if (!onSource && !onDestination) {
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
        const QPoint pos = mouse->position().toPoint();
        if (onSource) {
            lvSourceRightClick(pos);
        } else {
            lvDestinationRightClick(pos);
        }
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
        if (onSource) {
            lvSourceDblClick();
        } else {
            lvDestinationDblClick();
        }
        return true;
    }
    return false;
}

void MappingController::RepaintLists()
{
    context_.ui.lvSource->viewport()->repaint();
    context_.ui.lvDestination->viewport()->repaint();
}

int MappingController::SelectedSourceField() const
{
    return SelectedRow(context_.ui.lvSource) + 1; // 0: none
}

void MappingController::lvDestinationDragDrop(int row, int draggedField)
{
    RepaintLists();
    if (row < 0 || draggedField < 1 || context_.workspace.Executing()) {
        return;
    }
    RunGuarded(context_.prompts, [&] {
        context_.undo.ChangeMapping(
            [&] { context_.workspace.AssignSourceField(row, draggedField); });
    });
}

void MappingController::lvSourceDragDrop(int targetField, int draggedField)
{
    RepaintLists();
    if (targetField < 1 || draggedField < 1 || context_.workspace.Executing()) {
        return;
    }
    RunGuarded(context_.prompts, [&] {
        context_.undo.ChangeMapping(
            [&] { context_.workspace.MergeInto(targetField, draggedField); });
    });
}

void MappingController::lvDestinationDblClick()
{
    const int row = SelectedRow(context_.ui.lvDestination);
    if (row < 0 || context_.workspace.Executing()) {
        return;
    }
    RunGuarded(context_.prompts, [&] {
        context_.undo.ChangeMapping(
            [&] { context_.workspace.ToggleAssignment(row, SelectedSourceField()); });
    });
}

void MappingController::lvDestinationRightClick(const QPoint& viewportPos)
{
    EditFixedValue(SelectForRightClick(context_.ui.lvDestination, viewportPos));
}

void MappingController::EditFixedValue(int row)
{
    Workspace& workspace = context_.workspace;
    if (row < 0 || row >= static_cast<int>(workspace.Rows().size()) || workspace.Executing()) {
        return;
    }
    RunGuarded(context_.prompts, [&] {
        workspace.CheckFixedValueAllowed(row);
        const DestinationRow& r = workspace.Rows()[static_cast<size_t>(row)];
        const std::optional<QString> entered = context_.prompts.InputText(
            FromBytes(r.caption), QStringLiteral("Specify the value to use for this field..."),
            FromBytes(r.fixed));
        context_.undo.ChangeMapping([&] {
            workspace.SetFixedValue(row, entered ? std::optional(ToBytes(*entered)) : std::nullopt);
        });
    });
}

void MappingController::lvSourceDblClick()
{
    QTreeView* destination = context_.ui.lvDestination;
    const Workspace& workspace = context_.workspace;
    const int field = SelectedSourceField();
    if (field < 1 || workspace.Rows().empty() || destination->model() == nullptr ||
        workspace.Executing()) {
        return;
    }
    RunGuarded(context_.prompts, [&] {
        // From the first use on the destination list keeps several selected rows.
        destination->setSelectionMode(QAbstractItemView::ExtendedSelection);
        QItemSelectionModel* selection = destination->selectionModel();
        selection->clearSelection();
        const FeedReport report = workspace.RowsFedBy(field);
        if (report.rows.empty()) {
            return;
        }
        const QAbstractItemModel* model = destination->model();
        QItemSelection rows;
        for (const int row : report.rows) {
            rows.select(model->index(row, 0), model->index(row, 0));
        }
        selection->select(rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selection->setCurrentIndex(model->index(report.rows.back(), 0),
                                   QItemSelectionModel::NoUpdate);
        destination->scrollTo(model->index(report.rows.front(), 0));
        destination->setFocus();
        context_.prompts.ShowMessageBox(FromBytes(report.text), FromBytes(report.title),
                                        message_box::kOk, message_box::kDefaultFirst,
                                        message_box::kIconInformation);
    });
}

void MappingController::lvSourceRightClick(const QPoint& viewportPos)
{
    EditSourceValue(RowAt(context_.ui.lvSource, viewportPos));
}

void MappingController::EditSourceValue(int row)
{
    Workspace& workspace = context_.workspace;
    SelectOnly(context_.ui.lvSource, row);
    const auto& fields = workspace.SourceFields();
    if (row < 0 || row >= static_cast<int>(fields.size()) || workspace.CurrentRecord() < 1 ||
        workspace.Executing()) {
        return;
    }
    const int field = row + 1;
    RunGuarded(context_.prompts, [&] {
        const QString shown = FromBytes(fields[static_cast<size_t>(row)]);
        const std::optional<QString> entered =
            context_.prompts.InputText(QStringLiteral("Source Field No. ") + QString::number(field),
                                       QStringLiteral("Change field value to..."), shown);
        // An unchanged value is not encoded again: it may show bytes the encoding has no
        // character for.
        if (!entered || TrimmedText(*entered) == TrimmedText(shown)) {
            return;
        }
        if (context_.undo.ChangeSourceField(field, ToBytes(*entered)) == FieldEdit::FirstChange) {
            context_.prompts.Beep();
            context_.prompts.Information(kSourceChangedNotice);
        }
    });
}

} // namespace impmap::gui

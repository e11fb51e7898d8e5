#include "window/MappingViews.h"

#include "window/MainWindowUi.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace impmap::gui {

QTreeView* ListOfViewport(const MainWindowUi& ui, const QObject* object)
{
    if (object == ui.lvSource->viewport())
        return ui.lvSource;
    if (object == ui.lvDestination->viewport())
        return ui.lvDestination;
    return nullptr;
}

int SelectedRow(const QTreeView* view)
{
    const QItemSelectionModel* selection = view->selectionModel();
    if (selection == nullptr) {
        return -1;
    }
    int lowest = -1;
    for (const QModelIndex& index : selection->selectedIndexes()) {
        if (lowest < 0 || index.row() < lowest) {
            lowest = index.row();
        }
    }
    return lowest;
}

bool IsRowSelected(const QTreeView* view, int row)
{
    const QItemSelectionModel* selection = view->selectionModel();
    return selection != nullptr && view->model() != nullptr && row >= 0 &&
           selection->isRowSelected(row, QModelIndex());
}

int RowAt(const QTreeView* view, const QPoint& viewportPos)
{
    const QModelIndex index = view->indexAt(viewportPos);
    return index.isValid() ? index.row() : -1;
}

QRect RowRect(const QTreeView* view, int row)
{
    const QAbstractItemModel* model = view->model();
    if (model == nullptr || row < 0 || row >= model->rowCount()) {
        return {};
    }
    QRect rect;
    for (int column = 0; column < model->columnCount(); ++column) {
        rect = rect.united(view->visualRect(model->index(row, column)));
    }
    return rect;
}

void SelectOnly(QTreeView* view, int row)
{
    QItemSelectionModel* selection = view->selectionModel();
    if (selection == nullptr || view->model() == nullptr) {
        return;
    }
    if (row < 0) {
        selection->clearSelection();
        return;
    }
    selection->setCurrentIndex(view->model()->index(row, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int SelectForRightClick(QTreeView* view, const QPoint& viewportPos)
{
    return SelectForMenu(view, RowAt(view, viewportPos));
}

int SelectForMenu(QTreeView* view, int row)
{
    if (row < 0) {
        SelectOnly(view, -1);
    } else if (!IsRowSelected(view, row)) {
        SelectOnly(view, row);
    } else {
        view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                QItemSelectionModel::NoUpdate);
    }
    return row;
}

} // namespace impmap::gui

#pragma once

#include <QRect>

class QObject;
class QPoint;
class QTreeView;

// Small queries and selection steps on the two lists of the Mapping tab, shared by the mapping
// controller and its helpers. Rows of lvDestination are the workspace's destination rows; row i
// of lvSource is source field i + 1.
namespace impmap::gui {

struct MainWindowUi;

// lvSource or lvDestination when object is that list's viewport, else nullptr.
QTreeView* ListOfViewport(const MainWindowUi& ui, const QObject* object);

// The selected row with the lowest number, or -1 when none is selected (or there is no model).
int SelectedRow(const QTreeView* view);

bool IsRowSelected(const QTreeView* view, int row);

// The row under a position in the view's viewport, or -1.
int RowAt(const QTreeView* view, const QPoint& viewportPos);

// The rectangle of a whole row (all its columns) in viewport coordinates; empty for no row.
QRect RowRect(const QTreeView* view, int row);

// Makes row the only selected row and the current one; -1 clears the selection.
void SelectOnly(QTreeView* view, int row);

// The behaviour of a right click: a row that is not yet selected becomes the only selected one, a
// selected row stays as it is (keeping a multiple selection) and becomes current, and a click
// beside the rows clears the selection. Returns the clicked row, or -1.
int SelectForRightClick(QTreeView* view, const QPoint& viewportPos);
// The same for a row chosen by other means (the keyboard); returns row.
int SelectForMenu(QTreeView* view, int row);

} // namespace impmap::gui

#pragma once

#include <QObject>

class QPoint;

namespace impmap::gui {

struct MainWindowContext;
class MappingDragDrop;
class MappingHints;
class MappingKeyboard;
class MappingToolsMenu;

// The user's edits of the mapping in the two lists of the Mapping tab: drag and drop (assign,
// unassign, merge), double-clicks, right-clicks (fixed values, source value changes), the field
// guide and source value hints, and the Tools menu (Map by Name, Reset, Create Header).
// Construct it once the controls of the context exist; it installs event filters on the lists.
class MappingController : public QObject
{
    Q_OBJECT

public:
    explicit MappingController(MainWindowContext& context, QObject* parent = nullptr);

    // A source field dropped on destination row (-1: none under the mouse).
    void lvDestinationDragDrop(int row, int draggedField);
    // A source field dropped on source field targetField (0: none under the mouse).
    void lvSourceDragDrop(int targetField, int draggedField);
    // Double-click on the destination list: unassign the selected row or assign the selected
    // source field to it.
    void lvDestinationDblClick();
    // Right click on the destination list: the fixed value of the row under the mouse.
    void lvDestinationRightClick(const QPoint& viewportPos);
    // Double-click on the source list: select and name the rows the selected field feeds.
    void lvSourceDblClick();
    // Right click on the source list: change the value of the field under the mouse in the
    // record on display.
    void lvSourceRightClick(const QPoint& viewportPos);
    // What the right clicks do, for a row chosen by the mouse or the keyboard: ask the fixed
    // value of destination row, or a new value for the source field shown in row (0-based).
    void EditFixedValue(int row);
    void EditSourceValue(int row);

    MappingDragDrop& DragDrop() { return *dragDrop_; }
    MappingHints& Hints() { return *hints_; }
    MappingToolsMenu& ToolsMenu() { return *toolsMenu_; }
    MappingKeyboard& Keyboard() { return *keyboard_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RepaintLists();
    int SelectedSourceField() const;

    MainWindowContext& context_;
    MappingDragDrop* dragDrop_ = nullptr;
    MappingHints* hints_ = nullptr;
    MappingToolsMenu* toolsMenu_ = nullptr;
    MappingKeyboard* keyboard_ = nullptr;
};

} // namespace impmap::gui

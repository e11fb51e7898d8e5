#pragma once

#include <QObject>

class QAction;
class QMenu;
class QTreeView;

namespace impmap::gui {

struct MainWindowContext;
class MappingController;

// The keyboard's way to everything the mouse does on the two lists of the Mapping tab:
// Enter on a destination row acts as the double-click, Delete unassigns a mapped destination row,
// Shift+F10 and the context-menu key open what the right click opens (on the source list a menu
// with the value change and "Merge Into..."), Ctrl+M maps the selected source field onto the
// selected destination row and Ctrl+Shift+M merges the selected source field into another one.
// Each entry also sits in the Tools menu with its key and a help text.
class MappingKeyboard : public QObject
{
    Q_OBJECT

public:
    MappingKeyboard(MainWindowContext& context, MappingController& mapping,
                    QObject* parent = nullptr);

    void MapSelectedField();
    void MergeInto();
    void AssignOrUnassign();
    void Unassign();
    void SetFixedValue();
    void ChangeSourceValue();
    // The source list's menu, at its current row.
    void OpenSourceMenu();

    QMenu* SourceMenu() const { return sourceMenu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddEntry(const QString& text, const QString& keys, const QString& help,
                      void (MappingKeyboard::*slot)());
    // The row the keyboard acts on: the selected one, else the current one; -1 for none.
    static int KeyboardRow(QTreeView* view);

    MainWindowContext& context_;
    MappingController& mapping_;
    QMenu* sourceMenu_ = nullptr;
};

} // namespace impmap::gui

#pragma once

#include "mapping/Workspace.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <string>

class QMenu;
class QWidget;

namespace impmap::gui {

class Prompts;
class WorkspaceSignals;

// Which edits of the source lines are in place: the step last applied and the one in place when
// the source was last saved or loaded. The source differs from its file exactly when they differ.
struct SourceMarks
{
    std::uint64_t next = 1; // the id the next source step takes
    std::uint64_t current = 0;
    std::uint64_t saved = 0;
};

// The steps the user can undo and redo: every change of the mapping (kept as the mapping before
// and after it), every change of a source field (the line before and after it) and every deleted
// record (its line and place). Loading another source or map file starts a new history. The
// operations run here once, when the user makes them; undo and redo put back what they kept.
class UndoHistory : public QObject
{
    Q_OBJECT

public:
    UndoHistory(impmap::Workspace& workspace, WorkspaceSignals& notifier, Prompts& prompts,
                QObject* parent = nullptr);
    ~UndoHistory() override;

    // Runs operation, a change of the mapping, and keeps it as one step when the mapping changed
    // (also when operation then throws, which passes on). The step is named after what changed
    // ("Assign Taxpayer id"), or name when given, for operations that change many rows.
    void ChangeMapping(const std::function<void()>& operation, const QString& name = {});
    // Changes field n of the record on display, as the workspace's ChangeSourceFieldValue does,
    // as one step.
    FieldEdit ChangeSourceField(int field, const std::string& value);
    // Deletes the record on display as one step.
    void DeleteCurrentRecord();

    QUndoStack& Stack() { return stack_; }
    // The Undo and Redo entries, named after their steps, with Ctrl+Z, and Ctrl+Shift+Z and
    // Ctrl+Y: at the top of menu, their keys on window.
    void AddMenuEntries(QMenu* menu, QWidget* window);

    // The type is named in full: Workspace in this class is this accessor.
    impmap::Workspace& Workspace() { return workspace_; }
    SourceMarks& Marks() { return marks_; }
    // Runs a step's undo or redo: its failure is shown, and a source it reloads does not end the
    // history.
    void Apply(const std::function<void()>& action);
    // Puts a mapping of a step back (Apply), through the reader when that reads the source again
    // (another Header or Delimiter).
    void RestoreMapping(const MappingState& state, const std::string& mapFileName);
    // What runs a restore that reads the source again: the window reads the file on a worker
    // first. Without one the restore runs at once.
    void SetSourceReader(std::function<void(const std::function<void()>&)> reader)
    {
        reader_ = std::move(reader);
    }

private:
    void Refresh(unsigned changes);
    void Clear();

    impmap::Workspace& workspace_;
    Prompts& prompts_;
    QUndoStack stack_;
    SourceMarks marks_;
    bool recording_ = false; // a user's operation runs
    bool applying_ = false;  // a step's undo or redo runs
    bool clearPending_ = false;
    std::function<void(const std::function<void()>&)> reader_;
};

} // namespace impmap::gui

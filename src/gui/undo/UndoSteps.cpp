#include "undo/UndoSteps.h"

#include "mapping/Workspace.h"
#include "undo/UndoHistory.h"

namespace impmap::gui {

MappingStep::MappingStep(UndoHistory& history, const QString& name, Side before, Side after)
    : QUndoCommand(name), history_(history), before_(std::move(before)), after_(std::move(after))
{}

void MappingStep::undo()
{
    history_.RestoreMapping(before_.state, before_.mapFileName);
}

void MappingStep::redo()
{
    if (done_) {
        done_ = false;
        return;
    }
    history_.RestoreMapping(after_.state, after_.mapFileName);
}

SourceStep::SourceStep(UndoHistory& history, const QString& name, long record, std::string before,
                       std::optional<std::string> after)
    : QUndoCommand(name), history_(history), record_(record), before_(std::move(before)),
      after_(std::move(after)), id_(history.Marks().next++), previous_(history.Marks().current)
{
    history.Marks().current = id_;
}

bool SourceStep::Holds(const std::string& line) const
{
    const Workspace& workspace = history_.Workspace();
    return record_ >= 1 && static_cast<size_t>(record_) <= workspace.RecordCount() &&
           workspace.Lines().Line(static_cast<size_t>(record_ - 1)) == line;
}

void SourceStep::Mark(std::uint64_t id)
{
    SourceMarks& marks = history_.Marks();
    marks.current = id;
    history_.Workspace().SetSourceModified(marks.current != marks.saved);
}

void SourceStep::undo()
{
    Workspace& workspace = history_.Workspace();
    const bool inPlace =
        after_ ? Holds(*after_)
               : record_ >= 1 && static_cast<size_t>(record_) <= workspace.RecordCount() + 1;
    if (!inPlace) {
        setObsolete(true);
        return;
    }
    history_.Apply([&] {
        const Workspace::NotifyBatch batch(workspace);
        if (after_)
            workspace.ReplaceRecord(record_, before_);
        else
            workspace.InsertRecord(record_, before_);
        Mark(previous_);
    });
}

void SourceStep::redo()
{
    if (done_) {
        done_ = false;
        return;
    }
    if (!Holds(before_)) {
        setObsolete(true);
        return;
    }
    Workspace& workspace = history_.Workspace();
    history_.Apply([&] {
        const Workspace::NotifyBatch batch(workspace);
        if (after_)
            workspace.ReplaceRecord(record_, *after_);
        else
            workspace.DeleteRecord(record_);
        Mark(id_);
    });
}

} // namespace impmap::gui

#include "undo/UndoHistory.h"

#include "models/WorkspaceSignals.h"
#include "prompts/ErrorDisplay.h"
#include "undo/StepNames.h"
#include "undo/UndoSteps.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace impmap::gui {

namespace {

// Steps kept; the oldest go first. Each holds two mappings or one or two lines.
constexpr int kStepLimit = 1000;

} // namespace

UndoHistory::UndoHistory(impmap::Workspace& workspace, WorkspaceSignals& notifier, Prompts& prompts,
                         QObject* parent)
    : QObject(parent), workspace_(workspace), prompts_(prompts)
{
    stack_.setUndoLimit(kStepLimit);
    connect(&notifier, &WorkspaceSignals::Changed, this, &UndoHistory::Refresh);
}

UndoHistory::~UndoHistory() = default;

void UndoHistory::ChangeMapping(const std::function<void()>& operation, const QString& name)
{
    MappingStep::Side before{workspace_.CaptureMapping(), workspace_.MapFileName()};
    recording_ = true;
    clearPending_ = false;
    const auto keep = [&] {
        recording_ = false;
        // The operation reloaded the source: the steps before it no longer fit the lines.
        if (clearPending_)
            Clear();
        MappingStep::Side after{workspace_.CaptureMapping(), workspace_.MapFileName()};
        if (after.state == before.state)
            return;
        const QString stepName =
            name.isEmpty() ? MappingStepName(before.state, after.state, workspace_.Rows()) : name;
        stack_.push(new MappingStep(*this, stepName, std::move(before), std::move(after)));
    };
    try {
        operation();
    } catch (...) {
        keep();
        throw;
    }
    keep();
}

FieldEdit UndoHistory::ChangeSourceField(int field, const std::string& value)
{
    const long record = workspace_.CurrentRecord();
    if (record < 1 || static_cast<size_t>(record) > workspace_.RecordCount())
        return workspace_.ChangeSourceFieldValue(field, value);
    std::string before(workspace_.Lines().Line(static_cast<size_t>(record - 1)));
    const FieldEdit edit = workspace_.ChangeSourceFieldValue(field, value);
    if (edit != FieldEdit::Unchanged) {
        std::string after(workspace_.Lines().Line(static_cast<size_t>(record - 1)));
        stack_.push(new SourceStep(
            *this, QStringLiteral("Change Field %1 of Record %2").arg(field).arg(record), record,
            std::move(before), std::move(after)));
    }
    return edit;
}

void UndoHistory::DeleteCurrentRecord()
{
    const long record = workspace_.CurrentRecord();
    if (record < 1 || static_cast<size_t>(record) > workspace_.RecordCount()) {
        workspace_.DeleteCurrentRecord();
        return;
    }
    std::string line(workspace_.Lines().Line(static_cast<size_t>(record - 1)));
    workspace_.DeleteCurrentRecord();
    stack_.push(new SourceStep(*this, QStringLiteral("Delete Record %1").arg(record), record,
                               std::move(line), std::nullopt));
}

void UndoHistory::AddMenuEntries(QMenu* menu, QWidget* window)
{
    QAction* undo = stack_.createUndoAction(menu, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("popupUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = stack_.createRedoAction(menu, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("popupRedo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    undo->setWhatsThis(QStringLiteral(
        "Takes back the last change of the mapping, a source field or a deleted record (Ctrl+Z)."));
    redo->setWhatsThis(
        QStringLiteral("Makes again the change that Undo took back (Ctrl+Shift+Z or Ctrl+Y)."));
    QAction* first = menu->actions().value(0);
    menu->insertActions(first, {undo, redo});
    if (first != nullptr)
        menu->insertSeparator(first);
    for (QAction* action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
}

void UndoHistory::Apply(const std::function<void()>& action)
{
    applying_ = true;
    RunGuarded(prompts_, action);
    applying_ = false;
}

void UndoHistory::RestoreMapping(const MappingState& state, const std::string& mapFileName)
{
    Apply([&] {
        const auto restore = [&] { workspace_.RestoreMapping(state, mapFileName); };
        const bool reads =
            (state.header != workspace_.Header() || state.delimiter != workspace_.Delimiter()) &&
            workspace_.SourceLoaded() && workspace_.OpenSourceEnabled();
        if (reads && reader_)
            reader_(restore);
        else
            restore();
    });
}

void UndoHistory::Refresh(unsigned changes)
{
    if ((changes & (kChangeSourceOpened | kChangeMapOpened)) && !applying_) {
        if (recording_)
            clearPending_ = true;
        else
            Clear();
    }
    // A save, or a load, makes the lines in place the ones in the file.
    if ((changes & kChangeSourceModified) && !workspace_.SourceModified())
        marks_.saved = marks_.current;
}

void UndoHistory::Clear()
{
    stack_.clear();
    marks_.current = marks_.saved = 0;
}

} // namespace impmap::gui

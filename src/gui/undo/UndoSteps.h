#pragma once

#include "mapping/MappingState.h"

#include <QUndoCommand>
#include <cstdint>
#include <optional>
#include <string>

namespace impmap::gui {

class UndoHistory;

// A change of the mapping: the mapping and the caption's map file name before and after it.
class MappingStep : public QUndoCommand
{
public:
    struct Side
    {
        MappingState state;
        std::string mapFileName;
    };

    MappingStep(UndoHistory& history, const QString& name, Side before, Side after);
    void undo() override;
    void redo() override;

private:
    UndoHistory& history_;
    Side before_;
    Side after_;
    bool done_ = true; // the user's operation has made the change already
};

// A change of the source lines: one record's line replaced (after holds the new line) or the
// record deleted (no after). A step whose record no longer holds what it left (the file was
// reloaded since) does nothing and goes.
class SourceStep : public QUndoCommand
{
public:
    SourceStep(UndoHistory& history, const QString& name, long record, std::string before,
               std::optional<std::string> after);
    void undo() override;
    void redo() override;

private:
    bool Holds(const std::string& line) const;
    void Mark(std::uint64_t id);

    UndoHistory& history_;
    long record_;
    std::string before_;
    std::optional<std::string> after_;
    std::uint64_t id_;
    std::uint64_t previous_;
    bool done_ = true;
};

} // namespace impmap::gui

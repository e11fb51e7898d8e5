#pragma once

namespace impmap {

// What changed in a Workspace; observers receive an OR of these.
enum WorkspaceChange : unsigned
{
    kChangeRows = 1u << 0,         // destination rows rebuilt (form chosen, reset, map opened)
    kChangeRowValues = 1u << 1,    // a destination row's value or source field number
    kChangeSourceFields = 1u << 2, // the fields of the record on display
    kChangeSourceLines = 1u << 3,  // the source lines (loaded, deleted, edited)
    kChangeRecord = 1u << 4,       // current record, record panes, navigation
    kChangeCaption = 1u << 5,      // window caption (map file name)
    kChangeModified = 1u << 6,     // mapping modified flag and Save Map availability
    kChangeSettings = 1u << 7,     // form, decimal, delimiter, header, trace, source path
    kChangeOutput = 1u << 8,       // output lines
    kChangeSourceModified = 1u << 9,
    kChangeMerges = 1u << 10,
    kChangeSourceOpened = 1u << 11, // a source file was (re)loaded
    kChangeMapOpened = 1u << 12,    // a map file was opened (also when it failed part way)
    kChangeMapSaved = 1u << 13,     // the mapping was saved to a map file
    kChangeAll = 0x3FFFu,
};

class WorkspaceObserver
{
public:
    virtual ~WorkspaceObserver() = default;
    // The source lines or the output lines (kChangeSourceLines, kChangeOutput) are about to
    // change. Sent at once, also inside a batch; every such call is followed, after the change,
    // by a WorkspaceChanged carrying the same flags (at the end of the batch).
    virtual void WorkspaceAboutToChange(unsigned changes) { (void)changes; }
    virtual void WorkspaceChanged(unsigned changes) = 0;
};

} // namespace impmap

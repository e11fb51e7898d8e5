#pragma once

namespace impmap {
class Workspace;
}

namespace impmap::gui {

class Prompts;

// Before Execute and Check All Records: when records end inside a quoted value (a cell with a
// line break), asks whether to join them. Yes joins them in the records (the source then counts
// as changed, the file untouched), No runs them as they are; false when the user cancels.
bool AskToJoinBrokenRecords(Prompts& prompts, Workspace& workspace);

} // namespace impmap::gui

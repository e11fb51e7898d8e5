#pragma once

#include "mapping/DestinationRow.h"
#include "mapping/MappingState.h"

#include <QString>
#include <vector>

namespace impmap::gui {

// The name of the undo step that changed the mapping from before to after, as the Undo and Redo
// entries show it after their own word: "Choose Form 1099-NEC", "Header Skip", "Assign Taxpayer
// id", "Unassign City", "Fixed Value of TIN Type", "Merge Field 4 into Field 2", "Remove Merge
// into Field 2"; "Change 3 Fields" when several rows changed. rows are the rows after the change.
// An ampersand in a caption is doubled, so that it shows as itself in a menu.
QString MappingStepName(const MappingState& before, const MappingState& after,
                        const std::vector<DestinationRow>& rows);

} // namespace impmap::gui

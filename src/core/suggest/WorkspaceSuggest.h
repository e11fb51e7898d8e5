#pragma once

#include "suggest/Suggest.h"

#include <filesystem>
#include <vector>

namespace impmap {
class Workspace;
struct AssignmentChoice;
} // namespace impmap

// Suggest Mapping on the workspace's source and mapping, and learning from a map it saved.
namespace impmap::suggest {

// The proposals for the workspace's form and the header line of its source (none when the source
// has no header line). With rematch, the mapping on display is followed from the header line the
// map was saved with to where its columns stand now.
std::vector<Proposal> SuggestForWorkspace(const Workspace& workspace, const LearnedChoices* learned,
                                          bool rematch = false);

// The proposals of at least minimum confidence as the choices Workspace::ApplySuggestions takes.
std::vector<AssignmentChoice> ChoicesOf(const std::vector<Proposal>& proposals, int minimum);

// Remembers in the file of learned choices what the map just saved chose: loads the file (its
// damaged lines are dropped), adds the map's choices and writes it. Throws FileError when the file
// cannot be read (it is then left as it is) or written; does nothing when the source has no
// header line.
void RememberMapChoices(const Workspace& workspace, const std::filesystem::path& file);

} // namespace impmap::suggest

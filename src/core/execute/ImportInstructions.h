#pragma once

#include <string>

namespace impmap {

// The "Importing Instructions" text for a saved output file: the common head and the steps of
// the form's family. fileName is the name without folder; folder ends with its separator.
std::string ImportInstructions(int formIndex, const std::string& fileName,
                               const std::string& folder);

} // namespace impmap

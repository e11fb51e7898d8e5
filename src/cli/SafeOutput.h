#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Checked writing to the standard streams, and the removal of an unfinished output file when the
// batch command is stopped by a signal.
namespace impmap::cli {

// Flushes out. Returns an empty text when everything written so far reached its target, otherwise
// the system's reason ("No space left on device").
std::string FlushAndCheck(std::ostream& out);

// Throws FileError when output names the same file as one of inputs (following links), since
// the output would replace it.
void RefuseOutputOverInput(const std::string& output, const std::vector<std::string>& inputs);

// A standard stream that is closed at start gets a read-only placeholder, so that the next file
// opened does not take its place and receive the output; writing to it still fails, and says so.
void ReserveClosedStandardStreams();

// Installs handlers for the signals that end the program (interrupt, termination, hang-up, broken
// pipe): each removes the temporary files being written, if any, and then ends the program as the
// signal would have. Does nothing where the system has no such signals.
void RemoveTemporaryFileOnSignals();

} // namespace impmap::cli

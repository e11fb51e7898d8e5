#pragma once

#include "CliArgs.h"
#include "convert/CivilDate.h"

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>

namespace impmap {
class Workspace;
}

// What the verbs that run a map file share: their arguments, opening the map file and the
// progress line.
namespace impmap::cli {

// Messages are shown with CR LF as line feeds.
std::string ForTerminal(std::string text);

struct RunSetup
{
    std::string mapFile;
    std::optional<std::string> source;
    CivilDate today;
    std::optional<std::string> sheet; // --sheet: the sheet of a workbook source
};

// MAPFILE, --source, --today and --sheet. Throws UsageError.
RunSetup ParseRunArgs(const std::string& verb, const CliArgs& args);

// Opens the map file as the Open Map button does: OpenMapping, then record 1 shown.
// Returns false after printing why the files cannot be read.
bool OpenForRun(const std::string& verb, const RunSetup& setup, Workspace& workspace,
                std::ostream& err);

// Shows "Record N of M" on a terminal, at most ten times a second.
class ProgressLine
{
public:
    ProgressLine(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    void Show(long position, long total);

private:
    std::ostream& err_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

} // namespace impmap::cli

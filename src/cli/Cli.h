#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace impmap::cli {

// Exit statuses of the batch command.
enum ExitStatus : int
{
    kExitOk = 0,
    kExitFailed = 1,
    kExitUsage = 2
};

// Runs impmap-cli with args (without the program name), writing to out and err.
// errIsTerminal allows the progress line of long runs.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false);

} // namespace impmap::cli

#pragma once

#ifndef _WIN32

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Running the batch command, or a piece of the core, in a child process with limits, to see how it
// ends, what it says and how much memory it took.
namespace impmap::test {

struct ChildOptions
{
    enum class Output
    {
        File,
        Full,
        Closed
    };
    Output output = Output::File; // standard output: a file, /dev/full, or closed
    long fileSizeLimit = -1;      // RLIMIT_FSIZE in bytes; -1 for none
    long addressSpaceLimit = -1;  // RLIMIT_AS in bytes; -1 for none
    int timeoutSeconds = 20;      // then the child is killed
    // Called in the parent once the child runs (to signal it at the right moment).
    std::function<void(pid_t)> whileRunning;
};

struct ChildResult
{
    int status = -1; // exit status, -1 when ended by a signal
    int signal = 0;  // the ending signal, 0 when it exited
    bool timedOut = false;
    long maxRssKb = 0; // peak resident memory
    std::string out;
    std::string err;
};

// Runs body in a forked child, which exits with its result. SIGXFSZ is ignored in the child, so
// that a write past the file-size limit fails with its reason.
ChildResult RunChild(const std::function<int()>& body, const ChildOptions& options = {});

// Runs build/src/cli/impmap-cli with args in a child process.
ChildResult RunCliChild(const std::vector<std::string>& args, const ChildOptions& options = {});

} // namespace impmap::test

#endif

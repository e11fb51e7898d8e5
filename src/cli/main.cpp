// impmap-cli: the batch command.
#include "Cli.h"
#include "SafeOutput.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define IMPMAP_ISATTY _isatty
#define IMPMAP_FILENO _fileno
#else
#include <unistd.h>
#define IMPMAP_ISATTY isatty
#define IMPMAP_FILENO fileno
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Output lines carry their own CR LF; keep the runtime from adding another CR.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    impmap::cli::ReserveClosedStandardStreams();
    impmap::cli::RemoveTemporaryFileOnSignals();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool errIsTerminal = IMPMAP_ISATTY(IMPMAP_FILENO(stderr)) != 0;
    // RunCli flushes and checks standard output itself.
    return impmap::cli::RunCli(args, std::cout, std::cerr, errIsTerminal);
}

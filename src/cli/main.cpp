// impmap-cli: the batch command.
#include "Cli.h"
#include "SafeOutput.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include "io/NativePath.h"

#include <fcntl.h>
#include <io.h>
#define IMPMAP_ISATTY _isatty
#define IMPMAP_FILENO _fileno
#else
#include <unistd.h>
#define IMPMAP_ISATTY isatty
#define IMPMAP_FILENO fileno
#endif

namespace {

int RunWithArgs(const std::vector<std::string>& args)
{
    impmap::cli::ReserveClosedStandardStreams();
    impmap::cli::RemoveTemporaryFileOnSignals();
    std::ios::sync_with_stdio(false);
    const bool errIsTerminal = IMPMAP_ISATTY(IMPMAP_FILENO(stderr)) != 0;
    // RunCli flushes and checks standard output itself.
    return impmap::cli::RunCli(args, std::cout, std::cerr, errIsTerminal);
}

} // namespace

#ifdef _WIN32
// The arguments arrive as UTF-16, so that any file name survives; the program works in UTF-8.
int wmain(int argc, wchar_t** argv)
{
    // Output lines carry their own CR LF; keep the runtime from adding another CR.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(impmap::Utf8FromWide(argv[i]));
    return RunWithArgs(args);
}
#else
int main(int argc, char** argv)
{
    return RunWithArgs(std::vector<std::string>(argv + 1, argv + argc));
}
#endif

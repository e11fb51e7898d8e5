// impmap-cli: the batch command.
#include "Cli.h"
#include "SafeOutput.h"
#include "io/NativePath.h"
#include "mapping/SourceLocation.h"

#include <cstdio>
#include <filesystem>
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

namespace {

// A map file's relative FileSpec is looked for in the program's folder after the map's own.
void NoteProgramFolder(const std::filesystem::path& program)
{
    std::error_code ec;
    std::filesystem::path found = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || found.empty())
        found = std::filesystem::absolute(program, ec);
    if (!ec && found.has_parent_path())
        impmap::SetProgramFolder(impmap::Utf8FromPath(found.parent_path()));
}

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
    NoteProgramFolder(std::filesystem::path(argv[0]));
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(impmap::Utf8FromWide(argv[i]));
    return RunWithArgs(args);
}
#else
int main(int argc, char** argv)
{
    NoteProgramFolder(std::filesystem::path(argv[0]));
    return RunWithArgs(std::vector<std::string>(argv + 1, argv + argc));
}
#endif

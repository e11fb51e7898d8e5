// The verb join-lines: joins source lines broken inside quoted values.
#include "Cli.h"
#include "CliArgs.h"
#include "Verbs.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "source/QuotedLineBreaks.h"
#include "source/SourceFormat.h"

#include <ostream>

namespace impmap::cli {

const char* const kJoinLinesHelp =
    "Usage: impmap-cli join-lines SOURCE [-o FILE]\n"
    "Joins every line of a source file that ends inside a quoted value with the line that\n"
    "continues it (a spreadsheet cell holding a line break): the line break becomes a blank.\n"
    "The file keeps its byte-order mark and its line end.\n"
    "  -o FILE   write the result to FILE (always) instead of replacing SOURCE (only when\n"
    "            a line was joined)\n"
    "Exit status: 0 done, 2 usage error or a file that cannot be read or written.\n";

int JoinLinesVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    const CliArgs args("join-lines", words, {"-o"}, {});
    args.ExpectPositional(1, "SOURCE");
    const std::string& path = args.Positional()[0];
    const std::optional<std::string> target = args.Value("-o");
    try {
        SourceText source = ReadSourceFile(path);
        size_t joins = 0;
        const SourceLines joined =
            JoinLinesBrokenInsideQuotes(SourceLines(std::move(source.bytes)), joins);
        if (joins == 0 && !target) {
            context.out << path << ": no line ends inside a quoted value; nothing written\n";
            return kExitOk;
        }
        const std::string& written = target ? *target : path;
        WriteFileAtomically(PathFromUtf8(written), SourceFileBytes(source.format, nullptr, joined));
        context.out << path << ": " << joins << (joins == 1 ? " line break" : " line breaks")
                    << " inside quoted values replaced by blanks, written to " << written << '\n';
        return kExitOk;
    } catch (const FileError& e) {
        context.err << "impmap-cli join-lines: " << e.what() << '\n';
        return kExitUsage;
    }
}

} // namespace impmap::cli

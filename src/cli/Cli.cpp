#include "Cli.h"

#include "CliArgs.h"
#include "SafeOutput.h"
#include "Verbs.h"

#include <functional>
#include <map>
#include <new>
#include <ostream>
#include <stdexcept>

namespace impmap::cli {
namespace {

const char* const kUsage = "Usage: impmap-cli VERB [ARGUMENTS]\n"
                           "\n"
                           "Verbs:\n"
                           "  forms                       list the 38 destination layouts\n"
                           "  schema FORM                 list the fields of a layout\n"
                           "  header FORM --delimiter D   write the header record of a layout\n"
                           "  run MAPFILE                 execute a map file into import lines\n"
                           "  check MAPFILE               report every problem of every record\n"
                           "  join-lines SOURCE           join lines broken inside quoted values\n"
                           "  tin-match MAPFILE -o FILE   write the IRS's bulk TIN Matching file\n"
                           "  sheets BOOK                 list the sheets of a workbook\n"
                           "  convert BOOK                write a sheet of a workbook as text\n"
                           "  suggest FORM --source FILE  match a source's columns to a layout\n"
                           "\n"
                           "Options:\n"
                           "  --help                      show help (also after a verb)\n"
                           "  --version                   show the version\n";

struct Verb
{
    const char* help;
    std::function<int(const std::vector<std::string>&, const VerbContext&)> run;
};

const std::map<std::string, Verb>& VerbTable()
{
    static const std::map<std::string, Verb> verbs = {
        {"forms", {kFormsHelp, FormsVerb}},
        {"schema", {kSchemaHelp, SchemaVerb}},
        {"header", {kHeaderHelp, HeaderVerb}},
        {"run", {kRunHelp, RunVerb}},
        {"check", {kCheckHelp, CheckVerb}},
        {"join-lines", {kJoinLinesHelp, JoinLinesVerb}},
        {"tin-match", {kTinMatchHelp, TinMatchVerb}},
        {"sheets", {kSheetsHelp, SheetsVerb}},
        {"convert", {kConvertHelp, ConvertVerb}},
        {"suggest", {kSuggestHelp, SuggestVerb}},
    };
    return verbs;
}

bool WantsHelp(const std::vector<std::string>& words)
{
    for (const std::string& w : words) {
        if (w == "--help" || w == "-h")
            return true;
    }
    return false;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool errIsTerminal)
{
    if (args.empty()) {
        err << "impmap-cli: missing verb (try --help)\n";
        return kExitUsage;
    }
    const std::string& first = args[0];
    if (first == "--help" || first == "-h" || first == "help") {
        out << kUsage;
        return kExitOk;
    }
    if (first == "--version") {
        out << "impmap-cli " << IMPMAP_VERSION_TEXT << "\n";
        return kExitOk;
    }
    const auto& verbs = VerbTable();
    auto it = verbs.find(first);
    if (it == verbs.end()) {
        err << "impmap-cli: unknown verb " << first << " (try --help)\n";
        return kExitUsage;
    }
    const std::vector<std::string> words(args.begin() + 1, args.end());
    if (WantsHelp(words)) {
        out << it->second.help;
        return kExitOk;
    }
    try {
        return it->second.run(words, VerbContext{out, err, errIsTerminal});
    } catch (const UsageError& e) {
        err << "impmap-cli " << e.message << "\n";
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        err << "impmap-cli " << first << ": Not enough memory to finish\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        // FileError and whatever else ends a verb: its message, never a crash.
        err << "impmap-cli " << first << ": " << e.what() << "\n";
        return kExitUsage;
    }
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal)
{
    const int status = Dispatch(args, out, err, errIsTerminal);
    // Output that did not reach its target is a failure, however the verb itself ended; a verb
    // that exits 2 has said why already.
    if (const std::string reason = FlushAndCheck(out); !reason.empty()) {
        if (status != kExitUsage)
            err << "impmap-cli: Cannot write to standard output. " << reason << "\n";
        return kExitUsage;
    }
    return status;
}

} // namespace impmap::cli

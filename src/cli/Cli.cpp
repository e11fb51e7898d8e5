#include "Cli.h"

#include "CliArgs.h"
#include "Verbs.h"

#include <functional>
#include <map>
#include <ostream>

namespace impmap::cli {
namespace {

const char* const kUsage =
    "Usage: impmap-cli VERB [ARGUMENTS]\n"
    "\n"
    "Verbs:\n"
    "  forms                       list the 38 destination layouts\n"
    "  schema FORM                 list the fields of a layout\n"
    "  header FORM --delimiter D   write the header record of a layout\n"
    "  run MAPFILE                 execute a map file into import lines\n"
    "  check MAPFILE               report every problem of every record\n"
    "  join-lines SOURCE           join lines broken inside quoted values\n"
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
        {"forms", {kFormsHelp, RunForms}},   {"schema", {kSchemaHelp, RunSchema}},
        {"header", {kHeaderHelp, RunHeader}}, {"run", {kRunHelp, RunRun}},
        {"check", {kCheckHelp, RunCheck}},   {"join-lines", {kJoinLinesHelp, RunJoinLines}},
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

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
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
    }
}

} // namespace impmap::cli

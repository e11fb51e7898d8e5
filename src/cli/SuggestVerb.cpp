// The verb suggest: Suggest Mapping on a source's header line, printed, and written as a map file.
#include "Cli.h"
#include "CliArgs.h"
#include "RunSetup.h"
#include "SafeOutput.h"
#include "Verbs.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "mapping/HeaderLine.h"
#include "mapping/SourceHeader.h"
#include "mapping/Workspace.h"
#include "source/SplitRecord.h"
#include "suggest/LearnedChoices.h"
#include "suggest/Suggest.h"
#include "suggest/WorkspaceSuggest.h"

#include <filesystem>
#include <ostream>

namespace impmap::cli {

const char* const kSuggestHelp =
    "Usage: impmap-cli suggest FORM --source FILE [--sheet NAME] [--min-confidence N]\n"
    "                          [-o MAPFILE]\n"
    "Matches the columns of FILE's header line (its first line) to the fields of the\n"
    "layout FORM by their meaning, and prints one line per destination field: caption,\n"
    "TAB, the proposed source field number (0 when none; a merge as 3+4+5), TAB, its\n"
    "header, TAB, confidence (0-100), TAB, reason.\n"
    "Choices learned from the maps saved in the window are read from impmap-learned.txt in\n"
    "the user's settings folder (%LOCALAPPDATA% on Windows, $XDG_CONFIG_HOME or ~/.config\n"
    "elsewhere).\n"
    "  --sheet NAME         the sheet (name or 1-based number) of a workbook source, instead\n"
    "                       of the first visible one\n"
    "  --min-confidence N   the least confidence applied to the map file (default 80, high)\n"
    "  -o MAPFILE           write a map file of FILE (delimiter detected, header skipped)\n"
    "                       with every proposal of at least that confidence, for run\n"
    "Exit status: 0 done, 2 usage error or a file that cannot be read or written.\n";

namespace {

int ParseMinConfidence(const std::optional<std::string>& text)
{
    if (!text)
        return suggest::kHighConfidence;
    if (text->empty() || text->size() > 3 ||
        text->find_first_not_of("0123456789") != std::string::npos || std::stoi(*text) > 100)
        throw UsageError{"suggest: --min-confidence takes a whole number from 0 to 100, not " +
                         *text};
    return std::stoi(*text);
}

std::string HeadersText(const std::vector<std::string>& header, const suggest::Proposal& proposal)
{
    const auto textOf = [&header](int column) {
        return static_cast<size_t>(column) <= header.size()
                   ? header[static_cast<size_t>(column - 1)]
                   : std::string();
    };
    std::string text = textOf(proposal.column);
    for (int m : proposal.merged)
        text += " + " + textOf(m);
    return text;
}

// Opens the source (the sheet chosen when it is a workbook) under Header Skip with the form chosen,
// as a map file of it would.
void OpenSource(Workspace& workspace, int formIndex, const std::string& source,
                const std::optional<std::string>& sheet)
{
    workspace.SetHeader(HeaderMode::Skip);
    workspace.SetSheet(sheet.value_or(""));
    workspace.SetDelimiter(Delimiter::Comma);
    workspace.ChooseForm(formIndex);
    workspace.SetSourcePath(Utf8FromPath(std::filesystem::absolute(PathFromUtf8(source))));
    workspace.OpenSource();
    // A file of the header line alone: its delimiter is the header's.
    if (workspace.RecordCount() == 0)
        workspace.SetDelimiter(DetectedDelimiter(workspace.HeaderRecord(), Delimiter::Comma));
}

} // namespace

int SuggestVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    CliArgs args("suggest", words, {"--source", "--sheet", "--min-confidence", "-o"}, {});
    args.ExpectPositional(1, "FORM");
    const int formIndex = ParseFormArgument("suggest", args.Positional()[0]);
    const auto source = args.Value("--source");
    if (!source)
        throw UsageError{"suggest: missing --source FILE"};
    const int minimum = ParseMinConfidence(args.Value("--min-confidence"));
    const auto mapFile = args.Value("-o");
    if (mapFile)
        RefuseOutputOverInput(*mapFile, {*source});

    Workspace workspace;
    OpenSource(workspace, formIndex, *source, args.Value("--sheet"));
    const std::vector<std::string> header = SourceHeaderFields(workspace);
    if (header.empty()) {
        context.err << "impmap-cli suggest: " << *source << " is empty: it has no header line\n";
        return kExitUsage;
    }
    std::string problem;
    const suggest::LearnedChoices learned =
        suggest::LearnedChoices::Load(suggest::LearnedChoices::DefaultPath(), &problem);
    if (!problem.empty())
        context.err << "impmap-cli suggest: " << problem << '\n';
    const std::vector<suggest::Proposal> proposals =
        suggest::SuggestMapping({formIndex, header, &learned, nullptr});

    for (const suggest::Proposal& proposal : proposals) {
        context.out << proposal.caption << '\t'
                    << (proposal.column == 0 ? "0" : suggest::ColumnsText(proposal)) << '\t'
                    << (proposal.column == 0 ? "" : HeadersText(header, proposal)) << '\t'
                    << proposal.confidence << '\t' << proposal.reason << '\n';
    }
    if (!mapFile)
        return kExitOk;
    const std::vector<AssignmentChoice> choices = suggest::ChoicesOf(proposals, minimum);
    workspace.ApplySuggestions(choices);
    try {
        workspace.SaveMapping(*mapFile);
    } catch (const FileError& error) {
        context.err << "impmap-cli suggest: " << error.what() << '\n';
        return kExitUsage;
    }
    context.err << choices.size() << " of " << proposals.size() << " fields mapped in " << *mapFile
                << '\n';
    return kExitOk;
}

} // namespace impmap::cli

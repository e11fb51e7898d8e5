#include "suggest/WorkspaceSuggest.h"

#include "io/FileIo.h"
#include "mapping/SourceHeader.h"
#include "mapping/Workspace.h"
#include "schema/FormCatalogue.h"
#include "suggest/LearnedChoices.h"

namespace impmap::suggest {

std::vector<Proposal> SuggestForWorkspace(const Workspace& workspace, const LearnedChoices* learned,
                                          bool rematch)
{
    SuggestRequest request{workspace.FormIndex(), SourceHeaderFields(workspace), learned, nullptr};
    if (request.header.empty())
        return {};
    PreviousMapping previous;
    if (rematch) {
        previous.header = workspace.StoredHeader();
        for (const DestinationRow& row : workspace.Rows())
            previous.rowColumns.push_back(row.sourceFieldNo);
        previous.merges = workspace.MergeSources();
        request.previous = &previous;
    }
    return SuggestMapping(request);
}

std::vector<AssignmentChoice> ChoicesOf(const std::vector<Proposal>& proposals, int minimum)
{
    std::vector<AssignmentChoice> choices;
    for (const Proposal& proposal : proposals) {
        if (proposal.column != 0 && proposal.confidence >= minimum)
            choices.push_back({proposal.row, proposal.column, proposal.merged});
    }
    return choices;
}

void RememberMapChoices(const Workspace& workspace, const std::filesystem::path& file)
{
    const std::vector<std::string> header = SourceHeaderFields(workspace);
    if (header.empty() || workspace.FormIndex() < 0)
        return;
    std::string problem;
    LearnedChoices learned = LearnedChoices::Load(file, &problem);
    if (!problem.empty())
        throw FileError(problem);
    learned.Remember(FormNames[static_cast<size_t>(workspace.FormIndex())], header,
                     workspace.Rows(), workspace.MergeSources(), workspace.MapFileName());
    learned.Save(file);
}

} // namespace impmap::suggest

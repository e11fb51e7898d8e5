#include "window/BrokenRecordsPrompt.h"

#include "mapping/Workspace.h"
#include "prompts/Prompts.h"
#include "source/QuotedLineBreaks.h"

namespace impmap::gui {

bool AskToJoinBrokenRecords(Prompts& prompts, Workspace& workspace)
{
    if (!workspace.SourceLoaded() || workspace.Executing())
        return true;
    const std::vector<long> broken = workspace.RecordsEndingInsideQuotes();
    if (broken.empty())
        return true;
    const QString question =
        QString::fromLatin1(JoinBeforeExecutingQuestion(broken.front(), broken.size()));
    switch (prompts.Confirm(question, {Button::Yes, Button::No, Button::Cancel}, Button::Yes)) {
    case Button::Yes:
        workspace.JoinBrokenRecords();
        return true;
    case Button::No:
        return true;
    default:
        return false;
    }
}

} // namespace impmap::gui

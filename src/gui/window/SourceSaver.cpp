#include "window/SourceSaver.h"

#include "mapping/Workspace.h"
#include "prompts/ErrorDisplay.h"
#include "prompts/Prompts.h"
#include "window/MainWindowContext.h"
#include "window/MapFileController.h"
#include "window/SourceInBackground.h"
#include "window/WorkbookPrompts.h"

namespace impmap::gui {

SourceSaver::Outcome SourceSaver::Save()
{
    Outcome outcome = Outcome::Failed;
    RunGuarded(context_.prompts, [this, &outcome] {
        Workspace& workspace = context_.workspace;
        if (workspace.SourceIsWorkbook()) {
            SaveSheetAsText(context_.prompts, workspace);
            outcome = workspace.SourceModified() ? Outcome::Cancelled : Outcome::Saved;
            return;
        }
        if (workspace.SourceChangedOnDisk()) {
            const MessageRequest question{
                QStringLiteral("Save Source"),
                PathText(workspace.SourcePath()) +
                    QStringLiteral(" was changed by another program since it was loaded.\r\n"
                                   "Overwrite it with the records shown here, reload it (your "
                                   "changes are dropped), or cancel?"),
                Icon::Warning,
                {Button::Yes, Button::No, Button::Cancel},
                Button::Cancel,
                false,
                {QStringLiteral("&Overwrite"), QStringLiteral("&Reload"), QString()}};
            switch (context_.prompts.Message(question)) {
            case Button::Yes:
                break;
            case Button::No:
                outcome = Outcome::Cancelled;
                if (LoadSourceInBackground(context_, QStringLiteral("Reloading"),
                                           workspace.SourcePath(), workspace.Sheet(), [&] {
                                               // A failed reload is still no edit left to save.
                                               outcome = Outcome::Reloaded;
                                               workspace.OpenSource();
                                           }))
                    outcome = Outcome::Reloaded;
                return;
            default:
                outcome = Outcome::Cancelled;
                return;
            }
        }
        outcome = SaveSourceInBackground(context_) ? Outcome::Saved : Outcome::Cancelled;
    });
    return outcome;
}

bool SourceSaver::MayDropSourceEdits()
{
    if (!context_.workspace.SourceModified())
        return true;
    switch (context_.prompts.Confirm(
        QStringLiteral("Do you want to save the changes to the source file?"),
        {Button::Yes, Button::No, Button::Cancel}, Button::Yes)) {
    case Button::Yes: {
        const Outcome outcome = Save();
        return outcome == Outcome::Saved || outcome == Outcome::Reloaded;
    }
    case Button::No:
        return true;
    default:
        return false;
    }
}

} // namespace impmap::gui

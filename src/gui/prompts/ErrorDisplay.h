#pragma once

#include "prompts/Prompts.h"

#include <QString>
#include <exception>
#include <utility>

// The application's error display: every failure that an operation does not handle itself ends
// up here and is shown to the user in one standard box.
namespace impmap::gui {

// Shows message with the application title as caption, the stop icon and an OK button. A full
// stop is appended when the message's last character sorts after "." ("Exceeds end of file"
// gains one; texts ending in ".", "!", ")" or a quote are shown as they are).
void ShowError(Prompts& prompts, const QString& message);

// A caught exception's message (what()) as the user reads it: a file failure's text is decoded
// as file names are, so a path reads as the file manager shows it; other texts byte for byte.
QString ErrorText(const std::exception& error);

// Shows a caught exception's message (ErrorText) as ShowError does.
void ShowError(Prompts& prompts, const std::exception& error);

// Runs action and shows any exception that escapes it, so that no failure reaches the event
// loop. Returns true when action ended normally. Clean-up that must always run belongs inside
// action (destructors or its own handlers), which is finished before the box is shown.
template <typename Action> bool RunGuarded(Prompts& prompts, Action&& action)
{
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& error) {
        ShowError(prompts, error);
    } catch (...) {
        ShowError(prompts, QStringLiteral("An unexpected error occurred"));
    }
    return false;
}

} // namespace impmap::gui

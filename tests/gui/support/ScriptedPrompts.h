#pragma once

#include "prompts/Prompts.h"

#include <deque>
#include <vector>

// Prompts for tests: every prompt is answered from a queue of scripted answers and recorded, so a
// test can check what the user would have been asked. A prompt with no fitting answer queued ends
// the test program at once with a description of the prompt, rather than waiting for a user.
namespace impmap::gui {

enum class PromptKind
{
    Message,
    InputText,
    OpenFile,
    SaveFile,
    Beep,
    ChooseSheet
};

// One prompt as asked. Fields a kind does not use keep their defaults.
struct AskedPrompt
{
    PromptKind kind = PromptKind::Message;
    QString title;               // caption of the box or dialog
    QString text;                // message text, the input box's prompt, or the sheets listed
                                 // one a line
    Icon icon = Icon::None;      // message boxes
    std::vector<Button> buttons; // message boxes, in order
    Button defaultButton = Button::None;
    bool foreground = false;          // ShowMessageBox's box
    std::vector<QString> buttonTexts; // message boxes with their own button captions
    QString initial;                  // input box's initial text, the proposed file name, or the
                                      // sheet preselected
    QString folder;                   // file dialogs
    QString filter;                   // file dialogs, "|" form
    QString defaultSuffix;            // save dialog
    int selectedFilterIndex = 0;      // save dialog

    friend bool operator==(const AskedPrompt&, const AskedPrompt&) = default;
};

// A prompt on one line, for test failure messages: kind, title, text and the other fields used.
QString Describe(const AskedPrompt& prompt);

// The record a message box leaves.
AskedPrompt AskedMessage(const MessageRequest& request);

class ScriptedPrompts : public Prompts
{
public:
    // The next message box is answered with this button, which must be one it shows.
    ScriptedPrompts& Press(Button button);
    // The next input box gets this text, the next file dialog this file name, or the next sheet
    // chooser the sheet of this name.
    ScriptedPrompts& Enter(const QString& text);
    // The next input box or file dialog is cancelled.
    ScriptedPrompts& Cancel();

    // Every prompt asked so far, beeps included, in order.
    const std::vector<AskedPrompt>& Asked() const { return asked_; }
    // The last prompt asked; the test program ends when there was none.
    const AskedPrompt& Last() const;
    int BeepCount() const;
    // Answers queued and not yet used.
    std::size_t PendingAnswers() const { return answers_.size(); }
    // Forgets the prompts asked (the queue is kept).
    void ClearAsked() { asked_.clear(); }

    Button Message(const MessageRequest& request) override;
    std::optional<QString> InputText(const QString& title, const QString& prompt,
                                     const QString& initial) override;
    std::optional<QString> OpenFileName(const QString& title, const QString& folder,
                                        const QString& filter,
                                        const QString& proposedName) override;
    std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                        const QString& filter, const QString& defaultSuffix,
                                        const QString& proposedName,
                                        int selectedFilterIndex = 0) override;
    void Beep() override;
    std::optional<int> ChooseSheet(const QString& workbookName,
                                   const std::vector<SheetChoice>& sheets,
                                   int preselected) override;

private:
    struct Answer
    {
        Button button = Button::None; // for a message box
        std::optional<QString> text;  // for an input box or file dialog; none: cancelled
    };

    Answer Take(const AskedPrompt& prompt, bool wantsButton);
    std::optional<QString> TakeText(const AskedPrompt& prompt);

    std::deque<Answer> answers_;
    std::vector<AskedPrompt> asked_;
};

} // namespace impmap::gui

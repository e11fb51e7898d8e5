#pragma once

#include <QString>
#include <optional>
#include <vector>

// Everything the program asks or tells the user goes through Prompts: message boxes, input boxes,
// file dialogs and beeps. WidgetPrompts shows the real dialogs; ScriptedPrompts answers them from a
// script in tests, so no test ever waits for a modal dialog.
namespace impmap::gui {

enum class Button
{
    None,
    Ok,
    Cancel,
    Abort,
    Retry,
    Ignore,
    Yes,
    No
};

enum class Icon
{
    None,
    Information,
    Warning,
    Critical,
    Question
};

// One message box: its caption, text, icon, buttons in order of appearance and default button.
// foreground marks the application-owned box that is always brought to the front
// (ShowMessageBox); the others are the centred dialogs of "Confirm" and "Information".
struct MessageRequest
{
    QString title;
    QString text;
    Icon icon = Icon::None;
    std::vector<Button> buttons{Button::Ok};
    Button defaultButton = Button::Ok;
    bool foreground = false;
    // Captions of the buttons in order, for boxes whose buttons say what they do ("&Re-match by
    // name"); empty, or an empty caption, for the standard one.
    std::vector<QString> buttonTexts = {};

    friend bool operator==(const MessageRequest&, const MessageRequest&) = default;
};

// One sheet of a workbook as the sheet chooser lists it.
struct SheetChoice
{
    QString name;
    bool hidden = false;
    qint64 rows = 0;

    friend bool operator==(const SheetChoice&, const SheetChoice&) = default;
};

// "Payees 2022 (6 rows)", "Hidden (1 row, hidden)": a sheet as the chooser lists it.
QString SheetChoiceText(const SheetChoice& sheet);

class Prompts
{
public:
    virtual ~Prompts() = default;

    // Shows a message box and returns the button pressed. Closing the box counts as its Cancel
    // (or No, or the only) button.
    virtual Button Message(const MessageRequest& request) = 0;

    // An input box with a one-line text field; nothing when the user cancels.
    virtual std::optional<QString> InputText(const QString& title, const QString& prompt,
                                             const QString& initial) = 0;

    // Filters are written "Description|*.A;*.B|Description|*.C", as in the program's dialog
    // tables. The open dialog accepts only an existing file. Nothing when the user cancels.
    virtual std::optional<QString> OpenFileName(const QString& title, const QString& folder,
                                                const QString& filter,
                                                const QString& proposedName) = 0;

    // The save dialog adds "." + defaultSuffix to a name typed without an extension and asks
    // before an existing file is overwritten. selectedFilterIndex is the 0-based filter entry
    // offered first. Nothing when the user cancels.
    virtual std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                                const QString& filter, const QString& defaultSuffix,
                                                const QString& proposedName,
                                                int selectedFilterIndex = 0) = 0;

    // The standard beep.
    virtual void Beep() = 0;

    // The sheet chooser of a workbook with several sheets: the sheets with their row counts,
    // preselected first; the 0-based index chosen, nothing when the user cancels.
    virtual std::optional<int> ChooseSheet(const QString& workbookName,
                                           const std::vector<SheetChoice>& sheets,
                                           int preselected) = 0;

    // A question with the given buttons, centred, question icon unless told otherwise.
    Button Question(const QString& title, const QString& text, std::vector<Button> buttons,
                    Button defaultButton, Icon icon = Icon::Question);
    // The toolkit's confirmation: caption "Confirm", question icon.
    Button Confirm(const QString& text, std::vector<Button> buttons, Button defaultButton);
    // A notice with an OK button and the information icon; caption "Information" by default.
    void Information(const QString& text, const QString& title = QStringLiteral("Information"));
    // A failure: the stop icon and an OK button.
    void Error(const QString& title, const QString& text);

    // The application's own message box, chosen by three small indices:
    //   buttons 0 Abort/Retry/Ignore, 1 OK, 2 OK/Cancel, 3 Retry/Cancel, 4 Yes/No, 5 Yes/No/Cancel;
    //   default 0 and 1 the first button, 2 the second, 3 the third, 4 the fourth, 5 the first;
    //   icon 0 and 1 stop, 2 information, 3 exclamation, 4 question, 5 exclamation.
    // A default position beyond the buttons shown selects the first button; an index outside the
    // tables gives OK, the first button or no icon.
    Button ShowMessageBox(const QString& text, const QString& caption, int buttonsIndex,
                          int defaultIndex, int iconIndex);
};

// Names for the entries of ShowMessageBox's three tables.
namespace message_box {
inline constexpr int kAbortRetryIgnore = 0, kOk = 1, kOkCancel = 2, kRetryCancel = 3, kYesNo = 4,
                     kYesNoCancel = 5;
inline constexpr int kDefaultFirst = 0, kDefaultSecond = 2, kDefaultThird = 3, kDefaultFourth = 4;
inline constexpr int kIconStop = 0, kIconInformation = 2, kIconExclamation = 3, kIconQuestion = 4;
} // namespace message_box

// The request that ShowMessageBox makes for the given indices.
MessageRequest MessageBoxRequest(const QString& text, const QString& caption, int buttonsIndex,
                                 int defaultIndex, int iconIndex);

} // namespace impmap::gui

#include "prompts/Prompts.h"

#include <array>
#include <cstddef>

namespace impmap::gui {

namespace {

const std::array<std::vector<Button>, 6> kButtonTable{{
    {Button::Abort, Button::Retry, Button::Ignore},
    {Button::Ok},
    {Button::Ok, Button::Cancel},
    {Button::Retry, Button::Cancel},
    {Button::Yes, Button::No},
    {Button::Yes, Button::No, Button::Cancel},
}};

// 0-based position of the default button.
constexpr std::array<std::size_t, 6> kDefaultTable{0, 0, 1, 2, 3, 0};

constexpr std::array<Icon, 6> kIconTable{Icon::Critical, Icon::Critical, Icon::Information,
                                         Icon::Warning,  Icon::Question, Icon::Warning};

bool InTable(int index)
{
    return index >= 0 && index < 6;
}

} // namespace

Button Prompts::Question(const QString& title, const QString& text, std::vector<Button> buttons,
                         Button defaultButton, Icon icon)
{
    return Message({title, text, icon, std::move(buttons), defaultButton, false});
}

Button Prompts::Confirm(const QString& text, std::vector<Button> buttons, Button defaultButton)
{
    return Question(QStringLiteral("Confirm"), text, std::move(buttons), defaultButton);
}

void Prompts::Information(const QString& text, const QString& title)
{
    Message({title, text, Icon::Information, {Button::Ok}, Button::Ok, false});
}

void Prompts::Error(const QString& title, const QString& text)
{
    Message({title, text, Icon::Critical, {Button::Ok}, Button::Ok, false});
}

Button Prompts::ShowMessageBox(const QString& text, const QString& caption, int buttonsIndex,
                               int defaultIndex, int iconIndex)
{
    return Message(MessageBoxRequest(text, caption, buttonsIndex, defaultIndex, iconIndex));
}

MessageRequest MessageBoxRequest(const QString& text, const QString& caption, int buttonsIndex,
                                 int defaultIndex, int iconIndex)
{
    MessageRequest request;
    request.title = caption;
    request.text = text;
    request.foreground = true;
    request.buttons = InTable(buttonsIndex) ? kButtonTable[static_cast<std::size_t>(buttonsIndex)]
                                            : std::vector<Button>{Button::Ok};
    const std::size_t position =
        InTable(defaultIndex) ? kDefaultTable[static_cast<std::size_t>(defaultIndex)] : 0;
    request.defaultButton = request.buttons[position < request.buttons.size() ? position : 0];
    request.icon =
        InTable(iconIndex) ? kIconTable[static_cast<std::size_t>(iconIndex)] : Icon::None;
    return request;
}

QString SheetChoiceText(const SheetChoice& sheet)
{
    const QString rows =
        sheet.rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(sheet.rows);
    return QStringLiteral("%1 (%2%3)")
        .arg(sheet.name, rows, sheet.hidden ? QStringLiteral(", hidden") : QString());
}

} // namespace impmap::gui

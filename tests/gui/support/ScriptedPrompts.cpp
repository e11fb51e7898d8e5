#include "support/ScriptedPrompts.h"

#include <QStringList>
#include <QtGlobal>
#include <algorithm>

namespace impmap::gui {

namespace {

QString KindName(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Message:
        return QStringLiteral("Message");
    case PromptKind::InputText:
        return QStringLiteral("InputText");
    case PromptKind::OpenFile:
        return QStringLiteral("OpenFile");
    case PromptKind::SaveFile:
        return QStringLiteral("SaveFile");
    case PromptKind::Beep:
        return QStringLiteral("Beep");
    case PromptKind::ChooseSheet:
        return QStringLiteral("ChooseSheet");
    }
    return {};
}

QString ButtonName(Button button)
{
    static const QStringList names{QStringLiteral("None"),   QStringLiteral("Ok"),
                                   QStringLiteral("Cancel"), QStringLiteral("Abort"),
                                   QStringLiteral("Retry"),  QStringLiteral("Ignore"),
                                   QStringLiteral("Yes"),    QStringLiteral("No")};
    return names.value(static_cast<int>(button));
}

QString IconName(Icon icon)
{
    static const QStringList names{QStringLiteral("None"), QStringLiteral("Information"),
                                   QStringLiteral("Warning"), QStringLiteral("Critical"),
                                   QStringLiteral("Question")};
    return names.value(static_cast<int>(icon));
}

QString Quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(QStringLiteral("\r"), QStringLiteral("\\r"));
    escaped.replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return u'"' + escaped + u'"';
}

[[noreturn]] void Fail(const QString& why, const AskedPrompt& prompt)
{
    qFatal("ScriptedPrompts: %s: %s", qPrintable(why), qPrintable(Describe(prompt)));
}

} // namespace

QString Describe(const AskedPrompt& prompt)
{
    QStringList parts{KindName(prompt.kind)};
    if (prompt.kind == PromptKind::Beep) {
        return parts.constFirst();
    }
    parts << QStringLiteral("title=") + Quoted(prompt.title);
    switch (prompt.kind) {
    case PromptKind::Message: {
        QStringList buttons;
        for (const Button button : prompt.buttons) {
            buttons << ButtonName(button);
        }
        parts << QStringLiteral("text=") + Quoted(prompt.text)
              << QStringLiteral("icon=") + IconName(prompt.icon)
              << QStringLiteral("buttons=") + buttons.join(u'/')
              << QStringLiteral("default=") + ButtonName(prompt.defaultButton);
        if (prompt.foreground) {
            parts << QStringLiteral("foreground");
        }
        if (!prompt.buttonTexts.empty()) {
            QStringList texts;
            for (const QString& text : prompt.buttonTexts) {
                texts << Quoted(text);
            }
            parts << QStringLiteral("buttonTexts=") + texts.join(u'/');
        }
        break;
    }
    case PromptKind::InputText:
        parts << QStringLiteral("prompt=") + Quoted(prompt.text)
              << QStringLiteral("initial=") + Quoted(prompt.initial);
        break;
    case PromptKind::OpenFile:
    case PromptKind::SaveFile:
        parts << QStringLiteral("folder=") + Quoted(prompt.folder)
              << QStringLiteral("filter=") + Quoted(prompt.filter)
              << QStringLiteral("name=") + Quoted(prompt.initial);
        if (prompt.kind == PromptKind::SaveFile) {
            parts << QStringLiteral("suffix=") + Quoted(prompt.defaultSuffix)
                  << QStringLiteral("filterIndex=") + QString::number(prompt.selectedFilterIndex);
        }
        break;
    case PromptKind::ChooseSheet:
        parts << QStringLiteral("sheets=") + Quoted(prompt.text)
              << QStringLiteral("preselected=") + Quoted(prompt.initial);
        break;
    case PromptKind::Beep:
        break;
    }
    return parts.join(u' ');
}

AskedPrompt AskedMessage(const MessageRequest& request)
{
    AskedPrompt prompt;
    prompt.kind = PromptKind::Message;
    prompt.title = request.title;
    prompt.text = request.text;
    prompt.icon = request.icon;
    prompt.buttons = request.buttons;
    prompt.defaultButton = request.defaultButton;
    prompt.foreground = request.foreground;
    prompt.buttonTexts = request.buttonTexts;
    return prompt;
}

ScriptedPrompts& ScriptedPrompts::Press(Button button)
{
    answers_.push_back({button, std::nullopt});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::Enter(const QString& text)
{
    answers_.push_back({Button::None, text});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::Cancel()
{
    answers_.push_back({Button::None, std::nullopt});
    return *this;
}

const AskedPrompt& ScriptedPrompts::Last() const
{
    if (asked_.empty()) {
        qFatal("ScriptedPrompts: no prompt has been asked");
    }
    return asked_.back();
}

int ScriptedPrompts::BeepCount() const
{
    return static_cast<int>(std::count_if(asked_.begin(), asked_.end(), [](const AskedPrompt& p) {
        return p.kind == PromptKind::Beep;
    }));
}

ScriptedPrompts::Answer ScriptedPrompts::Take(const AskedPrompt& prompt, bool wantsButton)
{
    asked_.push_back(prompt);
    if (answers_.empty()) {
        Fail(QStringLiteral("no answer queued"), prompt);
    }
    const Answer answer = answers_.front();
    if ((answer.button != Button::None) != wantsButton) {
        Fail(wantsButton ? QStringLiteral("a text answer is queued for a message box")
                         : QStringLiteral("a button answer is queued for a text prompt"),
             prompt);
    }
    answers_.pop_front();
    return answer;
}

std::optional<int> ScriptedPrompts::ChooseSheet(const QString& workbookName,
                                                const std::vector<SheetChoice>& sheets,
                                                int preselected)
{
    AskedPrompt asked;
    asked.kind = PromptKind::ChooseSheet;
    asked.title = workbookName;
    QStringList lines;
    for (const SheetChoice& sheet : sheets)
        lines << SheetChoiceText(sheet);
    asked.text = lines.join(u'\n');
    asked.initial = sheets.at(static_cast<size_t>(preselected)).name;
    const std::optional<QString> name = TakeText(asked);
    if (!name)
        return std::nullopt;
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (sheets[i].name == *name)
            return static_cast<int>(i);
    }
    qFatal("ChooseSheet: the scripted answer %s is none of the sheets: %s", qPrintable(*name),
           qPrintable(Describe(asked)));
}

std::optional<QString> ScriptedPrompts::TakeText(const AskedPrompt& prompt)
{
    return Take(prompt, false).text;
}

Button ScriptedPrompts::Message(const MessageRequest& request)
{
    const AskedPrompt prompt = AskedMessage(request);
    const Button button = Take(prompt, true).button;
    if (std::find(request.buttons.begin(), request.buttons.end(), button) ==
        request.buttons.end()) {
        Fail(QStringLiteral("the box has no button ") + ButtonName(button), prompt);
    }
    return button;
}

std::optional<QString> ScriptedPrompts::InputText(const QString& title, const QString& prompt,
                                                  const QString& initial)
{
    AskedPrompt asked;
    asked.kind = PromptKind::InputText;
    asked.title = title;
    asked.text = prompt;
    asked.initial = initial;
    return TakeText(asked);
}

std::optional<QString> ScriptedPrompts::OpenFileName(const QString& title, const QString& folder,
                                                     const QString& filter,
                                                     const QString& proposedName)
{
    AskedPrompt asked;
    asked.kind = PromptKind::OpenFile;
    asked.title = title;
    asked.folder = folder;
    asked.filter = filter;
    asked.initial = proposedName;
    return TakeText(asked);
}

std::optional<QString> ScriptedPrompts::SaveFileName(const QString& title, const QString& folder,
                                                     const QString& filter,
                                                     const QString& defaultSuffix,
                                                     const QString& proposedName,
                                                     int selectedFilterIndex)
{
    AskedPrompt asked;
    asked.kind = PromptKind::SaveFile;
    asked.title = title;
    asked.folder = folder;
    asked.filter = filter;
    asked.defaultSuffix = defaultSuffix;
    asked.initial = proposedName;
    asked.selectedFilterIndex = selectedFilterIndex;
    return TakeText(asked);
}

void ScriptedPrompts::Beep()
{
    AskedPrompt beep;
    beep.kind = PromptKind::Beep;
    asked_.push_back(beep);
}

} // namespace impmap::gui

#include "prompts/WidgetPrompts.h"

#include "platform/FileFilters.h"
#include "prompts/SheetChooserDialog.h"
#include "prompts/TitleWidth.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QTimer>
#include <algorithm>

namespace impmap::gui {

namespace {

QMessageBox::StandardButton ToQt(Button button)
{
    switch (button) {
    case Button::Ok:
        return QMessageBox::Ok;
    case Button::Cancel:
        return QMessageBox::Cancel;
    case Button::Abort:
        return QMessageBox::Abort;
    case Button::Retry:
        return QMessageBox::Retry;
    case Button::Ignore:
        return QMessageBox::Ignore;
    case Button::Yes:
        return QMessageBox::Yes;
    case Button::No:
        return QMessageBox::No;
    case Button::None:
        break;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon ToQt(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The button that closing the box (Esc or the close box) stands for.
Button CloseButton(const std::vector<Button>& buttons)
{
    for (const Button candidate : {Button::Cancel, Button::No, Button::Abort}) {
        if (std::find(buttons.begin(), buttons.end(), candidate) != buttons.end()) {
            return candidate;
        }
    }
    return buttons.empty() ? Button::Ok : buttons.front();
}

// Texts use CR LF between lines; a label wants LF alone.
QString DisplayText(const QString& text)
{
    QString display = text;
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return display;
}

bool ConfirmOverwrite(QWidget* owner, const QString& path)
{
    const QString text = QStringLiteral("%1 already exists.\nDo you want to replace it?")
                             .arg(QFileInfo(path).fileName());
    return QMessageBox::warning(owner, QStringLiteral("Confirm Save As"), text,
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

// Room between a box and the window it keeps clear of, and the height of a title bar: the frame
// is not known before the box is shown, and some systems place the box's inside where it is
// moved to, its title bar above that.
constexpr int kGap = 12;
constexpr int kTitleBar = 32;

// The window that stands where a box of a hidden owner would open (the progress dialog of a run):
// the active window, or another visible one.
const QWidget* BusyWindow(const QWidget* owner, const QWidget* box)
{
    if (owner == nullptr || owner->isVisible())
        return nullptr;
    const auto usable = [box](const QWidget* w) {
        return w != nullptr && w != box && w->isVisible() && w->isWindow() &&
               (w->windowType() == Qt::Dialog || w->windowType() == Qt::Window);
    };
    if (usable(QApplication::activeWindow()))
        return QApplication::activeWindow();
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (usable(w))
            return w;
    }
    return nullptr;
}

// While the owner is hidden (a run is on), a centred box would cover the window in front, its
// title and its progress: the box goes below that window, or above it where the screen ends.
void KeepClearOfBusyWindow(QDialog& box, const QWidget* owner)
{
    const QWidget* busy = BusyWindow(owner, &box);
    if (busy == nullptr)
        return;
    box.adjustSize();
    const QRect frame = busy->frameGeometry();
    const QScreen* screen = busy->screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : frame;
    const QSize size = box.size() + QSize(0, kTitleBar);
    int top = frame.bottom() + kGap + kTitleBar;
    if (top + size.height() > room.bottom())
        top = frame.top() - kGap - size.height();
    const int left = frame.center().x() - size.width() / 2;
    box.move(std::clamp(left, room.left(), std::max(room.left(), room.right() - size.width())),
             std::max(top, room.top()));
}

} // namespace

WidgetPrompts::WidgetPrompts(QWidget* parent) : parent_(parent) {}

QWidget* WidgetPrompts::Owner() const
{
    return parent_ != nullptr ? parent_.data() : QApplication::activeWindow();
}

Button WidgetPrompts::Message(const MessageRequest& request)
{
    QMessageBox box(ToQt(request.icon), request.title, DisplayText(request.text),
                    QMessageBox::NoButton, Owner());
    box.setTextFormat(Qt::PlainText);
    const std::vector<Button> buttons =
        request.buttons.empty() ? std::vector<Button>{Button::Ok} : request.buttons;
    for (size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* added = box.addButton(ToQt(buttons[i]));
        if (i < request.buttonTexts.size() && !request.buttonTexts[i].isEmpty()) {
            added->setText(request.buttonTexts[i]);
        }
    }
    if (request.defaultButton != Button::None) {
        box.setDefaultButton(ToQt(request.defaultButton));
    }
    const Button closeButton = CloseButton(buttons);
    box.setEscapeButton(box.button(ToQt(closeButton)));
    // A message box sizes itself to its text; a spacer across its grid keeps it as wide as its
    // title needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(WidthForTitle(request.title), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    KeepClearOfBusyWindow(box, Owner());
    if (request.foreground) {
        QTimer::singleShot(0, &box, [&box] {
            box.raise();
            box.activateWindow();
        });
    }
    box.exec();
    for (const Button button : buttons) {
        if (box.clickedButton() != nullptr && box.clickedButton() == box.button(ToQt(button))) {
            return button;
        }
    }
    return closeButton;
}

std::optional<QString> WidgetPrompts::InputText(const QString& title, const QString& prompt,
                                                const QString& initial)
{
    QInputDialog dialog(Owner());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(DisplayText(prompt));
    dialog.setTextValue(initial);
    // The dialog takes its least size from its contents; its prompt keeps it as wide as its
    // title needs.
    if (auto* label = dialog.findChild<QLabel*>())
        label->setMinimumWidth(WidthForTitle(title));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QString> WidgetPrompts::OpenFileName(const QString& title, const QString& folder,
                                                   const QString& filter,
                                                   const QString& proposedName)
{
    QFileDialog dialog(Owner(), title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(filter));
    if (!proposedName.isEmpty()) {
        dialog.selectFile(proposedName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> WidgetPrompts::SaveFileName(const QString& title, const QString& folder,
                                                   const QString& filter,
                                                   const QString& defaultSuffix,
                                                   const QString& proposedName,
                                                   int selectedFilterIndex)
{
    const QStringList filters = QtNameFilters(filter);
    QFileDialog dialog(Owner(), title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    // A name typed without an extension gets the one of the chosen filter entry, or the default
    // one when that entry names none (such as "All Files").
    const auto suffixFor = [&defaultSuffix](const QString& nameFilter) {
        const QString extension = FilterExtension(nameFilter);
        return extension.isEmpty() ? defaultSuffix : extension;
    };
    const QString firstFilter = filters.value(selectedFilterIndex, filters.value(0));
    dialog.selectNameFilter(firstFilter);
    dialog.setDefaultSuffix(suffixFor(firstFilter));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixFor](const QString& nameFilter) {
                         dialog.setDefaultSuffix(suffixFor(nameFilter));
                     });
    if (!proposedName.isEmpty()) {
        dialog.selectFile(proposedName);
    }
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        // The dialog adds the suffix and asks about overwriting itself; a platform dialog that
        // leaves the suffix off is made good here, with its own overwrite question.
        const QString chosen = dialog.selectedFiles().constFirst();
        const QString path = WithDefaultExtension(chosen, dialog.defaultSuffix());
        if (path == chosen || !QFileInfo::exists(path) || ConfirmOverwrite(Owner(), path)) {
            return path;
        }
    }
    return std::nullopt;
}

void WidgetPrompts::Beep()
{
    QApplication::beep();
}

std::optional<int> WidgetPrompts::ChooseSheet(const QString& workbookName,
                                              const std::vector<SheetChoice>& sheets,
                                              int preselected)
{
    SheetChooserDialog dialog(workbookName, sheets, preselected, Owner());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Chosen();
}

} // namespace impmap::gui

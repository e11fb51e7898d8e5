#include "window/SourceController.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "undo/UndoHistory.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"
#include "window/SourceInBackground.h"
#include "window/SourceSaver.h"
#include "window/WorkbookPrompts.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMouseEvent>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <array>
#include <tuple>

namespace impmap::gui {

namespace {

const QString kSourceFilter =
    QStringLiteral("Excel (*.CSV), Text (*.TXT)|*.CSV;*.TXT|Spreadsheets (*.xlsx *.xlsm *.ods "
                   "*.xls)|*.xlsx;*.xlsm;*.ods;*.xls|All Files (*.*)|*.*");

// Checks the radio button with the given id; an id without a button clears the group.
void CheckRadio(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id)) {
        if (!button->isChecked())
            button->setChecked(true);
        return;
    }
    if (QAbstractButton* checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
}

// Restores a control's colours when the scope ends, however it ends.
class PaletteRestorer
{
public:
    explicit PaletteRestorer(QWidget* widget) : widget_(widget), palette_(widget->palette()) {}
    ~PaletteRestorer() { widget_->setPalette(palette_); }
    PaletteRestorer(const PaletteRestorer&) = delete;
    PaletteRestorer& operator=(const PaletteRestorer&) = delete;

private:
    QWidget* widget_;
    QPalette palette_;
};

} // namespace

SourceController::SourceController(MainWindowContext& context, SourceSaver& sourceSaver,
                                   QObject* parent)
    : QObject(parent), context_(context), sourceSaver_(sourceSaver)
{
    Connect();
    connect(&context_.notifier, &WorkspaceSignals::Changed, this, &SourceController::Refresh);
    // The record display starts as the layout built it (empty panes, "0" on the Source tab).
    Refresh(kChangeSettings | kChangeSourceModified);
    edSourceFileChange();
}

void SourceController::Connect()
{
    MainWindowUi& ui = context_.ui;
    connect(ui.sbOpenSource, &QToolButton::clicked, this, &SourceController::sbOpenSourceClick);
    connect(ui.edSourceFileLocate, &QAction::triggered, this,
            &SourceController::edSourceFileButtonClick);
    connect(ui.edSourceFileSave, &QAction::triggered, this,
            &SourceController::edSourceFileAltBtnClick);
    connect(ui.edSourceFile, &QLineEdit::textChanged, this, &SourceController::edSourceFileChange);
    // The keys of the buttons inside the source box work on every tab; saving only while the
    // save button is shown.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), &context_.window),
            &QShortcut::activated, this, &SourceController::edSourceFileButtonClick);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &context_.window),
            &QShortcut::activated, this, [this] {
                if (context_.ui.edSourceFileSave->isVisible())
                    edSourceFileAltBtnClick();
            });
    // Enter in the box opens the file typed there, as the open button does.
    connect(ui.edSourceFile, &QLineEdit::returnPressed, this, [this] {
        if (context_.ui.sbOpenSource->isEnabled())
            sbOpenSourceClick();
    });
    connect(ui.edSourceFile, &QLineEdit::textEdited, this, [this](const QString& text) {
        RunGuarded(context_.prompts, [&] { context_.workspace.SetSourcePath(PathBytes(text)); });
    });
    for (auto [first, previous, next, last] :
         {std::tuple{ui.sbFirst, ui.sbPrevious, ui.sbNext, ui.sbLast},
          std::tuple{ui.sbSourceFirst, ui.sbSourcePrevious, ui.sbSourceNext, ui.sbSourceLast}}) {
        connect(first, &QToolButton::clicked, this, &SourceController::sbFirstClick);
        connect(previous, &QToolButton::clicked, this, &SourceController::sbPreviousClick);
        connect(next, &QToolButton::clicked, this, &SourceController::sbNextClick);
        connect(last, &QToolButton::clicked, this, &SourceController::sbLastClick);
    }
    connect(ui.reSource, &QListView::pressed, this, &SourceController::reSourceMouseDown);
    connect(ui.sbDeleteSourceLine, &QToolButton::clicked, this,
            &SourceController::sbDeleteSourceLineClick);
    connect(ui.coForm, &QComboBox::activated, this, &SourceController::coFormChange);
    connect(ui.cbDelimiter, &QComboBox::activated, this, &SourceController::cbDelimiterChange);
    connect(ui.rgDecimalButtons, &QButtonGroup::idClicked, this, &SourceController::rgDecimalClick);
    connect(ui.rgTraceButtons, &QButtonGroup::idClicked, this, &SourceController::rgTraceClick);
    connect(ui.rgHeaderButtons, &QButtonGroup::idClicked, this, &SourceController::rgHeaderClick);
    for (QWidget* widget : {static_cast<QWidget*>(ui.edSourceFile),
                            static_cast<QWidget*>(ui.pnRecord), static_cast<QWidget*>(ui.lbRecord)})
        widget->installEventFilter(this);
}

// ---- The source file box -----------------------------------------------------------------

void SourceController::sbOpenSourceClick()
{
    RunGuarded(context_.prompts, [this] {
        if (context_.workspace.SourceModified()) {
            const MessageRequest question{
                QStringLiteral("\"Source\" file changes have not been saved!"),
                QStringLiteral("Re-opening your source file at this point will restore it to its "
                               "original state.\r\nDo you want to continue?"),
                Icon::Warning,
                {Button::Yes, Button::No},
                Button::No,
                true};
            if (context_.prompts.Message(question) != Button::Yes)
                return;
        }
        Workspace& workspace = context_.workspace;
        if (!LoadSourceInBackground(context_, QStringLiteral("Opening"), workspace.SourcePath(),
                                    workspace.Sheet(), [&] { workspace.OpenSource(); }))
            return;
        context_.ui.lvSource->setFocus();
    });
}

void SourceController::edSourceFileButtonClick()
{
    RunGuarded(context_.prompts, [this] {
        const std::optional<QString> path = context_.prompts.OpenFileName(
            QStringLiteral("Locate your source file, then click \"Open\""),
            context_.folders.openSource, kSourceFilter, QString());
        if (path)
            LocateSourceFile(*path);
    });
}

void SourceController::LocateSourceFile(const QString& path)
{
    RunGuarded(context_.prompts, [&] {
        if (!sourceSaver_.MayDropSourceEdits())
            return;
        const std::string file = PathBytes(QDir::toNativeSeparators(path));
        Workspace& workspace = context_.workspace;
        std::optional<std::string> sheet;
        if (IsWorkbookFile(file)) {
            sheet = ChooseWorkbookSheet(context_.prompts, file);
            if (!sheet)
                return;
        }
        // Cancelling the read changes nothing, the sheet asked for included.
        if (!LoadSourceInBackground(context_, QStringLiteral("Opening"), file,
                                    sheet ? *sheet : workspace.Sheet(), [&] {
                                        if (sheet)
                                            workspace.SetSheet(*sheet);
                                        workspace.LocateSource(file);
                                    }))
            return;
        context_.ui.lvSource->setFocus();
    });
}

void SourceController::edSourceFileAltBtnClick()
{
    sourceSaver_.Save();
}

void SourceController::edSourceFileChange()
{
    MainWindowUi& ui = context_.ui;
    const QString text = ui.edSourceFile->text();
    const bool named = !TrimmedText(text).isEmpty();
    ui.sbOpenSource->setEnabled(named);
    ui.sbOpenSource->setToolTip(named ? QStringLiteral("Open the selected source file")
                                      : QString());
    ui.edSourceFile->setToolTip(
        named ? text + QStringLiteral("\n(Double-click to select a different source file)")
              : QStringLiteral("Click the flashlight button or double-click to select a source "
                               "file"));
}

// ---- Records ------------------------------------------------------------------------------

void SourceController::sbFirstClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        ShowRecordInBackground(context_, workspace.Navigation().first ? 1 : 0,
                               [&workspace] { workspace.NavigateFirst(); });
    });
}

void SourceController::sbPreviousClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        ShowRecordInBackground(context_, workspace.CurrentRecord() - 1,
                               [&workspace] { workspace.NavigatePrevious(); });
    });
}

void SourceController::sbNextClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        ShowRecordInBackground(context_, workspace.CurrentRecord() + 1,
                               [&workspace] { workspace.NavigateNext(); });
    });
}

void SourceController::sbLastClick()
{
    RunGuarded(context_.prompts, [this] {
        Workspace& workspace = context_.workspace;
        const long last = static_cast<long>(workspace.RecordCount());
        ShowRecordInBackground(context_, workspace.Navigation().last ? last : 0,
                               [&workspace] { workspace.NavigateLast(); });
    });
}

bool SourceController::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_PageDown:
        sbNextClick();
        return true;
    case Qt::Key_PageUp:
        sbPreviousClick();
        return true;
    case Qt::Key_Home:
        sbFirstClick();
        return true;
    case Qt::Key_End:
        sbLastClick();
        return true;
    default:
        return false;
    }
}

void SourceController::pnRecordClick()
{
    RunGuarded(context_.prompts, [this] {
        if (!context_.workspace.GoToAvailable())
            return;
        const std::optional<QString> answer =
            context_.prompts.InputText(QStringLiteral("Go to ..."), QStringLiteral("Record number"),
                                       context_.ui.pnRecord->text());
        if (!answer)
            return;
        const std::string text = ToBytes(*answer);
        ShowRecordInBackground(context_, answer->trimmed().toLong(),
                               [this, &text] { context_.workspace.GoToAnswer(text); });
    });
}

void SourceController::reSourceMouseDown(const QModelIndex& index)
{
    RunGuarded(context_.prompts, [&] {
        if (!index.isValid())
            return;
        ShowRecordInBackground(context_, index.row() + 1, [this, &index] {
            context_.workspace.ShowRecordAtLine(index.row());
        });
    });
}

bool SourceController::ConfirmDelete(const QString& what, bool ask)
{
    if (!ask)
        return true;
    context_.prompts.Beep();
    return context_.prompts.Confirm(QStringLiteral("Okay to delete\r\n") + what + u'?',
                                    {Button::Yes, Button::No}, Button::Yes) == Button::Yes;
}

void SourceController::sbDeleteSourceLineClick()
{
    RunGuarded(context_.prompts, [this] {
        QLineEdit* box = context_.ui.edSourceRecord;
        const PaletteRestorer restorer(box);
        QPalette alarm = box->palette();
        alarm.setColor(QPalette::Base, Qt::red);
        alarm.setColor(QPalette::Text, Qt::white);
        box->setPalette(alarm);
        if (ConfirmDelete(QStringLiteral("the selected source record"), true))
            context_.undo.DeleteCurrentRecord();
    });
}

// ---- Settings -----------------------------------------------------------------------------

void SourceController::coFormChange(int index)
{
    RunGuarded(context_.prompts, [&] {
        if (index != context_.workspace.FormIndex())
            context_.undo.ChangeMapping([&] { context_.workspace.ChooseForm(index); });
    });
}

void SourceController::rgDecimalClick(int id)
{
    RunGuarded(context_.prompts, [&] {
        context_.undo.ChangeMapping(
            [&] { context_.workspace.SetDecimal(SettingAt<DecimalMode>(id)); });
    });
}

void SourceController::rgTraceClick(int id)
{
    RunGuarded(context_.prompts, [&] {
        context_.undo.ChangeMapping([&] { context_.workspace.SetTrace(SettingAt<TraceMode>(id)); });
    });
}

void SourceController::rgHeaderClick(int id)
{
    RunGuarded(context_.prompts, [&] {
        const bool shown = !context_.workspace.SourceFields().empty();
        const HeaderMode header = SettingAt<HeaderMode>(id);
        const auto change = [&] {
            context_.undo.ChangeMapping([&] { context_.workspace.SetHeader(header); });
        };
        // A new setting reads the source again; cancelling that puts the old setting back.
        if (header == context_.workspace.Header())
            change();
        else if (!ReloadSourceInBackground(context_, change))
            return ShowSettings();
        if (shown)
            context_.ui.lvSource->setFocus();
    });
}

void SourceController::cbDelimiterChange(int index)
{
    RunGuarded(context_.prompts, [&] {
        const Delimiter delimiter = SettingAt<Delimiter>(index);
        if (delimiter == context_.workspace.Delimiter())
            return;
        const bool shown = !context_.workspace.SourceFields().empty();
        if (!ReloadSourceInBackground(context_, [&] {
                context_.undo.ChangeMapping([&] { context_.workspace.ChangeDelimiter(delimiter); });
            }))
            return ShowSettings();
        if (shown)
            context_.ui.lvSource->setFocus();
    });
}

// ---- Display ------------------------------------------------------------------------------

void SourceController::Refresh(unsigned changes)
{
    if (changes & kChangeSettings)
        ShowSettings();
    if (changes & kChangeSourceLines)
        ShowSourceLines();
    if (changes & (kChangeRecord | kChangeSourceLines))
        ShowRecordDisplay();
    if (changes & kChangeSourceModified)
        context_.ui.edSourceFileSave->setVisible(context_.workspace.SourceModified());
}

void SourceController::ShowSettings()
{
    const Workspace& workspace = context_.workspace;
    MainWindowUi& ui = context_.ui;
    if (ui.coForm->currentIndex() != workspace.FormIndex()) {
        const QSignalBlocker blocker(ui.coForm);
        ui.coForm->setCurrentIndex(workspace.FormIndex());
    }
    if (ui.cbDelimiter->currentIndex() != ChoiceIndex(workspace.Delimiter())) {
        const QSignalBlocker blocker(ui.cbDelimiter);
        ui.cbDelimiter->setCurrentIndex(ChoiceIndex(workspace.Delimiter()));
    }
    CheckRadio(ui.rgDecimalButtons, ChoiceIndex(workspace.Decimal()));
    CheckRadio(ui.rgTraceButtons, ChoiceIndex(workspace.Trace()));
    CheckRadio(ui.rgHeaderButtons, ChoiceIndex(workspace.Header()));
    const QString path = PathText(workspace.SourcePath());
    if (ui.edSourceFile->text() != path)
        ui.edSourceFile->setText(path);
}

void SourceController::ShowSourceLines()
{
    MainWindowUi& ui = context_.ui;
    const size_t count = context_.workspace.RecordCount();
    const bool any = count > 0;
    ui.tabs->setTabVisible(ui.tabs->indexOf(ui.tabSource), any);
    ui.sbDeleteSourceLine->setEnabled(any);
    const std::array<QString, 4> hints{
        QStringLiteral("First record"), QStringLiteral("Previous record"),
        QStringLiteral("Next record"), QStringLiteral("Last record")};
    const std::array<std::array<QToolButton*, 4>, 2> buttons{
        {{ui.sbFirst, ui.sbPrevious, ui.sbNext, ui.sbLast},
         {ui.sbSourceFirst, ui.sbSourcePrevious, ui.sbSourceNext, ui.sbSourceLast}}};
    for (const auto& tab : buttons) {
        for (size_t i = 0; i < tab.size(); ++i)
            tab[i]->setToolTip(any ? hints[i] : QString());
    }
    ui.pnRecords->setText(any ? QString::number(count) : QString());
    ui.pnRecords->setToolTip(any ? QStringLiteral("Total source records") : QString());
}

void SourceController::ShowRecordDisplay()
{
    const Workspace& workspace = context_.workspace;
    MainWindowUi& ui = context_.ui;
    const long shown = workspace.ShownRecord();
    ui.pnRecord->setText(shown > 0 ? QString::number(shown) : QString());
    ui.pnRecord->setToolTip(shown > 0 ? QStringLiteral("Current source record") : QString());
    for (QWidget* opener :
         {static_cast<QWidget*>(ui.pnRecord), static_cast<QWidget*>(ui.lbRecord)}) {
        if (shown > 0)
            opener->setCursor(Qt::PointingHandCursor);
        else
            opener->unsetCursor();
    }
    if (shown == 0)
        ShowRecordLinkHover(false);

    const NavigationState navigation = workspace.Navigation();
    const std::array<bool, 4> enabled{navigation.first, navigation.previous, navigation.next,
                                      navigation.last};
    const std::array<QToolButton*, 4> mappingButtons{ui.sbFirst, ui.sbPrevious, ui.sbNext,
                                                     ui.sbLast};
    const std::array<QToolButton*, 4> sourceButtons{ui.sbSourceFirst, ui.sbSourcePrevious,
                                                    ui.sbSourceNext, ui.sbSourceLast};
    for (size_t i = 0; i < enabled.size(); ++i) {
        mappingButtons[i]->setEnabled(enabled[i]);
        sourceButtons[i]->setEnabled(enabled[i]);
    }

    const std::string_view record = workspace.CurrentRecordText();
    const bool any = workspace.RecordCount() > 0;
    const QString recordText = any ? ShownText(record) : QString();
    // A record shown cut says so in its box's hint, and the first one of a source file in a
    // notice, once the operation that showed it has ended.
    const bool cut = any && TooLongToShow(record);
    const QString tooLong =
        QStringLiteral("Record %1 is too long to show in full: its first %2 bytes are shown. "
                       "Its text is kept whole.")
            .arg(shown)
            .arg(kShownBytes);
    ui.edSourceRecord->setToolTip(cut ? tooLong : QString());
    const QString file = PathText(workspace.SourcePath());
    if (cut && longRecordToldFor_ != file) {
        longRecordToldFor_ = file;
        QMetaObject::invokeMethod(
            this,
            [this, tooLong] {
                context_.prompts.Information(
                    tooLong + QStringLiteral("\r\nOther records of this file that are too "
                                             "long to show are cut the same way."));
            },
            Qt::QueuedConnection);
    }
    // The Source tab's record label reads "0" until the first record is shown, then copies the
    // record number pane.
    if (shown > 0 || ui.lbRec->text() != QStringLiteral("0"))
        ui.lbRec->setText(ui.pnRecord->text());
    ui.edSourceRecord->setText(recordText);
    ui.edSourceRecord->setCursorPosition(0); // a long record shows from its start
    // The Source view's caret stands on the record shown. Scrolling lays out every line (tens of
    // milliseconds for a million), so a hidden view is left to scroll to its current line itself
    // once it is shown.
    QAbstractItemModel* lines = ui.reSource->model();
    if (shown > 0 && lines != nullptr && shown <= lines->rowCount()) {
        const QModelIndex line = lines->index(static_cast<int>(shown - 1), 0);
        ui.reSource->setCurrentIndex(line);
        if (ui.reSource->isVisible())
            ui.reSource->scrollTo(line);
    }
}

void SourceController::ShowRecordLinkHover(bool hovered)
{
    QLabel* label = context_.ui.lbRecord;
    QFont font = label->font();
    font.setUnderline(hovered);
    label->setFont(font);
    label->setForegroundRole(hovered ? QPalette::Link : QPalette::WindowText);
}

bool SourceController::eventFilter(QObject* watched, QEvent* event)
{
    MainWindowUi& ui = context_.ui;
    if (watched == ui.edSourceFile) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            edSourceFileButtonClick();
            return true;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint()))
            pnRecordClick();
        break;
    }
    case QEvent::Enter:
        if (watched == ui.lbRecord && context_.workspace.ShownRecord() > 0)
            ShowRecordLinkHover(true);
        break;
    case QEvent::Leave:
        if (watched == ui.lbRecord)
            ShowRecordLinkHover(false);
        break;
    default:
        break;
    }
    return false;
}

} // namespace impmap::gui

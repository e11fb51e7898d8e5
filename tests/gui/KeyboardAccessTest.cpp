// The window without a mouse: the names assistive technology reads, the order of the Tab key,
// and a complete mapping done with key presses alone.
#include "MainWindowTestSupport.h"
#include "execute/ExecuteController.h"
#include "window/MappingController.h"
#include "window/MappingKeyboard.h"
#include "window/MappingViews.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QMenu>
#include <QTest>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

bool IsInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::RadioButton:
    case QAccessible::CheckBox:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::PageTabList:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::SpinBox:
        return true;
    default:
        return false;
    }
}

// Every interactive control below iface without a name, as "objectName (role)"; the items of
// lists and tables are named by their text and are not visited.
void CollectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int& visited)
{
    if (iface == nullptr)
        return;
    const QAccessible::Role role = iface->role();
    if (IsInteractive(role)) {
        ++visited;
        if (iface->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject* object = iface->object();
            unnamed << (object ? object->objectName() : QStringLiteral("?")) +
                           QStringLiteral(" (role %1)").arg(int(role));
        }
    }
    if (role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        CollectUnnamed(iface->child(i), unnamed, visited);
}

QWidget* Focused()
{
    return QApplication::focusWidget();
}

// Key presses go where the keyboard's focus is, as they do for the user.
void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target =
        QApplication::activePopupWidget() ? QApplication::activePopupWidget() : Focused();
    QVERIFY(target != nullptr);
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void Type(const QString& text)
{
    QTest::keyClicks(Focused(), text);
}

// Presses Tab until target has the focus; false when it never comes.
bool TabTo(const QWidget* target)
{
    for (int i = 0; i < 60 && Focused() != target; ++i)
        QTest::keyClick(Focused(), Qt::Key_Tab);
    return Focused() == target;
}

int CurrentRow(const QTreeView* view)
{
    return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

// Moves the list's current and selected row to row with the arrow keys.
void ArrowTo(const QTreeView* view, int row)
{
    if (CurrentRow(view) < 0)
        Key(Qt::Key_Down);
    while (CurrentRow(view) < row)
        Key(Qt::Key_Down);
    while (CurrentRow(view) > row)
        Key(Qt::Key_Up);
}

const QByteArray kExpectedOutput =
    "\"John A Doe\",,,,,,,,,,SSN,123456789,,,,,150000.5,,0,,0,0,,0,0,,,DEMO\r\n"
    "\"John B Smith\",,,,,,,,,,SSN,123456780,,,,,3700.25,,0,,0,0,,0,0,,,DEMO\r\n"
    "\"Jane A Doe\",,,,,,,,,,SSN,321456789,,,,,4500,,0,,0,0,,0,0,,,DEMO\r\n"
    "\"Jane Dee Smith\",,,,,,,,,,SSN,321456780,,,,,16000,,0,,0,0,,0,0,,,DEMO\r\n";

} // namespace

class KeyboardAccessTest : public QObject
{
    Q_OBJECT

private slots:
    void EveryInteractiveControlHasAName()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        MainWindowUi& ui = fixture.Ui();
        for (int page = 0; page < 3; ++page) {
            ui.tabs->setTabVisible(page, true);
            ui.tabs->setCurrentIndex(page);
            QStringList unnamed;
            int visited = 0;
            CollectUnnamed(QAccessible::queryAccessibleInterface(&window), unnamed, visited);
            QVERIFY2(visited >= (page == 0 ? 20 : 1), qPrintable(QString::number(visited)));
            QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
        }
        // Qt's own inner widgets ("qt_...", the tab bar's scroll buttons) carry Qt's names.
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            const QString name = widget->objectName();
            if (!widget->accessibleName().isEmpty() && !name.startsWith(u"qt_") &&
                !name.startsWith(u"Scroll"))
                QVERIFY2(!widget->accessibleDescription().isEmpty(),
                         qPrintable(widget->objectName()));
        }

        // The lists tell their rows and columns.
        QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(ui.lvDestination);
        QVERIFY(rows != nullptr && rows->tableInterface() != nullptr);
        QCOMPARE(rows->text(QAccessible::Name), QStringLiteral("Destination fields"));
        QCOMPARE(rows->tableInterface()->rowCount(), 28);
        QCOMPARE(rows->tableInterface()->columnCount(), 4);
        QAccessibleInterface* fields = QAccessible::queryAccessibleInterface(ui.lvSource);
        QCOMPARE(fields->tableInterface()->rowCount(), 4);
        QCOMPARE(fields->tableInterface()->cellAt(0, 1)->text(QAccessible::Name),
                 QStringLiteral("Name")); // the header record is on display
    }

    void TabRunsInReadingOrder()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        MainWindowUi& ui = fixture.Ui();
        ui.coForm->setFocus();
        // The cycle runs from the tab bar at the top to the settings, the lists and the bottom.
        QStringList order;
        for (int i = 0; i < 30 && (order.isEmpty() || Focused() != ui.coForm); ++i) {
            order << Focused()->objectName();
            Key(Qt::Key_Tab);
        }
        QCOMPARE(
            order.join(u' '),
            QStringLiteral("coForm sbOpenMap sbSaveMap edSourceFile edSourceFileLocateButton "
                           "sbOpenSource rgTraceOn "
                           "rgDecimalNormal cbDelimiter rgHeaderRead lvSource lvDestination sbNext "
                           "sbLast sbWhatsThis btUserManualOnline bSuggest bTools bExecute bHelp "
                           "bClose qt_tabwidget_tabbar"));
    }

    // The locate and save buttons inside the source box: in the Tab order after the box, pressed
    // with Space, and reached from anywhere with Ctrl+L and Ctrl+Shift+S.
    void TheSourceBoxButtonsWorkFromTheKeyboard()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        const QString path = fixture.LoadPayees();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        MainWindowUi& ui = fixture.Ui();
        fixture.Prompts().ClearAsked();

        // Ctrl+L from the destination list opens the locate dialog.
        ui.lvDestination->setFocus();
        fixture.Prompts().Cancel();
        Key(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(fixture.Prompts().Asked().size(), std::size_t{1});
        QCOMPARE(fixture.Prompts().Last().title,
                 QStringLiteral("Locate your source file, then click \"Open\""));

        // Tab from the box reaches the locate button; Space presses it.
        ui.edSourceFile->setFocus();
        Key(Qt::Key_Tab);
        QCOMPARE(Focused()->objectName(), QStringLiteral("edSourceFileLocateButton"));
        // It shows that it has the focus.
        QWidget* locate = Focused();
        const QImage focused = locate->grab().toImage();
        ui.edSourceFile->setFocus();
        QVERIFY(locate->grab().toImage() != focused);
        locate->setFocus();
        QVERIFY(locate->grab().toImage() == focused);
        fixture.Prompts().Cancel();
        Key(Qt::Key_Space);
        QCOMPARE(fixture.Prompts().Asked().size(), std::size_t{2});
        QCOMPARE(fixture.Prompts().Last().kind, PromptKind::OpenFile);

        // With unsaved edits the save button comes first, and Ctrl+Shift+S saves as well.
        fixture.Prompts().Press(Button::Yes);
        window.Sources().sbDeleteSourceLineClick();
        QVERIFY(ui.edSourceFileSave->isVisible());
        ui.edSourceFile->setFocus();
        Key(Qt::Key_Tab);
        QCOMPARE(Focused()->objectName(), QStringLiteral("edSourceFileSaveButton"));
        Key(Qt::Key_Space);
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QCOMPARE(WindowFixture::ReadFile(path).count('\n'), 3);

        // From the Source tab too, where the box is not shown.
        fixture.Prompts().Press(Button::Yes);
        window.Sources().sbDeleteSourceLineClick();
        ui.tabs->setCurrentWidget(ui.tabSource);
        ui.reSource->setFocus();
        Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QCOMPARE(WindowFixture::ReadFile(path).count('\n'), 2);
    }

    void ToolsMenuListsTheKeys()
    {
        WindowFixture fixture;
        fixture.Start();
        QStringList entries;
        for (const QAction* action : fixture.Ui().popupTools->actions()) {
            if (!action->isSeparator())
                entries << action->text() + u'|' + action->shortcut().toString() + u'|' +
                               QString::number(!action->whatsThis().isEmpty());
        }
        QCOMPARE(entries, (QStringList{
                              "&Undo|Ctrl+Z|1",
                              "&Redo|Ctrl+Shift+Z|1",
                              "Map by &Name||0",
                              "Cannot Suggest Mapping (Tax Form Required)||0",
                              "&Reset This Mapping||0",
                              "Create Header||0",
                              "Chec&k All Records||0",
                              "Export for &TIN Matching...||0",
                              "&Join Lines Broken Inside Quotes||0",
                              "&Map Selected Field|Ctrl+M|1",
                              "Merge &Into...|Ctrl+Shift+M|1",
                              "&Assign or Unassign Field\tEnter||1",
                              "&Unassign Field\tDel||1",
                              "Set &Fixed Value...\tShift+F10||1",
                              "Change Source &Value...||1",
                          }));
    }

    // Form, source, three fields, a fixed value, merges, Execute and Save: key presses only (the
    // file and input boxes are answered by the scripted prompts).
    void CompleteMappingWithKeysAlone()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.Execution().SetMessageInterval(0);
        MainWindowUi& ui = fixture.Ui();
        WatchedPrompts& prompts = fixture.Prompts();
        ui.coForm->setFocus(); // where the window starts; everything after is keys

        const QString example =
            QDir(fixture.Folders().example).filePath(QStringLiteral("EXAMPLE_SOURCE.TXT"));
        QVERIFY(TabTo(ui.edSourceFile));
        Type(example);
        QVERIFY(TabTo(ui.sbOpenSource));
        Key(Qt::Key_Space);
        QCOMPARE(fixture.Work().SourceFields().size(), 9u);
        QVERIFY(TabTo(ui.rgHeaderButtons->button(0)));
        Key(Qt::Key_Down); // Skip the header record
        QCOMPARE(ui.rgHeaderButtons->checkedId(), 1);
        QVERIFY(TabTo(ui.coForm));
        Type(QStringLiteral("1099-NEC"));
        QCOMPARE(ui.coForm->currentIndex(), impmap::FindFormIndex("1099-NEC"));

        // Fields 3 into 2 and 2 into 1, through Ctrl+Shift+M and through the source list's menu.
        QVERIFY(TabTo(ui.lvSource));
        ArrowTo(ui.lvSource, 2);
        prompts.Enter(QStringLiteral("2"));
        Key(Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        ArrowTo(ui.lvSource, 1);
        Key(Qt::Key_F10, Qt::ShiftModifier);
        QMenu* menu = window.Mapping().Keyboard().SourceMenu();
        QVERIFY(menu->isVisible());
        prompts.Enter(QStringLiteral("1"));
        Key(Qt::Key_Down);
        Key(Qt::Key_Down);
        Key(Qt::Key_Return);
        QVERIFY(!menu->isVisible());
        QCOMPARE(prompts.Asked().back().title, QStringLiteral("Merge Into"));
        QCOMPARE(prompts.Asked().back().text,
                 QStringLiteral("Merge source field No. 2 into source field No."));

        // Field 1 onto row 0 with Ctrl+M, 4 onto row 11 with Enter (then Delete and Enter again),
        // 9 onto row 16 with Ctrl+M.
        ArrowTo(ui.lvSource, 0);
        QVERIFY(TabTo(ui.lvDestination));
        ArrowTo(ui.lvDestination, 0);
        Key(Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(ui.lvDestination->model()->index(0, 1).data().toString(),
                 QStringLiteral("John A Doe"));
        Key(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(Focused(), ui.lvSource);
        ArrowTo(ui.lvSource, 3);
        Key(Qt::Key_Tab);
        ArrowTo(ui.lvDestination, 11);
        Key(Qt::Key_Return);
        QCOMPARE(ui.lvDestination->model()->index(11, 2).data().toString(), QStringLiteral("4"));
        Key(Qt::Key_Delete);
        QCOMPARE(ui.lvDestination->model()->index(11, 2).data().toString(), QStringLiteral("0"));
        Key(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(ui.lvDestination->model()->index(11, 2).data().toString(), QStringLiteral("4"));
        Key(Qt::Key_Tab, Qt::ShiftModifier);
        ArrowTo(ui.lvSource, 8);
        Key(Qt::Key_Tab);
        ArrowTo(ui.lvDestination, 16);
        Key(Qt::Key_M, Qt::ControlModifier);

        // The fixed value of the last row, through the context-menu key.
        ArrowTo(ui.lvDestination, 27);
        prompts.Enter(QStringLiteral("DEMO"));
        Key(Qt::Key_Menu);
        QCOMPARE(ui.lvDestination->model()->index(27, 1).data().toString(), QStringLiteral("DEMO"));
        // Delete on a row that maps nothing only beeps.
        const int beeps = prompts.BeepCount();
        Key(Qt::Key_Delete);
        QCOMPARE(prompts.BeepCount(), beeps + 1);
        QCOMPARE(ui.lvDestination->model()->index(27, 1).data().toString(), QStringLiteral("DEMO"));

        const QString output = QDir(fixture.Maps()).filePath(QStringLiteral("out.TXT"));
        prompts.Press(Button::Ok).Enter(output).Press(Button::Ok);
        QVERIFY(TabTo(ui.bExecute));
        Key(Qt::Key_Space);
        QCOMPARE(WindowFixture::ReadFile(output), kExpectedOutput);

        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("keys.MAP"));
        prompts.Enter(map);
        QVERIFY(TabTo(ui.sbSaveMap));
        Key(Qt::Key_Space);
        const QByteArray saved = WindowFixture::ReadFile(map);
        QVERIFY2(saved.contains("[Default]\r\n") && saved.contains("027=DEMO\r\n") &&
                     saved.contains("[Merge]\r\n001=2\r\n002=3\r\n"),
                 saved.constData());
        QCOMPARE(prompts.PendingAnswers(), 0u);
    }

    void KeysWithoutASelectionExplainThemselves()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        // The source list took the focus after the load, which makes its first field current
        // once the window is active: nothing is current here.
        fixture.Ui().lvSource->setCurrentIndex(QModelIndex());
        fixture.Ui().lvDestination->setCurrentIndex(QModelIndex());
        MappingKeyboard& keys = window.Mapping().Keyboard();
        fixture.Prompts().Press(Button::Ok);
        keys.MapSelectedField();
        QCOMPARE(fixture.Prompts().Last(),
                 ErrorBox("Select a source field and a destination field to map it onto."));
        fixture.Prompts().Press(Button::Ok);
        keys.MergeInto();
        QCOMPARE(fixture.Prompts().Last(), ErrorBox("Select the source field to merge."));
        SelectOnly(fixture.Ui().lvSource, 1);
        for (const char* answer : {"x", "0", "2", "5"}) {
            fixture.Prompts().Enter(QString::fromLatin1(answer)).Press(Button::Ok);
            keys.MergeInto();
            QCOMPARE(fixture.Prompts().Last(),
                     ErrorBox("Enter the number of another source field, from 1 to 4."));
        }
    }
};

QTEST_MAIN(KeyboardAccessTest)
#include "KeyboardAccessTest.moc"

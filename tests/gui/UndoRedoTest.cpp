// Undo and redo in the window: every change of the mapping and of the source, the entries of the
// Tools menu with their keys, the changed state against the last save, and a new history with
// every loaded file.

#include "MainWindowTestSupport.h"
#include "window/MappingController.h"
#include "window/MappingKeyboard.h"

#include <QMenu>

using namespace impmap;
using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

QPoint RowCentre(QTreeView* view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

QAction* Entry(MainWindowUi& ui, const char* name)
{
    for (QAction* action : ui.popupTools->actions()) {
        if (action->objectName() == QLatin1String(name))
            return action;
    }
    qFatal("no Tools entry %s", name);
}

std::vector<std::string> Values(const Workspace& workspace)
{
    std::vector<std::string> values;
    for (const DestinationRow& row : workspace.Rows())
        values.push_back(row.value);
    return values;
}

// The window after a gesture: the mapping and what the lists show with it.
struct Shown
{
    MappingState mapping;
    std::vector<std::string> values;
    std::vector<std::string> fields;
    std::string caption;

    bool operator==(const Shown&) const = default;
};

Shown Look(const Workspace& workspace)
{
    return {workspace.CaptureMapping(), Values(workspace), workspace.SourceFields(),
            workspace.MapFileName()};
}

void Press(QWidget* window, QKeyCombination key)
{
    QTest::keyClick(window, key.key(), key.keyboardModifiers());
}

} // namespace

class UndoRedoTest : public QObject
{
    Q_OBJECT

private slots:
    // Each gesture is one step, named in the Tools menu; Ctrl+Z puts back what the window showed
    // before it, Ctrl+Shift+Z and Ctrl+Y what it showed after it.
    void EveryMappingChangeIsOneNamedStep_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::function<void(WindowFixture&)>>("gesture");
        const auto add = [](const char* name, std::function<void(WindowFixture&)> gesture) {
            QTest::newRow(name) << QString::fromLatin1(name) << gesture;
        };
        add("Assign Taxpayer id",
            [](WindowFixture& f) { f.Window().Mapping().lvDestinationDragDrop(11, 2); });
        add("Unassign Name line 1",
            [](WindowFixture& f) { f.Window().Mapping().lvDestinationDragDrop(0, 1); });
        add("Fixed Value of Client ID", [](WindowFixture& f) {
            f.Ui().lvDestination->setCurrentIndex(f.Ui().lvDestination->model()->index(27, 0));
            f.Prompts().Enter(QStringLiteral("demo"));
            f.Window().Mapping().Keyboard().SetFixedValue();
        });
        add("Fixed Value of TIN Type", [](WindowFixture& f) {
            f.Ui().lvDestination->setCurrentIndex(f.Ui().lvDestination->model()->index(10, 0));
            f.Prompts().Enter(QStringLiteral("ein"));
            f.Window().Mapping().Keyboard().SetFixedValue();
        });
        add("Merge Field 4 into Field 1",
            [](WindowFixture& f) { f.Window().Mapping().lvSourceDragDrop(1, 4); });
        add("Remove Merge into Field 2",
            [](WindowFixture& f) { f.Window().Mapping().lvSourceDragDrop(2, 3); });
        add("Choose Form W-2C", [](WindowFixture& f) { ChooseForm(f.Window(), "W-2C"); });
        add("Decimal Implied", [](WindowFixture& f) { f.Window().Sources().rgDecimalClick(1); });
        add("Trace Off", [](WindowFixture& f) { f.Window().Sources().rgTraceClick(1); });
        add("Header Skip", [](WindowFixture& f) { f.Window().Sources().rgHeaderClick(1); });
        add("Reset Mapping", [](WindowFixture& f) {
            f.Prompts().Press(Button::Yes);
            Entry(f.Ui(), "popupResetMapping")->trigger();
        });
        add("Map by Name", [](WindowFixture& f) {
            f.Prompts().Press(Button::Yes);
            Entry(f.Ui(), "popupMapByName")->trigger();
        });
    }

    void EveryMappingChangeIsOneNamedStep()
    {
        QFETCH(QString, name);
        QFETCH(std::function<void(WindowFixture&)>, gesture);
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        fixture.LoadPayees();
        window.Mapping().lvDestinationDragDrop(0, 1);
        window.Mapping().lvSourceDragDrop(2, 3);
        Workspace& workspace = fixture.Work();
        QAction* undo = Entry(fixture.Ui(), "popupUndo");
        QAction* redo = Entry(fixture.Ui(), "popupRedo");

        const Shown before = Look(workspace);
        gesture(fixture);
        const Shown after = Look(workspace);
        QVERIFY(after != before);
        QCOMPARE(undo->text(), QStringLiteral("&Undo ") + name);
        QVERIFY(!redo->isEnabled());

        Press(&window, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(Look(workspace), before);
        QCOMPARE(redo->text(), QStringLiteral("&Redo ") + name);
        Press(&window, Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(Look(workspace), after);
        undo->trigger();
        QCOMPARE(Look(workspace), before);
        Press(&window, Qt::CTRL | Qt::Key_Y);
        QCOMPARE(Look(workspace), after);
        QCOMPARE(fixture.Ui().lvDestination->model()->index(11, 1).data().toString(),
                 QString::fromStdString(after.values[11]));
    }

    // Undo marks the mapping changed exactly when it differs from the map file last saved: Save
    // Map and the caption follow.
    void TheMappingIsChangedExactlyWhenItDiffersFromTheSavedMap()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        MainWindowUi& ui = fixture.Ui();
        window.Mapping().lvDestinationDragDrop(0, 1);
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("payees.MAP"));
        fixture.Prompts().Enter(map);
        window.MapFiles().sbSaveMapClick();
        QVERIFY(!ui.sbSaveMap->isEnabled());
        ChooseForm(window, "W-2C");
        QCOMPARE(window.windowTitle(), kCaption);
        QVERIFY(ui.sbSaveMap->isEnabled());

        QUndoStack& steps = window.Undo().Stack();
        steps.undo();
        QVERIFY(!ui.sbSaveMap->isEnabled());
        QVERIFY(!fixture.Work().MappingModified());
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (payees.MAP)"));
        steps.undo(); // the assignment made before the save
        QVERIFY(ui.sbSaveMap->isEnabled());
        steps.redo();
        QVERIFY(!ui.sbSaveMap->isEnabled());
        steps.redo();
        QVERIFY(ui.sbSaveMap->isEnabled());
        QCOMPARE(window.windowTitle(), kCaption);
    }

    // A changed field keeps the line it replaced, a deleted record its line and place; the red
    // disk shows exactly while the lines differ from the file as last saved.
    void SourceEditsAndDeletionsComeBackInTheirPlace()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path =
            fixture.WriteFile(QStringLiteral("three.csv"), "a,1\r\nb,2\r\nc,3\r\n");
        fixture.Locate(path);
        Workspace& workspace = fixture.Work();
        QUndoStack& steps = window.Undo().Stack();
        workspace.GoToRecord(2);
        fixture.Prompts()
            .Enter(QStringLiteral("20"))
            .Press(Button::Ok); // the first change's notice
        window.Mapping().lvSourceRightClick(RowCentre(ui.lvSource, 1));
        fixture.Prompts().Press(Button::Yes);
        window.Sources().sbDeleteSourceLineClick();
        QCOMPARE(workspace.Lines().Joined(), "a,1\r\nc,3\r\n");
        QCOMPARE(Entry(ui, "popupUndo")->text(), QStringLiteral("&Undo Delete Record 2"));

        steps.undo();
        QCOMPARE(workspace.Lines().Joined(), "a,1\r\nb,20\r\nc,3\r\n");
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("2"));
        QCOMPARE(ui.edSourceRecord->text(), QStringLiteral("b,20"));
        QCOMPARE(Entry(ui, "popupUndo")->text(),
                 QStringLiteral("&Undo Change Field 2 of Record 2"));
        QVERIFY(ui.edSourceFileSave->isVisible());
        steps.undo();
        QCOMPARE(workspace.Lines().Joined(), "a,1\r\nb,2\r\nc,3\r\n");
        QVERIFY(!ui.edSourceFileSave->isVisible());
        steps.redo();
        QVERIFY(ui.edSourceFileSave->isVisible());

        window.Sources().edSourceFileAltBtnClick(); // saved with the change
        QCOMPARE(WindowFixture::ReadFile(path), QByteArray("a,1\r\nb,20\r\nc,3\r\n"));
        steps.undo();
        QVERIFY(ui.edSourceFileSave->isVisible());
        steps.redo();
        QVERIFY(!ui.edSourceFileSave->isVisible());
        steps.redo();
        QCOMPARE(workspace.Lines().Joined(), "a,1\r\nc,3\r\n");
        QVERIFY(ui.edSourceFileSave->isVisible());
        QCOMPARE(fixture.Prompts().PendingAnswers(), 0u);
    }

    // Another source or map file starts a new history; a Header change that reloads the source
    // is a step of its own, on a history that begins with it.
    void LoadingAFileStartsANewHistory()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        QUndoStack& steps = window.Undo().Stack();
        window.Mapping().lvDestinationDragDrop(0, 1);
        QCOMPARE(steps.count(), 2); // the form and the assignment
        fixture.Locate(fixture.WriteFile(QStringLiteral("other.csv"), kPayees));
        QCOMPARE(steps.count(), 0);

        window.Mapping().lvDestinationDragDrop(0, 1);
        window.Sources().rgHeaderClick(1);
        QCOMPARE(steps.count(), 1);
        QCOMPARE(steps.undoText(), QStringLiteral("Header Skip"));
        steps.undo();
        QCOMPARE(fixture.Work().Header(), HeaderMode::Read);
        QCOMPARE(fixture.Work().RecordCount(), 4u);
        QCOMPARE(steps.count(), 1);

        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("other.MAP"));
        fixture.Prompts().Enter(map);
        window.MapFiles().sbSaveMapClick();
        QCOMPARE(steps.count(), 1);
        window.Mapping().lvDestinationDragDrop(1, 1);
        fixture.Prompts().Press(Button::No).Enter(map);
        window.MapFiles().sbOpenMapClick();
        QCOMPARE(steps.count(), 0);
        QVERIFY(!Entry(fixture.Ui(), "popupUndo")->isEnabled());
    }
};

QTEST_MAIN(UndoRedoTest)
#include "UndoRedoTest.moc"

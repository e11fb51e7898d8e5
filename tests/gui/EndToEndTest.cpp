// A user's first session through the real window: the example file, a form, mapping by drag and
// drop, saving the map, executing and saving the output, then a new start that reopens it all.
#include "MainWindowTestSupport.h"
#include "execute/ExecuteController.h"
#include "window/MappingController.h"

#include <QTest>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

const QByteArray kExpectedOutput =
    "\"John A Doe\",,,,,,,,,,SSN,123456789,,,,,150000.5,,0,,0,0,,0,0,,,\r\n"
    "\"John B Smith\",,,,,,,,,,SSN,123456780,,,,,3700.25,,0,,0,0,,0,0,,,\r\n"
    "\"Jane A Doe\",,,,,,,,,,SSN,321456789,,,,,4500,,0,,0,0,,0,0,,,\r\n"
    "\"Jane Dee Smith\",,,,,,,,,,SSN,321456780,,,,,16000,,0,,0,0,,0,0,,,\r\n";

} // namespace

class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void ExampleFileMappedSavedExecutedAndReopened()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        const QString example =
            QDir(fixture.Folders().example).filePath(QStringLiteral("EXAMPLE_SOURCE.TXT"));
        fixture.Locate(example);
        window.Sources().rgHeaderClick(1);
        ChooseForm(window, "1099-NEC");

        // Fields 1 to 3 merged into the name; TIN and amount dragged onto their rows.
        MappingController& mapping = window.Mapping();
        mapping.lvSourceDragDrop(2, 3);
        mapping.lvSourceDragDrop(1, 2);
        mapping.lvDestinationDragDrop(0, 1);
        mapping.lvDestinationDragDrop(11, 4);
        mapping.lvDestinationDragDrop(16, 9);
        MainWindowUi& ui = fixture.Ui();
        QCOMPARE(ui.lvDestination->model()->index(0, 1).data().toString(),
                 QStringLiteral("John A Doe"));
        QVERIFY(ui.sbSaveMap->isEnabled());

        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("example.MAP"));
        fixture.Prompts().Enter(map);
        window.MapFiles().sbSaveMapClick();
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (example.MAP)"));

        const QString output = QDir(fixture.Maps()).filePath(QStringLiteral("out.TXT"));
        window.Execution().SetMessageInterval(0);
        fixture.Prompts().Press(Button::Ok).Enter(output).Press(Button::Ok);
        window.Execution().bExecuteClick();
        QCOMPARE(WindowFixture::ReadFile(output), kExpectedOutput);
        QVERIFY(ui.bSaveOutput->isEnabled());
        QCOMPARE(fixture.Prompts().PendingAnswers(), 0u);

        QVERIFY(fixture.Close()); // nothing changed since saving: no question
        MainWindow& reopened = fixture.Restart();
        QCOMPARE(reopened.windowTitle(), kCaption + QStringLiteral(" (example.MAP)"));
        QCOMPARE(fixture.Ui().pnRecord->text(), QStringLiteral("1"));
        const QAbstractItemModel* rows = fixture.Ui().lvDestination->model();
        QCOMPARE(rows->index(0, 1).data().toString(), QStringLiteral("John A Doe"));
        QCOMPARE(rows->index(11, 2).data().toString(), QStringLiteral("4"));
        QCOMPARE(rows->index(16, 1).data().toString(), QStringLiteral("150000.5"));
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"

// Deleting records on the Source tab and saving the source file back.

#include "MainWindowTestSupport.h"
#include "io/FileIo.h"

#include <QDateTime>

using namespace impmap::gui;
using namespace impmap::gui::testing;

Q_DECLARE_METATYPE(impmap::gui::Button)

namespace {

const QByteArray kFive = "r1\r\nr2\r\nr3\r\nr4\r\nr5\r\n";

const AskedPrompt kDeleteQuestion = Message(
    QStringLiteral("Confirm"), QStringLiteral("Okay to delete\r\nthe selected source record?"),
    Icon::Question, {Button::Yes, Button::No}, Button::Yes);

AskedPrompt Beep()
{
    AskedPrompt beep;
    beep.kind = PromptKind::Beep;
    return beep;
}

} // namespace

class MainWindowRecordEditTest : public QObject
{
    Q_OBJECT

private slots:
    void DeletingAsksWithTheRecordBoxInRed()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        MainWindowUi& ui = fixture.Ui();
        fixture.Work().GoToRecord(2);
        fixture.Prompts().ClearAsked();
        const QPalette normal = ui.edSourceRecord->palette();
        QPalette during;
        fixture.Prompts().onMessage = [&] { during = ui.edSourceRecord->palette(); };

        fixture.Prompts().Press(Button::No);
        QTest::mouseClick(ui.sbDeleteSourceLine, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Asked(), (std::vector<AskedPrompt>{Beep(), kDeleteQuestion}));
        QCOMPARE(during.color(QPalette::Base), QColor(Qt::red));
        QCOMPARE(during.color(QPalette::Text), QColor(Qt::white));
        QCOMPARE(ui.edSourceRecord->palette(), normal);
        QCOMPARE(normal.color(QPalette::Base), normal.color(QPalette::Button));
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("5"));
        QVERIFY(!ui.edSourceFileSave->isVisible());

        fixture.Prompts().Press(Button::Yes);
        QTest::mouseClick(ui.sbDeleteSourceLine, Qt::LeftButton);
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("2"));
        QCOMPARE(ui.edSourceRecord->text(), QStringLiteral("r3"));
        QCOMPARE(ui.reSource->model()->index(1, 0).data().toString(), QStringLiteral("r3"));
        QVERIFY(ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.edSourceRecord->palette(), normal);
    }

    void DeletingTheLastRecordShowsTheNewLastOne()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        fixture.Window().Sources().sbLastClick();
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();
        QCOMPARE(fixture.Ui().pnRecord->text(), QStringLiteral("4"));
        QCOMPARE(fixture.Ui().edSourceRecord->text(), QStringLiteral("r4"));
        QVERIFY(!fixture.Ui().sbNext->isEnabled());
    }

    void DeletingTheOnlyRecordEmptiesTheDisplay()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("one.txt"), "a,b\r\n"));
        MainWindowUi& ui = fixture.Ui();
        ui.tabs->setCurrentWidget(ui.tabSource);
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();

        QVERIFY(!ui.tabs->isTabVisible(ui.tabs->indexOf(ui.tabSource)));
        QCOMPARE(ui.tabs->currentWidget(), ui.tabMapping);
        QCOMPARE(ui.pnRecord->text(), QString());
        QCOMPARE(ui.pnRecords->text(), QString());
        QCOMPARE(ui.lbRec->text(), QString());
        QCOMPARE(ui.edSourceRecord->text(), QString());
        QCOMPARE(ui.lvSource->model()->rowCount(), 0);
        QVERIFY(!ui.sbDeleteSourceLine->isEnabled());
        QVERIFY(ui.edSourceFileSave->isVisible());
        QVERIFY(!ui.bExecute->isEnabled());
    }

    void SavingWritesTheRecordsBack_data()
    {
        QTest::addColumn<bool>("skipHeader");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("Header Read") << false << QByteArray("r1\r\nr2\r\nr4\r\nr5\r\n");
        QTest::newRow("Header Skip: the header line first")
            << true << QByteArray("r1\r\nr2\r\nr3\r\nr5\r\n");
    }

    void SavingWritesTheRecordsBack()
    {
        QFETCH(bool, skipHeader);
        QFETCH(QByteArray, written);
        WindowFixture fixture;
        fixture.Start();
        const QString path = fixture.WriteFile(QStringLiteral("five.txt"), kFive);
        fixture.Locate(path);
        MainWindowUi& ui = fixture.Ui();
        if (skipHeader)
            QTest::mouseClick(ui.rgHeaderButtons->button(1), Qt::LeftButton);
        fixture.Work().GoToRecord(3);
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();

        ui.edSourceFileSave->trigger();
        QCOMPARE(WindowFixture::ReadFile(path), written);
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.pnRecords->text(), skipHeader ? QStringLiteral("3") : QStringLiteral("4"));
        QCOMPARE(ui.reSource->model()->index(0, 0).data().toString(),
                 skipHeader ? QStringLiteral("r2") : QStringLiteral("r1"));
    }

    // Another program changed the file since it was loaded: Save Source asks whether to
    // overwrite it, reload it (dropping the edits) or cancel. A file only touched is saved at once.
    void ASourceChangedOnTheDiskIsNoticedBeforeSaving_data()
    {
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<bool>("touchedOnly");
        QTest::addColumn<Button>("answer");
        const QByteArray appended = kFive + "r6\r\n";
        const QByteArray sameSize = "x1\r\nr2\r\nr3\r\nr4\r\nr5\r\n";
        QTest::newRow("line appended, Overwrite") << appended << false << Button::Yes;
        QTest::newRow("line appended, Reload") << appended << false << Button::No;
        QTest::newRow("line appended, Cancel") << appended << false << Button::Cancel;
        QTest::newRow("same size, other bytes, Overwrite") << sameSize << false << Button::Yes;
        QTest::newRow("touched only") << kFive << true << Button::None;
    }

    void ASourceChangedOnTheDiskIsNoticedBeforeSaving()
    {
        QFETCH(QByteArray, onDisk);
        QFETCH(bool, touchedOnly);
        QFETCH(Button, answer);
        WindowFixture fixture;
        fixture.Start();
        const QString path = fixture.WriteFile(QStringLiteral("five.txt"), kFive);
        fixture.Locate(path);
        MainWindowUi& ui = fixture.Ui();
        fixture.Work().GoToRecord(3);
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();
        fixture.Prompts().ClearAsked();
        // Another program writes the file, a few seconds later.
        fixture.WriteFile(QStringLiteral("five.txt"), onDisk);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
        file.close();

        if (answer != Button::None)
            fixture.Prompts().Press(answer);
        ui.edSourceFileSave->trigger();
        const QByteArray edited = "r1\r\nr2\r\nr4\r\nr5\r\n";
        if (touchedOnly) {
            QVERIFY(fixture.Prompts().Asked().empty());
            QCOMPARE(WindowFixture::ReadFile(path), edited);
            return;
        }
        const AskedPrompt question = AskedMessage(
            {QStringLiteral("Save Source"),
             path + QStringLiteral(" was changed by another program since it was loaded.\r\n"
                                   "Overwrite it with the records shown here, reload it (your "
                                   "changes are dropped), or cancel?"),
             Icon::Warning,
             {Button::Yes, Button::No, Button::Cancel},
             Button::Cancel,
             false,
             {QStringLiteral("&Overwrite"), QStringLiteral("&Reload"), QString()}});
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{question});
        QCOMPARE(WindowFixture::ReadFile(path), answer == Button::Yes ? edited : onDisk);
        QCOMPARE(ui.edSourceFileSave->isVisible(), answer == Button::Cancel);
        const int records = answer == Button::Yes ? 4 : (answer == Button::No ? 6 : 4);
        QCOMPARE(ui.pnRecords->text(), QString::number(records));

        // Once saved or reloaded, the next save asks nothing.
        if (answer != Button::Cancel) {
            fixture.Prompts().ClearAsked();
            fixture.Prompts().Press(Button::Yes);
            fixture.Window().Sources().sbDeleteSourceLineClick();
            fixture.Prompts().ClearAsked();
            ui.edSourceFileSave->trigger();
            QVERIFY(fixture.Prompts().Asked().empty());
            QVERIFY(!ui.edSourceFileSave->isVisible());
        }
    }

    void ASaveThatFailsIsReportedAndTheEditsStayUnsaved()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        MainWindowUi& ui = fixture.Ui();
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();
        const QString unwritable =
            QDir(fixture.Home()).filePath(QStringLiteral("no/such/five.txt"));
        ui.edSourceFile->selectAll();
        QTest::keyClicks(ui.edSourceFile, unwritable);
        fixture.Prompts().ClearAsked();

        std::string reason;
        try {
            impmap::WriteFileAtomically(unwritable.toStdString(), "x");
        } catch (const impmap::FileError& error) {
            reason = error.what();
        }
        QVERIFY(!reason.empty());
        fixture.Prompts().Press(Button::Ok);
        fixture.Window().Sources().edSourceFileAltBtnClick();
        QCOMPARE(fixture.Prompts().Asked(),
                 std::vector<AskedPrompt>{ErrorBox(QString::fromStdString(reason) + u'.')});
        QVERIFY(ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
    }
};

QTEST_MAIN(MainWindowRecordEditTest)
#include "MainWindowRecordEditTest.moc"

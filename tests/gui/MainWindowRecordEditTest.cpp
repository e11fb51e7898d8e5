// Deleting records on the Source tab and saving the source file back.

#include "MainWindowTestSupport.h"
#include "io/FileIo.h"

using namespace impmap::gui;
using namespace impmap::gui::testing;

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
        fixture.Window().sbLastClick();
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().sbDeleteSourceLineClick();
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
        fixture.Window().sbDeleteSourceLineClick();

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
        fixture.Window().sbDeleteSourceLineClick();

        ui.edSourceFileSave->trigger();
        QCOMPARE(WindowFixture::ReadFile(path), written);
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.pnRecords->text(), skipHeader ? QStringLiteral("3") : QStringLiteral("4"));
        QCOMPARE(ui.reSource->model()->index(0, 0).data().toString(),
                 skipHeader ? QStringLiteral("r2") : QStringLiteral("r1"));
    }

    void ASaveThatFailsIsReportedAndTheEditsStayUnsaved()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        MainWindowUi& ui = fixture.Ui();
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().sbDeleteSourceLineClick();
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
        fixture.Window().edSourceFileAltBtnClick();
        QCOMPARE(fixture.Prompts().Asked(),
                 std::vector<AskedPrompt>{ErrorBox(QString::fromStdString(reason) + u'.')});
        QVERIFY(ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
    }
};

QTEST_MAIN(MainWindowRecordEditTest)
#include "MainWindowRecordEditTest.moc"

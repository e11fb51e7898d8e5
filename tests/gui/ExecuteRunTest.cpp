#include "ExecuteFixture.h"

#include <QTimer>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

const QString kNotSaved = QStringLiteral(
    "Output has not been saved!\r\n\r\nWhen you are ready to save the results, click \r\n\r\n"
    "\"Save Output\"\r\n\r\n shown at the bottom of the main window.");

const QString kFailed = QStringLiteral("Execution failed!\r\n\r\n");

QByteArray BadPointOn(int record, int n)
{
    return n == record ? "Payee " + QByteArray::number(n) + ",100000002,2.50,abc\r\n"
                       : GoodRecord(n);
}

} // namespace

class ExecuteRunTest : public QObject
{
    Q_OBJECT

private slots:
    void CompletedRunIsSavedAndTheShownRecordComesBack()
    {
        ExecuteFixture f(Records(3));
        f.workspace.GoToRecord(2);
        const QString path = f.dir.filePath(QStringLiteral("OUT.TXT"));
        f.prompts.Enter(path).Press(Button::Ok);
        f.controller->bExecuteClick();

        const QString folder = f.dir.path() + u'/';
        VerifyAsked(f.prompts,
                    {SavePrompt(f.dir.path(), QStringLiteral("PAYEES1099MISC")),
                     InstructionsPrompt(GeneralInstructions(QStringLiteral("OUT.TXT"), folder,
                                                            QStringLiteral("1099-MISC")))});
        QCOMPARE(ExecuteFixture::ReadFile(path),
                 GoodLine(1) + "\r\n" + GoodLine(2) + "\r\n" + GoodLine(3) + "\r\n");
        QCOMPARE(f.settings.TextDirectory(), folder);
        QCOMPARE(f.workspace.CurrentRecord(), 2L);
        QVERIFY(f.OutputTabVisible());
        QVERIFY(f.ui.bSaveOutput->isEnabled());
        QCOMPARE(f.OutputRows(), 3);
        QCOMPARE(f.ui.reOutput->model()->index(2, 0).data().toString(),
                 QString::fromLatin1(GoodLine(3)));
        QVERIFY(!f.Log().isVisible());
        f.VerifyRestored();
    }

    void RecordsBrokenInsideQuotesAreJoinedOnRequest_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("sourceModified");
        const QString record2 = QString::fromLatin1(GoodLine(2));
        QTest::newRow("yes joins them") << static_cast<int>(Button::Yes)
                                        << QStringList{QString::fromLatin1(GoodLine(1)), record2,
                                                       QString::fromLatin1(GoodLine(3))}
                                        << true;
        QTest::newRow("no runs them as they are")
            << static_cast<int>(Button::No)
            << QStringList{QString::fromLatin1(GoodLine(1)),
                           QStringLiteral(
                               "Payee,,,,,,,,,,N/A,,,,,,,0,0,0,0,0,0,,0,0,0,0,0,0,0,,0,0,"
                               ",0,0,,,"),
                           QStringLiteral("\"2,100000002,2.50,12\",,,,,,,,,,N/A,,,,,,,0,0,0,0,0,0,,"
                                          "0,0,0,0,0,0,0,,0,0,,0,0,,,"),
                           QString::fromLatin1(GoodLine(3))}
            << false;
        QTest::newRow("cancel runs nothing")
            << static_cast<int>(Button::Cancel) << QStringList{} << false;
    }

    void RecordsBrokenInsideQuotesAreJoinedOnRequest()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, lines);
        QFETCH(bool, sourceModified);
        const QByteArray bytes = Records(3, [](int n) {
            return n == 2 ? QByteArray("\"Payee\r\n2\",100000002,2.50,12\r\n") : GoodRecord(n);
        });
        ExecuteFixture f(bytes);
        const auto button = static_cast<Button>(answer);
        f.prompts.Press(button);
        if (button != Button::Cancel)
            f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        const QString question = QStringLiteral(
            "1 record ends inside a quoted value that the next line continues (a cell with a "
            "line break?): record 2.\r\nEach line would be executed as a record of its own. "
            "Join it before executing?");
        std::vector<AskedPrompt> asked = {AskedMessage({QStringLiteral("Confirm"),
                                                        question,
                                                        Icon::Question,
                                                        {Button::Yes, Button::No, Button::Cancel},
                                                        Button::Yes,
                                                        false})};
        if (button != Button::Cancel) {
            asked.push_back(SavePrompt(f.dir.path(), QStringLiteral("PAYEES1099MISC")));
            asked.push_back(BeepPrompt());
            asked.push_back(InformationPrompt(kNotSaved));
        }
        VerifyAsked(f.prompts, asked);
        QStringList output;
        for (size_t i = 0; i < f.workspace.OutputLines().size(); ++i)
            output << QString::fromLatin1(f.workspace.OutputLines()[i]);
        QCOMPARE(output, lines);
        QCOMPARE(f.workspace.SourceModified(), sourceModified);
        // The file itself is never rewritten by the question.
        QCOMPARE(ExecuteFixture::ReadFile(f.sourcePath), bytes);
    }

    // The record shown after a run says, in its TIN Type row, what the run wrote for it; and
    // which records were looked at before changes nothing in the output.
    void TheShownRecordSaysTheTinTypeTheRunWrote_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("fixed");
        for (const char* fixed : {"", "SSN"}) {
            for (int shown = 1; shown <= 4; ++shown)
                QTest::addRow("record %d fixed '%s'", shown, fixed)
                    << shown << QString::fromLatin1(fixed);
        }
    }

    void TheShownRecordSaysTheTinTypeTheRunWrote()
    {
        QFETCH(int, shown);
        QFETCH(QString, fixed);
        const QByteArray source = kHeaderLine + "Payee 1,100000001,1.50,12\r\n"
                                                "Payee 2,12-3456789,2.50,12\r\n"
                                                "Payee 3,,3.50,12\r\n"
                                                "Payee 4,123-45-6789,4.50,12\r\n";
        ExecuteFixture f(source);
        const int tinType = f.RowOf("TIN Type");
        if (!fixed.isEmpty())
            f.workspace.SetFixedValue(tinType, fixed.toStdString());
        // The records looked at before the run are the other way round from the one shown.
        for (int r = 4; r >= 1; --r)
            f.workspace.GoToRecord(r);
        f.workspace.GoToRecord(shown);
        const QString path = f.dir.filePath(QStringLiteral("OUT.TXT"));
        f.prompts.Enter(path).Press(Button::Ok);
        f.controller->bExecuteClick();

        const QList<QByteArray> lines = ExecuteFixture::ReadFile(path).split('\n');
        QCOMPARE(lines.size(), 5); // four lines and the empty text after the last line end
        const QStringList written = {QStringLiteral("N/A"), QStringLiteral("EIN"),
                                     QStringLiteral("N/A"), QStringLiteral("SSN")};
        for (int r = 1; r <= 4; ++r) {
            const QString expected = r == 1 && !fixed.isEmpty() ? fixed : written[r - 1];
            QCOMPARE(QString::fromLatin1(lines[r - 1].split(',').value(10)), expected);
        }
        QCOMPARE(f.workspace.CurrentRecord(), static_cast<long>(shown));
        const QAbstractItemModel* rows = f.ui.lvDestination->model();
        QCOMPARE(rows->index(tinType, DestinationRowsModel::kValue).data().toString(),
                 QString::fromLatin1(lines[shown - 1].split(',').value(10)));
        f.VerifyRestored();
    }

    void DecliningTheSaveLeavesTheOutputForLater()
    {
        ExecuteFixture f(Records(2));
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(f.prompts, {SavePrompt(f.dir.path(), QStringLiteral("PAYEES1099MISC")),
                                BeepPrompt(), InformationPrompt(kNotSaved)});
        QVERIFY(f.OutputTabVisible());
        QVERIFY(f.ui.bSaveOutput->isEnabled());
        f.VerifyRestored();

        // Save Output twice, each with its instructions; a cancelled dialog says nothing.
        const QString first = f.dir.filePath(QStringLiteral("A.TXT"));
        const QString second = f.dir.filePath(QStringLiteral("B.TXT"));
        f.prompts.ClearAsked();
        f.prompts.Enter(first).Press(Button::Ok).Enter(second).Press(Button::Ok).Cancel();
        QTest::mouseClick(f.ui.bSaveOutput, Qt::LeftButton);
        QTest::mouseClick(f.ui.bSaveOutput, Qt::LeftButton);
        QTest::mouseClick(f.ui.bSaveOutput, Qt::LeftButton);
        QCOMPARE(f.prompts.Asked().size(), size_t{5});
        QCOMPARE(f.prompts.Asked()[3].text,
                 GeneralInstructions("B.TXT", f.dir.path() + u'/', "1099-MISC"));
        const QByteArray bytes = GoodLine(1) + "\r\n" + GoodLine(2) + "\r\n";
        QCOMPARE(ExecuteFixture::ReadFile(first), bytes);
        QCOMPARE(ExecuteFixture::ReadFile(second), bytes);
    }

    void TheWindowIsHiddenWhileTheRunGoesOn()
    {
        ExecuteFixture f(Records(3));
        f.workspace.SetOutput({"an earlier run"});
        f.Log().AddLine(QStringLiteral("an earlier warning"));
        bool checkedLoop = false;
        QTimer::singleShot(0, [&] {
            checkedLoop = true;
            QVERIFY(f.controller->Busy());
            QVERIFY(f.workspace.Executing());
            QVERIFY(!f.window.isVisible());
            QVERIFY(f.ui.lvSource->isHidden() && f.ui.lvDestination->isHidden());
            QVERIFY(f.ui.sbNext->isHidden() && f.ui.sbSourceNext->isHidden());
            QVERIFY(f.ui.bExecute->isHidden() && f.ui.bTools->isHidden() && f.ui.bHelp->isHidden());
            QVERIFY(!f.ui.coForm->isEnabled() && !f.ui.cbDelimiter->isEnabled());
            QVERIFY(!f.ui.edSourceFile->isEnabled() && !f.ui.rgHeader->isEnabled());
            QVERIFY(f.Dialog().isVisible() && f.Dialog().Running() && f.Dialog().Animating());
            QVERIFY(f.Dialog().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QVERIFY(f.workspace.OutputLines().empty());
            QCOMPARE(f.Log().LineCount(), 0);
        });
        // At the save dialog the loop is over: the dialog stays up, no longer running.
        f.prompts.onSave = [&] {
            QVERIFY(f.controller->Busy());
            QVERIFY(!f.window.isVisible());
            QVERIFY(f.Dialog().isVisible() && !f.Dialog().Running() && !f.Dialog().Animating());
            QCOMPARE(f.Dialog().PositionText(), QStringLiteral("3 of 3"));
            QCOMPARE(f.workspace.OutputLines().size(), size_t{3});
        };
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        QVERIFY(checkedLoop);
        f.VerifyRestored();
    }

    // The window comes back from a run as it was (maximised), also when the window manager
    // forgot the hidden window's state meanwhile.
    void AMaximisedWindowComesBackMaximised()
    {
        ExecuteFixture f(Records(3));
        f.window.showMaximized();
        QTRY_VERIFY(f.window.isMaximized());
        f.prompts.onSave = [&] { f.window.setWindowState(Qt::WindowNoState); };
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        f.VerifyRestored();
        QVERIFY(f.window.isMaximized());
    }

    void WarningsAreShownInTheLogAfterTheRun()
    {
        ExecuteFixture f(Records(
            5, [](int n) { return n % 2 == 0 ? QByteArray("P,12-34,1,2\r\n") : GoodRecord(n); }));
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(f.prompts, {SavePrompt(f.dir.path(), QStringLiteral("PAYEES1099MISC")),
                                BeepPrompt(), InformationPrompt(kNotSaved), BeepPrompt()});
        QVERIFY(f.Log().isVisible());
        QCOMPARE(f.Log().Text(),
                 QStringLiteral("Record 2: Bad TIN 000012-34 (assigned to 000000000)\n"
                                "Record 4: Bad TIN 000012-34 (assigned to 000000000)\n"
                                "\nEnd of Warning Log\n"));
        QCOMPARE(f.Log().StatusText(), QStringLiteral(" TOTAL WARNINGS: 2"));
        QCOMPARE(f.OutputRows(), 5);
        f.VerifyRestored();
    }

    void FailureOnTheHeaderRecordSuggestsSkippingIt()
    {
        ExecuteFixture f(Records(3), impmap::HeaderMode::Read);
        f.prompts.Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(f.prompts,
                    {ErrorPrompt(kFailed + QStringLiteral("Destination field \"USPS Delivery "
                                                          "Point\" maps to an invalid US Postal "
                                                          "Service Delivery Point value \"DP\"\r\n"
                                                          "\r\nTry skipping the header (see the "
                                                          "\"Header\" group above) and executing "
                                                          "your mapping again."))});
        QCOMPARE(f.workspace.CurrentRecord(), 1L);
        VerifyFailingRow(f, f.RowOf("USPS Delivery Point"));
        f.VerifyRestored();
    }

    void FailureOnALaterRecordLeavesItShown()
    {
        ExecuteFixture f(Records(3, [](int n) { return BadPointOn(2, n); }));
        // The output of an earlier run is cleared by the failed one.
        f.workspace.SetOutput({"an earlier run"});
        QVERIFY(f.OutputTabVisible());
        f.prompts.Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(
            f.prompts,
            {ErrorPrompt(kFailed + QStringLiteral("Destination field \"USPS Delivery "
                                                  "Point\" maps to an invalid US Postal "
                                                  "Service Delivery Point value \"abc\""))});
        QCOMPARE(f.workspace.CurrentRecord(), 2L);
        QCOMPARE(f.workspace.SourceFields().at(0), std::string("Payee 2"));
        VerifyFailingRow(f, f.RowOf("USPS Delivery Point"));
        QVERIFY(!f.OutputTabVisible());
        QVERIFY(!f.ui.bSaveOutput->isEnabled());
        QCOMPARE(f.OutputRows(), 0);
        f.VerifyRestored();
    }

    void NothingMappedFailsBeforeAnythingChanges()
    {
        ExecuteFixture f(Records(2));
        f.workspace.ResetMapping();
        f.workspace.SetOutput({"an earlier run"});
        f.prompts.Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(f.prompts, {ErrorPrompt(kFailed + "You haven't mapped anything.")});
        QCOMPARE(f.workspace.OutputLines().size(), size_t{1});
        QVERIFY(!f.Dialog().isVisible());
        f.VerifyRestored();
    }

    void NullRecordsAreCounted_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<int>("lines");
        const QString skipped = QStringLiteral("\r\nNULL records are skipped during execution.");
        QTest::newRow("one") << QByteArray(kHeaderLine + GoodRecord(1) + "\r\n" + GoodRecord(3))
                             << "Your source file contains 1 NULL record." + skipped << 2;
        QTest::newRow("two") << QByteArray(kHeaderLine + GoodRecord(1) + "\r\n\r\n" + GoodRecord(4))
                             << "Your source file contains 2 NULL records." + skipped << 2;
        QTest::newRow("rows of empty cells")
            << QByteArray(kHeaderLine + GoodRecord(1) + ",,,\r\n\"\", ,\t,\r\n" + GoodRecord(4))
            << "Your source file contains 2 NULL records." + skipped << 2;
    }

    void NullRecordsAreCounted()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, notice);
        QFETCH(int, lines);
        ExecuteFixture f(source);
        f.workspace.GoToRecord(2);
        f.prompts.Press(Button::Ok).Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(f.prompts, {BeepPrompt(), InformationPrompt(notice),
                                SavePrompt(f.dir.path(), QStringLiteral("PAYEES1099MISC")),
                                BeepPrompt(), InformationPrompt(kNotSaved)});
        QCOMPARE(f.OutputRows(), lines);
        f.VerifyRestored();
    }

    void OnlyNullRecordsEndWithoutOutput()
    {
        ExecuteFixture f(Records(1));
        ExecuteFixture::WriteFile(f.sourcePath, kHeaderLine + "\r\n");
        f.workspace.OpenSource();
        f.prompts.Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(f.prompts, {BeepPrompt(), InformationPrompt(QStringLiteral(
                                                  "Your source file contains 1 NULL record.\r\n"
                                                  "NULL records are skipped during "
                                                  "execution."))});
        QVERIFY(!f.OutputTabVisible());
        f.VerifyRestored();
    }

    void FailedSaveEndsTheRunButKeepsTheOutput()
    {
        ExecuteFixture f(Records(2));
        const QString path = f.dir.filePath(QStringLiteral("LOCKED.TXT"));
        ExecuteFixture::WriteFile(path, "old\r\n");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        f.prompts.Enter(path).Press(Button::Ok);
        f.controller->bExecuteClick();
        VerifyAsked(
            f.prompts,
            {SavePrompt(f.dir.path(), QStringLiteral("PAYEES1099MISC")),
             ErrorPrompt(
                 QStringLiteral("Cannot create file \"%1\". Permission denied.").arg(path))});
        QCOMPARE(ExecuteFixture::ReadFile(path), QByteArray("old\r\n"));
        QVERIFY(f.OutputTabVisible());
        QVERIFY(f.ui.bSaveOutput->isEnabled());
        f.VerifyRestored();
    }

private:
    static void VerifyFailingRow(ExecuteFixture& f, int row)
    {
        const QModelIndex current = f.ui.lvDestination->currentIndex();
        QCOMPARE(current.row(), row);
        QCOMPARE(f.ui.lvDestination->selectionModel()->selectedRows(0),
                 QModelIndexList{current.siblingAtColumn(0)});
        QCOMPARE(f.window.focusWidget(), f.ui.lvDestination);
    }
};

QTEST_MAIN(ExecuteRunTest)
#include "ExecuteRunTest.moc"

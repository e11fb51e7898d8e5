// Moving between records: the buttons on both tabs, the keys (not while the source file box has
// the focus), Go to with its two errors, a click in the Source view, and the record panes.

#include "MainWindowTestSupport.h"

#include <QApplication>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

// Records 1 to 5, each a single field "rN".
const QByteArray kFive = "r1\r\nr2\r\nr3\r\nr4\r\nr5\r\n";

struct Shown
{
    QString record;
    bool first, previous, next, last;
};

void VerifyShown(MainWindowUi& ui, const Shown& expected)
{
    QCOMPARE(ui.pnRecord->text(), expected.record);
    QCOMPARE(ui.lbRec->text(), expected.record);
    QCOMPARE(ui.edSourceRecord->text(), QStringLiteral("r") + expected.record);
    QCOMPARE(ui.reSource->currentIndex().row(), expected.record.toInt() - 1);
    const std::array<bool, 4> enabled{expected.first, expected.previous, expected.next,
                                      expected.last};
    const std::array<QToolButton*, 4> mapping{ui.sbFirst, ui.sbPrevious, ui.sbNext, ui.sbLast};
    const std::array<QToolButton*, 4> source{ui.sbSourceFirst, ui.sbSourcePrevious, ui.sbSourceNext,
                                             ui.sbSourceLast};
    for (size_t i = 0; i < 4; ++i) {
        QCOMPARE(mapping[i]->isEnabled(), enabled[i]);
        QCOMPARE(source[i]->isEnabled(), enabled[i]);
    }
}

AskedPrompt GoToBox(const QString& initial)
{
    AskedPrompt prompt;
    prompt.kind = PromptKind::InputText;
    prompt.title = QStringLiteral("Go to ...");
    prompt.text = QStringLiteral("Record number");
    prompt.initial = initial;
    return prompt;
}

} // namespace

class MainWindowNavigationTest : public QObject
{
    Q_OBJECT

private slots:
    void ButtonsOnBothTabsMoveAndMarkTheMappingChanged()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        ChooseForm(fixture.Window(), "1099-NEC");
        MainWindowUi& ui = fixture.Ui();
        VerifyShown(ui, {"1", false, false, true, true});

        QTest::mouseClick(ui.sbNext, Qt::LeftButton);
        VerifyShown(ui, {"2", true, true, true, true});
        QTest::mouseClick(ui.sbSourceLast, Qt::LeftButton);
        VerifyShown(ui, {"5", true, true, false, false});
        QTest::mouseClick(ui.sbSourcePrevious, Qt::LeftButton);
        VerifyShown(ui, {"4", true, true, true, true});
        QTest::mouseClick(ui.sbFirst, Qt::LeftButton);
        VerifyShown(ui, {"1", false, false, true, true});

        // Saving clears the changed state; one step sets it again.
        fixture.Prompts().Enter(QDir(fixture.Maps()).filePath(QStringLiteral("five.MAP")));
        fixture.Window().MapFiles().sbSaveMapClick();
        QVERIFY(!ui.sbSaveMap->isEnabled());
        fixture.Window().Sources().sbNextClick();
        QVERIFY(ui.sbSaveMap->isEnabled());
    }

    void PanesAndButtonsCarryHintsWhileThereAreRecords()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const std::array<QToolButton*, 8> buttons{
            ui.sbFirst,       ui.sbPrevious,       ui.sbNext,       ui.sbLast,
            ui.sbSourceFirst, ui.sbSourcePrevious, ui.sbSourceNext, ui.sbSourceLast};
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        const QStringList hints{"First record", "Previous record", "Next record", "Last record"};
        for (size_t i = 0; i < buttons.size(); ++i)
            QCOMPARE(buttons[i]->toolTip(), hints[static_cast<int>(i % 4)]);
        QCOMPARE(ui.pnRecord->toolTip(), QStringLiteral("Current source record"));
        QCOMPARE(ui.pnRecords->toolTip(), QStringLiteral("Total source records"));
        QCOMPARE(ui.pnRecord->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(ui.lbRecord->cursor().shape(), Qt::PointingHandCursor);

        // An empty file is refused.
        fixture.Prompts()
            .Enter(fixture.WriteFile(QStringLiteral("empty.txt"), QByteArray()))
            .Press(Button::Ok);
        fixture.Window().Sources().edSourceFileButtonClick();
        for (QToolButton* button : buttons)
            QCOMPARE(button->toolTip(), QString());
        QCOMPARE(ui.pnRecord->text(), QString());
        QCOMPARE(ui.pnRecords->text(), QString());
        QCOMPARE(ui.pnRecord->toolTip(), QString());
        QCOMPARE(ui.pnRecords->toolTip(), QString());
        QCOMPARE(ui.pnRecord->cursor().shape(), Qt::ArrowCursor);
    }

    void KeysActAsTheButtons_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Page Down") << 2 << int(Qt::Key_PageDown) << "3";
        QTest::newRow("Page Up") << 2 << int(Qt::Key_PageUp) << "1";
        QTest::newRow("Home") << 4 << int(Qt::Key_Home) << "1";
        QTest::newRow("End") << 2 << int(Qt::Key_End) << "5";
        QTest::newRow("Page Down on the last record") << 5 << int(Qt::Key_PageDown) << "5";
        QTest::newRow("Home on the first record") << 1 << int(Qt::Key_Home) << "1";
    }

    void KeysActAsTheButtons()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(QString, shown);
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        ChooseForm(fixture.Window(), "1099-NEC");
        MainWindowUi& ui = fixture.Ui();
        fixture.Work().GoToRecord(start);
        fixture.Prompts().Enter(QDir(fixture.Maps()).filePath(QStringLiteral("five.MAP")));
        fixture.Window().MapFiles().sbSaveMapClick();
        ui.lvDestination->setCurrentIndex(ui.lvDestination->model()->index(5, 0));

        QTest::keyClick(ui.lvDestination, Qt::Key(key));
        QCOMPARE(ui.pnRecord->text(), shown);
        // The key is consumed and the mapping is marked changed even without a move.
        QCOMPARE(ui.lvDestination->currentIndex().row(), 5);
        QVERIFY(ui.sbSaveMap->isEnabled());
    }

    void KeysStayWithTheSourceFileBoxWhileItHasTheFocus()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        MainWindowUi& ui = fixture.Ui();
        fixture.Work().GoToRecord(3);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ui.edSourceFile->setFocus();
        QCOMPARE(QApplication::focusWidget(), ui.edSourceFile);
        ui.edSourceFile->setCursorPosition(3);

        QTest::keyClick(ui.edSourceFile, Qt::Key_Home);
        QCOMPARE(ui.edSourceFile->cursorPosition(), 0);
        QTest::keyClick(ui.edSourceFile, Qt::Key_End);
        QCOMPARE(ui.edSourceFile->cursorPosition(), ui.edSourceFile->text().size());
        QTest::keyClick(ui.edSourceFile, Qt::Key_PageDown);
        QTest::keyClick(ui.edSourceFile, Qt::Key_PageUp);
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("3"));

        ui.lvSource->setFocus();
        QTest::keyClick(ui.lvSource, Qt::Key_Home);
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("1"));
    }

    // Keys with Ctrl are not the window's: they reach the focused view, move no record and
    // leave the mapping unchanged.
    void CtrlKeysActOnTheFocusedView_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("currentLine");
        QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << 0;
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << 4;
    }

    void CtrlKeysActOnTheFocusedView()
    {
        QFETCH(int, key);
        QFETCH(int, currentLine);
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        ChooseForm(fixture.Window(), "1099-NEC");
        MainWindowUi& ui = fixture.Ui();
        fixture.Work().GoToRecord(3);
        fixture.Prompts().Enter(QDir(fixture.Maps()).filePath(QStringLiteral("five.MAP")));
        fixture.Window().MapFiles().sbSaveMapClick();
        ui.reSource->setCurrentIndex(ui.reSource->model()->index(2, 0));

        QTest::keyClick(ui.reSource, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(ui.reSource->currentIndex().row(), currentLine);
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("3"));
        QVERIFY(!fixture.Work().MappingModified());
        QVERIFY(!ui.sbSaveMap->isEnabled());
    }

    void GoToAsksForARecordNumber()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        MainWindowUi& ui = fixture.Ui();
        fixture.Work().GoToRecord(2);
        fixture.Prompts().ClearAsked();

        fixture.Prompts().Enter(QStringLiteral(" 4 "));
        QTest::mouseClick(ui.pnRecord, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{GoToBox("2")});
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("4"));

        fixture.Prompts().Cancel();
        QTest::mouseClick(ui.lbRecord, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Last(), GoToBox("4"));
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("4"));
        // Go to does not mark the mapping changed (no form: Save Map stays off anyway).
        QVERIFY(!ui.sbSaveMap->isEnabled());
    }

    void GoToRejectsBadAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("error");
        const QString notAcceptable = QStringLiteral("Value is not acceptable.");
        QTest::newRow("0") << "0" << notAcceptable;
        QTest::newRow("-3") << "-3" << notAcceptable;
        QTest::newRow("abc") << "abc" << notAcceptable;
        QTest::newRow("empty") << "" << notAcceptable;
        QTest::newRow("one past the end") << "6" << QStringLiteral("Exceeds end of file.");
    }

    void GoToRejectsBadAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(QString, error);
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        fixture.Work().GoToRecord(3);
        fixture.Prompts().ClearAsked();

        fixture.Prompts().Enter(answer).Press(Button::Ok);
        fixture.Window().Sources().pnRecordClick();
        QCOMPARE(fixture.Prompts().Asked(),
                 (std::vector<AskedPrompt>{GoToBox("3"), ErrorBox(error)}));
        QCOMPARE(fixture.Ui().pnRecord->text(), QStringLiteral("3"));
    }

    void GoToNeedsTwoRecords()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Window().Sources().pnRecordClick();
        fixture.Locate(fixture.WriteFile(QStringLiteral("one.txt"), "only\r\n"));
        fixture.Prompts().ClearAsked();
        fixture.Window().Sources().pnRecordClick();
        QVERIFY(fixture.Prompts().Asked().empty());
        for (QToolButton* button : {fixture.Ui().sbFirst, fixture.Ui().sbPrevious,
                                    fixture.Ui().sbNext, fixture.Ui().sbLast})
            QVERIFY(!button->isEnabled());
    }

    void AClickInTheSourceViewShowsThatRecord()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("five.txt"), kFive));
        MainWindowUi& ui = fixture.Ui();
        ui.tabs->setCurrentWidget(ui.tabSource);
        QListView* view = ui.reSource;
        QCOMPARE(view->model()->rowCount(), 5);
        QCOMPARE(view->model()->index(3, 0).data().toString(), QStringLiteral("r4"));

        const QRect line = view->visualRect(view->model()->index(3, 0));
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, line.center());
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("4"));
        QCOMPARE(ui.edSourceRecord->text(), QStringLiteral("r4"));
        QCOMPARE(ui.lbRec->text(), QStringLiteral("4"));

        // Below the last line: nothing changes.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(line.center().x(), line.bottom() + 3 * line.height()));
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("4"));
    }

    // A record longer than its box shows from its start, whichever record was shown before.
    void ALongRecordShowsFromItsStart()
    {
        WindowFixture fixture;
        fixture.Start();
        const QByteArray wide(2000, 'x');
        fixture.Locate(fixture.WriteFile(QStringLiteral("wide.txt"), "a," + wide + "\r\nb\r\n"));
        MainWindowUi& ui = fixture.Ui();
        ui.tabs->setCurrentWidget(ui.tabSource);
        for (const char* record : {"1", "2", "1"}) {
            fixture.Work().GoToRecord(QByteArray(record).toLong());
            QCOMPARE(ui.edSourceRecord->cursorPosition(), 0);
        }
    }

    // A view of hundreds of thousands of lines is laid out in pieces after it is shown; the
    // line of the record shown is scrolled to all the same.
    void TheSourceViewShowsTheRecordShownWhileItWasHidden_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("500 lines") << 500;
        QTest::newRow("250,001 lines") << 250001;
    }

    void TheSourceViewShowsTheRecordShownWhileItWasHidden()
    {
        QFETCH(int, count);
        WindowFixture fixture;
        fixture.Start();
        QByteArray lines;
        for (int n = 1; n <= count; ++n)
            lines += "r" + QByteArray::number(n) + "\r\n";
        fixture.Locate(fixture.WriteFile(QStringLiteral("many.txt"), lines));
        MainWindowUi& ui = fixture.Ui();
        QListView* view = ui.reSource;
        const auto inSight = [view](int row) {
            return view->viewport()->rect().contains(
                view->visualRect(view->model()->index(row, 0)));
        };
        const int last = count - 1;

        // Moved on while the Mapping tab is up: the Source view is hidden.
        fixture.Window().Sources().sbLastClick();
        QVERIFY(!view->isVisible());
        ui.tabs->setCurrentWidget(ui.tabSource);
        QTRY_VERIFY(inSight(last));
        QCOMPARE(view->currentIndex().row(), last);
        QCOMPARE(view->model()->index(last, 0).data().toString(), QStringLiteral("r%1").arg(count));

        // While it is in sight, it follows every move.
        fixture.Window().Sources().sbFirstClick();
        QVERIFY(inSight(0));
        QVERIFY(!inSight(last));
        QCOMPARE(view->currentIndex().row(), 0);
        fixture.Window().Sources().sbLastClick();
        QVERIFY(inSight(last));
        QVERIFY(!inSight(0));
    }
};

QTEST_MAIN(MainWindowNavigationTest)
#include "MainWindowNavigationTest.moc"

#include "ExecuteFixture.h"

#include <QLabel>
#include <QTimer>
#include <functional>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

AskedPrompt CancelQuestion()
{
    return AskedMessage({QStringLiteral("Confirm"),
                         QStringLiteral("Cancel this session?"),
                         Icon::Question,
                         {Button::Yes, Button::No},
                         Button::Yes,
                         false});
}

const QString kNotSaved = QStringLiteral(
    "Output has not been saved!\r\n\r\nWhen you are ready to save the results, click \r\n\r\n"
    "\"Save Output\"\r\n\r\n shown at the bottom of the main window.");

// Record 2 has a bad taxpayer number, every other one is good.
QByteArray BadTinOnTwo(int n)
{
    return n == 2 ? QByteArray("P,12-34,1,2\r\n") : GoodRecord(n);
}

// Clicks the progress dialog's Cancel once the run has reached record `after`, then runs check.
// Events are let through after every record, so the click comes exactly there.
void ClickCancelAt(ExecuteFixture& f, long after, const std::function<void()>& check = {})
{
    f.controller->SetMessageInterval(0);
    auto* timer = new QTimer(&f.window);
    QObject::connect(timer, &QTimer::timeout, timer, [&f, after, check, timer] {
        if (f.Dialog().Position() < after)
            return;
        timer->stop();
        QVERIFY(f.Dialog().Running());
        // Whenever events come through, the panel shows the record reached.
        QCOMPARE(f.Dialog().findChild<QLabel*>(QStringLiteral("RzPanel3"))->text(),
                 QStringLiteral("%1 of %2").arg(f.Dialog().Position()).arg(f.Dialog().Total()));
        // The window's own close box does nothing while the run goes on.
        QVERIFY(!f.Dialog().close());
        QVERIFY(f.Dialog().isVisible());
        QTest::mouseClick(f.Dialog().CancelButton(), Qt::LeftButton);
        if (check)
            check();
    });
    timer->start(0);
}

} // namespace

class ExecuteCancelTest : public QObject
{
    Q_OBJECT

private slots:
    void YesEndsTheRunSilently()
    {
        ExecuteFixture f(Records(3000, BadTinOnTwo));
        f.workspace.GoToRecord(3);
        ClickCancelAt(f, 700);
        f.prompts.Press(Button::Yes);
        f.controller->bExecuteClick();

        VerifyAsked(f.prompts, {BeepPrompt(), CancelQuestion(), BeepPrompt()});
        // The run stops at the record after the answer; it had counted up to 700.
        QCOMPARE(f.Dialog().PositionText(), QStringLiteral("700 of 3000"));
        QCOMPARE(f.workspace.CurrentRecord(), 701L);
        QVERIFY(f.workspace.OutputLines().empty());
        QVERIFY(!f.OutputTabVisible());
        QVERIFY(!f.ui.bSaveOutput->isEnabled());
        // The warning logged before the cancel is shown; the last beep is the log's.
        QVERIFY(f.Log().isVisible());
        QCOMPARE(f.Log().Text(),
                 QStringLiteral("Record 2: Bad TIN 000012-34 (assigned to 000000000)\n\n"
                                "End of Warning Log\n"));
        f.VerifyRestored();
    }

    void NoLetsTheRunGoOn()
    {
        ExecuteFixture f(Records(3000));
        bool turningAgain = false;
        ClickCancelAt(f, 1500, [&] {
            turningAgain = f.Dialog().Animating() && f.Dialog().FrameIndex() == 0;
        });
        // After the loop the dialog is still up, but Cancel no longer asks anything.
        f.prompts.onSave = [&] {
            QTest::mouseClick(f.Dialog().CancelButton(), Qt::LeftButton);
            QVERIFY(!f.Dialog().Cancelled());
        };
        f.prompts.Press(Button::No).Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();

        VerifyAsked(f.prompts, {BeepPrompt(), CancelQuestion(),
                                SavePrompt(f.dir.path(), QStringLiteral("PAYEES1099MISC")),
                                BeepPrompt(), InformationPrompt(kNotSaved)});
        QVERIFY(turningAgain);
        QCOMPARE(f.OutputRows(), 3000);
        QCOMPARE(f.ui.reOutput->model()->index(2999, 0).data().toString(),
                 QString::fromLatin1(GoodLine(3000)));
        f.VerifyRestored();
    }

    void ProgressPanelCountsInStepsOfTwentyFive()
    {
        ExecuteFixture f(Records(1200));
        QStringList shown;
        connect(&f.Dialog(), &ExecuteDialog::PositionChanged, this,
                [&] { shown << f.Dialog().PositionText(); });
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();

        QStringList expected{QStringLiteral("1 of 1200")};
        for (int n = 25; n <= 1200; n += 25)
            expected << QStringLiteral("%1 of 1200").arg(n);
        QCOMPARE(shown, expected);
        QCOMPARE(f.Dialog().Total(), 1200L);
    }

    void EachRunStartsUncancelled()
    {
        ExecuteFixture f(Records(3000));
        ClickCancelAt(f, 1);
        f.prompts.Press(Button::Yes);
        f.controller->bExecuteClick();
        QVERIFY(f.workspace.OutputLines().empty());

        f.prompts.ClearAsked();
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        QCOMPARE(f.OutputRows(), 3000);
        QCOMPARE(f.Dialog().PositionText(), QStringLiteral("3000 of 3000"));
    }
};

QTEST_MAIN(ExecuteCancelTest)
#include "ExecuteCancelTest.moc"

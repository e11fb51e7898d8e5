#include "execute/ExecuteDialog.h"

#include "support/ScriptedPrompts.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace impmap::gui;

Q_DECLARE_METATYPE(impmap::gui::Button)

namespace {

// Prompts that note the dialog's animation state while the question is up.
class WatchingPrompts : public ScriptedPrompts
{
public:
    const ExecuteDialog* dialog = nullptr;
    bool animatingWhileAsked = true;
    bool onTopWhileAsked = true;

    Button Message(const MessageRequest& request) override
    {
        animatingWhileAsked = dialog->Animating();
        onTopWhileAsked = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        return ScriptedPrompts::Message(request);
    }
};

AskedPrompt Question()
{
    return AskedMessage({QStringLiteral("Confirm"),
                         QStringLiteral("Cancel this session?"),
                         Icon::Question,
                         {Button::Yes, Button::No},
                         Button::Yes,
                         false});
}

// Steps the icon timer once, as its interval elapsing would.
void Tick(ExecuteDialog& dialog)
{
    QVERIFY(QMetaObject::invokeMethod(dialog.findChild<QTimer*>(), "timeout"));
}

} // namespace

class ExecuteDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void StartsWithItsCaptionsAndSize()
    {
        ScriptedPrompts prompts;
        ExecuteDialog dialog(prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Mapping Source to Destination"));
        QCOMPARE(dialog.size(), QSize(284, 100));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Record: "));
        QCOMPARE(dialog.PositionText(), QStringLiteral("0 of 0"));
        QCOMPARE(dialog.CancelButton()->text(), QStringLiteral("Cancel"));
        QCOMPARE(dialog.findChild<QTimer*>()->interval(), 500);
        QVERIFY(!dialog.findChild<QTimer*>()->isActive());
        // The clip is compiled in and plays.
        const QMovie* movie = dialog.findChild<QLabel*>(QStringLiteral("Animate1"))->movie();
        QVERIFY(movie->isValid());
        QVERIFY(movie->frameCount() > 1);
        QCOMPARE(ExecuteDialog::Frames().size(), size_t{8});
        for (const QPixmap& frame : ExecuteDialog::Frames())
            QCOMPARE(frame.size(), QSize(32, 32));
    }

    void PanelShowsThePositionOfTheTotal()
    {
        ScriptedPrompts prompts;
        ExecuteDialog dialog(prompts);
        dialog.SetTotal(1200);
        QCOMPARE(dialog.PositionText(), QStringLiteral("0 of 0"));
        dialog.SetPosition(25);
        QCOMPARE(dialog.PositionText(), QStringLiteral("25 of 1200"));
        QCOMPARE(dialog.Position(), 25L);
    }

    // The widest position text fits inside the panel's frame, however large the total.
    void PanelFitsTheWidestPosition_data()
    {
        QTest::addColumn<long>("total");
        for (const long total : {1L, 1200L, 100000L, 1000000L, 123456789L})
            QTest::addRow("%ld", total) << total;
    }

    void PanelFitsTheWidestPosition()
    {
        QFETCH(long, total);
        ScriptedPrompts prompts;
        ExecuteDialog dialog(prompts);
        dialog.SetTotal(total);
        dialog.SetPosition(total);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto* panel = dialog.findChild<QLabel*>(QStringLiteral("RzPanel3"));
        const int textWidth = panel->fontMetrics().horizontalAdvance(dialog.PositionText());
        QVERIFY2(
            panel->contentsRect().width() >= textWidth + 4,
            qPrintable(
                QStringLiteral("%1 for %2").arg(panel->contentsRect().width()).arg(textWidth)));
        QCOMPARE(dialog.height(), 100);
        QVERIFY(dialog.width() >= 284);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    }

    void IconTurnsThroughEightFrames()
    {
        ScriptedPrompts prompts;
        ExecuteDialog dialog(prompts);
        dialog.StartAnimation();
        QVERIFY(dialog.Animating());
        QCOMPARE(dialog.FrameIndex(), 0);
        QList<int> frames;
        for (int i = 0; i < 9; ++i) {
            Tick(dialog);
            frames << dialog.FrameIndex();
        }
        QCOMPARE(frames, (QList<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
        Tick(dialog);
        dialog.StopAnimation();
        QVERIFY(!dialog.Animating());
        QCOMPARE(dialog.FrameIndex(), 1);
    }

    void StaysOnTopOnlyWhileRunning()
    {
        ScriptedPrompts prompts;
        ExecuteDialog dialog(prompts);
        dialog.SetRunning(true);
        dialog.ShowForRun();
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // At the end of the loop it stays visible, but lets the end-of-run boxes above it.
        dialog.SetRunning(false);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void ClosingIsRefusedWhileRunning()
    {
        ScriptedPrompts prompts;
        ExecuteDialog dialog(prompts);
        dialog.SetRunning(true);
        dialog.StartAnimation();
        dialog.ShowForRun();
        QVERIFY(!dialog.close());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.Animating());

        dialog.SetRunning(false);
        QVERIFY(dialog.close());
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.Animating());
        QCOMPARE(dialog.FrameIndex(), 1);
    }

    void CancelOutsideARunDoesNothing()
    {
        ScriptedPrompts prompts;
        ExecuteDialog dialog(prompts);
        dialog.ShowForRun();
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        QVERIFY(prompts.Asked().empty());
        QVERIFY(!dialog.Cancelled());
    }

    void CancelAsksAndPausesWhileAsking_data()
    {
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("Yes cancels") << Button::Yes << true;
        QTest::newRow("No goes on") << Button::No << false;
    }

    void CancelAsksAndPausesWhileAsking()
    {
        QFETCH(Button, answer);
        QFETCH(bool, cancelled);
        WatchingPrompts prompts;
        ExecuteDialog dialog(prompts);
        prompts.dialog = &dialog;
        dialog.SetRunning(true);
        dialog.StartAnimation();
        dialog.ShowForRun();
        Tick(dialog);
        Tick(dialog);

        prompts.Press(answer);
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        QCOMPARE(prompts.Asked().size(), size_t{2});
        QCOMPARE(prompts.Asked()[0].kind, PromptKind::Beep);
        QVERIFY2(prompts.Asked()[1] == Question(), qPrintable(Describe(prompts.Asked()[1])));
        QVERIFY(!prompts.animatingWhileAsked);
        QVERIFY(!prompts.onTopWhileAsked);
        QCOMPARE(dialog.Cancelled(), cancelled);
        // Either way the icon turns again from its first frame, and the dialog is on top again.
        QVERIFY(dialog.Animating());
        QCOMPARE(dialog.FrameIndex(), 0);
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(dialog.isVisible());

        // Showing the dialog for the next run clears the flag.
        dialog.SetRunning(false);
        dialog.close();
        dialog.ShowForRun();
        QVERIFY(!dialog.Cancelled());
    }
};

QTEST_MAIN(ExecuteDialogTest)
#include "ExecuteDialogTest.moc"

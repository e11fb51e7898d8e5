// Closing the main window: the question about saving a changed mapping, Esc and Close, and no
// closing during a run.

#include "MainWindowTestSupport.h"

#include <QPushButton>

using namespace impmap::gui;
using namespace impmap::gui::testing;

Q_DECLARE_METATYPE(impmap::gui::Button)

class MainWindowCloseTest : public QObject
{
    Q_OBJECT

private slots:
    void AnUnchangedMappingClosesWithoutAQuestion()
    {
        WindowFixture fixture;
        fixture.Start();
        // Nothing loaded: Save Map is disabled.
        QVERIFY(fixture.Close());
        QVERIFY(!fixture.Window().isVisible());

        // Loaded and saved: unchanged again.
        fixture.Restart();
        fixture.LoadPayees();
        fixture.Prompts().Enter(QDir(fixture.Maps()).filePath(QStringLiteral("p.MAP")));
        fixture.Window().sbSaveMapClick();
        fixture.Prompts().ClearAsked();
        QVERIFY(fixture.Close());
        QVERIFY(fixture.Prompts().Asked().empty());
    }

    void AChangedMappingAsksFirst_data()
    {
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("saveDialogAnswered");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes, saved") << Button::Yes << true << true << true;
        QTest::newRow("Yes, save dialog cancelled") << Button::Yes << false << true << false;
        QTest::newRow("No") << Button::No << false << true << false;
        QTest::newRow("Cancel") << Button::Cancel << false << false << false;
    }

    void AChangedMappingAsksFirst()
    {
        QFETCH(Button, answer);
        QFETCH(bool, saveDialogAnswered);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        QVERIFY(fixture.Ui().sbSaveMap->isEnabled());
        fixture.Prompts().ClearAsked();

        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("payees1099NEC.MAP"));
        fixture.Prompts().Press(answer);
        std::vector<AskedPrompt> expected{AskSaveMappingBox()};
        if (answer == Button::Yes) {
            if (saveDialogAnswered)
                fixture.Prompts().Enter(map);
            else
                fixture.Prompts().Cancel();
            AskedPrompt dialog = SaveMapDialog(fixture.Maps(), QStringLiteral("payees1099NEC"));
            dialog.kind = PromptKind::SaveFile;
            expected.push_back(dialog);
        }

        QCOMPARE(fixture.Close(), closes);
        QCOMPARE(fixture.Window().isVisible(), !closes);
        QCOMPARE(fixture.Prompts().Asked(), expected);
        QCOMPARE(QFileInfo::exists(map), saved);
        QCOMPARE(fixture.Stored().LastMapping(), saved ? map : QString());
    }

    void EscAndCloseAskTheSameQuestion_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Esc") << true;
        QTest::newRow("&Close") << false;
    }

    void EscAndCloseAskTheSameQuestion()
    {
        QFETCH(bool, escape);
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        fixture.Prompts().ClearAsked();

        fixture.Prompts().Press(Button::Cancel);
        if (escape)
            QTest::keyClick(fixture.Ui().lvDestination, Qt::Key_Escape);
        else
            QTest::mouseClick(fixture.Ui().bClose, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{AskSaveMappingBox()});
        QVERIFY(fixture.Window().isVisible());

        fixture.Prompts().Press(Button::No);
        if (escape)
            QTest::keyClick(fixture.Ui().edSourceFile, Qt::Key_Escape);
        else
            fixture.Window().bCloseClick();
        QVERIFY(!fixture.Window().isVisible());
    }

    void NoClosingDuringARun()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        fixture.Prompts().ClearAsked();
        fixture.Work().SetExecuting(true);
        QVERIFY(!fixture.Close());
        QVERIFY(fixture.Window().isVisible());
        QVERIFY(fixture.Prompts().Asked().empty());
        fixture.Work().SetExecuting(false);
        fixture.Prompts().Press(Button::No);
        QVERIFY(fixture.Close());
    }
};

QTEST_MAIN(MainWindowCloseTest)
#include "MainWindowCloseTest.moc"

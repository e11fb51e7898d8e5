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

    // Which record is on display does not decide whether a changed mapping is kept: an empty
    // line or no record at all still asks, at Close and at Open Map.
    void AChangedMappingAsksWhateverRecordIsShown_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("openMap");
        for (const bool openMap : {false, true}) {
            const char* action = openMap ? "Open Map" : "Close";
            QTest::addRow("empty line, %s", action) << QStringLiteral("empty") << openMap;
            QTest::addRow("every record deleted, %s", action) << QStringLiteral("none") << openMap;
        }
    }

    void AChangedMappingAsksWhateverRecordIsShown()
    {
        QFETCH(QString, shown);
        QFETCH(bool, openMap);
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("gaps.csv"), "a,b\r\n\r\nc,d\r\n"));
        fixture.Window().coFormChange(kForm1099Nec);
        if (shown == QStringLiteral("empty")) {
            fixture.Work().ShowRecordAtLine(1);
        } else {
            while (fixture.Work().RecordCount() > 0)
                fixture.Work().DeleteCurrentRecord();
        }
        QVERIFY(fixture.Work().SourceFields().empty());
        QVERIFY(fixture.Ui().sbSaveMap->isEnabled());
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Press(Button::Cancel);
        if (openMap)
            fixture.Window().sbOpenMapClick();
        else
            QVERIFY(!fixture.Close());
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{AskSaveMappingBox()});
        QVERIFY(fixture.Window().isVisible());
    }

    // Yes, then a map file that cannot be written: the error is shown and the user stays where
    // they were, with the mapping still unsaved.
    void AFailedSaveKeepsTheMapping_data()
    {
        QTest::addColumn<bool>("openMap");
        QTest::newRow("Close") << false;
        QTest::newRow("Open Map") << true;
    }

    void AFailedSaveKeepsTheMapping()
    {
        QFETCH(bool, openMap);
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        fixture.Work().AssignSourceField(0, 2);
        fixture.Prompts().ClearAsked();
        const QString map = QDir(fixture.Home()).filePath(QStringLiteral("no/such/x.MAP"));
        fixture.Prompts().Press(Button::Yes).Enter(map).Press(Button::Ok);
        if (openMap)
            fixture.Window().sbOpenMapClick();
        else
            QVERIFY(!fixture.Close());
        AskedPrompt dialog = SaveMapDialog(fixture.Maps(), QStringLiteral("payees1099NEC"));
        QCOMPARE(
            fixture.Prompts().Asked(),
            (std::vector<AskedPrompt>{AskSaveMappingBox(), dialog,
                                      ErrorBox(QStringLiteral("Unable to write to ") + map +
                                               QStringLiteral(". No such file or directory."))}));
        QVERIFY(fixture.Window().isVisible());
        QVERIFY(fixture.Work().MappingModified());
        QCOMPARE(fixture.Work().Rows()[0].sourceFieldNo, 2);
        QCOMPARE(fixture.Window().windowTitle(), kCaption);

        // The next close asks again.
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Press(Button::No);
        QVERIFY(fixture.Close());
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{AskSaveMappingBox()});
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

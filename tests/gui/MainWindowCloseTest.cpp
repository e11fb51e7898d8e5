// Closing the main window: the question about saving a changed mapping, Esc and Close, and no
// closing during a run.

#include "MainWindowTestSupport.h"
#include "window/MapFileController.h"

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
        fixture.Window().MapFiles().sbSaveMapClick();
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
        ChooseForm(fixture.Window(), "1099-NEC");
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
            fixture.Window().MapFiles().sbOpenMapClick();
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
            fixture.Window().MapFiles().sbOpenMapClick();
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

    // Unsaved edits of the source: Close, Open Map, a map from elsewhere and another source ask
    // about them after the mapping question. Yes saves, No drops them, Cancel stays.
    void SourceEditsAskAfterTheMapping_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<Button>("answer");
        for (const char* action : {"Close", "Open Map", "map from elsewhere", "another source"}) {
            for (const auto& [name, answer] :
                 {std::pair{"Yes", Button::Yes}, std::pair{"No", Button::No},
                  std::pair{"Cancel", Button::Cancel}})
                QTest::addRow("%s, %s", action, name) << QString::fromLatin1(action) << answer;
        }
    }

    void SourceEditsAskAfterTheMapping()
    {
        QFETCH(QString, action);
        QFETCH(Button, answer);
        WindowFixture fixture;
        fixture.Start();
        const QString source = fixture.LoadPayees();
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("p.MAP"));
        fixture.Prompts().Enter(map);
        fixture.Window().MapFiles().sbSaveMapClick();
        const QString other = fixture.WriteFile(QStringLiteral("other.csv"), "x,y\r\n");
        fixture.Work().AssignSourceField(0, 2); // the mapping changed too
        fixture.Work().GoToRecord(2);
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();
        QVERIFY(fixture.Ui().edSourceFileSave->isVisible());
        fixture.Prompts().ClearAsked();

        const bool asksMapping = action != QStringLiteral("another source");
        if (action == QStringLiteral("another source"))
            fixture.Prompts().Enter(other);
        if (asksMapping)
            fixture.Prompts().Press(Button::No);
        fixture.Prompts().Press(answer);
        const bool goesOn = answer != Button::Cancel;
        if (action == QStringLiteral("Open Map") && goesOn)
            fixture.Prompts().Enter(map);
        if (action == QStringLiteral("Close"))
            QCOMPARE(fixture.Close(), goesOn);
        else if (action == QStringLiteral("Open Map"))
            fixture.Window().MapFiles().sbOpenMapClick();
        else if (action == QStringLiteral("map from elsewhere"))
            fixture.Window().MapFiles().OpenMapFile(map);
        else
            fixture.Window().Sources().edSourceFileButtonClick();

        std::vector<AskedPrompt> messages;
        for (const AskedPrompt& prompt : fixture.Prompts().Asked()) {
            if (prompt.kind == PromptKind::Message)
                messages.push_back(prompt);
        }
        std::vector<AskedPrompt> expected;
        if (asksMapping)
            expected.push_back(AskSaveMappingBox());
        expected.push_back(
            Message(QStringLiteral("Confirm"),
                    QStringLiteral("Do you want to save the changes to the source file?"),
                    Icon::Question, {Button::Yes, Button::No, Button::Cancel}, Button::Yes));
        QCOMPARE(messages, expected);
        QCOMPARE(fixture.Prompts().PendingAnswers(), std::size_t{0});
        const QByteArray edited = "Name,TIN,Amount,City\r\n"
                                  "Bob,987-65-4321,200.5,Boston\r\n"
                                  "Cy,111-22-3333,3,Chicago\r\n";
        QCOMPARE(WindowFixture::ReadFile(source), answer == Button::Yes ? edited : kPayees);
        if (!goesOn) {
            // Everything stays as it was: the edits unsaved, the record gone from the list.
            QVERIFY(fixture.Window().isVisible());
            QVERIFY(fixture.Work().SourceModified());
            QCOMPARE(fixture.Work().RecordCount(), std::size_t{3});
            QCOMPARE(fixture.Ui().edSourceFile->text(), source);
        } else if (action == QStringLiteral("another source")) {
            QCOMPARE(fixture.Ui().edSourceFile->text(), other);
            QVERIFY(!fixture.Work().SourceModified());
        } else if (action != QStringLiteral("Close")) {
            // The map's source is read again from the file.
            QCOMPARE(fixture.Work().RecordCount(), std::size_t(answer == Button::Yes ? 3 : 4));
            QVERIFY(!fixture.Work().SourceModified());
        }
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

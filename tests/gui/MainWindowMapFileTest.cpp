// Map files from the window: Save Map and Open Map with their dialogs, the proposed names, the
// question before a changed mapping is replaced, the caption and the Save Map button.

#include "MainWindowTestSupport.h"
#include "window/MapFileController.h"

using namespace impmap::gui;
using namespace impmap::gui::testing;

Q_DECLARE_METATYPE(impmap::gui::Button)

namespace {

AskedPrompt OpenMapDialog(const QString& folder, const QString& proposed)
{
    AskedPrompt prompt;
    prompt.kind = PromptKind::OpenFile;
    prompt.title = QStringLiteral("Open mapping...");
    prompt.folder = folder;
    prompt.filter = QStringLiteral("Vellorum Map File (*.MAP)|*.MAP");
    prompt.initial = proposed;
    return prompt;
}

struct MappingState
{
    std::vector<std::pair<int, std::string>> rows; // source field number and fixed value
    std::array<int, impmap::kMaxMergeField + 1> merges{};
    int form;
    impmap::DecimalMode decimal;
    impmap::Delimiter delimiter;
    impmap::HeaderMode header;
    impmap::TraceMode trace;
    std::string source;

    friend bool operator==(const MappingState&, const MappingState&) = default;
};

MappingState StateOf(const impmap::Workspace& workspace)
{
    MappingState state{{},
                       workspace.MergeSources(),
                       workspace.FormIndex(),
                       workspace.Decimal(),
                       workspace.Delimiter(),
                       workspace.Header(),
                       workspace.Trace(),
                       workspace.SourcePath()};
    for (const impmap::DestinationRow& row : workspace.Rows())
        state.rows.emplace_back(row.sourceFieldNo, row.sourceFieldNo == 0 ? row.value : "");
    return state;
}

} // namespace

class MainWindowMapFileTest : public QObject
{
    Q_OBJECT

private slots:
    void SaveMapFollowsTheChangedStateWithItsHint()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        QCOMPARE(ui.sbOpenMap->toolTip(),
                 QStringLiteral("Open a previously saved mapping (Ctrl+O)"));
        ChooseForm(fixture.Window(), "1099-NEC");
        // A form without a source: nothing to save.
        QVERIFY(!ui.sbSaveMap->isEnabled());
        QCOMPARE(ui.sbSaveMap->toolTip(), QString());
        fixture.Locate(fixture.WriteFile(QStringLiteral("payees.csv"), kPayees));
        QVERIFY(ui.sbSaveMap->isEnabled());
        QCOMPARE(ui.sbSaveMap->toolTip(), QStringLiteral("Save the current mapping (Ctrl+S)"));
    }

    void SavingAndReopeningGivesTheSameMapping()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        fixture.LoadPayees();
        impmap::Workspace& workspace = fixture.Work();
        workspace.AssignSourceField(0, 1);
        workspace.AssignSourceField(3, 3);
        workspace.SetFixedValue(1, std::string("ny"));
        workspace.MergeInto(1, 4); // Name shows "Name City"
        QTest::mouseClick(ui.rgDecimalButtons->button(1), Qt::LeftButton);
        QTest::mouseClick(ui.rgTraceButtons->button(1), Qt::LeftButton);
        QTest::mouseClick(ui.rgHeaderButtons->button(1), Qt::LeftButton);
        const MappingState saved = StateOf(workspace);
        QCOMPARE(saved.rows[1], (std::pair<int, std::string>{0, "NY"}));
        fixture.Prompts().ClearAsked();

        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("payees.MAP"));
        fixture.Prompts().Enter(map);
        QTest::mouseClick(ui.sbSaveMap, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{SaveMapDialog(
                                                fixture.Maps(), QStringLiteral("payees1099NEC"))});
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (payees.MAP)"));
        QVERIFY(!ui.sbSaveMap->isEnabled());
        QCOMPARE(workspace.LastMappingPath(), map.toStdString());

        // Another form forgets the rows and the caption's name; opening the file restores both.
        ChooseForm(fixture.Window(), "ALE Group");
        QCOMPARE(window.windowTitle(), kCaption);
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Press(Button::No).Enter(map);
        QTest::mouseClick(ui.sbOpenMap, Qt::LeftButton);
        QCOMPARE(
            fixture.Prompts().Asked(),
            (std::vector<AskedPrompt>{AskSaveMappingBox(), OpenMapDialog(fixture.Maps(), {})}));
        QCOMPARE(StateOf(workspace), saved);
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (payees.MAP)"));
        QCOMPARE(ui.coForm->currentText(), QStringLiteral("1099-NEC"));
        QCOMPARE(ui.rgDecimalButtons->checkedId(), 1);
        QCOMPARE(ui.rgTraceButtons->checkedId(), 1);
        QCOMPARE(ui.rgHeaderButtons->checkedId(), 1);
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("1"));
        QCOMPARE(ui.lvSource->model()->index(0, 1).data().toString(), QStringLiteral("Ann Albany"));
        QVERIFY(!ui.sbSaveMap->isEnabled());

        // Unchanged now: Open Map asks nothing first and proposes the open file's name.
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Cancel();
        fixture.Window().MapFiles().sbOpenMapClick();
        QCOMPARE(fixture.Prompts().Asked(),
                 std::vector<AskedPrompt>{OpenMapDialog(fixture.Maps(), "payees.MAP")});
    }

    void TheProposedNameComesFromTheSourceAndTheForm_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("payees.csv, 1099-NEC") << "payees.csv"
                                              << "1099-NEC"
                                              << "payees1099NEC";
        QTest::newRow("payees.csv, W-2C") << "payees.csv"
                                          << "W-2C"
                                          << "payeesW2C";
        QTest::newRow("no extension, ALE Group") << "staff"
                                                 << "ALE Group"
                                                 << "staffALE Group";
    }

    void TheProposedNameComesFromTheSourceAndTheForm()
    {
        QFETCH(QString, source);
        QFETCH(QString, form);
        QFETCH(QString, proposed);
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(source, kPayees));
        ChooseForm(fixture.Window(), form.toStdString());
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Cancel();
        fixture.Window().MapFiles().sbSaveMapClick();
        QCOMPARE(fixture.Prompts().Asked(),
                 std::vector<AskedPrompt>{SaveMapDialog(fixture.Maps(), proposed)});
        // Cancelled: nothing changed.
        QVERIFY(fixture.Ui().sbSaveMap->isEnabled());
        QCOMPARE(fixture.Window().windowTitle(), kCaption);
    }

    void AMapFileThatCannotBeWrittenIsReported()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        fixture.Prompts().ClearAsked();
        const QString map = QDir(fixture.Home()).filePath(QStringLiteral("no/such/x.MAP"));
        fixture.Prompts().Enter(map).Press(Button::Ok);
        window.MapFiles().sbSaveMapClick();
        QCOMPARE(fixture.Prompts().Last(),
                 ErrorBox(QStringLiteral("Unable to write to ") + map +
                          QStringLiteral(". No such file or directory.")));
        // Nothing was saved: the mapping stays unsaved and no map file is remembered.
        QCOMPARE(window.windowTitle(), kCaption);
        QVERIFY(fixture.Ui().sbSaveMap->isEnabled());
        QCOMPARE(fixture.Work().LastMappingPath(), std::string());
    }

    void OpeningOverAChangedMappingAsksFirst_data()
    {
        QTest::addColumn<Button>("answer");
        QTest::newRow("Cancel") << Button::Cancel;
        QTest::newRow("Yes, save cancelled, open cancelled") << Button::Yes;
    }

    void OpeningOverAChangedMappingAsksFirst()
    {
        QFETCH(Button, answer);
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        fixture.Work().AssignSourceField(0, 2);
        const MappingState before = StateOf(fixture.Work());
        fixture.Prompts().ClearAsked();

        std::vector<AskedPrompt> expected{AskSaveMappingBox()};
        fixture.Prompts().Press(answer);
        if (answer == Button::Yes) {
            fixture.Prompts().Cancel().Cancel();
            expected.push_back(SaveMapDialog(fixture.Maps(), QStringLiteral("payees1099NEC")));
            expected.push_back(OpenMapDialog(fixture.Maps(), {}));
        }
        fixture.Window().MapFiles().sbOpenMapClick();
        QCOMPARE(fixture.Prompts().Asked(), expected);
        QCOMPARE(StateOf(fixture.Work()), before);
        QVERIFY(fixture.Ui().sbSaveMap->isEnabled());
    }

    // Opening a map is all or nothing: a damaged map or a file of random bytes says why and
    // changes nothing (the form, the settings, the source, the record shown, the caption).
    void AMapFileThatCannotBeReadChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QTest::newRow("damaged Map entry")
            << QByteArray("[Source]\r\nFileSpec=other.csv\r\nTrace=1\r\nDecimal=1\r\n"
                          "[Destination]\r\nForm=ale group\r\nMap=001x02\r\n[Default]\r\n"
                          "001=ABC\r\n")
            << QStringLiteral(" is damaged: \"x02\" in its Map entry is not a source field "
                              "number.");
        QByteArray random;
        for (int i = 0; i < 3000; ++i)
            random.append(static_cast<char>((i * 7919 + 13) % 256));
        QTest::newRow("random bytes")
            << random
            << QStringLiteral(" cannot be read: it holds neither a [Source] nor a [Destination] "
                              "section (it may not be a map file at all).");
    }

    void AMapFileThatCannotBeReadChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        const QString saved = QDir(fixture.Maps()).filePath(QStringLiteral("p.MAP"));
        fixture.Prompts().Enter(saved);
        window.MapFiles().sbSaveMapClick();
        fixture.Work().GoToRecord(2);
        fixture.WriteFile(QStringLiteral("other.csv"), "x,y\r\n");
        const MappingState before = StateOf(fixture.Work());
        const QString caption = window.windowTitle();
        const QString map = fixture.WriteFile(QStringLiteral("bad.MAP"), bytes);
        fixture.Prompts().ClearAsked();

        fixture.Prompts().Enter(map).Press(Button::Ok);
        window.MapFiles().sbOpenMapClick();
        QCOMPARE(fixture.Prompts().Last(), ErrorBox(QStringLiteral("The map file ") + map + why));
        QCOMPARE(StateOf(fixture.Work()), before);
        QCOMPARE(window.windowTitle(), caption);
        QCOMPARE(fixture.Ui().pnRecord->text(), QStringLiteral("2"));
        QCOMPARE(fixture.Ui().rgTraceButtons->checkedId(), 0);
        QCOMPARE(fixture.Work().RecordCount(), std::size_t{4});
        QVERIFY(!fixture.Ui().sbSaveMap->isEnabled());

        // The same from the desktop (a drop, the command line).
        fixture.Prompts().Press(Button::Ok);
        window.MapFiles().OpenMapFile(map);
        QCOMPARE(fixture.Prompts().Last(), ErrorBox(QStringLiteral("The map file ") + map + why));
        QCOMPARE(StateOf(fixture.Work()), before);
        QCOMPARE(window.windowTitle(), caption);
    }

    // A map naming its source by a relative path finds it beside itself, as the example map
    // does.
    void ARelativeSourceIsFoundBesideTheMap()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        QDir(fixture.Home()).mkpath(QStringLiteral("elsewhere/data"));
        const QString source =
            fixture.WriteFile(QStringLiteral("elsewhere/data/payees.csv"), kPayees);
        const QString map = fixture.WriteFile(
            QStringLiteral("elsewhere/rel.MAP"),
            "[Source]\r\nFileSpec=data/payees.csv\r\nHeader=1\r\n[Destination]\r\n"
            "Form=1099-NEC\r\nMap=001\r\n");
        fixture.Prompts().Enter(map);
        window.MapFiles().sbOpenMapClick();
        QVERIFY2(fixture.Prompts().Asked().size() == 1,
                 qPrintable(Describe(fixture.Prompts().Last())));
        QCOMPARE(QFileInfo(fixture.Ui().edSourceFile->text()).canonicalFilePath(),
                 QFileInfo(source).canonicalFilePath());
        QCOMPARE(fixture.Work().RecordCount(), std::size_t{3});
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (rel.MAP)"));
    }
};

QTEST_MAIN(MainWindowMapFileTest)
#include "MainWindowMapFileTest.moc"

// Suggest Mapping in the window: the Tools entry and its button, the dialog of proposals with its
// ticks, keys and Apply, learning on Save Map, and the notice on opening a map whose source's
// header line changed.

#include "MainWindowTestSupport.h"
#include "suggest/SuggestController.h"
#include "suggest/SuggestDialog.h"

#include <QMenu>
#include <QTableView>

using namespace impmap;
using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

// The dialog's rows that have a proposal, one line each: "Caption | No. | Source field | Value |
// Confidence | Reason | ticked".
QStringList ProposedRows(const SuggestionsModel& model)
{
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        if (model.index(r, SuggestionsModel::kNumber).data().toString().isEmpty())
            continue;
        QStringList cells;
        for (int c = 0; c < SuggestionsModel::kColumnCount; ++c)
            cells << model.index(r, c).data().toString();
        cells << (model.index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked
                      ? QStringLiteral("ticked")
                      : QStringLiteral("not ticked"));
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

QList<int> Mapped(const Workspace& workspace)
{
    QList<int> fields;
    for (const DestinationRow& row : workspace.Rows())
        fields << row.sourceFieldNo;
    return fields;
}

int RowOf(const Workspace& workspace, const char* caption)
{
    for (size_t i = 0; i < workspace.Rows().size(); ++i) {
        if (workspace.Rows()[i].caption == caption)
            return static_cast<int>(i);
    }
    return -1;
}

QAction* SuggestAction(MainWindow& window)
{
    return window.findChild<QAction*>(QStringLiteral("popupSuggestMapping"));
}

SuggestDialog* OpenDialog(MainWindow& window)
{
    SuggestAction(window)->trigger();
    return window.findChild<SuggestDialog*>();
}

} // namespace

class SuggestMappingWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void TheEntryAndButtonSayWhatIsMissing()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        QAction* action = SuggestAction(window);
        QPushButton* button = window.findChild<QPushButton*>(QStringLiteral("bSuggest"));
        QVERIFY(action != nullptr && button != nullptr);
        fixture.Ui().popupTools->aboutToShow();
        QCOMPARE(action->text(), QStringLiteral("Cannot Suggest Mapping (Tax Form Required)"));
        QVERIFY(!action->isEnabled() && !button->isEnabled());
        QCOMPARE(button->accessibleName(), QStringLiteral("Suggest Mapping"));

        // A first line that is a record is no header line under Header Read.
        fixture.Locate(fixture.WriteFile(QStringLiteral("plain.csv"), "Ann,123456789,5\r\n"));
        ChooseForm(window, "1099-NEC");
        fixture.Ui().popupTools->aboutToShow();
        QCOMPARE(action->text(), QStringLiteral("Cannot Suggest Mapping (Header Line Required)"));
        QCOMPARE(button->toolTip(), QStringLiteral("Suggest Mapping: Header Line Required"));

        fixture.LoadPayees();
        fixture.Ui().popupTools->aboutToShow();
        QCOMPARE(action->text(), QStringLiteral("&Suggest Mapping..."));
        QVERIFY(action->isEnabled() && button->isEnabled());
        // Beside Map by Name in the menu.
        const QList<QAction*> entries = fixture.Ui().popupTools->actions();
        QCOMPARE(entries.indexOf(action), entries.indexOf(fixture.Ui().popupMapByName) + 1);
    }

    void TheDialogProposesTicksAndAppliesInOneStep()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees(); // Name,TIN,Amount,City under Header Read
        Workspace& workspace = fixture.Work();
        // What the user set: City from the name column, a fixed client ID.
        workspace.AssignSourceField(RowOf(workspace, "City"), 1);
        workspace.SetFixedValue(RowOf(workspace, "Client ID"), std::string("DEMO"));
        const QList<int> before = Mapped(workspace);

        SuggestDialog* dialog = OpenDialog(window);
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isModal());
        const QStringList expected{
            "Name line 1 | 1 | Name | Ann | High (97) | same name | ticked",
            "City | 4 | City | Albany | High (100) | same name; replaces column 1 | not ticked",
            "Taxpayer id | 2 | TIN | 123-45-6789 | High (95) | synonym of Taxpayer id | ticked",
            "Nonemployee compensation | 3 | Amount | 100 | High (95) | synonym of Nonemployee "
            "compensation | ticked"};
        QCOMPARE(ProposedRows(dialog->Model()), expected);
        QCOMPARE(dialog->Model()
                     .headerData(SuggestionsModel::kValue, Qt::Horizontal, Qt::DisplayRole)
                     .toString(),
                 QStringLiteral("Value (record 2)"));
        QCOMPARE(dialog->Summary(), QStringLiteral("4 of 28 fields have a proposal; 3 ticked."));
        QCOMPARE(dialog->Table()->accessibleName(), QStringLiteral("Suggested mapping"));
        QCOMPARE(Mapped(workspace), before); // nothing changes until Apply

        // Keys: the list has the focus; Space ticks the current row, Enter applies.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Table()));
        dialog->Table()->setCurrentIndex(dialog->Model().index(RowOf(workspace, "Name line 1"), 3));
        QTest::keyClick(dialog->Table(), Qt::Key_Space);
        QCOMPARE(dialog->Summary(), QStringLiteral("4 of 28 fields have a proposal; 2 ticked."));
        QTest::mouseClick(dialog->ClearButton(), Qt::LeftButton);
        QVERIFY(!dialog->ApplyButton()->isEnabled());
        QTest::mouseClick(dialog->TickHighButton(), Qt::LeftButton);
        QCOMPARE(dialog->Summary(), QStringLiteral("4 of 28 fields have a proposal; 3 ticked."));
        QTest::keyClick(dialog->Table(), Qt::Key_Return);
        QTRY_VERIFY(window.findChild<SuggestDialog*>() == nullptr);

        QList<int> after = before;
        after[RowOf(workspace, "Name line 1")] = 1;
        after[RowOf(workspace, "Taxpayer id")] = 2;
        after[RowOf(workspace, "Nonemployee compensation")] = 3;
        QCOMPARE(Mapped(workspace), after);
        QCOMPARE(workspace.Rows()[RowOf(workspace, "Client ID")].value, std::string("DEMO"));
        // The list shows the result as the record on display gives it (here the header line).
        QCOMPARE(fixture.Ui().lvDestination->model()->index(0, 1).data().toString(),
                 QStringLiteral("Name"));
        QVERIFY(workspace.MappingModified());
        QVERIFY(fixture.Ui().sbSaveMap->isEnabled());

        // One undo step takes the whole Apply back.
        QAction* undo = nullptr;
        for (QAction* action : fixture.Ui().popupTools->actions()) {
            if (action->objectName() == QLatin1String("popupUndo"))
                undo = action;
        }
        QVERIFY(undo != nullptr);
        QCOMPARE(undo->text(), QStringLiteral("&Undo Suggest Mapping"));
        undo->trigger();
        QCOMPARE(Mapped(workspace), before);
        QCOMPARE(workspace.Rows()[RowOf(workspace, "Client ID")].value, std::string("DEMO"));
    }

    void SavingAMapTeachesTheFileBesideTheSettings()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        Workspace& workspace = fixture.Work();
        workspace.AssignSourceField(RowOf(workspace, "State 1 income"), 3);
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("CLIENT.MAP"));
        fixture.Prompts().Enter(map);
        QTest::mouseClick(fixture.Ui().sbSaveMap, Qt::LeftButton);
        const QString learned = SuggestController::LearnedChoicesFile(fixture.Stored());
        QCOMPARE(QFileInfo(learned).dir(), QFileInfo(fixture.Stored().IniFilePath()).dir());
        QCOMPARE(fixture.ReadFile(learned),
                 QByteArray("impmap learned choices 1\r\n1099-NEC\tAmount\tState 1 income\t"
                            "CLIENT.MAP\r\n"));

        // The next suggestion for that header follows the user's choice.
        SuggestDialog* dialog = OpenDialog(window);
        QVERIFY(ProposedRows(dialog->Model())
                    .contains("State 1 income | 3 | Amount | 100 | High (98) | learned from your "
                              "map CLIENT.MAP | ticked"));
        dialog->reject();

        // A file of learned choices that cannot be read is left alone, and said after the save.
        QFile::remove(learned);
        QDir().mkpath(learned);
        fixture.Prompts().ClearAsked();
        workspace.SetModified(true);
        fixture.Prompts().Enter(map).Press(Button::Ok);
        QTest::mouseClick(fixture.Ui().sbSaveMap, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Asked().size(), size_t(2));
        QCOMPARE(fixture.Prompts().Last(),
                 ErrorBox(QStringLiteral("The mapping was saved, but Suggest Mapping could not "
                                         "remember its choices. Cannot open file \"") +
                          learned + QStringLiteral("\". Is a directory.")));
        QVERIFY(!workspace.MappingModified());
    }

    void AChangedHeaderLineIsNamedAndTheColumnsFollowed()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees(); // Name,TIN,Amount,City
        Workspace& workspace = fixture.Work();
        workspace.ApplySuggestions({{RowOf(workspace, "Name line 1"), 1, {}},
                                    {RowOf(workspace, "Taxpayer id"), 2, {}},
                                    {RowOf(workspace, "Nonemployee compensation"), 3, {}}});
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("payees.MAP"));
        workspace.SaveMapping(map.toStdString());

        // Next year the columns moved, one was renamed, one is new.
        fixture.WriteFile(QStringLiteral("payees.csv"),
                          "TIN,Name,Memo,Total,City\r\n123456789,Ann,x,5,Albany\r\n");
        const QString text = QStringLiteral(
            "The header line of payees.csv is not the one saved with payees.MAP:\r\n\r\n"
            "Column 1 \"Name\" is now column 2; column 2 \"TIN\" is now column 1; column 3 was "
            "\"Amount\", now \"Memo\"; column 4 \"City\" is now column 5; column 4 \"Total\" is "
            "new.\r\n\r\nThe mapping still takes its columns by their numbers. Re-match by name "
            "to follow the columns to where they stand now.");
        AskedPrompt notice = Message(QStringLiteral("Source Header Changed"), text, Icon::Warning,
                                     {Button::Yes, Button::No}, Button::Yes);
        notice.buttonTexts = {QStringLiteral("&Re-match by Name"), QStringLiteral("&Keep Columns")};

        // Keep Columns: the mapping stays as saved.
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Enter(map).Press(Button::No);
        window.MapFiles().sbOpenMapClick();
        QTRY_COMPARE(fixture.Prompts().Asked().size(), size_t(2));
        QCOMPARE(fixture.Prompts().Last(), notice);
        const QList<int> saved = Mapped(workspace);
        QCOMPARE(saved[RowOf(workspace, "Name line 1")], 1);
        QVERIFY(window.findChild<SuggestDialog*>() == nullptr);

        // Re-match by name: the dialog follows the moved columns.
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Enter(map).Press(Button::Yes);
        window.MapFiles().sbOpenMapClick();
        QTRY_VERIFY(window.findChild<SuggestDialog*>() != nullptr);
        SuggestDialog* dialog = window.findChild<SuggestDialog*>();
        const QStringList expected{
            "Name line 1 | 2 | Name | Ann | High (100) | \"Name\" moved from column 1 | ticked",
            "City | 5 | City | Albany | High (100) | same name | not ticked",
            "Taxpayer id | 1 | TIN | 123456789 | High (100) | \"TIN\" moved from column 2 | ticked",
            "Nonemployee compensation | 4 | Total | 5 | High (95) | synonym of Nonemployee "
            "compensation; replaces column 3 | ticked"};
        QCOMPARE(ProposedRows(dialog->Model()), expected);
        dialog->accept();
        QList<int> followed = saved;
        followed[RowOf(workspace, "Name line 1")] = 2;
        followed[RowOf(workspace, "Taxpayer id")] = 1;
        followed[RowOf(workspace, "Nonemployee compensation")] = 4;
        QCOMPARE(Mapped(workspace), followed);
    }
};

QTEST_MAIN(SuggestMappingWindowTest)
#include "SuggestMappingWindowTest.moc"

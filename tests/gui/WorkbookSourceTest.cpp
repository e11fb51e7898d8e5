// A workbook as the source: the sheet chooser, the label and the Delimiter box, Save Source as a
// text file with its question, and the sheet kept in the map file.

#include "MainWindowTestSupport.h"

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

QByteArray DataFile(const QString& name)
{
    return WindowFixture::ReadFile(QStringLiteral(IMPMAP_TEST_DATA "/workbooks/") + name);
}

AskedPrompt SheetChooser(const QString& book, const QString& preselected)
{
    AskedPrompt prompt;
    prompt.kind = PromptKind::ChooseSheet;
    prompt.title = book;
    prompt.text = QStringLiteral("Payees 2022 (6 rows)\nSecond (3 rows)\nHidden (1 row, hidden)");
    prompt.initial = preselected;
    return prompt;
}

// Copies a test workbook into the fixture's home and opens its sheet Second through the locate
// button and the sheet chooser; returns the copy's path.
QString OpenSecondSheet(WindowFixture& fixture, const QString& name, const QString& book)
{
    const QString path = fixture.WriteFile(name, DataFile(book));
    fixture.Prompts().Enter(path).Enter(QStringLiteral("Second"));
    fixture.Window().Sources().edSourceFileButtonClick();
    return path;
}

QString FirstField(const MainWindowUi& ui)
{
    return ui.lvSource->model()->index(0, 1).data().toString();
}

} // namespace

class WorkbookSourceTest : public QObject
{
    Q_OBJECT

private slots:
    void LocatingAWorkbookAsksForTheSheet_data()
    {
        QTest::addColumn<QString>("book");
        QTest::newRow("xlsx") << "xlsxwriter-inline.xlsx";
        QTest::newRow("ods") << "libreoffice.ods";
        QTest::newRow("xls") << "libreoffice.xls";
    }

    void LocatingAWorkbookAsksForTheSheet()
    {
        QFETCH(QString, book);
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = OpenSecondSheet(fixture, book, book);
        QCOMPARE(fixture.Prompts().Asked().size(), 2u);
        QCOMPARE(fixture.Prompts().Asked()[1], SheetChooser(book, QStringLiteral("Payees 2022")));
        QCOMPARE(ui.edSourceFile->text(), path);
        QCOMPARE(ui.lbSourceEncoding->text(), QStringLiteral("Workbook, sheet Second"));
        QCOMPARE(ui.cbDelimiter->currentText(), QStringLiteral("Tab"));
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("3"));
        QCOMPARE(FirstField(ui), QStringLiteral("Second sheet"));

        // Cancelling the chooser leaves the source as it was.
        fixture.Prompts().Enter(path).Cancel();
        fixture.Window().Sources().edSourceFileButtonClick();
        QCOMPARE(ui.lbSourceEncoding->text(), QStringLiteral("Workbook, sheet Second"));
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("3"));
    }

    void AWorkbookOfOneSheetOpensAtOnce()
    {
        WindowFixture fixture;
        fixture.Start();
        const QString path = fixture.WriteFile(QStringLiteral("single.xlsx"),
                                               DataFile(QStringLiteral("single.xlsx")));
        fixture.Locate(path);
        QCOMPARE(fixture.Prompts().Asked().size(), 1u);
        QCOMPARE(fixture.Ui().lbSourceEncoding->text(), QStringLiteral("Workbook, sheet Only"));
        QCOMPARE(FirstField(fixture.Ui()), QStringLiteral("Name"));
    }

    void SaveSourceWritesTheSheetAsText()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = OpenSecondSheet(fixture, QStringLiteral("payees.xlsx"),
                                             QStringLiteral("xlsxwriter.xlsx"));
        const QByteArray workbook = DataFile(QStringLiteral("xlsxwriter.xlsx"));
        fixture.Work().NavigateNext();
        fixture.Work().ChangeSourceFieldValue(1, "A");
        QVERIFY(ui.edSourceFileSave->isVisible());

        // No: nothing written, the workbook stays the source.
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Press(Button::No);
        fixture.Window().Sources().edSourceFileAltBtnClick();
        const AskedPrompt question = Message(
            QStringLiteral("Save Source"),
            QStringLiteral("The workbook itself is never written. Save the sheet \"Second\" as a "
                           "tab-delimited text file (UTF-8) instead?\r\nFrom then on, that text "
                           "file is the source."),
            Icon::Question, {Button::Yes, Button::No}, Button::Yes);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{question});
        QVERIFY(fixture.Work().SourceIsWorkbook());

        const QString text = QDir(fixture.Home()).filePath(QStringLiteral("payees - Second.txt"));
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Press(Button::Yes).Enter(text);
        fixture.Window().Sources().edSourceFileAltBtnClick();
        AskedPrompt save;
        save.kind = PromptKind::SaveFile;
        save.title = QStringLiteral("Save the sheet as text");
        save.folder = QFileInfo(path).absolutePath();
        save.filter = QStringLiteral("Text (*.TXT)|*.TXT|All Files (*.*)|*.*");
        save.defaultSuffix = QStringLiteral("txt");
        save.initial = QStringLiteral("payees - Second.txt");
        QCOMPARE(fixture.Prompts().Asked(), (std::vector<AskedPrompt>{question, save}));
        QCOMPARE(WindowFixture::ReadFile(text),
                 QByteArray("Second sheet\t\t\r\nA\t1\t2.5\r\nb\t2\t0.0000001\r\n"));
        QCOMPARE(WindowFixture::ReadFile(path), workbook);
        QCOMPARE(ui.edSourceFile->text(), text);
        QCOMPARE(ui.lbSourceEncoding->text(), QStringLiteral("UTF-8"));
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QVERIFY(!fixture.Work().SourceIsWorkbook());
    }

    void TheMapFileKeepsTheSheet()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = OpenSecondSheet(fixture, QStringLiteral("payees.ods"),
                                             QStringLiteral("libreoffice.ods"));
        ChooseForm(fixture.Window(), "1099-NEC");
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("book.MAP"));
        fixture.Prompts().Enter(map);
        QTest::mouseClick(ui.sbSaveMap, Qt::LeftButton);
        QVERIFY(WindowFixture::ReadFile(map).contains("Sheet=Second\r\n"));

        WindowFixture reopened;
        reopened.Start();
        reopened.Prompts().Enter(map);
        reopened.Window().MapFiles().sbOpenMapClick();
        QCOMPARE(reopened.Ui().lbSourceEncoding->text(), QStringLiteral("Workbook, sheet Second"));
        QCOMPARE(FirstField(reopened.Ui()), QStringLiteral("Second sheet"));

        // A sheet that is gone: the error names it and the sheets there are.
        QByteArray bytes = WindowFixture::ReadFile(map);
        bytes.replace("Sheet=Second", "Sheet=Gone");
        const QString gone = reopened.WriteFile(QStringLiteral("gone.MAP"), bytes);
        reopened.Prompts().ClearAsked();
        reopened.Prompts().Enter(gone).Press(Button::Ok);
        reopened.Window().MapFiles().sbOpenMapClick();
        const AskedPrompt& error = reopened.Prompts().Last();
        QCOMPARE(error.icon, Icon::Critical);
        QCOMPARE(error.text, QStringLiteral("Cannot open file \"") + path +
                                 QStringLiteral("\". The workbook has no sheet \"Gone\"; its "
                                                "sheets are \"Payees 2022\", \"Second\", "
                                                "\"Hidden\""));
    }
};

QTEST_MAIN(WorkbookSourceTest)
#include "WorkbookSourceTest.moc"

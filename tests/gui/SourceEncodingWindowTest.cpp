// What the window shows and stores for source files of each format: the encoding next to the
// file name, the lists, the Source view, the field guide, typed values in the file's encoding,
// UTF-16 refused, and records broken by line breaks inside quoted values.

#include "MainWindowTestSupport.h"
#include "window/MappingController.h"
#include "window/MappingHints.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

QStringList Column(const QAbstractItemView* view, int column)
{
    QStringList texts;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QPoint RowCentre(QTreeView* view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

QByteArray Fixture(const QString& folder, const char* file = "source.csv")
{
    return WindowFixture::ReadFile(QStringLiteral(IMPMAP_TEST_DATA "/encodings/") + folder + u'/' +
                                   QLatin1String(file));
}

AskedPrompt InformationBox(const QString& text)
{
    return Message(QStringLiteral("Information"), text, Icon::Information, {Button::Ok},
                   Button::Ok);
}

// Every character of Windows-1252 from 0x80 to 0xFF, U+FFFD for the five unassigned bytes.
const QString kHighHalf = QStringLiteral(
    "\u20ac\ufffd\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\ufffd"
    "\u017d\ufffd\ufffd\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a"
    "\u0153\ufffd\u017e\u0178");

} // namespace

class SourceEncodingWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void EveryFormatShowsTheSameNames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("details");
        const struct
        {
            const char* folder;
            const char* encoding;
            const char* details;
        } rows[] = {
            {"utf8-bom", "UTF-8", "UTF-8 text with a byte-order mark; its lines end with CR LF"},
            {"utf8", "UTF-8", "UTF-8 text; its lines end with CR LF"},
            {"lf", "UTF-8", "UTF-8 text; its lines end with LF"},
            {"mixed", "UTF-8", "UTF-8 text; its lines end with LF"},
            {"windows-1252", "Windows-1252", "Windows-1252 text; its lines end with CR LF"},
            {"cr", "Windows-1252", "Windows-1252 text; its lines end with CR"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.folder) << row.folder << row.encoding
                                      << QStringLiteral("The source file is ") + row.details;
    }
    void EveryFormatShowsTheSameNames()
    {
        QFETCH(QString, folder);
        QFETCH(QString, encoding);
        QFETCH(QString, details);
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        fixture.Locate(fixture.WriteFile(folder + QStringLiteral(".csv"), Fixture(folder)));
        QCOMPARE(ui.lbSourceEncoding->text(), encoding);
        QCOMPARE(ui.lbSourceEncoding->toolTip(), details);
        QCOMPARE(Column(ui.lvSource, 1),
                 QStringList({"Name line 1", "Street address line 1", "City", "Rents"}));

        ChooseForm(window, "1099-MISC");
        fixture.Prompts().Press(Button::Yes);
        ui.popupMapByName->trigger();
        window.Sources().rgHeaderClick(1);
        const QStringList record{QStringLiteral("M\u00fcller, Jos\u00e9"),
                                 QStringLiteral("1 \u201cMain\u201d St"),
                                 QStringLiteral("K\u00f6ln"), QStringLiteral("100.50")};
        QCOMPARE(Column(ui.lvSource, 1), record);
        const QString line = QStringLiteral("\"M\u00fcller, Jos\u00e9\",\"1 \u201cMain\u201d "
                                            "St\",K\u00f6ln,100.50");
        QCOMPARE(ui.reSource->model()->index(0, 0).data().toString(), line);
        QCOMPARE(ui.edSourceRecord->text(), line);
        fixture.Work().SetOutput({std::string(fixture.Work().CurrentRecordText())});
        QCOMPARE(ui.reOutput->model()->index(0, 0).data().toString(), line);
        QCOMPARE(Column(ui.lvDestination, 1).mid(0, 5),
                 QStringList({record[0], QString(), record[1], QString(), record[2]}));

        ui.lvDestination->setCurrentIndex(ui.lvDestination->model()->index(0, 0));
        QCOMPARE(window.Mapping().Hints().DestinationHintAt(RowCentre(ui.lvDestination, 0)),
                 QStringLiteral("Name line 1\r\n\r\nData mapped = M\u00fcller, Jos\u00e9"));
        ui.lvSource->setCurrentIndex(ui.lvSource->model()->index(2, 0));
        QCOMPARE(window.Mapping().Hints().SourceHintAt(RowCentre(ui.lvSource, 2)),
                 QStringLiteral("Source Value = K\u00f6ln"));

        if (encoding == QStringLiteral("Windows-1252")) {
            QByteArray upperHalf;
            for (int byte = 0xA0; byte <= 0xFF; ++byte)
                upperHalf += static_cast<char>(byte);
            window.Sources().sbLastClick();
            QCOMPARE(ui.edSourceRecord->text(), QStringLiteral("All bytes,") + kHighHalf +
                                                    QString::fromLatin1(upperHalf) +
                                                    QStringLiteral(",x,1"));
        }
        QCOMPARE(fixture.Prompts().PendingAnswers(), size_t{0});
    }

    void TypedTextIsStoredInTheFileEncodingOrRefused_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("dash");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("Windows-1252")
            << "windows-1252" << QByteArray("FEE \x96 5 \x80")
            << QStringLiteral("The character \"\u0100\" (U+0100) cannot be stored in a "
                              "Windows-1252 source file.");
        QTest::newRow("UTF-8") << "utf8" << QByteArray("FEE \xE2\x80\x93 5 \xE2\x82\xAC")
                               << QString();
    }
    void TypedTextIsStoredInTheFileEncodingOrRefused()
    {
        QFETCH(QString, folder);
        QFETCH(QByteArray, dash);
        QFETCH(QString, refusal);
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = fixture.WriteFile(QStringLiteral("names.csv"), Fixture(folder));
        fixture.Locate(path);
        ChooseForm(window, "1099-MISC");
        window.Sources().rgHeaderClick(1);
        const auto rowValue = [&](int row) {
            return QByteArray::fromStdString(fixture.Work().Rows()[row].value);
        };

        fixture.Prompts().Enter(QStringLiteral("FEE \u2013 5 \u20ac"));
        window.Mapping().lvDestinationRightClick(RowCentre(ui.lvDestination, 1));
        QCOMPARE(rowValue(1), dash);

        fixture.Prompts().Enter(QStringLiteral("A\u0100"));
        if (!refusal.isEmpty())
            fixture.Prompts().Press(Button::Ok);
        window.Mapping().lvDestinationRightClick(RowCentre(ui.lvDestination, 1));
        if (refusal.isEmpty()) {
            QCOMPARE(rowValue(1), QByteArray("A\xC4\x80"));
            return;
        }
        QCOMPARE(Describe(fixture.Prompts().Last()), Describe(ErrorBox(refusal)));
        QCOMPARE(rowValue(1), dash);

        // An edited source field goes back to the file in its encoding, line end kept.
        fixture.Prompts().Enter(QStringLiteral("Z\u00fcrich \u2013 Ost")).Press(Button::Ok);
        window.Mapping().lvSourceRightClick(RowCentre(ui.lvSource, 2));
        window.Sources().edSourceFileAltBtnClick();
        QByteArray expected = Fixture(folder);
        expected.replace("K\xF6ln", "\"Z\xFCrich \x96 Ost\"");
        QCOMPARE(WindowFixture::ReadFile(path), expected);
    }

    void UnassignedBytesShowAsReplacementMarksAndStay()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QByteArray bytes("a\x81"
                               "b,\x9D\r\n");
        const QString path = fixture.WriteFile(QStringLiteral("odd.csv"), bytes);
        fixture.Locate(path);
        QCOMPARE(Column(ui.lvSource, 1),
                 QStringList({QStringLiteral("a\ufffdb"), QStringLiteral("\ufffd")}));
        fixture.Prompts().Enter(QStringLiteral("a\ufffdb"));
        window.Mapping().lvSourceRightClick(RowCentre(ui.lvSource, 0));
        QCOMPARE(fixture.Prompts().Asked().size(), size_t{2}); // the open dialog, the input box
        QVERIFY(!fixture.Work().SourceModified());
        QCOMPARE(fixture.Work().Lines().Line(0), std::string_view("a\x81"
                                                                  "b,\x9D"));
    }

    // Plain ASCII is named so, rather than after the encoding it would be written in.
    void PlainAsciiIsNamedAscii()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Locate(fixture.WriteFile(QStringLiteral("plain.csv"), kPayees));
        QCOMPARE(fixture.Ui().lbSourceEncoding->text(), QStringLiteral("ASCII"));
        QCOMPARE(fixture.Ui().lbSourceEncoding->toolTip(),
                 QStringLiteral("The source file is ASCII text; its lines end with CR LF"));
    }

    void Utf16IsRefusedAtOpen()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path =
            fixture.WriteFile(QStringLiteral("wide.csv"), Fixture(QStringLiteral("utf16be")));
        fixture.Prompts().Enter(path).Press(Button::Ok);
        window.Sources().edSourceFileButtonClick();
        QCOMPARE(Describe(fixture.Prompts().Last()),
                 Describe(ErrorBox(QStringLiteral("Cannot open file \"") + path +
                                   QStringLiteral("\". It is UTF-16 BE text, which cannot be read "
                                                  "here: save it as UTF-8 or ANSI text and open "
                                                  "it again."))));
        QCOMPARE(ui.edSourceFile->text(), QString());
        QCOMPARE(ui.lbSourceEncoding->text(), QString());
        QVERIFY(!ui.tabs->isTabVisible(ui.tabs->indexOf(ui.tabSource)));
        QCOMPARE(fixture.Work().RecordCount(), size_t{0});
    }

    void BrokenRecordsAreNoticedAndJoinedOnRequest()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = fixture.WriteFile(
            QStringLiteral("broken.csv"),
            "Name,City\n\"Doe\nJohn\",\"New\nYork\"\nRoe,Boston\n\"Poe\nJr\",x\n");
        fixture.Prompts().Enter(path).Press(Button::Ok);
        window.Sources().edSourceFileButtonClick();
        QCoreApplication::processEvents();
        const QString notice = QStringLiteral(
            "3 records end inside a quoted value that the next line continues (a cell with a "
            "line break?); the first is record 2.\r\nEach line is read as a record of its own. "
            "Tools > Join Lines Broken Inside Quotes joins them.");
        QCOMPARE(Describe(fixture.Prompts().Last()), Describe(InformationBox(notice)));
        QCOMPARE(fixture.Prompts().Asked().size(), size_t{2});

        // The same file again tells nothing new.
        window.Sources().cbDelimiterChange(2);
        QCoreApplication::processEvents();
        QCOMPARE(fixture.Prompts().Asked().size(), size_t{2});

        emit ui.popupTools->aboutToShow();
        QVERIFY(ui.popupJoinLines->isEnabled());
        QCOMPARE(ui.popupJoinLines->text(), QStringLiteral("&Join Lines Broken Inside Quotes"));
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Press(Button::No);
        ui.popupJoinLines->trigger();
        const QString question = QStringLiteral(
            "3 records of the source file end inside a quoted value that the next line "
            "continues; the first is record 2.\r\nReplace each of these line breaks with a blank "
            "and save the source file?");
        QCOMPARE(Describe(fixture.Prompts().Last()),
                 Describe(Message(QStringLiteral("Confirm"), question, Icon::Question,
                                  {Button::Yes, Button::No}, Button::No)));
        QCOMPARE(fixture.Work().RecordCount(), size_t{7});

        fixture.Prompts().Press(Button::Yes).Press(Button::Ok);
        ui.popupJoinLines->trigger();
        QCOMPARE(Describe(fixture.Prompts().Last()),
                 Describe(InformationBox(
                     QStringLiteral("3 line breaks replaced by blanks; the source file was "
                                    "saved.\r\nThe file as it was is kept in ") +
                     path + QStringLiteral(".bak."))));
        QCOMPARE(WindowFixture::ReadFile(path + QStringLiteral(".bak")),
                 QByteArray("Name,City\n\"Doe\nJohn\",\"New\nYork\"\nRoe,Boston\n\"Poe\nJr\",x\n"));
        QCOMPARE(WindowFixture::ReadFile(path),
                 QByteArray("Name,City\n\"Doe John\",\"New York\"\nRoe,Boston\n\"Poe Jr\",x\n"));
        QCOMPARE(fixture.Work().RecordCount(), size_t{4});
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
        QCoreApplication::processEvents();
        QCOMPARE(fixture.Prompts().PendingAnswers(), size_t{0});
    }

    void SemicolonDelimitedSourcesAreNoticedOnce()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        const QString path = fixture.WriteFile(QStringLiteral("regional.csv"),
                                               "Name;TIN;Amount\r\nDoe;123456789;980,50\r\n");
        fixture.Prompts().Enter(path).Press(Button::Ok);
        window.Sources().edSourceFileButtonClick();
        QCoreApplication::processEvents();
        QCOMPARE(Describe(fixture.Prompts().Last()),
                 Describe(InformationBox(
                     path + QStringLiteral(" looks semicolon-delimited; save it with commas or "
                                           "tabs."))));
        QCOMPARE(fixture.Prompts().Asked().size(), size_t{2});
        window.Sources().cbDelimiterChange(2);
        QCoreApplication::processEvents();
        QCOMPARE(fixture.Prompts().Asked().size(), size_t{2});
    }
};

QTEST_MAIN(SourceEncodingWindowTest)
#include "SourceEncodingWindowTest.moc"

#include "window/MappingToolsMenu.h"

#include "MappingTestFixture.h"

using namespace impmap;
using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

const QString kFilter = QStringLiteral("Text Format|*.TXT|Comma Separated|*.CSV");

AskedPrompt SaveHeaderDialog(const QString& folder, const QString& name, int filterIndex)
{
    AskedPrompt asked;
    asked.kind = PromptKind::SaveFile;
    asked.title = QStringLiteral("Save header...");
    asked.folder = folder;
    asked.filter = kFilter;
    asked.defaultSuffix = QStringLiteral("TXT");
    asked.initial = name;
    asked.selectedFilterIndex = filterIndex;
    return asked;
}

QByteArray FileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The mapping as "field" per row, for whole comparisons.
QList<int> Mapped(const Workspace& workspace)
{
    QList<int> fields;
    for (const DestinationRow& row : workspace.Rows()) {
        fields << row.sourceFieldNo;
    }
    return fields;
}

} // namespace

class MappingToolsMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void headerEntry_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<Delimiter>("delimiter");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        const int ale = AleGroup();
        const int misc = FindFormIndex("1099-MISC");
        QTest::newRow("nothing chosen")
            << -1 << Delimiter::None << "Cannot Create Header File (Delimiter Required)" << false;
        QTest::newRow("form only")
            << ale << Delimiter::None << "Cannot Create Header File (Delimiter Required)" << false;
        QTest::newRow("delimiter only")
            << -1 << Delimiter::Comma << "Cannot Create Header File (Tax Form Required)" << false;
        QTest::newRow("tab") << ale << Delimiter::Tab
                             << "&Create Tab Delimited Header File for ALE Group" << true;
        QTest::newRow("comma") << misc << Delimiter::Comma
                               << "&Create Comma Delimited Header File for 1099-MISC" << true;
        QTest::newRow("pipe") << ale << Delimiter::Pipe
                              << "&Create Pipe Delimited Header File for ALE Group" << true;
    }

    void headerEntry()
    {
        QFETCH(int, form);
        QFETCH(Delimiter, delimiter);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        const HeaderEntry entry = CreateHeaderEntry(form, delimiter);
        QCOMPARE(entry.caption, caption);
        QCOMPARE(entry.enabled, enabled);
    }

    void openingTheMenuSetsItsEntries_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<HeaderMode>("header");
        QTest::addColumn<bool>("mapByName");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("headerCaption");
        QTest::addColumn<bool>("headerEnabled");
        QTest::newRow("form, header read")
            << AleGroup() << HeaderMode::Read << true << true
            << "&Create Tab Delimited Header File for ALE Group" << true;
        QTest::newRow("header skipped")
            << AleGroup() << HeaderMode::Skip << false << true
            << "&Create Tab Delimited Header File for ALE Group" << true;
        QTest::newRow("no form") << -1 << HeaderMode::Read << false << false
                                 << "Cannot Create Header File (Tax Form Required)" << false;
    }

    void openingTheMenuSetsItsEntries()
    {
        QFETCH(int, form);
        QFETCH(HeaderMode, header);
        QFETCH(bool, mapByName);
        QFETCH(bool, reset);
        QFETCH(QString, headerCaption);
        QFETCH(bool, headerEnabled);
        MappingFixture f(kSource, form);
        f.workspace.SetHeader(header);
        f.ui.popupTools->popup(f.window.mapToGlobal(QPoint(10, 10)));
        QCOMPARE(f.ui.popupMapByName->isEnabled(), mapByName);
        QCOMPARE(f.ui.popupResetMapping->isEnabled(), reset);
        QCOMPARE(f.ui.popupCreateHeader->text(), headerCaption);
        QCOMPARE(f.ui.popupCreateHeader->isEnabled(), headerEnabled);
        f.ui.popupTools->close();
        QCOMPARE(f.ui.bTools->menu(), f.ui.popupTools);
    }

    void mapByNameAsksFirst()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(5, 6);
        f.workspace.SetFixedValue(2, std::string("KEEP"));
        f.workspace.MergeInto(2, 3);
        const AskedPrompt question = MessageBox(
            QStringLiteral("Map by Name Confirmation"),
            QStringLiteral("Vellorum will attempt to map your source file to Form \"ALE Group\" "
                           "based solely upon the field names in the header record of your "
                           "source file.\r\n\r\nOkay to proceed?"),
            Icon::Question, {Button::Yes, Button::No}, Button::Yes, true);

        f.prompts.Press(Button::No);
        f.ui.popupMapByName->trigger();
        COMPARE_PROMPTS(f.prompts.Asked(), question);
        QCOMPARE(Mapped(f.workspace), (QList<int>{0, 0, 0, 0, 0, 6}));

        f.prompts.ClearAsked();
        f.prompts.Press(Button::Yes);
        f.ui.popupMapByName->trigger();
        COMPARE_PROMPTS(f.prompts.Asked(), question);
        // Names match apart from letter case; "Count" is not "Average employee count".
        QCOMPARE(Mapped(f.workspace), (QList<int>{1, 2, 3, 4, 5, 0}));
        QCOMPARE(f.Row(4).value, std::string("name CONTROL"));
        QCOMPARE(f.workspace.MergeSources()[2], 0);
        QCOMPARE(f.workspace.CurrentRecord(), 1L);
    }

    void resetAsksAfterABeep()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(0, 1);
        f.workspace.SetFixedValue(2, std::string("KEEP"));
        const AskedPrompt confirm =
            MessageBox(QStringLiteral("Confirm"), QStringLiteral("Okay to reset this mapping?"),
                       Icon::Question, {Button::Yes, Button::No}, Button::Yes, false);

        f.prompts.Press(Button::No);
        f.ui.popupResetMapping->trigger();
        COMPARE_PROMPTS(f.prompts.Asked(), BeepPrompt(), confirm);
        QCOMPARE(f.Row(0).sourceFieldNo, 1);

        f.prompts.ClearAsked();
        f.prompts.Press(Button::Yes);
        f.ui.popupResetMapping->trigger();
        COMPARE_PROMPTS(f.prompts.Asked(), BeepPrompt(), confirm);
        QCOMPARE(Mapped(f.workspace), (QList<int>{0, 0, 0, 0, 0, 0}));
        QCOMPARE(f.Row(2).value, std::string());
        QCOMPARE(f.workspace.FormIndex(), AleGroup());
    }

    void createHeaderWritesOneLine_data()
    {
        QTest::addColumn<Delimiter>("delimiter");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("pipe") << Delimiter::Pipe << "ALE Group_2022_Header_Pipe" << 0
                              << QByteArray("Client ID|Name line 1|Name line 2|Employer id|Name "
                                            "control|Average employee count\r\n");
        QTest::newRow("comma") << Delimiter::Comma << "ALE Group_2022_Header_Comma" << 1
                               << QByteArray("\"Client ID\",\"Name line 1\",\"Name line "
                                             "2\",\"Employer id\",\"Name control\",\"Average "
                                             "employee count\"\r\n");
    }

    void createHeaderWritesOneLine()
    {
        QFETCH(Delimiter, delimiter);
        QFETCH(QString, proposed);
        QFETCH(int, filterIndex);
        QFETCH(QByteArray, contents);
        MappingFixture f;
        f.workspace.SetDelimiter(delimiter);
        f.workspace.SetModified(false);
        const QString path = f.dir.filePath(QStringLiteral("HEADER.TXT"));
        f.prompts.Enter(path);
        f.controller->ToolsMenu().popupToolsPopup();
        f.ui.popupCreateHeader->trigger();
        COMPARE_PROMPTS(f.prompts.Asked(),
                        SaveHeaderDialog(f.folders.headers, proposed, filterIndex));
        QCOMPARE(FileContents(path), contents);
        QVERIFY(!f.workspace.MappingModified());
    }

    void createHeaderFailureAndCancel()
    {
        MappingFixture f;
        const QString path = f.dir.filePath(QStringLiteral("MISSING/HEADER.TXT"));
        f.prompts.Enter(path).Press(Button::Ok).Cancel();
        f.ui.popupCreateHeader->trigger();
        COMPARE_PROMPTS(
            f.prompts.Asked(),
            SaveHeaderDialog(f.folders.headers, QStringLiteral("ALE Group_2022_Header_Tab"), 0),
            ErrorBox(QStringLiteral("Cannot create file \"") + path +
                     QStringLiteral("\". No such file or directory.")));
        QVERIFY(!QFile::exists(path));

        f.prompts.ClearAsked();
        f.ui.popupCreateHeader->trigger();
        QCOMPARE(f.prompts.Asked().size(), size_t{1});
        QCOMPARE(QDir(f.dir.path()).entryList({QStringLiteral("*.TXT")}),
                 QStringList{QStringLiteral("SOURCE.TXT")});
    }
};

QTEST_MAIN(MappingToolsMenuTest)
#include "MappingToolsMenuTest.moc"

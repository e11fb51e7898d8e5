// Start-up and closing of the main window: working folders, defaults, the settings read at the
// first showing and written at closing, and the last mapping reopened.

#include "MainWindowTestSupport.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

const QByteArray kExampleBytes =
    "First Name,Middle,Last Name,Tax ID,Address 1,City,State,Zip,Amount\r\n"
    "John,A,Doe,123-45-6789,1 First Street,New York,NY,10012-1002,150000.5\r\n"
    "\r\n"
    "John,B,Smith,123-45-6780,2 Second Street,LIC,NY,11101,3700.25\r\n"
    "Jane,A,Doe,321-45-6789,3 Third Street,Staten Island,NY,10306,4500\r\n"
    "\r\n"
    "Jane,Dee,Smith,321-45-6780,4 Fourth Street,Garden City,NY,11512-1112,16000\r\n";

QString StoredValue(const WindowFixture& fixture, const QString& key)
{
    QSettings ini(QDir(fixture.Home()).filePath(QStringLiteral("VELLORUM.ini")),
                  QSettings::IniFormat);
    return ini.value(key, QStringLiteral("<absent>")).toString();
}

} // namespace

class MainWindowStartTest : public QObject
{
    Q_OBJECT

private slots:
    void FreshStartMakesFoldersAndShowsAnEmptyWindow()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString maps = fixture.Maps();

        QVERIFY(QFileInfo(maps + QStringLiteral("/HEADERS")).isDir());
        QCOMPARE(WindowFixture::ReadFile(maps + QStringLiteral("/EXAMPLE/EXAMPLE_SOURCE.TXT")),
                 kExampleBytes);
        QCOMPARE(QDir::toNativeSeparators(QDir::currentPath()),
                 QDir::toNativeSeparators(QDir(maps).canonicalPath()));
        QCOMPARE(window.Folders().maps, maps);
        QCOMPARE(window.Folders().headers, maps + QStringLiteral("/HEADERS"));
        QCOMPARE(window.Folders().openSource, QDir::toNativeSeparators(QDir::currentPath()));
        QCOMPARE(window.Folders().saveOutput, QDir::toNativeSeparators(QDir::currentPath()));

        QCOMPARE(window.windowTitle(), kCaption);
        QCOMPARE(ui.coForm->count(), 38);
        QCOMPARE(ui.coForm->itemText(0), QStringLiteral("Clients"));
        QCOMPARE(ui.coForm->itemText(23), QStringLiteral("1099-NEC"));
        QCOMPARE(ui.coForm->itemText(37), QStringLiteral("W-2G"));
        QCOMPARE(ui.coForm->currentIndex(), -1);
        QCOMPARE(ui.coForm->maxVisibleItems(), 38);
        QCOMPARE(ui.tabs->currentWidget(), ui.tabMapping);
        QVERIFY(!ui.tabs->isTabVisible(1));
        QVERIFY(!ui.tabs->isTabVisible(2));

        QCOMPARE(ui.edSourceFile->text(), QStringLiteral(" "));
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.rgTraceButtons->checkedId(), 0);
        QCOMPARE(ui.rgDecimalButtons->checkedId(), 0);
        QCOMPARE(ui.rgHeaderButtons->checkedId(), 0);
        QCOMPARE(ui.cbDelimiter->currentIndex(), -1);
        for (QAbstractButton* button :
             {static_cast<QAbstractButton*>(ui.sbSaveMap),
              static_cast<QAbstractButton*>(ui.sbOpenSource),
              static_cast<QAbstractButton*>(ui.sbFirst),
              static_cast<QAbstractButton*>(ui.sbPrevious),
              static_cast<QAbstractButton*>(ui.sbNext), static_cast<QAbstractButton*>(ui.sbLast),
              static_cast<QAbstractButton*>(ui.bExecute),
              static_cast<QAbstractButton*>(ui.bSaveOutput),
              static_cast<QAbstractButton*>(ui.sbDeleteSourceLine)})
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        QCOMPARE(ui.pnRecord->text(), QString());
        QCOMPARE(ui.pnRecords->text(), QString());
        QCOMPARE(ui.lbRec->text(), QStringLiteral("0"));
        QCOMPARE(ui.edSourceRecord->text(), QString());
        QCOMPARE(ui.lvSource->model()->rowCount(), 0);
        QCOMPARE(ui.lvDestination->model()->rowCount(), 0);

        QVERIFY(window.FirstShowDone());
        QCOMPARE(window.LastWidth(), window.width());
        QCOMPARE(window.minimumSize(), window.size());
        QCOMPARE(StoredValue(fixture, QStringLiteral("Import/VL2022")),
                 QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        QVERIFY(fixture.Prompts().Asked().empty());
    }

    // The empty lists say what to do next until a form is chosen and a source file is open.
    void EmptyListsSayWhatToDoNext()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const auto placeholder = [](QTreeView* list) {
            const auto* label = list->viewport()->findChild<QLabel*>();
            return label != nullptr && label->isVisible() ? label->text() : QString();
        };
        const QString openSource =
            QStringLiteral("Open your source file with the flashlight button, or drop it here");
        QCOMPARE(placeholder(ui.lvDestination), QStringLiteral("Choose a tax form above"));
        QCOMPARE(placeholder(ui.lvSource), openSource);
        const auto* label = ui.lvSource->viewport()->findChild<QLabel*>();
        QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(ui.lvSource->viewport()->rect().contains(label->geometry()));

        ChooseForm(window, "1099-NEC");
        QCOMPARE(placeholder(ui.lvDestination), QString());
        QCOMPARE(placeholder(ui.lvSource), openSource);
        fixture.Locate(fixture.WriteFile(QStringLiteral("payees.csv"), kPayees));
        QCOMPARE(placeholder(ui.lvSource), QString());
        fixture.Prompts().Enter(QDir(fixture.Home()).filePath(QStringLiteral("gone.csv")));
        fixture.Prompts().Press(Button::Ok);
        window.Sources().edSourceFileButtonClick();
        QCOMPARE(placeholder(ui.lvSource), openSource);
    }

    void SettingsAreReadAtTheFirstShowing_data()
    {
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("stored folder") << true;
        QTest::newRow("stored folder deleted") << false;
    }

    void SettingsAreReadAtTheFirstShowing()
    {
        QFETCH(bool, folderExists);
        WindowFixture fixture;
        const QString sources = QDir(fixture.Home()).filePath(QStringLiteral("sources"));
        if (folderExists)
            QDir().mkpath(sources);
        fixture.Stored().SetSourcePath(sources);
        fixture.Stored().SetTextDirectory(QStringLiteral("/somewhere/outputs"));

        MainWindow& window = fixture.Start(false);
        // The source folder is read at the first showing, the text directory at creation.
        QCOMPARE(window.Folders().saveOutput, QStringLiteral("/somewhere/outputs"));
        window.show();
        QCOMPARE(window.Folders().openSource, folderExists ? sources : fixture.Maps());

        fixture.Prompts().Cancel();
        window.Sources().edSourceFileButtonClick();
        QCOMPARE(fixture.Prompts().Last().folder, folderExists ? sources : fixture.Maps());
    }

    void ClosingStoresTheLastMappingAndTheSourceFolder()
    {
        WindowFixture fixture;
        fixture.Stored().SetSourcePath(QStringLiteral("/previous/folder/"));
        fixture.Stored().SetLastMapping(QStringLiteral("/old/stale.MAP"));

        // A blank source file box keeps the stored folder; the last mapping is always written.
        fixture.Start();
        QVERIFY(fixture.Close());
        QCOMPARE(StoredValue(fixture, QStringLiteral("ImportMapping/2022/SourcePath")),
                 QStringLiteral("/previous/folder/"));
        QCOMPARE(StoredValue(fixture, QStringLiteral("ImportMapping/2022/LastMapping")), QString());

        fixture.Restart();
        const QString source = fixture.LoadPayees();
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("payees.MAP"));
        fixture.Prompts().Enter(map);
        fixture.Window().MapFiles().sbSaveMapClick();
        QVERIFY(fixture.Close());
        QCOMPARE(StoredValue(fixture, QStringLiteral("ImportMapping/2022/SourcePath")),
                 fixture.Home() + QDir::separator());
        QCOMPARE(StoredValue(fixture, QStringLiteral("ImportMapping/2022/LastMapping")), map);
        QCOMPARE(fixture.Stored().LastMapping(), map);
        QCOMPARE(fixture.Prompts().PendingAnswers(), 0u);
    }

    void TheLastMappingIsReopenedWithRecordOneShown()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        fixture.Work().AssignSourceField(0, 1);
        fixture.Work().AssignSourceField(3, 3);
        fixture.Window().Sources().sbLastClick();
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("payees.MAP"));
        fixture.Prompts().Enter(map);
        fixture.Window().MapFiles().sbSaveMapClick();
        QVERIFY(fixture.Close());

        MainWindow& window = fixture.Restart();
        MainWindowUi& ui = fixture.Ui();
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (payees.MAP)"));
        QCOMPARE(ui.coForm->currentText(), QStringLiteral("1099-NEC"));
        QCOMPARE(ui.cbDelimiter->currentIndex(), 1);
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("1"));
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
        const QAbstractItemModel* rows = ui.lvDestination->model();
        QCOMPARE(rows->index(0, 1).data().toString(), QStringLiteral("Name"));
        QCOMPARE(rows->index(0, 2).data().toString(), QStringLiteral("1"));
        QCOMPARE(rows->index(3, 2).data().toString(), QStringLiteral("3"));
        QVERIFY(!ui.sbSaveMap->isEnabled());
        QVERIFY(ui.bExecute->isEnabled());
        QVERIFY(fixture.Prompts().Asked().size() == 2); // the two dialogs of the first run
    }

    void AMissingLastMappingStartsSilentlyAndIsForgotten()
    {
        WindowFixture fixture;
        fixture.Stored().SetLastMapping(QDir(fixture.Home()).filePath(QStringLiteral("gone.MAP")));
        MainWindow& window = fixture.Start();
        QVERIFY(fixture.Prompts().Asked().empty());
        QCOMPARE(window.windowTitle(), kCaption);
        QCOMPARE(fixture.Ui().coForm->currentIndex(), -1);
        QCOMPARE(fixture.Work().LastMappingPath(), std::string());
        QVERIFY(fixture.Close());
        QCOMPARE(fixture.Stored().LastMapping(), QString());
    }

    void ShowingAgainShowsRecordOneUnlessARunIsOn()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        fixture.LoadPayees();
        window.Sources().sbLastClick();
        QCOMPARE(fixture.Ui().pnRecord->text(), QStringLiteral("4"));

        fixture.Work().SetExecuting(true);
        window.hide();
        window.show();
        QCOMPARE(fixture.Ui().pnRecord->text(), QStringLiteral("4"));

        fixture.Work().SetExecuting(false);
        window.hide();
        window.show();
        QCOMPARE(fixture.Ui().pnRecord->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(MainWindowStartTest)
#include "MainWindowStartTest.moc"

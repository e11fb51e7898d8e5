// Files from the desktop: the command line, a later start's file, drops, the recent maps and the
// keys of the map buttons.

#include "MainWindowTestSupport.h"
#include "desktop/DesktopFiles.h"
#include "window/MappingController.h"

#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

// Saves the current mapping as name in the maps folder; returns its path.
QString SaveMap(WindowFixture& fixture, const QString& name)
{
    const QString map = QDir(fixture.Maps()).filePath(name);
    fixture.Prompts().Enter(map);
    fixture.Window().MapFiles().sbSaveMapClick();
    return map;
}

// A map of kPayees onto 1099-NEC with Name line 1 from the first column, and its source file.
QString PayeesMap(WindowFixture& fixture, const QString& name = QStringLiteral("payees.MAP"))
{
    fixture.LoadPayees();
    fixture.Window().Mapping().lvDestinationDragDrop(0, 1);
    return SaveMap(fixture, name);
}

// Drags urls onto target and drops them there: whether the drag was taken, and the drop.
bool Drop(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

QStringList MenuTexts(QMenu* menu)
{
    emit menu->aboutToShow();
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (grey)"));
    return texts;
}

QAction* MenuEntry(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    qFatal("no entry %s", qPrintable(text));
}

} // namespace

class DesktopOpeningTest : public QObject
{
    Q_OBJECT

private slots:
    // A map file named on the command line opens in place of the last mapping, which is not
    // read at all; a source file opens after it, in place of its source.
    void TheCommandLineFileOpensAtTheFirstShowing()
    {
        WindowFixture fixture;
        fixture.Start();
        const QString last = PayeesMap(fixture, QStringLiteral("last.MAP"));
        fixture.Work().ChooseForm(impmap::FindFormIndex("W-2C"));
        const QString named = SaveMap(fixture, QStringLiteral("named.MAP"));
        const QString other = fixture.WriteFile(QStringLiteral("other.csv"), "x,y\r\n1,2\r\n");
        fixture.Stored().SetLastMapping(last);
        fixture.Stored().SetRecentMaps({});

        MainWindow* window = &fixture.Restart(false);
        window->Desktop().SetStartFile(named);
        window->show();
        QTRY_COMPARE(window->windowTitle(), kCaption + QStringLiteral(" (named.MAP)"));
        QCOMPARE(fixture.Work().FormIndex(), impmap::FindFormIndex("W-2C"));
        QCOMPARE(fixture.Stored().RecentMaps(), QStringList{named});

        window = &fixture.Restart(false);
        window->Desktop().SetStartFile(other);
        window->show();
        QCOMPARE(fixture.Work().FormIndex(), impmap::FindFormIndex("1099-NEC")); // the last mapping
        QTRY_COMPARE(fixture.Ui().edSourceFile->text(), other);
        QCOMPARE(fixture.Ui().edSourceFile->text(), other);
        QCOMPARE(fixture.Ui().pnRecords->text(), QStringLiteral("2"));
        QCOMPARE(fixture.Prompts().PendingAnswers(), 0u);
    }

    void AFileThatCannotBeOpenedIsReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString missing =
            QStringLiteral("Cannot open file \"%1\". No such file or directory.");
        QTest::newRow("map") << QStringLiteral("gone.MAP") << missing;
        QTest::newRow("source") << QStringLiteral("gone.csv") << missing;
        QTest::newRow("folder") << QStringLiteral("folder.map")
                                << QStringLiteral("Cannot open file \"%1\". Is a directory.");
    }

    void AFileThatCannotBeOpenedIsReported()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        WindowFixture fixture;
        const QString path = QDir(fixture.Home()).filePath(name);
        QDir(fixture.Home()).mkdir(QStringLiteral("folder.map"));
        fixture.Start(false).Desktop().SetStartFile(path);
        fixture.Prompts().Press(Button::Ok);
        fixture.Window().show();
        QTRY_COMPARE(fixture.Prompts().Asked(),
                     std::vector<AskedPrompt>{ErrorBox(message.arg(path))});
    }

    // A dropped map or source file opens as if chosen in its dialog, wherever it lands; a changed
    // mapping is offered for saving first. Several files, a folder or a web address open nothing.
    void DroppedFilesOpenAsIfChosen()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString map = PayeesMap(fixture);
        const QString other = fixture.WriteFile(QStringLiteral("other.csv"), "x,y\r\n1,2\r\n");
        ChooseForm(window, "W-2C");
        fixture.Prompts().ClearAsked();

        QVERIFY(
            !Drop(ui.lvSource->viewport(), {QUrl::fromLocalFile(map), QUrl::fromLocalFile(other)}));
        QVERIFY(!Drop(ui.lvSource->viewport(), {QUrl::fromLocalFile(fixture.Maps())}));
        QVERIFY(!Drop(ui.edSourceFile, {QUrl(QStringLiteral("https://example.org/a.MAP"))}));
        QVERIFY(!ui.edSourceFile->text().contains(QStringLiteral("example")));

        fixture.Prompts().Press(Button::No);
        QVERIFY(Drop(ui.lvDestination->viewport(), {QUrl::fromLocalFile(map)}));
        QCOMPARE(fixture.Work().FormIndex(),
                 impmap::FindFormIndex("W-2C")); // not inside the drop itself
        QTRY_COMPARE(fixture.Work().FormIndex(), impmap::FindFormIndex("1099-NEC"));
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{AskSaveMappingBox()});
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (payees.MAP)"));

        QVERIFY(Drop(ui.edSourceFile, {QUrl::fromLocalFile(other)}));
        QTRY_COMPARE(ui.edSourceFile->text(), other);
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("2"));
        QVERIFY(Drop(ui.bClose, {QUrl::fromLocalFile(map)})); // the window takes it for the button
    }

    // A file handed over by a later start waits while a dialog is up, then opens.
    void AHandedOverFileWaitsForTheWindow()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        const QString source = fixture.WriteFile(QStringLiteral("payees.csv"), kPayees);
        QDialog dialog(&window);
        dialog.setModal(true);
        dialog.show();
        QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
        window.Desktop().Open(source);
        QTest::qWait(400);
        QCOMPARE(window.Desktop().Pending(), source);
        QVERIFY(!fixture.Work().SourceLoaded());
        dialog.close();
        QTRY_VERIFY(fixture.Work().SourceLoaded());
        QCOMPARE(fixture.Ui().edSourceFile->text(), source);
        QCOMPARE(window.Desktop().Pending(), QString());
    }

    // The open-map button's drop-down: the maps last opened or saved, the latest first, the ones
    // no longer there greyed; an entry opens its map as Open Map does; the list can be cleared.
    void RecentMapsAreOfferedBesideTheOpenButton()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        QMenu* menu = fixture.Ui().sbOpenMap->menu();
        QVERIFY(menu != nullptr);
        QCOMPARE(fixture.Ui().sbOpenMap->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(MenuTexts(menu),
                 (QStringList{"No recent maps (grey)", "", "&Clear Recent Maps (grey)"}));

        const QString first = PayeesMap(fixture, QStringLiteral("first.MAP"));
        const QString second = SaveMap(fixture, QStringLiteral("second & more.MAP"));
        const QString third = SaveMap(fixture, QStringLiteral("third.MAP"));
        QFile::remove(second);
        QCOMPARE(
            MenuTexts(menu),
            (QStringList{"&1 " + third, "&2 " + QString(second).replace(u'&', "&&") + " (grey)",
                         "&3 " + first, "", "&Clear Recent Maps"}));

        ChooseForm(window, "W-2C");
        fixture.Prompts().ClearAsked();
        fixture.Prompts().Press(Button::No);
        MenuEntry(menu, "&3 " + first)->trigger();
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{AskSaveMappingBox()});
        QCOMPARE(window.windowTitle(), kCaption + QStringLiteral(" (first.MAP)"));
        QCOMPARE(fixture.Stored().RecentMaps(), (QStringList{first, third, second}));

        for (int i = 0; i < 12; ++i)
            SaveMap(fixture, QStringLiteral("more%1.MAP").arg(i));
        QCOMPARE(fixture.Stored().RecentMaps().size(), 10);
        QCOMPARE(fixture.Stored().RecentMaps().first(),
                 QDir(fixture.Maps()).filePath("more11.MAP"));
        MenuEntry(menu, QStringLiteral("&Clear Recent Maps"))->trigger();
        QCOMPARE(fixture.Stored().RecentMaps(), QStringList());
        QCOMPARE(MenuTexts(menu).first(), QStringLiteral("No recent maps (grey)"));
    }

    // Ctrl+O opens a map and Ctrl+S saves it, on every tab; Ctrl+S does nothing while there is
    // nothing to save.
    void KeysOpenAndSaveMaps()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{});

        fixture.LoadPayees();
        fixture.Ui().tabs->setCurrentWidget(fixture.Ui().tabSource);
        fixture.Prompts().ClearAsked();
        const QString map = QDir(fixture.Maps()).filePath(QStringLiteral("keys.MAP"));
        fixture.Prompts().Enter(map);
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{SaveMapDialog(
                                                fixture.Maps(), QStringLiteral("payees1099NEC"))});
        QVERIFY(QFile::exists(map));

        fixture.Prompts().ClearAsked();
        fixture.Prompts().Cancel();
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(fixture.Prompts().Asked().size(), 1u);
        QCOMPARE(fixture.Prompts().Last().title, QStringLiteral("Open mapping..."));
    }
};

QTEST_MAIN(DesktopOpeningTest)
#include "DesktopOpeningTest.moc"

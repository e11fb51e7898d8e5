// The window's layout conventions: column widths and resizing, help context numbers, hints,
// fonts, the lists' panels, help and what's-this, and Execute's availability.

#include "MainWindowTestSupport.h"
#include "help/Help.h"
#include "help/HelpWindow.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QWhatsThis>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

QList<int> Widths(QTreeView* list)
{
    QList<int> widths;
    for (int column = 0; column < list->model()->columnCount(); ++column)
        widths << list->columnWidth(column);
    return widths;
}

QWidget* Child(MainWindow& window, const QString& name)
{
    QWidget* widget = window.findChild<QWidget*>(name);
    if (widget == nullptr)
        qFatal("no control named %s", qPrintable(name));
    return widget;
}

// The tool button that a line edit made for one of its actions.
QWidget* ButtonOf(QAction* action)
{
    for (QObject* object : action->associatedObjects()) {
        if (auto* button = qobject_cast<QToolButton*>(object))
            return button;
    }
    return nullptr;
}

// The share of an icon's visible pixels whose colour passes test.
template <typename Test> double ColourShare(const QIcon& icon, Test test)
{
    const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    int visible = 0;
    int passing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() < 128)
                continue;
            ++visible;
            passing += test(colour) ? 1 : 0;
        }
    }
    return visible == 0 ? 0.0 : double(passing) / visible;
}

} // namespace

class MainWindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void ColumnsFollowTheListsOnceTheWindowWasShown()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start(false);
        MainWindowUi& ui = fixture.Ui();
        window.resize(1000, 600);
        QCOMPARE(window.LastWidth(), 0);
        QCOMPARE(Widths(ui.lvSource), (QList<int>{30, 190}));
        QCOMPARE(Widths(ui.lvDestination), (QList<int>{155, 130, 30, 20}));

        window.show();
        window.resize(1200, 700);
        QCOMPARE(window.LastWidth(), 1200);
        QCOMPARE(Widths(ui.lvSource), (QList<int>{30, ui.lvSource->width() - 55}));
        const int shared = (ui.lvDestination->width() - 75) / 2;
        QCOMPARE(Widths(ui.lvDestination), (QList<int>{shared, shared, 30, 20}));
        QVERIFY(shared > 155);
        // The source file box widens with the window.
        const int boxWidth = ui.edSourceFile->width();
        window.resize(1300, 700);
        QCOMPARE(ui.edSourceFile->width(), boxWidth + 100);
        fixture.Locate(fixture.WriteFile(QStringLiteral("p.csv"), kPayees));
        ui.tabs->setCurrentWidget(ui.tabSource);
        const int recordWidth = ui.edSourceRecord->width();
        window.resize(1400, 700);
        QCOMPARE(ui.edSourceRecord->width(), recordWidth + 100);
    }

    void ControlsCarryTheirHelpContextNumbers()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QList<std::pair<QString, int>> numbers{{"tabs", 120},
                                                     {"tabMapping", 120},
                                                     {"tabSource", 120},
                                                     {"tabOutput", 120},
                                                     {"gbMapping", 140},
                                                     {"sbOpenMap", 141},
                                                     {"sbSaveMap", 142},
                                                     {"gbTaxForm", 160},
                                                     {"coForm", 160},
                                                     {"sbOpenSource", 170},
                                                     {"edSourceFile", 180},
                                                     {"gbSource", 510},
                                                     {"gbDelimiter", 190},
                                                     {"cbDelimiter", 190},
                                                     {"rgDecimal", 600},
                                                     {"rgHeader", 610},
                                                     {"rgTrace", 200},
                                                     {"rgTraceOff", 200},
                                                     {"pnSource", 210},
                                                     {"lvSource", 8},
                                                     {"pnRight", 220},
                                                     {"pnDestination", 10},
                                                     {"lvDestination", 10},
                                                     {"pnBottom", 230},
                                                     {"pnSourceTop", 230},
                                                     {"pnRecord", 240},
                                                     {"lbRecord", 240},
                                                     {"lbSourceRecord", 240},
                                                     {"lbRec", 240},
                                                     {"lbOf", 260},
                                                     {"pnRecords", 260},
                                                     {"sbFirst", 270},
                                                     {"sbPrevious", 280},
                                                     {"sbNext", 290},
                                                     {"sbLast", 300},
                                                     {"sbSourceFirst", 270},
                                                     {"sbSourceLast", 300},
                                                     {"sbWhatsThis", 320},
                                                     {"bExecute", 330},
                                                     {"bSaveOutput", 340},
                                                     {"bHelp", 350},
                                                     {"bTools", 360},
                                                     {"bClose", 370},
                                                     {"btUserManualOnline", 230},
                                                     {"sbDeleteSourceLine", 420},
                                                     {"edSourceRecord", 470},
                                                     {"reSource", 480},
                                                     {"reOutput", 500}};
        for (const auto& [name, number] : numbers) {
            QWidget* control = Child(window, name);
            QVERIFY2(HelpContextOf(control) == number, qPrintable(name));
        }
        // Controls with a number of their own carry its what's-this text.
        QCOMPARE(ui.sbOpenMap->whatsThis(), WhatsThisText(141));
        QCOMPARE(ui.reSource->whatsThis(), WhatsThisText(480));
        QCOMPARE(ui.coForm->whatsThis(), QString());
        QCOMPARE(HelpContextOf(&window), 90);
        QCOMPARE(HelpContextOf(ButtonOf(ui.edSourceFileLocate)), 520);
        QCOMPARE(HelpContextOf(ButtonOf(ui.edSourceFileSave)), 530);
    }

    void CaptionsHintsAndFonts()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QList<std::pair<QString, QString>> hints{
            {"coForm", "Drop down list of supported tax forms and client (filer) schema"},
            {"sbOpenMap", "Open a previously saved mapping (Ctrl+O)"},
            {"rgTrace", "Indicates whether or not to trace a drag-drop"},
            {"rgDecimal",
             "Indicates whether or not the decimal point is implied in all currency fields"},
            {"gbDelimiter", "Indicates the delimiter character to be used"},
            {"rgHeader",
             "Indicates whether or not to include the header (first) record of your source file"},
            {"sbWhatsThis", "Context-sensitive help"},
            {"btUserManualOnline", "Show the user manual: every help topic on one page"},
            {"sbDeleteSourceLine", "Delete specified source record"}};
        for (const auto& [name, hint] : hints)
            QCOMPARE(Child(window, name)->toolTip(), hint);
        const QList<std::pair<QString, QString>> titles{
            {"gbTaxForm", " Tax Form "}, {"gbMapping", " Mapping "}, {"gbSource", " Source File "},
            {"rgTrace", " Trace "},      {"rgDecimal", " Decimal "}, {"gbDelimiter", " Delimiter "},
            {"rgHeader", " Header "}};
        for (const auto& [name, title] : titles)
            QCOMPARE(qobject_cast<QGroupBox*>(Child(window, name))->title(), title);
        QCOMPARE(ui.bTools->text(), QStringLiteral("&Tools"));
        QCOMPARE(ui.bExecute->text(), QStringLiteral("&Execute"));
        QCOMPARE(ui.bSaveOutput->text(), QStringLiteral("&Save Output"));
        QCOMPARE(ui.bHelp->text(), QStringLiteral("&Help"));
        QCOMPARE(ui.bClose->text(), QStringLiteral("&Close"));
        QCOMPARE(ui.btUserManualOnline->text(), QStringLiteral("Manual"));
        QStringList tools;
        for (QAction* action : ui.popupTools->actions())
            tools << action->text();
        QCOMPARE(tools,
                 (QStringList{"&Undo", "&Redo", "", "Map by &Name",
                              "Cannot Suggest Mapping (Tax Form Required)", "&Reset This Mapping",
                              "Create Header", "", "Chec&k All Records",
                              "Export for &TIN Matching...", "", "&Join Lines Broken Inside Quotes",
                              "", "&Map Selected Field", "Merge &Into...",
                              "&Assign or Unassign Field\tEnter", "&Unassign Field\tDel",
                              "Set &Fixed Value...\tShift+F10", "Change Source &Value..."}));
        QCOMPARE(ui.tabs->tabText(0), QStringLiteral("Mapping"));
        QCOMPARE(ui.tabs->tabText(1), QStringLiteral("Source"));
        QCOMPARE(ui.tabs->tabText(2), QStringLiteral("Output"));
        QCOMPARE(ui.tabs->tabText(3), QStringLiteral("Totals"));
        QVERIFY(!ui.tabs->isTabVisible(3));
        QStringList delimiters;
        for (int i = 0; i < ui.cbDelimiter->count(); ++i)
            delimiters << ui.cbDelimiter->itemText(i);
        QCOMPARE(delimiters, (QStringList{"Tab", "Comma", "Pipe"}));

        for (QWidget* fixed :
             {static_cast<QWidget*>(ui.reSource), static_cast<QWidget*>(ui.reOutput),
              static_cast<QWidget*>(ui.edSourceRecord), static_cast<QWidget*>(ui.coForm)})
            QVERIFY2(QFontMetrics(fixed->font()).horizontalAdvance(QLatin1Char('i')) ==
                         QFontMetrics(fixed->font()).horizontalAdvance(QLatin1Char('M')),
                     qPrintable(fixed->objectName()));
        QCOMPARE(ui.coForm->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(ui.coForm->count(), 38);
        for (int i = 0; i < ui.coForm->count(); ++i)
            QCOMPARE(ui.coForm->itemData(i, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        const QFont listFont = ui.coForm->view()->font();
        QCOMPARE(QFontMetrics(listFont).horizontalAdvance(QLatin1Char('i')),
                 QFontMetrics(listFont).horizontalAdvance(QLatin1Char('M')));
        // All 38 forms fit a 1280 by 800 screen without scrolling.
        QCOMPARE(ui.coForm->maxVisibleItems(), 38);
        QVERIFY2(38 * ui.coForm->view()->sizeHintForRow(0) <= 700,
                 qPrintable(QString::number(ui.coForm->view()->sizeHintForRow(0))));
        // The record panes fit seven digits inside their frames.
        for (QLabel* pane : {ui.pnRecord, ui.pnRecords}) {
            pane->setText(QStringLiteral("1000000"));
            QVERIFY(pane->contentsRect().width() - 2 * pane->margin() >=
                    pane->fontMetrics().horizontalAdvance(pane->text()));
        }
        QVERIFY(ui.edSourceRecord->isReadOnly());
        // The icons look as the texts call them: a red disk and a flashlight's yellow beam.
        const double red = ColourShare(ui.edSourceFileSave->icon(), [](const QColor& c) {
            return c.red() > 150 && c.green() < 80 && c.blue() < 80;
        });
        QVERIFY2(red > 0.3, qPrintable(QString::number(red)));
        const double beam = ColourShare(ui.edSourceFileLocate->icon(), [](const QColor& c) {
            return c.red() > 200 && c.green() > 170 && c.blue() < 120;
        });
        QVERIFY2(beam > 0.15, qPrintable(QString::number(beam)));
        QCOMPARE(ui.reSource->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(ui.reOutput->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(ui.reOutput->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        for (QTreeView* list : {ui.lvSource, ui.lvDestination}) {
            QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
            QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
            QVERIFY(!list->isSortingEnabled());
            QVERIFY(!list->header()->sectionsClickable());
        }
    }

    void LineViewsAreWideEnoughForTheLongestLine()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QByteArray longLine = QByteArray(300, 'x');
        fixture.Locate(
            fixture.WriteFile(QStringLiteral("long.txt"), "a,b\r\n" + longLine + "\r\nc\r\n"));
        ui.tabs->setCurrentWidget(ui.tabSource);
        QVERIFY(ui.reSource->uniformItemSizes());
        const int charWidth = QFontMetrics(ui.reSource->font()).horizontalAdvance(QLatin1Char('M'));
        QVERIFY(ui.reSource->sizeHintForIndex(ui.reSource->model()->index(0, 0)).width() >=
                300 * charWidth);
        QTRY_VERIFY(ui.reSource->horizontalScrollBar()->maximum() >=
                    300 * charWidth - ui.reSource->viewport()->width());
    }

    void ListPanelsShowWhichListHasTheFocus()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QColor highlight = window.palette().color(QPalette::Highlight);
        const QColor face = window.palette().color(QPalette::Button);
        ui.lvSource->setFocus();
        QCOMPARE(ui.pnSource->palette().color(QPalette::WindowText), highlight);
        QCOMPARE(ui.pnDestination->palette().color(QPalette::WindowText), face);
        ui.lvDestination->setFocus();
        QCOMPARE(ui.pnSource->palette().color(QPalette::WindowText), face);
        QCOMPARE(ui.pnDestination->palette().color(QPalette::WindowText), highlight);
    }

    void HelpShowsContentsAndTheFocusedControlsTopic()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        QCOMPARE(window.Help(), nullptr);
        QTest::mouseClick(ui.bHelp, Qt::LeftButton);
        QVERIFY(window.Help() != nullptr);
        QCOMPARE(window.Help()->CurrentPage(), QUrl(QStringLiteral("qrc:/help/contents.html")));
        // Centred on the main window, wide enough for its title.
        const QPoint offset = window.Help()->geometry().center() - window.geometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        QVERIFY(window.Help()->width() >=
                window.Help()->fontMetrics().horizontalAdvance(window.Help()->windowTitle()) + 100);
        // The manual opens in the same window.
        QTest::mouseClick(ui.btUserManualOnline, Qt::LeftButton);
        QCOMPARE(window.Help()->CurrentPage(), QUrl(QStringLiteral("qrc:/help/manual.html")));
        QTest::mouseClick(ui.bHelp, Qt::LeftButton);

        QTest::keyClick(ui.bExecute, Qt::Key_F1);
        QCOMPARE(window.Help()->CurrentPage(), QUrl(QStringLiteral("qrc:/help/topic330.html")));
        QTest::keyClick(ui.edSourceFile, Qt::Key_F1);
        QCOMPARE(window.Help()->CurrentPage(), QUrl(QStringLiteral("qrc:/help/topic180.html")));
        QVERIFY(window.Help()->isVisible());
        QVERIFY(fixture.Close());
        QVERIFY(!window.Help()->isVisible());
    }

    void TheWhatsThisButtonEntersWhatsThisMode()
    {
        WindowFixture fixture;
        fixture.Start();
        QVERIFY(!QWhatsThis::inWhatsThisMode());
        QTest::mouseClick(fixture.Ui().sbWhatsThis, Qt::LeftButton);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QWhatsThis::leaveWhatsThisMode();
    }

    void ARightClickOffersWhatsThisExceptOnTheLists()
    {
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QPoint inside = ui.bHelp->rect().center();
        QContextMenuEvent onButton(QContextMenuEvent::Mouse, inside, ui.bHelp->mapToGlobal(inside));
        QApplication::sendEvent(ui.bHelp, &onButton);
        auto* menu = window.findChild<QMenu*>(QStringLiteral("popupWhatsThis"));
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().front()->text(), QStringLiteral("What's this?"));
        menu->close();
        QTRY_VERIFY(window.findChild<QMenu*>(QStringLiteral("popupWhatsThis")) == nullptr);

        QWidget* viewport = ui.lvDestination->viewport();
        const QPoint middle = viewport->rect().center();
        QContextMenuEvent onList(QContextMenuEvent::Mouse, middle, viewport->mapToGlobal(middle));
        QApplication::sendEvent(viewport, &onList);
        QVERIFY(window.findChild<QMenu*>(QStringLiteral("popupWhatsThis")) == nullptr);
    }

    void ExecuteIsAvailableExactlyWhileBothListsHaveRows()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        ChooseForm(fixture.Window(), "1099-NEC");
        QVERIFY(!ui.bExecute->isEnabled());
        fixture.Locate(fixture.WriteFile(QStringLiteral("p.csv"), kPayees));
        QVERIFY(ui.bExecute->isEnabled());
        fixture.Window().Sources().coFormChange(-1); // no form
        QVERIFY(!ui.bExecute->isEnabled());
        ChooseForm(fixture.Window(), "Sponsors");
        QVERIFY(ui.bExecute->isEnabled());
        // An empty file is refused.
        fixture.Prompts()
            .Enter(fixture.WriteFile(QStringLiteral("empty.csv"), QByteArray()))
            .Press(Button::Ok);
        fixture.Window().Sources().edSourceFileButtonClick();
        QVERIFY(!ui.bExecute->isEnabled());
    }
};

QTEST_MAIN(MainWindowLayoutTest)
#include "MainWindowLayoutTest.moc"

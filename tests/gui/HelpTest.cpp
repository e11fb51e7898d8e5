#include "help/Help.h"

#include "help/HelpWindow.h"
#include "help/UserManual.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>
#include <set>

using namespace impmap::gui;

namespace {

QString ReadResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void ContextIsTheNearestNumberUpTheParents()
    {
        QWidget window;
        auto* strip = new QWidget(&window);
        auto* group = new QWidget(strip);
        auto* button = new QWidget(group);
        auto* unnumbered = new QWidget(&window);
        SetHelpContext(strip, 230);
        SetHelpContext(button, 270);
        group->setProperty(kHelpContextProperty, 0);

        QCOMPARE(HelpContextOf(button), 270);
        QCOMPARE(HelpContextOf(group), 230);
        QCOMPARE(HelpContextOf(strip), 230);
        QCOMPARE(HelpContextOf(unnumbered), 90);
        QCOMPARE(HelpContextOf(&window), 90);
        QCOMPARE(HelpContextOf(nullptr), 90);
        SetHelpContext(&window, 90);
        QCOMPARE(HelpContextOf(unnumbered), 90);
    }

    void EveryContextHasATopicAndAWhatsThisText()
    {
        const std::vector<int>& numbers = HelpContextNumbers();
        QCOMPARE(numbers.size(), 42u);
        QCOMPARE(std::set<int>(numbers.begin(), numbers.end()).size(), numbers.size());
        const QString contents = ReadResource(HelpContentsPath());
        for (const int n : numbers) {
            const QString topic = ReadResource(HelpTopicPath(n));
            QVERIFY2(topic.contains(QStringLiteral("<h2>")), qPrintable(QString::number(n)));
            QVERIFY2(contents.contains(QStringLiteral("href=\"topic%1.html\"").arg(n)),
                     qPrintable(QString::number(n)));
            QVERIFY2(WhatsThisText(n).endsWith(u'.'), qPrintable(QString::number(n)));
        }
        QCOMPARE(contents.count(QStringLiteral("href=")), qsizetype(numbers.size()));
        QCOMPARE(HelpTopicPath(999), QString());
        QCOMPARE(WhatsThisText(999), QString());
    }

    void WhatsThisTextsGoToNumberedWidgets()
    {
        QWidget window;
        auto* list = new QLabel(&window);
        auto* plain = new QLabel(&window);
        SetHelpContext(&window, 90);
        SetHelpContext(list, 8);
        ApplyWhatsThis(&window);
        QCOMPARE(window.whatsThis(), WhatsThisText(90));
        QCOMPARE(list->whatsThis(), WhatsThisText(8));
        QCOMPARE(plain->whatsThis(), QString());
    }

    void HelpWindowShowsTopicsWithFallback()
    {
        HelpWindow help;
        help.ShowTopic(600);
        QCOMPARE(help.CurrentPage(), QUrl(QStringLiteral("qrc:/help/topic600.html")));
        QVERIFY(help.isVisible());
        help.ShowTopic(12345);
        QCOMPARE(help.CurrentPage(), QUrl(QStringLiteral("qrc:/help/topic90.html")));

        QWidget window;
        auto* inner = new QWidget(&window);
        SetHelpContext(&window, 10);
        help.ShowTopicFor(inner);
        QCOMPARE(help.CurrentPage(), QUrl(QStringLiteral("qrc:/help/topic10.html")));
        help.ShowContents();
        QCOMPARE(help.CurrentPage(), QUrl(QStringLiteral("qrc:/help/contents.html")));
    }

    // A page shows from its top, also the page on display scrolled down; Esc closes the window.
    void PagesStartAtTheTopAndEscCloses()
    {
        HelpWindow help;
        help.ShowManual();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        auto* browser = help.findChild<QTextBrowser*>();
        QScrollBar* scroll = browser->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        // A link within the manual scrolls to its topic.
        browser->setSource(QUrl(QStringLiteral("qrc:/help/manual.html#topic370")));
        QVERIFY(scroll->value() > 0);
        help.ShowManual();
        QCOMPARE(scroll->value(), 0);
        help.ShowTopic(360);
        scroll->setValue(scroll->maximum());
        help.ShowContents();
        QCOMPARE(scroll->value(), 0);

        help.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        QTest::keyClick(&help, Qt::Key_Escape);
        QVERIFY(!help.isVisible());
    }

    // The manual is every topic, in the contents' order, on one page that links only within
    // itself; the help window shows it.
    void TheManualHoldsEveryTopicAndShowsInTheHelpWindow()
    {
        const QString manual = UserManualHtml();
        const QString contents = ReadResource(HelpContentsPath());
        static const QRegularExpression link(QStringLiteral("href=\"topic(\\d+)\\.html\""));
        qsizetype at = 0;
        for (const QRegularExpressionMatch& m : link.globalMatch(contents)) {
            const QString number = m.captured(1);
            const QString anchor = QStringLiteral("<a name=\"topic%1\"></a>").arg(number);
            QCOMPARE(manual.count(anchor), qsizetype(1));
            const qsizetype next = manual.indexOf(anchor);
            QVERIFY2(next > at, qPrintable(number));
            at = next;
            // The topic's own heading follows its anchor.
            const QString topic = ReadResource(HelpTopicPath(number.toInt()));
            const QString heading = topic.mid(topic.indexOf(QStringLiteral("<h2>")),
                                              topic.indexOf(QStringLiteral("</h2>")) -
                                                  topic.indexOf(QStringLiteral("<h2>")) + 5);
            const qsizetype headingAt = manual.indexOf(heading, next);
            QVERIFY2(headingAt > next && headingAt <= next + anchor.size() + 2, qPrintable(number));
        }
        QVERIFY(at > 0);
        QVERIFY(!manual.contains(QStringLiteral(".html\"")));
        QVERIFY(!manual.contains(QStringLiteral("http")));

        HelpWindow help;
        help.ShowManual();
        QCOMPARE(help.CurrentPage(), QUrl(QStringLiteral("qrc:/help/manual.html")));
        QVERIFY(help.isVisible());
        const QString shown = help.findChild<QTextBrowser*>()->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("Destination fields")));
        QVERIFY(shown.contains(QStringLiteral("User manual")));
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"

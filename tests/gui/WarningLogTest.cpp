#include "execute/WarningLog.h"

#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace impmap::gui;

namespace {

const QString kWarnings = QStringLiteral("Record 2: Bad TIN 000012-34 (assigned to 000000000)\n"
                                         "Record 5: Bad TIN 1234 (assigned to 000000000)\n"
                                         "Record 9: Bad TIN ABCDEFGHI (assigned to 000000000)\n");

void Fill(WarningLog& log)
{
    for (const QString& line : kWarnings.split(u'\n', Qt::SkipEmptyParts))
        log.AddLine(line);
}

} // namespace

class WarningLogTest : public QObject
{
    Q_OBJECT

private slots:
    void CollectsLinesInOrder()
    {
        ScriptedPrompts prompts;
        WarningLog log(prompts);
        QCOMPARE(log.windowTitle(), QStringLiteral("Warning Log"));
        QVERIFY(log.Editor()->isReadOnly());
        const QFontMetrics metrics(log.Editor()->font());
        QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
        QCOMPARE(log.LineCount(), 0);
        Fill(log);
        QCOMPARE(log.LineCount(), 3);
        QCOMPARE(log.Text(), kWarnings);
        log.AddLine(QString());
        QCOMPARE(log.LineCount(), 4);
        QVERIFY(!log.isVisible());
        QVERIFY(prompts.Asked().empty());
    }

    void ShowingAddsTheTotalAndTheFooter()
    {
        ScriptedPrompts prompts;
        WarningLog log(prompts);
        Fill(log);
        log.ShowLog();
        QVERIFY(log.isVisible());
        QCOMPARE(prompts.BeepCount(), 1);
        QCOMPARE(log.StatusText(), QStringLiteral(" TOTAL WARNINGS: 3"));
        QCOMPARE(log.Text(), kWarnings + QStringLiteral("\nEnd of Warning Log\n"));
        QCOMPARE(log.LineCount(), 5);

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize size(screen.width() * 5 / 6, screen.height() * 5 / 6);
        QCOMPARE(log.size(), size);
        QCOMPARE(log.pos(), QPoint((screen.width() - size.width()) / 2,
                                   (screen.height() - size.height()) / 2));
    }

    void ClosingDiscardsTheLines()
    {
        ScriptedPrompts prompts;
        WarningLog log(prompts);
        Fill(log);
        log.ShowLog();
        QVERIFY(log.close());
        QVERIFY(!log.isVisible());
        QCOMPARE(log.LineCount(), 0);
        QCOMPARE(log.Text(), QString());
    }

    void EscapeClosesTheWindow()
    {
        ScriptedPrompts prompts;
        WarningLog log(prompts);
        Fill(log);
        log.ShowLog();
        QVERIFY(QTest::qWaitForWindowActive(&log));
        log.Editor()->setFocus();
        QTest::keyClick(log.Editor(), Qt::Key_Escape);
        QVERIFY(!log.isVisible());
        QCOMPARE(log.LineCount(), 0);
    }

    void ClearLogEmptiesAndCloses()
    {
        ScriptedPrompts prompts;
        WarningLog log(prompts);
        Fill(log);
        log.ShowLog();
        log.ClearLog();
        QVERIFY(!log.isVisible());
        QCOMPARE(log.Text(), QString());
        QCOMPARE(log.Editor()->textCursor().position(), 0);
        // A log cleared while hidden collects the next run's lines from the start.
        log.AddLine(QStringLiteral("Record 3: Bad TIN 1 (assigned to 000000000)"));
        QCOMPARE(log.Text(), QStringLiteral("Record 3: Bad TIN 1 (assigned to 000000000)\n"));
    }

    void PrintsTheWholeLogUnderItsTitle()
    {
        ScriptedPrompts prompts;
        WarningLog log(prompts);
        Fill(log);
        log.ShowLog();
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("log.pdf"));
        QString documentName;
        log.SetPrintDialog([&](QPrinter& printer, QWidget*) {
            documentName = printer.docName();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        QAction* print = log.menuBar()->findChild<QAction*>(QStringLiteral("Print1"));
        QVERIFY(print != nullptr);
        QCOMPARE(print->text(), QStringLiteral("&Print Warning Log"));
        print->trigger();

        QCOMPARE(documentName, QStringLiteral("Warning Log"));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed; the PDF's text is not checked");
        QProcess process;
        process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(process.waitForFinished());
        QStringList lines;
        for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n'))
            lines << line.trimmed();
        lines.removeAll(QString());
        // The page carries the lines and its page number.
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("Record 2: Bad TIN 000012-34 (assigned to 000000000)"),
                              QStringLiteral("Record 5: Bad TIN 1234 (assigned to 000000000)"),
                              QStringLiteral("Record 9: Bad TIN ABCDEFGHI (assigned to 000000000)"),
                              QStringLiteral("End of Warning Log"), QStringLiteral("1")}));
    }

    void CancelledPrintDialogPrintsNothing()
    {
        ScriptedPrompts prompts;
        WarningLog log(prompts);
        Fill(log);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("log.pdf"));
        log.SetPrintDialog([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return false;
        });
        log.Print1Click();
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(log.LineCount(), 3);
    }
};

QTEST_MAIN(WarningLogTest)
#include "WarningLogTest.moc"

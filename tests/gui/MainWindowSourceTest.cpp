// The source file box: its hints and open button, locating and opening a file, the delimiter
// found from the first line, the Header and Delimiter settings, and the question before unsaved
// source edits are thrown away.

#include "MainWindowTestSupport.h"
#include "platform/Bytes.h"
#include "window/BackgroundTask.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <atomic>
#include <chrono>
#include <thread>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

QStringList Fields(const MainWindowUi& ui)
{
    QStringList fields;
    const QAbstractItemModel* model = ui.lvSource->model();
    for (int row = 0; row < model->rowCount(); ++row)
        fields << model->index(row, 1).data().toString();
    return fields;
}

AskedPrompt LocateDialog(const QString& folder)
{
    AskedPrompt prompt;
    prompt.kind = PromptKind::OpenFile;
    prompt.title = QStringLiteral("Locate your source file, then click \"Open\"");
    prompt.folder = folder;
    prompt.filter =
        QStringLiteral("Excel (*.CSV), Text (*.TXT)|*.CSV;*.TXT|Spreadsheets (*.xlsx "
                       "*.xlsm *.ods *.xls)|*.xlsx;*.xlsm;*.ods;*.xls|All Files (*.*)|*.*");
    return prompt;
}

const AskedPrompt kReopenQuestion = Message(
    QStringLiteral("\"Source\" file changes have not been saved!"),
    QStringLiteral("Re-opening your source file at this point will restore it to its original "
                   "state.\r\nDo you want to continue?"),
    Icon::Warning, {Button::Yes, Button::No}, Button::No, true);

// What the window shows of the source and its settings, the file's bytes and the undo history,
// with the home folder named HOME.
QString SourceState(WindowFixture& fixture, const QString& file)
{
    MainWindowUi& ui = fixture.Ui();
    const impmap::Workspace& work = fixture.Work();
    QStringList lines;
    for (std::size_t i = 0; i < work.RecordCount(); ++i)
        lines << QString::fromStdString(std::string(work.Lines().Line(i)));
    const QStringList parts{
        ui.edSourceFile->text(),
        ui.pnRecords->text(),
        ui.pnRecord->text(),
        Fields(ui).join(u'|'),
        QString::number(ui.rgHeaderButtons->checkedId()),
        QString::number(ui.cbDelimiter->currentIndex()),
        ui.edSourceFileSave->isVisible() ? QStringLiteral("unsaved") : QStringLiteral("saved"),
        fixture.Window().windowTitle(),
        lines.join(u'/'),
        QString::number(impmap::ChoiceIndex(work.Header())) +
            QString::number(impmap::ChoiceIndex(work.Delimiter())) +
            QString::number(work.SourceModified()) + QString::number(work.MappingModified()),
        QString::fromLatin1(fixture.ReadFile(file)),
        QString::number(fixture.Window().Undo().Stack().count()),
        fixture.Window().Undo().Stack().undoText(),
    };
    return parts.join(u'\n').replace(fixture.Home(), QStringLiteral("HOME"));
}

// The source actions that read or write the whole file, as the user starts them.
void RunSourceAction(WindowFixture& fixture, const QString& action)
{
    MainWindowUi& ui = fixture.Ui();
    if (action == QStringLiteral("open")) {
        QTest::mouseClick(ui.sbOpenSource, Qt::LeftButton);
    } else if (action == QStringLiteral("locate")) {
        fixture.Prompts().Enter(fixture.WriteFile(QStringLiteral("other.csv"), "x|y\r\n"));
        ui.edSourceFileLocate->trigger();
    } else if (action == QStringLiteral("header")) {
        QTest::mouseClick(ui.rgHeaderButtons->button(1), Qt::LeftButton);
    } else if (action == QStringLiteral("delimiter")) {
        ui.cbDelimiter->setCurrentIndex(2);
        emit ui.cbDelimiter->activated(2);
    } else if (action == QStringLiteral("save map") || action == QStringLiteral("open map")) {
        fixture.Prompts().Enter(QDir(fixture.Maps()).filePath(QStringLiteral("payees.MAP")));
        QTest::mouseClick(action == QStringLiteral("save map") ? ui.sbSaveMap : ui.sbOpenMap,
                          Qt::LeftButton);
    } else if (action == QStringLiteral("undo")) {
        fixture.Window().findChild<QAction*>(QStringLiteral("popupUndo"))->trigger();
    } else if (action == QStringLiteral("delete")) {
        fixture.Prompts().Press(Button::Yes);
        QTest::mouseClick(ui.sbDeleteSourceLine, Qt::LeftButton);
    } else {
        ui.edSourceFileSave->trigger();
    }
}
// Watches the progress dialogs of work on the worker while an action runs. Each task's work
// waits until its dialog has been seen; each dialog is noted as "title\nlabel" (the fixture's
// folder as HOME), with "not modal to the window" or "without Cancel" when so, and its Cancel is
// pressed when cancel is set.
class ProgressWatch
{
public:
    ProgressWatch(WindowFixture& fixture, bool cancel)
    {
        BackgroundTask::SetWorkerHook([this] {
            const int mine = ++started_;
            for (int i = 0; i < 1000 && seenCount_ < mine; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        });
        QObject::connect(&poll_, &QTimer::timeout, [this, &fixture, cancel] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QProgressDialog*>(widget);
                if (dialog == nullptr || !dialog->isVisible())
                    continue;
                QString text =
                    dialog->windowTitle() + u'\n' +
                    QString(dialog->labelText()).replace(fixture.Home(), QStringLiteral("HOME"));
                if (dialog->windowModality() != Qt::WindowModal ||
                    dialog->parentWidget() != &fixture.Window())
                    text += QStringLiteral("\nnot modal to the window");
                QPushButton* cancelButton = dialog->findChild<QPushButton*>();
                if (cancelButton == nullptr)
                    text += QStringLiteral("\nwithout Cancel");
                if (!seen_.isEmpty() && seen_.back() == text)
                    continue;
                seen_ << text;
                ++seenCount_;
                if (cancel && cancelButton != nullptr)
                    QTest::mouseClick(cancelButton, Qt::LeftButton);
            }
        });
        poll_.start(10);
    }

    ~ProgressWatch()
    {
        poll_.stop();
        BackgroundTask::SetWorkerHook(nullptr);
    }

    const QStringList& Seen() const { return seen_; }

private:
    std::atomic<int> started_{0};
    std::atomic<int> seenCount_{0};
    QStringList seen_;
    QTimer poll_;
};

} // namespace

class MainWindowSourceTest : public QObject
{
    Q_OBJECT

private slots:
    void TheBoxKeepsTheOpenButtonAndHintsInStep()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        QCOMPARE(
            ui.edSourceFile->toolTip(),
            QStringLiteral("Click the flashlight button or double-click to select a source file"));
        QCOMPARE(ui.sbOpenSource->toolTip(), QString());
        QCOMPARE(ui.edSourceFileLocate->toolTip(),
                 QStringLiteral("Locate the source file to be used... (Ctrl+L)"));
        QCOMPARE(ui.edSourceFileSave->toolTip(),
                 QStringLiteral("Save the source file (Ctrl+Shift+S)"));

        ui.edSourceFile->clear();
        QTest::keyClicks(ui.edSourceFile, QStringLiteral("/data/payees.csv"));
        QVERIFY(ui.sbOpenSource->isEnabled());
        QCOMPARE(ui.sbOpenSource->toolTip(), QStringLiteral("Open the selected source file"));
        QCOMPARE(
            ui.edSourceFile->toolTip(),
            QStringLiteral("/data/payees.csv\n(Double-click to select a different source file)"));
        QCOMPARE(fixture.Work().SourcePath(), std::string("/data/payees.csv"));

        ui.edSourceFile->selectAll();
        QTest::keyClicks(ui.edSourceFile, QStringLiteral("  "));
        QVERIFY(!ui.sbOpenSource->isEnabled());
        QCOMPARE(ui.sbOpenSource->toolTip(), QString());
    }

    void LocatingAFileLoadsItAndFindsTheDelimiter_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("delimiter");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("comma") << QByteArray("a,b|c,d\r\n") << 1 << QStringList{"a", "b|c", "d"};
        QTest::newRow("pipe wins a tie") << QByteArray("a,b|c\r\n") << 2 << QStringList{"a,b", "c"};
        QTest::newRow("tab") << QByteArray("a\tb\tc,d\r\n") << 0 << QStringList{"a", "b", "c,d"};
        QTest::newRow("undecided: none chosen, tab used")
            << QByteArray("a b\r\n") << -1 << QStringList{"a b"};
    }

    void LocatingAFileLoadsItAndFindsTheDelimiter()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, delimiter);
        QFETCH(QStringList, fields);
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = fixture.WriteFile(QStringLiteral("source.txt"), bytes);

        fixture.Locate(path);
        AskedPrompt expected = LocateDialog(fixture.Maps());
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{expected});
        QCOMPARE(ui.edSourceFile->text(), path);
        QCOMPARE(ui.cbDelimiter->currentIndex(), delimiter);
        QCOMPARE(Fields(ui), fields);
        QCOMPARE(ui.pnRecord->text(), QStringLiteral("1"));
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("1"));
        QCOMPARE(ui.edSourceRecord->text(), QString::fromLatin1(bytes.chopped(2)));
        QVERIFY(ui.tabs->isTabVisible(ui.tabs->indexOf(ui.tabSource)));
        QVERIFY(ui.sbDeleteSourceLine->isEnabled());
        // No form yet: nothing to save or execute.
        QVERIFY(!ui.sbSaveMap->isEnabled());
        QVERIFY(!ui.bExecute->isEnabled());
        ChooseForm(fixture.Window(), "1099-NEC");
        QVERIFY(ui.sbSaveMap->isEnabled());
        QVERIFY(ui.bExecute->isEnabled());
    }

    void CancellingTheLocateDialogChangesNothing()
    {
        WindowFixture fixture;
        fixture.Start();
        const QString path = fixture.LoadPayees();
        fixture.Prompts().Cancel();
        fixture.Window().Sources().edSourceFileButtonClick();
        QCOMPARE(fixture.Ui().edSourceFile->text(), path);
        QCOMPARE(fixture.Ui().pnRecords->text(), QStringLiteral("4"));
    }

    void ADoubleClickOnTheBoxLocatesToo()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.Prompts().Cancel();
        QTest::mouseDClick(fixture.Ui().edSourceFile, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{LocateDialog(fixture.Maps())});
    }

    void HeaderSkipReloadsWithoutTheFirstLine()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        MainWindowUi& ui = fixture.Ui();
        QCOMPARE(Fields(ui), (QStringList{"Name", "TIN", "Amount", "City"}));

        QTest::mouseClick(ui.rgHeaderButtons->button(1), Qt::LeftButton);
        QCOMPARE(fixture.Work().Header(), impmap::HeaderMode::Skip);
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("3"));
        QCOMPARE(Fields(ui), (QStringList{"Ann", "123-45-6789", "100", "Albany"}));
        QCOMPARE(fixture.Work().HeaderRecord(), std::string("Name,TIN,Amount,City"));

        QTest::mouseClick(ui.rgHeaderButtons->button(0), Qt::LeftButton);
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
        QVERIFY(fixture.Prompts().Asked().size() == 1); // only the locate dialog
    }

    void AChosenDelimiterStaysOnlyWhenTheFirstLineIsUndecided()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        MainWindowUi& ui = fixture.Ui();
        fixture.Prompts().Enter(QDir(fixture.Maps()).filePath(QStringLiteral("x.MAP")));
        fixture.Window().MapFiles().sbSaveMapClick();
        QVERIFY(!ui.sbSaveMap->isEnabled());

        // The comma file's first line decides: Comma is chosen again after the reload.
        fixture.Window().Sources().cbDelimiterChange(0);
        QCOMPARE(ui.cbDelimiter->currentIndex(), 1);
        QVERIFY(ui.sbSaveMap->isEnabled());

        fixture.Locate(fixture.WriteFile(QStringLiteral("plain.txt"), "a b;c\r\n"));
        fixture.Prompts().Press(Button::Ok); // the notice that it looks semicolon-delimited
        QApplication::processEvents();
        fixture.Window().Sources().cbDelimiterChange(2);
        QCOMPARE(ui.cbDelimiter->currentIndex(), 2);
        QCOMPARE(Fields(ui), QStringList{"a b;c"});
    }

    void AFileThatCannotBeOpenedIsReportedAndTheBoxEmptied()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString missing = QDir(fixture.Home()).filePath(QStringLiteral("missing.csv"));
        ui.edSourceFile->clear();
        QTest::keyClicks(ui.edSourceFile, missing);
        fixture.Prompts().Press(Button::Ok);
        QTest::mouseClick(ui.sbOpenSource, Qt::LeftButton);

        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{ErrorBox(
                                                QStringLiteral("Cannot open file \"") + missing +
                                                QStringLiteral("\". No such file or directory."))});
        QCOMPARE(ui.edSourceFile->text(), QString());
        QVERIFY(!ui.sbOpenSource->isEnabled());
        QVERIFY(!fixture.Work().SourceLoaded());
        QVERIFY(!ui.tabs->isTabVisible(ui.tabs->indexOf(ui.tabSource)));
    }

    // An empty file, or one of mostly control characters, is refused with the file's name,
    // however it is opened.
    void EmptyAndBinaryFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QTest::addColumn<bool>("located");
        QByteArray executable("MZ\x90\0", 4);
        for (int i = 0; i < 2000; ++i)
            executable.append(i % 2 == 0 ? QByteArray("\0\0\x01\x02", 4) : QByteArray("\x8B\xEC"));
        for (const bool located : {true, false}) {
            const char* how = located ? "located" : "typed and opened";
            QTest::addRow("empty, %s", how)
                << QByteArray() << QStringLiteral(" is empty.") << located;
            QTest::addRow("executable, %s", how)
                << executable << QStringLiteral(" does not look like a delimited text file.")
                << located;
        }
    }

    void EmptyAndBinaryFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QFETCH(bool, located);
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = fixture.WriteFile(QStringLiteral("file.bin"), bytes);
        fixture.Prompts().ClearAsked();
        if (located) {
            fixture.Prompts().Enter(path).Press(Button::Ok);
            fixture.Window().Sources().edSourceFileButtonClick();
        } else {
            ui.edSourceFile->clear();
            QTest::keyClicks(ui.edSourceFile, path);
            fixture.Prompts().Press(Button::Ok);
            QTest::mouseClick(ui.sbOpenSource, Qt::LeftButton);
        }
        QCOMPARE(fixture.Prompts().Last(), ErrorBox(path + why));
        QVERIFY(!fixture.Work().SourceLoaded());
        QCOMPARE(fixture.Work().RecordCount(), std::size_t{0});
        QVERIFY(!ui.tabs->isTabVisible(ui.tabs->indexOf(ui.tabSource)));
    }

    // A record of megabytes shows its first kShownBytes bytes with an ellipsis, in the record
    // box, the field list and the Source view, and says so; its bytes stay whole.
    void ALongRecordIsShownCut()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QByteArray longValue(8 * 1024 * 1024, 'x');
        const QString path =
            fixture.WriteFile(QStringLiteral("long.csv"), "a,b\r\n" + longValue + ",c\r\n");
        fixture.Locate(path);
        fixture.Prompts().Press(Button::Ok);
        QElapsedTimer clock;
        clock.start();
        fixture.Window().Sources().sbNextClick();
        ui.tabs->setCurrentWidget(ui.tabSource);
        QApplication::processEvents();
        const qint64 elapsed = clock.elapsed();
        const QString cut = QString(kShownBytes, u'x') + QChar(0x2026);
        QCOMPARE(ui.edSourceRecord->text(), cut);
        QCOMPARE(ui.edSourceRecord->toolTip(),
                 QStringLiteral("Record 2 is too long to show in full: its first 4000 bytes are "
                                "shown. Its text is kept whole."));
        QCOMPARE(ui.lvSource->model()->index(0, 1).data().toString(), cut);
        QCOMPARE(ui.lvSource->model()->index(1, 1).data().toString(), QStringLiteral("c"));
        QCOMPARE(ui.reSource->model()->index(1, 0).data().toString(), cut);
        QCOMPARE(fixture.Work().Lines().Line(1).size(), std::size_t(longValue.size() + 2));
        // Split on the worker, the record's fields are whole.
        QCOMPARE(fixture.Work().SourceFields(),
                 (std::vector<std::string>{longValue.toStdString(), "c"}));
        // Far below what laying out megabytes of text takes (seconds).
        QVERIFY2(elapsed < 2000, qPrintable(QString::number(elapsed)));
        // Said once for the file, in a notice, after the step that showed the record.
        const AskedPrompt notice =
            Message(QStringLiteral("Information"),
                    QStringLiteral("Record 2 is too long to show in full: its first 4000 bytes are "
                                   "shown. Its text is kept whole.\r\nOther records of this file "
                                   "that are too long to show are cut the same way."),
                    Icon::Information, {Button::Ok}, Button::Ok);
        QCOMPARE(fixture.Prompts().Last(), notice);
        const std::size_t asked = fixture.Prompts().Asked().size();
        fixture.Window().Sources().sbPreviousClick();
        QCOMPARE(ui.edSourceRecord->toolTip(), QString());
        fixture.Window().Sources().sbNextClick();
        QTest::mouseClick(ui.rgHeaderButtons->button(1), Qt::LeftButton);
        QApplication::processEvents();
        QCOMPARE(ui.edSourceRecord->text(), cut);
        QCOMPARE(fixture.Prompts().Asked().size(), asked);
    }

    // Enter in the source box opens the file typed there, as the open button does.
    void EnterInTheBoxOpensTheFileTyped()
    {
        WindowFixture fixture;
        fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QString path = fixture.WriteFile(QStringLiteral("typed.csv"), kPayees);
        ui.edSourceFile->setFocus();
        ui.edSourceFile->clear();
        QTest::keyClicks(ui.edSourceFile, path);
        QTest::keyClick(ui.edSourceFile, Qt::Key_Return);
        QVERIFY(fixture.Prompts().Asked().empty());
        QVERIFY(fixture.Work().SourceLoaded());
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
        // With nothing typed, Enter does nothing.
        ui.edSourceFile->setFocus();
        ui.edSourceFile->selectAll();
        QTest::keyClicks(ui.edSourceFile, QStringLiteral(" "));
        QTest::keyClick(ui.edSourceFile, Qt::Key_Enter);
        QVERIFY(fixture.Prompts().Asked().empty());
    }

    void ReopeningWithUnsavedEditsAsksFirst()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        MainWindowUi& ui = fixture.Ui();
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();
        QVERIFY(ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("3"));
        fixture.Prompts().ClearAsked();

        fixture.Prompts().Press(Button::No);
        QTest::mouseClick(ui.sbOpenSource, Qt::LeftButton);
        QCOMPARE(fixture.Prompts().Asked(), std::vector<AskedPrompt>{kReopenQuestion});
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("3"));
        QVERIFY(ui.edSourceFileSave->isVisible());

        fixture.Prompts().Press(Button::Yes);
        QTest::mouseClick(ui.sbOpenSource, Qt::LeftButton);
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("4"));
        QVERIFY(!ui.edSourceFileSave->isVisible());

        // Other reloads drop the edits without asking.
        fixture.Prompts().Press(Button::Yes);
        fixture.Window().Sources().sbDeleteSourceLineClick();
        fixture.Prompts().ClearAsked();
        QTest::mouseClick(ui.rgHeaderButtons->button(1), Qt::LeftButton);
        QVERIFY(fixture.Prompts().Asked().empty());
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("3"));
    }

    // Reading or writing the source on a worker: a read or write that takes a while shows its
    // progress in a window-modal dialog named after the action, and Cancel stops it with the
    // window, the undo history and the file as they were; left to finish, it ends as the same
    // action ends when it is quick.
    void SlowSourceWorkShowsProgressAndCancelChangesNothing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("label");
        for (const bool cancel : {true, false}) {
            const char* how = cancel ? "cancelled" : "finished";
            QTest::addRow("open button, %s", how)
                << QStringLiteral("open") << cancel << QStringLiteral("Opening payees.csv...")
                << QStringLiteral("Reading HOME/payees.csv");
            QTest::addRow("locate, %s", how)
                << QStringLiteral("locate") << cancel << QStringLiteral("Opening other.csv...")
                << QStringLiteral("Reading HOME/other.csv");
            QTest::addRow("Header, %s", how)
                << QStringLiteral("header") << cancel << QStringLiteral("Reloading payees.csv...")
                << QStringLiteral("Reading HOME/payees.csv");
            QTest::addRow("Delimiter, %s", how) << QStringLiteral("delimiter") << cancel
                                                << QStringLiteral("Reloading payees.csv...")
                                                << QStringLiteral("Reading HOME/payees.csv");
            QTest::addRow("Open Map, %s", how)
                << QStringLiteral("open map") << cancel << QStringLiteral("Opening payees.csv...")
                << QStringLiteral("Reading HOME/payees.csv");
            QTest::addRow("Save Source, %s", how)
                << QStringLiteral("save") << cancel << QStringLiteral("Saving payees.csv...")
                << QStringLiteral("Writing HOME/payees.csv");
        }
        // An undo step is taken once begun: its reading cannot be cancelled.
        QTest::addRow("undo of a Header change")
            << QStringLiteral("undo") << false << QStringLiteral("Reloading payees.csv...")
            << QStringLiteral("Reading HOME/payees.csv\nwithout Cancel");
    }

    void SlowSourceWorkShowsProgressAndCancelChangesNothing()
    {
        QFETCH(QString, action);
        QFETCH(bool, cancel);
        QFETCH(QString, title);
        QFETCH(QString, label);
        // Save Source starts from an edit, Open Map from the map saved; the state compared is the
        // one before the action.
        QString prepare;
        if (action == QStringLiteral("save"))
            prepare = QStringLiteral("delete");
        else if (action == QStringLiteral("open map"))
            prepare = QStringLiteral("save map");
        else if (action == QStringLiteral("undo"))
            prepare = QStringLiteral("header");

        // The action when its work is quick: what a finished slow one must leave.
        QString quick;
        {
            WindowFixture fixture;
            fixture.Start();
            const QString file = fixture.LoadPayees();
            if (!prepare.isEmpty())
                RunSourceAction(fixture, prepare);
            RunSourceAction(fixture, action);
            quick = SourceState(fixture, file);
        }

        WindowFixture fixture;
        fixture.Start();
        const QString file = fixture.LoadPayees();
        if (!prepare.isEmpty())
            RunSourceAction(fixture, prepare);
        const QString before = SourceState(fixture, file);
        fixture.Prompts().ClearAsked();

        QStringList seen;
        {
            const ProgressWatch watch(fixture, cancel);
            RunSourceAction(fixture, action);
            seen = watch.Seen();
        }

        QCOMPARE(seen, QStringList{title + u'\n' + QDir::toNativeSeparators(label)});
        QCOMPARE(SourceState(fixture, file), cancel ? before : quick);
        // Nothing asked but the file to open.
        for (const AskedPrompt& asked : fixture.Prompts().Asked())
            QCOMPARE(asked.kind, PromptKind::OpenFile);
        QVERIFY(!BackgroundTask::Active());
    }

    // Join Lines joins, saves and reads the file again on a worker, each step under its own
    // progress dialog. Cancelled while it joins, nothing changes; left to finish, it ends as a
    // quick join does.
    void SlowJoinLinesShowsProgressAndCancelChangesNothing_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("finished") << false;
    }

    void SlowJoinLinesShowsProgressAndCancelChangesNothing()
    {
        QFETCH(bool, cancel);
        WindowFixture fixture;
        MainWindow& window = fixture.Start();
        MainWindowUi& ui = fixture.Ui();
        const QByteArray broken = "Name,City\n\"Doe\nJohn\",x\nRoe,Boston\n";
        const QString path = fixture.WriteFile(QStringLiteral("broken.csv"), broken);
        fixture.Prompts().Enter(path).Press(Button::Ok); // the notice of the broken record
        window.Sources().edSourceFileButtonClick();
        QCoreApplication::processEvents();
        const QString before = SourceState(fixture, path);

        QStringList seen;
        {
            const ProgressWatch watch(fixture, cancel);
            fixture.Prompts().Press(Button::Yes).Press(Button::Ok);
            ui.popupJoinLines->trigger();
            seen = watch.Seen();
        }

        const QString home = QDir::toNativeSeparators(QStringLiteral("HOME/broken.csv"));
        QStringList steps{QStringLiteral("Joining lines of broken.csv...\nJoining the lines of ") +
                          home};
        if (cancel) {
            QCOMPARE(seen, steps);
            QCOMPARE(SourceState(fixture, path), before);
            QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
            QCOMPARE(fixture.Prompts().PendingAnswers(), size_t{1}); // no notice: nothing done
            return;
        }
        steps << QStringLiteral("Saving broken.csv...\nWriting ") + home
              << QStringLiteral("Reloading broken.csv...\nReading ") + home +
                     QStringLiteral("\nwithout Cancel");
        QCOMPARE(seen, steps);
        QCOMPARE(WindowFixture::ReadFile(path),
                 QByteArray("Name,City\n\"Doe John\",x\nRoe,Boston\n"));
        QCOMPARE(WindowFixture::ReadFile(path + QStringLiteral(".bak")), broken);
        QCOMPARE(ui.pnRecords->text(), QStringLiteral("3"));
        QVERIFY(!ui.edSourceFileSave->isVisible());
        QCOMPARE(fixture.Prompts().PendingAnswers(), size_t{0});
    }

    void DecimalTraceAndFormFollowTheUser()
    {
        WindowFixture fixture;
        fixture.Start();
        fixture.LoadPayees();
        MainWindowUi& ui = fixture.Ui();
        QTest::mouseClick(ui.rgHeaderButtons->button(1), Qt::LeftButton);
        const QAbstractItemModel* rows = ui.lvDestination->model();
        const QModelIndexList found =
            rows->match(rows->index(0, 0), Qt::DisplayRole,
                        QStringLiteral("Nonemployee compensation"), 1, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        const int amount = found.front().row();
        QCOMPARE(rows->index(amount, 3).data().toString(), QStringLiteral("c"));
        fixture.Work().AssignSourceField(amount, 3);
        QCOMPARE(rows->index(amount, 1).data().toString(), QStringLiteral("100"));

        QTest::mouseClick(ui.rgDecimalButtons->button(1), Qt::LeftButton);
        QCOMPARE(fixture.Work().Decimal(), impmap::DecimalMode::Implied);
        QCOMPARE(rows->index(amount, 1).data().toString(), QStringLiteral("1.00"));

        QTest::mouseClick(ui.rgTraceButtons->button(1), Qt::LeftButton);
        QCOMPARE(fixture.Work().Trace(), impmap::TraceMode::Off);

        ChooseForm(fixture.Window(), "ALE Group"); // ALE Group
        QCOMPARE(fixture.Work().FormIndex(), 2);
        QCOMPARE(rows->rowCount(), 6);
        QCOMPARE(rows->index(3, 2).data().toString(), QStringLiteral("0"));
    }
};

QTEST_MAIN(MainWindowSourceTest)
#include "MainWindowSourceTest.moc"

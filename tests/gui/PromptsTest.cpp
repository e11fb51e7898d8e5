#include "platform/FileFilters.h"
#include "prompts/TitleWidth.h"
#include "prompts/WidgetPrompts.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace impmap::gui;

Q_DECLARE_METATYPE(std::vector<impmap::gui::Button>)
Q_DECLARE_METATYPE(impmap::gui::Button)
Q_DECLARE_METATYPE(impmap::gui::Icon)

namespace {

AskedPrompt Message(QString title, QString text, Icon icon, std::vector<Button> buttons,
                    Button defaultButton, bool foreground)
{
    return AskedMessage(
        {std::move(title), std::move(text), icon, std::move(buttons), defaultButton, foreground});
}

AskedPrompt Asked(PromptKind kind, QString title = {}, QString text = {})
{
    AskedPrompt prompt;
    prompt.kind = kind;
    prompt.title = std::move(title);
    prompt.text = std::move(text);
    return prompt;
}

// Runs check on the modal dialog of type T as soon as it is shown; a dialog still open afterwards
// is rejected, so a failed check never leaves the test waiting.
template <typename T, typename Check> void WhenShown(Check check)
{
    QTimer::singleShot(0, [check] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (auto* dialog = qobject_cast<T*>(modal)) {
            check(dialog);
        } else {
            QTest::qFail("the expected dialog is not shown", __FILE__, __LINE__);
        }
        if (modal != nullptr && modal->isVisible()) {
            modal->reject();
        }
    });
}

} // namespace

class PromptsTest : public QObject
{
    Q_OBJECT

private slots:
    void ShowMessageBoxUsesItsTables_data()
    {
        QTest::addColumn<int>("buttonsIndex");
        QTest::addColumn<int>("defaultIndex");
        QTest::addColumn<int>("iconIndex");
        QTest::addColumn<std::vector<Button>>("buttons");
        QTest::addColumn<Button>("defaultButton");
        QTest::addColumn<Icon>("icon");
        using B = Button;
        QTest::newRow("instructions 1,0,2")
            << 1 << 0 << 2 << std::vector{B::Ok} << B::Ok << Icon::Information;
        QTest::newRow("0,0,0") << 0 << 0 << 0 << std::vector{B::Abort, B::Retry, B::Ignore}
                               << B::Abort << Icon::Critical;
        QTest::newRow("2,2,3") << 2 << 2 << 3 << std::vector{B::Ok, B::Cancel} << B::Cancel
                               << Icon::Warning;
        QTest::newRow("5,3,4") << 5 << 3 << 4 << std::vector{B::Yes, B::No, B::Cancel} << B::Cancel
                               << Icon::Question;
        QTest::newRow("4,1,5 first")
            << 4 << 1 << 5 << std::vector{B::Yes, B::No} << B::Yes << Icon::Warning;
        QTest::newRow("fourth of two")
            << 4 << 4 << 1 << std::vector{B::Yes, B::No} << B::Yes << Icon::Critical;
        QTest::newRow("none given")
            << 3 << 5 << 2 << std::vector{B::Retry, B::Cancel} << B::Retry << Icon::Information;
        QTest::newRow("outside") << 9 << -1 << 6 << std::vector{B::Ok} << B::Ok << Icon::None;
    }
    void ShowMessageBoxUsesItsTables()
    {
        QFETCH(int, buttonsIndex);
        QFETCH(int, defaultIndex);
        QFETCH(int, iconIndex);
        QFETCH(std::vector<Button>, buttons);
        QFETCH(Button, defaultButton);
        QFETCH(Icon, icon);
        ScriptedPrompts prompts;
        prompts.Press(buttons.back());
        QCOMPARE(prompts.ShowMessageBox(QStringLiteral("Text"), QStringLiteral("Caption"),
                                        buttonsIndex, defaultIndex, iconIndex),
                 buttons.back());
        QCOMPARE(Describe(prompts.Last()),
                 Describe(Message("Caption", "Text", icon, buttons, defaultButton, true)));
    }

    void ShorthandsAskTheirBoxes()
    {
        ScriptedPrompts prompts;
        prompts.Press(Button::Cancel).Press(Button::Ok).Press(Button::Ok).Press(Button::No);
        QCOMPARE(prompts.Confirm(QStringLiteral("Do you want to save the current mapping?"),
                                 {Button::Yes, Button::No, Button::Cancel}, Button::Yes),
                 Button::Cancel);
        prompts.Information(QStringLiteral("Done"));
        prompts.Error(QStringLiteral("Title"), QStringLiteral("Bad"));
        prompts.Beep();
        QCOMPARE(prompts.Question(QStringLiteral("Q"), QStringLiteral("Go?"),
                                  {Button::Yes, Button::No}, Button::No, Icon::Warning),
                 Button::No);

        const std::vector<AskedPrompt> expected{
            Message("Confirm", "Do you want to save the current mapping?", Icon::Question,
                    {Button::Yes, Button::No, Button::Cancel}, Button::Yes, false),
            Message("Information", "Done", Icon::Information, {Button::Ok}, Button::Ok, false),
            Message("Title", "Bad", Icon::Critical, {Button::Ok}, Button::Ok, false),
            Asked(PromptKind::Beep),
            Message("Q", "Go?", Icon::Warning, {Button::Yes, Button::No}, Button::No, false)};
        QCOMPARE(prompts.Asked().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(Describe(prompts.Asked()[i]), Describe(expected[i]));
        }
        QCOMPARE(prompts.BeepCount(), 1);
        QCOMPARE(prompts.PendingAnswers(), 0u);
    }

    void ScriptedTextPromptsAnswerAndRecord()
    {
        ScriptedPrompts prompts;
        prompts.Enter(QStringLiteral("12")).Cancel().Enter(QStringLiteral("/in/A.CSV"));
        prompts.Enter(QStringLiteral("/out/B.TXT"));
        QCOMPARE(prompts.InputText(QStringLiteral("Go to ..."), QStringLiteral("Record number"),
                                   QStringLiteral("3")),
                 std::optional<QString>(QStringLiteral("12")));
        QCOMPARE(prompts.InputText(QStringLiteral("T"), QStringLiteral("P"), QString()),
                 std::nullopt);
        QCOMPARE(prompts.OpenFileName(QStringLiteral("Open"), QStringLiteral("/in"),
                                      QStringLiteral("All Files (*.*)|*.*"), QString()),
                 std::optional<QString>(QStringLiteral("/in/A.CSV")));
        QCOMPARE(prompts.SaveFileName(QStringLiteral("Save output..."), QStringLiteral("/out"),
                                      QStringLiteral("Text Files (*.TXT)|*.TXT"),
                                      QStringLiteral("TXT"), QStringLiteral("B"), 1),
                 std::optional<QString>(QStringLiteral("/out/B.TXT")));

        AskedPrompt input = Asked(PromptKind::InputText, "Go to ...", "Record number");
        input.initial = QStringLiteral("3");
        AskedPrompt save = Asked(PromptKind::SaveFile, "Save output...");
        save.folder = QStringLiteral("/out");
        save.filter = QStringLiteral("Text Files (*.TXT)|*.TXT");
        save.defaultSuffix = QStringLiteral("TXT");
        save.initial = QStringLiteral("B");
        save.selectedFilterIndex = 1;
        QCOMPARE(Describe(prompts.Asked()[0]), Describe(input));
        QCOMPARE(Describe(prompts.Asked()[3]), Describe(save));
        QVERIFY(prompts.Asked()[3] == save);
        QCOMPARE(Describe(save), QStringLiteral("SaveFile title=\"Save output...\" folder=\"/out\" "
                                                "filter=\"Text Files (*.TXT)|*.TXT\" name=\"B\" "
                                                "suffix=\"TXT\" filterIndex=1"));
    }

    void UnansweredPromptEndsTheProgramLoudly()
    {
        if (qEnvironmentVariableIsSet("IMPMAP_UNANSWERED_PROMPT")) {
            ScriptedPrompts prompts;
            prompts.Confirm(QStringLiteral("Go?"), {Button::Yes, Button::No}, Button::No);
            return;
        }
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("IMPMAP_UNANSWERED_PROMPT"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("UnansweredPromptEndsTheProgramLoudly")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QVERIFY(child.readAll().contains(
            "ScriptedPrompts: no answer queued: Message title=\"Confirm\" text=\"Go?\""));
    }

    void FiltersBecomeQtEntries_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("map") << "Vellorum Map File (*.MAP)|*.MAP"
                             << QStringList{"Vellorum Map File (*.MAP)"};
        QTest::newRow("source") << "Excel (*.CSV), Text (*.TXT)|*.CSV;*.TXT|All Files (*.*)|*.*"
                                << QStringList{"Excel (*.CSV), Text (*.TXT) (*.CSV *.TXT)",
                                               "All Files (*.*)"};
        QTest::newRow("header") << "Text Format|*.TXT|Comma Separated|*.CSV"
                                << QStringList{"Text Format (*.TXT)", "Comma Separated (*.CSV)"};
        QTest::newRow("no pattern") << "Anything" << QStringList{"Anything (*)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void FiltersBecomeQtEntries()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, entries);
        QCOMPARE(QtNameFilters(filter), entries);
        QCOMPARE(QtFileFilter(filter), entries.join(QStringLiteral(";;")));
    }

    void ExtensionsOfFiltersAndNames()
    {
        QCOMPARE(FilterExtension(QStringLiteral("Vellorum Map File (*.MAP)")),
                 QStringLiteral("MAP"));
        QCOMPARE(FilterExtension(QStringLiteral("Excel (*.CSV), Text (*.TXT) (*.CSV *.TXT)")),
                 QStringLiteral("CSV"));
        QCOMPARE(FilterExtension(QStringLiteral("All Files (*.*)")), QString());
        QCOMPARE(WithDefaultExtension(QStringLiteral("/out/PAYEES"), QStringLiteral("TXT")),
                 QStringLiteral("/out/PAYEES.TXT"));
        QCOMPARE(WithDefaultExtension(QStringLiteral("/out.d/PAYEES.csv"), QStringLiteral("TXT")),
                 QStringLiteral("/out.d/PAYEES.csv"));
        QCOMPARE(WithDefaultExtension(QStringLiteral("/out/PAYEES"), QString()),
                 QStringLiteral("/out/PAYEES"));
    }

    void WidgetMessageBoxShowsTheRequest()
    {
        WidgetPrompts prompts;
        WhenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Confirm"));
            QCOMPARE(box->text(), QStringLiteral("Okay to delete\nrecord 3?"));
            QCOMPARE(box->icon(), QMessageBox::Question);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
            QCOMPARE(box->buttons().size(), 2);
            box->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(prompts.Confirm(QStringLiteral("Okay to delete\r\nrecord 3?"),
                                 {Button::Yes, Button::No}, Button::No),
                 Button::Yes);

        WhenShown<QMessageBox>([](QMessageBox* box) { box->reject(); });
        QCOMPARE(prompts.Confirm(QStringLiteral("Go?"), {Button::Yes, Button::No}, Button::Yes),
                 Button::No);

        // A short text does not make the box narrower than its title.
        const QString title = QStringLiteral("Source Field No. 4");
        WhenShown<QMessageBox>([&title](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), title);
            QVERIFY2(
                box->width() >= WidthForTitle(title),
                qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(WidthForTitle(title))));
            QVERIFY(WidthForTitle(title) > QFontMetrics(box->font()).horizontalAdvance(title));
            box->accept();
        });
        prompts.ShowMessageBox(QStringLiteral("x"), title, 1, 0, 2);
        WhenShown<QInputDialog>([&title](QInputDialog* dialog) {
            QVERIFY(dialog->width() >= WidthForTitle(title));
            dialog->reject();
        });
        QCOMPARE(prompts.InputText(title, QStringLiteral("Change field value to..."),
                                   QStringLiteral("x")),
                 std::nullopt);
    }

    // While the owner is hidden by a run, a box keeps clear of the window in front (the progress
    // dialog), below it or, where the screen ends, above it; a shown owner has it centred.
    void AMessageBoxKeepsClearOfTheWindowInFront()
    {
        QWidget owner;
        WidgetPrompts prompts(&owner);
        QDialog progress;
        progress.resize(300, 100);
        const QRect room = progress.screen()->availableGeometry();
        // Centred as a run shows it, and low on the screen.
        for (const int top : {room.center().y() - 50, room.bottom() - 150}) {
            progress.move(room.center().x() - 150, top);
            progress.show();
            QVERIFY(QTest::qWaitForWindowExposed(&progress));
            QRect box;
            WhenShown<QMessageBox>([&box](QMessageBox* shown) {
                box = shown->frameGeometry();
                shown->accept();
            });
            prompts.Information(QStringLiteral("Your source file contains 2 NULL records."));
            QVERIFY2(!box.intersects(progress.frameGeometry()),
                     qPrintable(QStringLiteral("top %1: box at %2").arg(top).arg(box.top())));
            QVERIFY(top < room.center().y() ? box.top() > progress.frameGeometry().bottom()
                                            : box.bottom() < progress.frameGeometry().top());
        }
        owner.show();
        QRect box;
        WhenShown<QMessageBox>([&box](QMessageBox* shown) {
            box = shown->frameGeometry();
            shown->accept();
        });
        prompts.Information(QStringLiteral("x"));
        QVERIFY(box.intersects(owner.frameGeometry()));
    }

    void WidgetSaveDialogAddsTheExtension()
    {
        QTemporaryDir folder;
        WidgetPrompts prompts;
        WhenShown<QFileDialog>([](QFileDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            QCOMPARE(name->text(), QStringLiteral("PAYEES1099MISC"));
            QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Comma Separated (*.CSV)"));
            dialog->selectNameFilter(QStringLiteral("Text Format (*.TXT)"));
            emit dialog->filterSelected(QStringLiteral("Text Format (*.TXT)"));
            static_cast<QDialog*>(dialog)->accept();
        });
        QCOMPARE(prompts.SaveFileName(QStringLiteral("Save header..."), folder.path(),
                                      QStringLiteral("Text Format|*.TXT|Comma Separated|*.CSV"),
                                      QStringLiteral("TXT"), QStringLiteral("PAYEES1099MISC"), 1),
                 std::optional<QString>(folder.filePath(QStringLiteral("PAYEES1099MISC.TXT"))));
    }
};

QTEST_MAIN(PromptsTest)
#include "PromptsTest.moc"

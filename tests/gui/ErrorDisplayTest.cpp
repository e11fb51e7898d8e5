#include "prompts/ErrorDisplay.h"

#include "convert/Rejection.h"
#include "io/FileIo.h"
#include "platform/AppInfo.h"
#include "support/ScriptedPrompts.h"

#include <QFile>
#include <QGuiApplication>
#include <QTest>
#include <stdexcept>

using namespace impmap::gui;

namespace {

const QString kTitle = QStringLiteral("Vellorum - 2022 Import Mapping Utility");

QString ErrorBox(const QString& text)
{
    return Describe(AskedMessage({kTitle, text, Icon::Critical, {Button::Ok}, Button::Ok, false}));
}

} // namespace

class ErrorDisplayTest : public QObject
{
    Q_OBJECT

private slots:
    void TitleAndCaptionComeFromTheBuild()
    {
        QCOMPARE(ApplicationTitle(), kTitle);
        QCOMPARE(FileVersionText(), QStringLiteral("31.00"));
        QCOMPARE(MainWindowCaption(),
                 QStringLiteral("Vellorum - 2022 Import Mapping Utility 31.00"));
    }

    // A display name, once set, is appended by the window system's title formatting to every
    // title that does not already end in it; while none is set it follows the application name.
    void NoDisplayNameIsAppendedToTitles()
    {
        SetApplicationIdentity();
        QCOMPARE(QCoreApplication::applicationName(), kTitle);
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("VELLORUM"));
        QCoreApplication::setApplicationName(QStringLiteral("probe"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
        SetApplicationIdentity();
    }

    void ErrorBoxAppliesTheFullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Exceeds end of file"
                                << "Exceeds end of file.";
        QTest::newRow("digit") << "Record 12"
                               << "Record 12.";
        QTest::newRow("question") << "Why?"
                                  << "Why?.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("exclamation") << "Output has not been saved!"
                                     << "Output has not been saved!";
        QTest::newRow("parenthesis") << "Bad (value)"
                                     << "Bad (value)";
        QTest::newRow("quote") << "'x' is not a valid integer value\""
                               << "'x' is not a valid integer value\"";
        QTest::newRow("blank") << "Trailing "
                               << "Trailing ";
        QTest::newRow("wide character") << "Caf\u00e9 \u20ac"
                                        << "Caf\u00e9 \u20ac.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void ErrorBoxAppliesTheFullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        ScriptedPrompts prompts;
        prompts.Press(Button::Ok);
        ShowError(prompts, message);
        QCOMPARE(prompts.Asked().size(), 1u);
        QCOMPARE(Describe(prompts.Last()), ErrorBox(shown));
    }

    void GuardedActionsShowWhatEscapes()
    {
        ScriptedPrompts prompts;
        prompts.Press(Button::Ok).Press(Button::Ok);
        bool ran = false;
        QVERIFY(RunGuarded(prompts, [&ran] { ran = true; }));
        QVERIFY(ran);
        QVERIFY(prompts.Asked().empty());

        QVERIFY(!RunGuarded(prompts, [] { throw impmap::Rejection("Value is not acceptable"); }));
        QCOMPARE(Describe(prompts.Last()), ErrorBox(QStringLiteral("Value is not acceptable.")));

        // A message's bytes are shown one for one.
        QVERIFY(!RunGuarded(prompts, [] { throw std::runtime_error("Caf\xe9 (x)"); }));
        QCOMPARE(Describe(prompts.Last()), ErrorBox(QStringLiteral("Caf\u00e9 (x)")));
        QCOMPARE(prompts.PendingAnswers(), 0u);
    }

    // A file failure's path reads as the file manager shows it.
    void FileFailuresShowTheirPathsAsNamed()
    {
        ScriptedPrompts prompts;
        prompts.Press(Button::Ok);
        const QString path = QStringLiteral("/data/M\u00fcller \u20ac.csv");
        const std::string bytes = QFile::encodeName(path).toStdString();
        QVERIFY(!RunGuarded(prompts, [&bytes] {
            throw impmap::FileError("Cannot open file \"" + bytes + "\". No such file");
        }));
        QCOMPARE(Describe(prompts.Last()), ErrorBox(QStringLiteral("Cannot open file \"") + path +
                                                    QStringLiteral("\". No such file.")));
    }
};

QTEST_MAIN(ErrorDisplayTest)
#include "ErrorDisplayTest.moc"

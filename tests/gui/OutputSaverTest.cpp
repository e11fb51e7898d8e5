#include "execute/OutputSaver.h"

#include "mapping/Workspace.h"
#include "platform/AppInfo.h"
#include "prompts/ErrorDisplay.h"
#include "schema/FormCatalogue.h"
#include "settings/Settings.h"
#include "support/ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace impmap;
using namespace impmap::gui;

namespace {

const QString kHead = QStringLiteral(
    "Destination has been saved in\r\n\r\nFILE:  %1\r\nPATH:  %2\r\n\r\nTo import this file\r\n\r\n"
    "1) Start VELLORUM\r\n2) From the 'Module' menu, select 'Client (Filer, Entity) "
    "Management'\r\n");

QString Managed(const QString& form, const QString& entry)
{
    return QStringLiteral("3) Select the client to be used\r\n4) Select Form ") + form +
           QStringLiteral("\r\n5) From the 'File' menu, select '") + entry +
           QStringLiteral("'\r\n6) Import the FILE in the PATH specified above.");
}

QString General(const QString& form)
{
    return QStringLiteral("3) Select the client to be used\r\n4) Select Form ") + form +
           QStringLiteral("\r\n5) From the 'File' menu, select 'Import ASCII Text File'\r\n"
                          "6) Open the FILE in the PATH specified above.");
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A workspace whose source is PAYEES.CSV in dir, on the given form, with two output lines.
struct Saver
{
    explicit Saver(const char* form)
    {
        workspace.SetSourcePath(dir.filePath(QStringLiteral("PAYEES.CSV")).toStdString());
        workspace.ChooseForm(FindFormIndex(form));
        workspace.SetOutput({"A,\"B C\",1.00", "D,,2.00"});
    }

    bool Save() { return SaveOutput(workspace, prompts, settings, dir.path()); }

    QTemporaryDir dir;
    Workspace workspace;
    ScriptedPrompts prompts;
    Settings settings{dir.filePath(QStringLiteral("settings.ini"))};
};

const QByteArray kFileBytes = "A,\"B C\",1.00\r\nD,,2.00\r\n";

} // namespace

class OutputSaverTest : public QObject
{
    Q_OBJECT

private slots:
    void SavesAndShowsTheFormsInstructions_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("proposedName");
        QTest::addColumn<QString>("steps");
        const QString clients =
            QStringLiteral("3) From the 'Import/Export' sidebar menu, select 'Import Text File'\r\n"
                           "4) Open the FILE in the PATH specified above.");
        QTest::newRow("Clients") << "Clients"
                                 << "PAYEESClients" << clients;
        QTest::newRow("Sponsors") << "Sponsors"
                                  << "PAYEESSponsors" << Managed("1095-B", "Sponsor Management");
        QTest::newRow("ALE Group")
            << "ALE Group"
            << "PAYEESALE Group" << Managed("1095-C", "ALE Group Member Management");
        QTest::newRow("1094-C") << "1094-C"
                                << "PAYEES1094C" << Managed("1095-C", "Transmittal 1094-C Options");
        QTest::newRow("1095-B CI cut at its blank") << "1095-B CI"
                                                    << "PAYEES1095B CI" << General("1095-B");
        QTest::newRow("1099-MISC keeps its hyphen") << "1099-MISC"
                                                    << "PAYEES1099MISC" << General("1099-MISC");
        QTest::newRow("W-2") << "W-2"
                             << "PAYEESW2" << General("W-2");
    }

    void SavesAndShowsTheFormsInstructions()
    {
        QFETCH(QString, form);
        QFETCH(QString, proposedName);
        QFETCH(QString, steps);
        Saver saver(form.toLatin1().constData());
        QDir(saver.dir.path()).mkdir(QStringLiteral("out"));
        const QString folder = saver.dir.filePath(QStringLiteral("out")) + u'/';
        saver.prompts.Enter(folder + QStringLiteral("RESULT.TXT")).Press(Button::Ok);
        QVERIFY(saver.Save());

        QCOMPARE(saver.prompts.Asked().size(), size_t{2});
        const AskedPrompt& save = saver.prompts.Asked()[0];
        QCOMPARE(save.kind, PromptKind::SaveFile);
        QCOMPARE(save.title, QStringLiteral("Save output..."));
        QCOMPARE(save.folder, saver.dir.path());
        QCOMPARE(save.filter, QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*"));
        QCOMPARE(save.defaultSuffix, QStringLiteral("TXT"));
        QCOMPARE(save.initial, proposedName);
        QCOMPARE(save.selectedFilterIndex, 0);
        const AskedPrompt expected =
            AskedMessage(MessageBoxRequest(kHead.arg(QStringLiteral("RESULT.TXT"), folder) + steps,
                                           QStringLiteral("Importing Instructions"), 1, 0, 2));
        QCOMPARE(saver.prompts.Asked()[1].text, expected.text);
        QVERIFY(saver.prompts.Asked()[1] == expected);
        QCOMPARE(ReadFile(folder + QStringLiteral("RESULT.TXT")), kFileBytes);
        QCOMPARE(saver.settings.TextDirectory(), folder);
    }

    void CancelWritesNothing()
    {
        Saver saver("1099-NEC");
        saver.settings.SetTextDirectory(QStringLiteral("/before/"));
        saver.prompts.Cancel();
        QVERIFY(!saver.Save());
        QCOMPARE(saver.prompts.Asked().size(), size_t{1});
        QCOMPARE(saver.settings.TextDirectory(), QStringLiteral("/before/"));
        QCOMPARE(QDir(saver.dir.path()).entryList(QDir::Files), QStringList{"settings.ini"});
    }

    void FailedWriteLeavesTheOldFileAndSaysWhy()
    {
        Saver saver("1099-NEC");
        saver.settings.SetTextDirectory(QStringLiteral("/before/"));
        const QString path = saver.dir.filePath(QStringLiteral("LOCKED.TXT"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents\r\n");
        old.close();
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        saver.prompts.Enter(path).Press(Button::Ok);

        QVERIFY(!RunGuarded(saver.prompts, [&] { saver.Save(); }));
        QCOMPARE(ReadFile(path), QByteArray("old contents\r\n"));
        QCOMPARE(saver.settings.TextDirectory(), QStringLiteral("/before/"));
        QCOMPARE(saver.prompts.Asked().size(), size_t{2});
        const AskedPrompt& error = saver.prompts.Asked()[1];
        QCOMPARE(error.title, ApplicationTitle());
        QCOMPARE(error.icon, Icon::Critical);
        QCOMPARE(error.text,
                 QStringLiteral("Cannot create file \"%1\". Permission denied.").arg(path));
    }

    void NamesBeyondSingleBytesKeepTheirCharacters()
    {
        Saver saver("W-2");
        const QString name = QStringLiteral("W2 \u0416\u00e9.TXT");
        saver.prompts.Enter(saver.dir.filePath(name)).Press(Button::Ok);
        QVERIFY(saver.Save());
        QCOMPARE(ReadFile(saver.dir.filePath(name)), kFileBytes);
        QVERIFY(saver.prompts.Asked()[1].text.contains(QStringLiteral("FILE:  ") + name));
    }
};

QTEST_MAIN(OutputSaverTest)
#include "OutputSaverTest.moc"

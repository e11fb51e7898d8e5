#include "platform/Settings.h"

#include "platform/Bytes.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace impmap::gui;

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString iniPath() const { return dir_.filePath(QStringLiteral("VELLORUM.ini")); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir_.isValid());
        QDir::setCurrent(dir_.path());
    }
    void init() { QFile::remove(iniPath()); }

    void MissingValuesReadAsDefaults()
    {
        const Settings settings(iniPath());
        QCOMPARE(settings.TextDirectory(), QDir::toNativeSeparators(dir_.path()));
        QCOMPARE(settings.LastMapping(), QString());
        QCOMPARE(settings.SourcePath(), QDir::toNativeSeparators(dir_.path()));
        QVERIFY(!QFile::exists(iniPath()));
    }

    void ValuesRoundTripUnderTheirSubKeys()
    {
        Settings settings(iniPath());
        settings.SetTextDirectory(QStringLiteral("/out/texts/"));
        settings.SetProgramPath(QStringLiteral("/apps/impmap"));
        settings.SetLastMapping(QStringLiteral("/maps/PAYEES.MAP"));
        settings.SetSourcePath(dir_.path() + u'/');

        const Settings reread(iniPath());
        QCOMPARE(reread.TextDirectory(), QStringLiteral("/out/texts/"));
        QCOMPARE(reread.LastMapping(), QStringLiteral("/maps/PAYEES.MAP"));
        QCOMPARE(reread.SourcePath(), dir_.path() + u'/');

        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QCOMPARE(ini, QByteArrayLiteral("[Import]\n"
                                        "VL2022=/apps/impmap\n"
                                        "VL2022\\TextDirectory=/out/texts/\n"
                                        "\n"
                                        "[ImportMapping]\n"
                                        "2022\\LastMapping=/maps/PAYEES.MAP\n"
                                        "2022\\SourcePath=") +
                          dir_.path().toUtf8() + "/\n");
    }

    void LastMappingIsTrimmedAndMayBeEmpty()
    {
        Settings settings(iniPath());
        settings.SetLastMapping(QStringLiteral(" \t/maps/A.MAP  "));
        QCOMPARE(settings.LastMapping(), QStringLiteral("/maps/A.MAP"));
        settings.SetLastMapping(QString());
        QCOMPARE(settings.LastMapping(), QString());
    }

    void SourcePathThatIsGoneBecomesTheCurrentDirectory()
    {
        QTemporaryDir gone;
        const QString goneFolder = gone.path();
        gone.remove();
        Settings settings(iniPath());
        for (const QString& stored : {goneFolder, QStringLiteral("  ")}) {
            settings.SetSourcePath(stored);
            QCOMPARE(settings.SourcePath(), QDir::toNativeSeparators(dir_.path()));
        }
    }

    void FolderWithTrailingSeparatorKeepsTheFolderPart_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("file in folder") << "/data/in/PAYEES.CSV"
                                        << "/data/in/";
        QTest::newRow("file at root") << "/PAYEES.CSV"
                                      << "/";
        QTest::newRow("bare name") << "PAYEES.CSV"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void FolderWithTrailingSeparatorKeepsTheFolderPart()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(FolderWithTrailingSeparator(path), QDir::toNativeSeparators(folder));
    }

    void TextsTrimControlCharactersAndKeepBytes()
    {
        QCOMPARE(TrimmedText(QStringLiteral("\x01\t a b \r\n")), QStringLiteral("a b"));
        QCOMPARE(TrimmedText(QStringLiteral(" \x1f ")), QString());
        const std::string bytes("caf\xe9 \xa0\x80", 7);
        QCOMPARE(ToBytes(FromBytes(bytes)), bytes);
        QCOMPARE(ToBytes(QStringLiteral("a\u20acb")), std::string("a?b"));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "SettingsTest.moc"

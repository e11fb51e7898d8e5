#include "settings/Settings.h"

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
        settings.SetRecentMaps(
            {QStringLiteral("/maps/PAYEES.MAP"), QStringLiteral("/maps/W2.MAP")});

        const Settings reread(iniPath());
        QCOMPARE(reread.TextDirectory(), QStringLiteral("/out/texts/"));
        QCOMPARE(reread.LastMapping(), QStringLiteral("/maps/PAYEES.MAP"));
        QCOMPARE(reread.SourcePath(), dir_.path() + u'/');
        QCOMPARE(reread.RecentMaps(),
                 (QStringList{QStringLiteral("/maps/PAYEES.MAP"), QStringLiteral("/maps/W2.MAP")}));

        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray ini = file.readAll();
        QCOMPARE(ini, QByteArrayLiteral("[Import]\n"
                                        "VL2022=/apps/impmap\n"
                                        "VL2022\\TextDirectory=/out/texts/\n"
                                        "\n"
                                        "[ImportMapping]\n"
                                        "2022\\LastMapping=/maps/PAYEES.MAP\n"
                                        "2022\\RecentMaps\\1=/maps/PAYEES.MAP\n"
                                        "2022\\RecentMaps\\2=/maps/W2.MAP\n"
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

    // Ten maps at most; a shorter list leaves none of the longer one behind.
    void RecentMapsKeepTheLatestTen()
    {
        Settings settings(iniPath());
        QStringList twelve;
        for (int i = 1; i <= 12; ++i)
            twelve << QStringLiteral("/maps/%1.MAP").arg(i);
        settings.SetRecentMaps(twelve);
        QCOMPARE(settings.RecentMaps(), twelve.mid(0, 10));
        settings.SetRecentMaps({QStringLiteral("/maps/A.MAP")});
        QCOMPARE(settings.RecentMaps(), QStringList{QStringLiteral("/maps/A.MAP")});
        settings.SetRecentMaps({});
        QCOMPARE(settings.RecentMaps(), QStringList());
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
        QCOMPARE(ToBytes(QStringLiteral("a\u20acb")), std::string("a\x80"
                                                                  "b"));
    }

    void TextsFollowTheSourceEncoding()
    {
        std::string every;
        for (int byte = 0; byte < 256; ++byte)
            every += static_cast<char>(byte);
        const QString shown = FromBytes(every, impmap::TextEncoding::Windows1252);
        QCOMPARE(shown.mid(0x7E, 6), QStringLiteral("~\x7f\u20ac\ufffd\u201a\u0192"));
        QCOMPARE(shown.mid(0x9D, 4), QStringLiteral("\ufffd\u017e\u0178\u00a0"));
        // Every assigned byte comes back as it was; the five unassigned ones are refused below.
        std::string assigned;
        for (const char c : every) {
            if (std::string_view("\x81\x8D\x8F\x90\x9D").find(c) == std::string_view::npos)
                assigned += c;
        }
        QCOMPARE(assigned.size(), size_t{251});
        QCOMPARE(ToBytes(FromBytes(assigned, impmap::TextEncoding::Windows1252),
                         impmap::TextEncoding::Windows1252),
                 assigned);
        const std::string utf8 = "M\xC3\xBCller \xE2\x80\x93 \xF0\x9F\x98\x80";
        const QString text = QStringLiteral("M\u00fcller \u2013 \U0001F600");
        QCOMPARE(FromBytes(utf8, impmap::TextEncoding::Utf8), text);
        QCOMPARE(ToBytes(text, impmap::TextEncoding::Utf8), utf8);

        struct Refusal
        {
            QString text;
            impmap::TextEncoding encoding;
            QString message;
            std::string what;
        };
        const Refusal refusals[] = {
            {QStringLiteral("ok \u0100"), impmap::TextEncoding::Windows1252,
             QStringLiteral("The character \"\u0100\" (U+0100) cannot be stored in a "
                            "Windows-1252 source file"),
             "The character U+0100 cannot be stored in a Windows-1252 source file"},
            {QStringLiteral("\U0001F600"), impmap::TextEncoding::Windows1252,
             QStringLiteral("The character \"\U0001F600\" (U+1F600) cannot be stored in a "
                            "Windows-1252 source file"),
             "The character U+1F600 cannot be stored in a Windows-1252 source file"},
            {QStringLiteral("\ufffd"), impmap::TextEncoding::Windows1252,
             QStringLiteral("The character \"\ufffd\" (U+FFFD) cannot be stored in a "
                            "Windows-1252 source file"),
             "The character U+FFFD cannot be stored in a Windows-1252 source file"},
            {QString(QChar(0xD800)), impmap::TextEncoding::Utf8,
             QStringLiteral("The character \"") + QChar(0xD800) +
                 QStringLiteral("\" (U+D800) cannot be stored in a UTF-8 source file"),
             "The character U+D800 cannot be stored in a UTF-8 source file"},
        };
        for (const Refusal& r : refusals) {
            try {
                ToBytes(r.text, r.encoding);
                QFAIL("stored");
            } catch (const UnstorableCharacter& e) {
                QCOMPARE(e.Text(), r.message);
                QCOMPARE(std::string(e.what()), r.what);
            }
        }
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "SettingsTest.moc"

#include "settings/WorkingFolders.h"

#include "platform/ExampleSource.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace impmap::gui;

namespace {

const QByteArray kExampleBytes =
    "First Name,Middle,Last Name,Tax ID,Address 1,City,State,Zip,Amount\r\n"
    "John,A,Doe,123-45-6789,1 First Street,New York,NY,10012-1002,150000.5\r\n"
    "\r\n"
    "John,B,Smith,123-45-6780,2 Second Street,LIC,NY,11101,3700.25\r\n"
    "Jane,A,Doe,321-45-6789,3 Third Street,Staten Island,NY,10306,4500\r\n"
    "\r\n"
    "Jane,Dee,Smith,321-45-6780,4 Fourth Street,Garden City,NY,11512-1112,16000\r\n";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

class WorkingFoldersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { qunsetenv("IMPMAP_HOME"); }

    void FirstStartMakesFoldersAndExampleAndEntersMaps()
    {
        QTemporaryDir base;
        const WorkingFolders folders = MakeWorkingFolders(base.path());

        const QString maps = base.filePath(QStringLiteral("2022MAPS"));
        QCOMPARE(folders.maps, Native(maps));
        QCOMPARE(folders.headers, Native(maps + QStringLiteral("/HEADERS")));
        QCOMPARE(folders.example, Native(maps + QStringLiteral("/EXAMPLE")));
        QCOMPARE(folders.exampleError, QString());
        QVERIFY(QFileInfo(maps + QStringLiteral("/HEADERS")).isDir());
        QCOMPARE(ReadAll(maps + QStringLiteral("/EXAMPLE/EXAMPLE_SOURCE.TXT")), kExampleBytes);
        QCOMPARE(QDir::currentPath(), QDir(maps).canonicalPath());
    }

    void ExistingExampleIsLeftUntouched()
    {
        QTemporaryDir base;
        const QString example = base.filePath(QStringLiteral("2022MAPS/EXAMPLE"));
        QVERIFY(QDir().mkpath(example));
        QFile edited(example + QStringLiteral("/EXAMPLE_SOURCE.TXT"));
        QVERIFY(edited.open(QIODevice::WriteOnly));
        edited.write("my own edits\n");
        edited.close();

        const WorkingFolders folders = MakeWorkingFolders(base.path());
        QCOMPARE(folders.exampleError, QString());
        QCOMPARE(ReadAll(edited.fileName()), QByteArray("my own edits\n"));
    }

    void FoldersThatCannotBeMadeFallBackToTheCurrentDirectory()
    {
        QTemporaryDir current;
        QDir::setCurrent(current.path());
        // A file where the base folder should be: nothing can be made below it.
        QTemporaryDir holder;
        const QString blocked = holder.filePath(QStringLiteral("not-a-folder"));
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        const WorkingFolders folders = MakeWorkingFolders(blocked);
        const QString here = Native(QDir::currentPath());
        QCOMPARE(folders.maps, here);
        QCOMPARE(folders.headers, here);
        QCOMPARE(folders.example, here);
        QCOMPARE(ReadAll(current.filePath(QStringLiteral("EXAMPLE_SOURCE.TXT"))), kExampleBytes);
    }

    void ExampleThatCannotBeWrittenIsReported()
    {
        QTemporaryDir holder;
        const QString blocked = holder.filePath(QStringLiteral("not-a-folder"));
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QString error;
        QVERIFY(!WriteExampleSource(blocked, &error));
        const QString prefix = QStringLiteral("Cannot create file \"%1\". ")
                                   .arg(Native(blocked + QStringLiteral("/EXAMPLE_SOURCE.TXT")));
        QVERIFY2(error.startsWith(prefix) && error.size() > prefix.size(), qPrintable(error));
    }

    void HomeVariableChoosesTheBaseFolder()
    {
        QTemporaryDir home;
        qputenv("IMPMAP_HOME", home.path().toLocal8Bit());
        QCOMPARE(WorkingFoldersBase(), home.path());
        qunsetenv("IMPMAP_HOME");
        QCOMPARE(WorkingFoldersBase(), QCoreApplication::applicationDirPath());
    }
};

QTEST_GUILESS_MAIN(WorkingFoldersTest)
#include "WorkingFoldersTest.moc"

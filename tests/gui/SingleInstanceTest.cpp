#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <QWidget>

using namespace impmap::gui;
using State = SingleInstance::State;

namespace {

QString UniqueKey()
{
    return QStringLiteral("impmap-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// The process id of a program that has already ended.
qint64 EndedProcessId()
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
    if (!process.waitForStarted()) {
        return 0;
    }
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    // A later start asks the first to show itself, and hands over its file exactly as named.
    void SecondInstanceAsksTheFirstToShowAndOpen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no file") << QString();
        QTest::newRow("a map") << QStringLiteral("/home/ann/2022MAPS/PAYEES.MAP");
        QTest::newRow("blanks, accents, a percent sign and a line break")
            << QStringLiteral("/tmp/M\u00fcller & S\u00f6hne 100%/pay\nees.csv");
    }

    void SecondInstanceAsksTheFirstToShowAndOpen()
    {
        QFETCH(QString, path);
        QTemporaryDir locks;
        const QString key = UniqueKey();
        SingleInstance first(key, locks.path());
        QSignalSpy shown(&first, &SingleInstance::ShowRequested);
        QSignalSpy opened(&first, &SingleInstance::OpenRequested);
        QCOMPARE(first.Start(), State::Primary);

        SingleInstance second(key, locks.path());
        QCOMPARE(second.Start(path), State::Secondary);
        QVERIFY(shown.wait(5000));
        QCOMPARE(shown.count(), 1);
        if (!path.isEmpty())
            QTRY_COMPARE(opened.count(), 1);
        QCOMPARE(opened.count(), path.isEmpty() ? 0 : 1);
        if (!path.isEmpty())
            QCOMPARE(opened.first().first().toString(), path);
        QCOMPARE(first.CurrentState(), State::Primary);
        QCOMPARE(first.Start(), State::Primary);
    }

    // Lines that are no request are dropped, an endless one without being held.
    void OtherTalkIsIgnored()
    {
        QTemporaryDir locks;
        const QString key = UniqueKey();
        SingleInstance first(key, locks.path());
        QSignalSpy shown(&first, &SingleInstance::ShowRequested);
        QCOMPARE(first.Start(), State::Primary);
        for (const QByteArray& talk :
             {QByteArray("hello\n"), QByteArray("open \n"), QByteArray(100 * 1024, 'x')}) {
            QLocalSocket socket;
            socket.connectToServer(key);
            QVERIFY(socket.waitForConnected(2000));
            socket.write(talk);
            QVERIFY(socket.waitForBytesWritten(2000));
            QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        }
        QCOMPARE(shown.count(), 0);
    }

    void LockOfAnEndedInstanceDoesNotBlock()
    {
        QTemporaryDir locks;
        const QString key = UniqueKey();
        const qint64 pid = EndedProcessId();
        QVERIFY(pid > 0);
        QFile stale(QDir(locks.path()).filePath(key + QStringLiteral(".lock")));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(pid) + "\nimpmap\n\n");
        stale.close();

        SingleInstance instance(key, locks.path());
        QCOMPARE(instance.Start(), State::Primary);
        SingleInstance later(key, locks.path());
        QCOMPARE(later.Start(), State::Secondary);
    }

    void LockThatCannotBeMadeRunsAsTheOnlyInstance()
    {
        QTemporaryDir locks;
        SingleInstance instance(UniqueKey(), locks.filePath(QStringLiteral("missing/folder")));
        QCOMPARE(instance.Start(), State::Failed);
    }

    void DefaultKeyNamesTheProgramAndTheUser()
    {
        const QString key = SingleInstance::DefaultKey();
        QVERIFY2(key.startsWith(QStringLiteral("IMPORT_MAP_SEMAPHORE_2022-")), qPrintable(key));
        for (const QChar c : key) {
            QVERIFY2(c.isLetterOrNumber() || c == u'_' || c == u'-', qPrintable(key));
        }
    }

    void BringToFrontRestoresAMinimisedWindow()
    {
        QWidget window;
        window.showMaximized();
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
        QVERIFY(window.isMinimized());
        BringToFront(&window);
        QVERIFY(!window.isMinimized());
        QVERIFY(window.windowState().testFlag(Qt::WindowMaximized));

        QWidget hidden;
        BringToFront(&hidden);
        QVERIFY(!hidden.isVisible());
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"

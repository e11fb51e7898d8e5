#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
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
    void SecondInstanceAsksTheFirstToShow()
    {
        QTemporaryDir locks;
        const QString key = UniqueKey();
        SingleInstance first(key, locks.path());
        QSignalSpy shown(&first, &SingleInstance::ShowRequested);
        QCOMPARE(first.Start(), State::Primary);

        SingleInstance second(key, locks.path());
        QCOMPARE(second.Start(), State::Secondary);
        QVERIFY(shown.wait(5000));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(first.CurrentState(), State::Primary);
        QCOMPARE(first.Start(), State::Primary);
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

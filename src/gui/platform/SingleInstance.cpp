#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QWidget>

namespace impmap::gui {

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");

// How long a later start keeps trying to reach an instance that holds the lock but is still
// starting up and not yet listening.
constexpr int kConnectPatienceMs = 3000;
constexpr int kConnectAttemptMs = 250;

QString UserName()
{
    QString user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty()) {
        user = qEnvironmentVariable("USER");
    }
    if (user.isEmpty()) {
        user = QDir::home().dirName();
    }
    return user;
}

} // namespace

SingleInstance::SingleInstance(QString key, QString lockFolder, QObject* parent)
    : QObject(parent), key_(std::move(key)),
      lockFolder_(lockFolder.isEmpty() ? QDir::tempPath() : std::move(lockFolder))
{}

SingleInstance::~SingleInstance()
{
    if (server_ != nullptr) {
        server_->close();
    }
}

QString SingleInstance::DefaultKey()
{
    // Local socket names and file names accept only a plain set of characters.
    QString user = UserName();
    for (QChar& c : user) {
        if (!c.isLetterOrNumber() || c.unicode() > 127) {
            c = u'_';
        }
    }
    return QStringLiteral("IMPORT_MAP_SEMAPHORE_2022-") + user;
}

SingleInstance::State SingleInstance::Start()
{
    if (state_ != State::NotStarted) {
        return state_;
    }
    lock_ = std::make_unique<QLockFile>(QDir(lockFolder_).filePath(key_ + QStringLiteral(".lock")));
    // The lock is held for the whole run, so it must never age into a stale one; a lock whose
    // process has ended is still recognised as stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        state_ = State::Primary;
        Listen();
    } else if (lock_->error() == QLockFile::LockFailedError && AskPrimaryToShow()) {
        state_ = State::Secondary;
    } else {
        state_ = State::Failed;
    }
    return state_;
}

bool SingleInstance::AskPrimaryToShow() const
{
    const QDeadlineTimer patience(kConnectPatienceMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(key_);
        if (socket.waitForConnected(kConnectAttemptMs)) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(kConnectAttemptMs);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(kConnectAttemptMs / 2);
    } while (!patience.hasExpired());
    return false;
}

void SingleInstance::Listen()
{
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a crashed instance would block listening; the lock says it is ours now.
    QLocalServer::removeServer(key_);
    if (!server_->listen(key_)) {
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::ReadRequest);
}

void SingleInstance::ReadRequest()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto serve = [this, socket] {
            if (socket->canReadLine() && socket->readLine() == kShowRequest) {
                emit ShowRequested();
                socket->disconnectFromServer();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, serve);
        serve();
    }
}

void BringToFront(QWidget* window)
{
    if (window == nullptr || !window->isVisible()) {
        return;
    }
    if (window->isMinimized()) {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    window->raise();
    window->activateWindow();
}

} // namespace impmap::gui

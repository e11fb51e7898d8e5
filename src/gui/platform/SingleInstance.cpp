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

// A request is one line: "show", or "open " and the file's path in UTF-8, percent-encoded so
// that no byte of it ends the line.
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kOpenRequest = QByteArrayLiteral("open ");
// A longer line is no request: the connection is dropped.
constexpr qint64 kLongestRequest = 64 * 1024;

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

SingleInstance::State SingleInstance::Start(const QString& openPath)
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
    } else if (lock_->error() == QLockFile::LockFailedError &&
               AskPrimary(openPath.isEmpty()
                              ? kShowRequest
                              : kOpenRequest + openPath.toUtf8().toPercentEncoding() + '\n')) {
        state_ = State::Secondary;
    } else {
        state_ = State::Failed;
    }
    return state_;
}

bool SingleInstance::AskPrimary(const QByteArray& request) const
{
    const QDeadlineTimer patience(kConnectPatienceMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(key_);
        if (socket.waitForConnected(kConnectAttemptMs)) {
            socket.write(request);
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Serve(socket); });
        Serve(socket);
    }
}

void SingleInstance::Serve(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestRequest)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(kLongestRequest);
    socket->disconnectFromServer();
    if (line == kShowRequest) {
        emit ShowRequested();
        return;
    }
    if (!line.startsWith(kOpenRequest) || !line.endsWith('\n'))
        return;
    const QString path = QString::fromUtf8(
        QByteArray::fromPercentEncoding(line.mid(kOpenRequest.size()).chopped(1)));
    if (!path.isEmpty()) {
        emit ShowRequested();
        emit OpenRequested(path);
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

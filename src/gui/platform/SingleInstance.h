#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;
class QWidget;

// Keeps the program to one running instance per user. The first instance holds a lock file and
// listens on a local socket; a later start finds the lock, asks the first instance through the
// socket to show itself (and to open the file it was given), and ends. A lock file left behind by
// an instance that crashed is recognised as stale and taken over.
namespace impmap::gui {

class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        NotStarted,
        Primary,   // the only instance: holds the lock and listens for show requests
        Secondary, // another instance runs and has been asked to show itself (and open a file)
        Failed     // the check could not be made: run as if this were the only instance
    };

    // key names the lock file and the socket; lockFolder holds the lock file.
    explicit SingleInstance(QString key = DefaultKey(), QString lockFolder = QString(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Makes the check once and returns the outcome; later calls return it again. A later start
    // hands openPath (absolute, as its own folder resolves it) to the running instance.
    State Start(const QString& openPath = QString());
    State CurrentState() const { return state_; }
    const QString& Key() const { return key_; }

    // "IMPORT_MAP_SEMAPHORE_2022" followed by the user's name, so that every user of a shared
    // machine has an instance of his own.
    static QString DefaultKey();

signals:
    // A later start asked this (primary) instance to show itself.
    void ShowRequested();
    // ... and to open a file; sent after ShowRequested.
    void OpenRequested(const QString& path);

private:
    bool AskPrimary(const QByteArray& request) const;
    void Serve(QLocalSocket* socket);
    void Listen();
    void ReadRequest();

    QString key_;
    QString lockFolder_;
    State state_ = State::NotStarted;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

// Brings a window to the user: restored when minimised, otherwise raised and activated. A hidden
// window stays hidden.
void BringToFront(QWidget* window);

} // namespace impmap::gui

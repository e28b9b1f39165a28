#include "app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velto {

namespace {

constexpr char kActivate[] = "activate\n";
constexpr int kTimeoutMs = 1000;

// A real folder (not a link) owned by the user that nobody else may enter.
bool is_private_folder(const QByteArray& path, uid_t user)
{
    struct stat info {};
    return !path.isEmpty() && ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == user && (info.st_mode & 077) == 0;
}

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : SingleInstance(std::move(name), ::geteuid(), parent) {}

SingleInstance::SingleInstance(QString name, uid_t user, QObject* parent)
    : QObject(parent), name_(std::move(name)), user_(user)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::private_folder()
{
    const uid_t user = ::geteuid();
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (is_private_folder(runtime, user))
        return QString::fromLocal8Bit(runtime);
    const QByteArray own = QDir::cleanPath(QDir::tempPath() + QStringLiteral("/velto-%1").arg(user)).toLocal8Bit();
    ::mkdir(own.constData(), 0700); // an existing one must pass the test below all the same
    return is_private_folder(own, user) ? QString::fromLocal8Bit(own) : QString();
}

QString SingleInstance::default_name()
{
    const QString folder = private_folder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/VelTo-%1").arg(::geteuid());
}

bool SingleInstance::same_user(const QLocalSocket& socket) const
{
    ucred peer{};
    socklen_t size = sizeof peer;
    const auto fd = static_cast<int>(socket.socketDescriptor());
    return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == user_;
}

bool SingleInstance::ask_running(int timeout_ms) const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeout_ms))
        return false;
    if (!same_user(socket))
        return false; // someone else's socket: not a reader of ours
    socket.write(kActivate);
    socket.waitForBytesWritten(timeout_ms);
    // The running reader answers once it has taken the request.
    socket.waitForReadyRead(timeout_ms);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
    if (name_.isEmpty())
        return true; // no private place for the socket: the reader runs unguarded
    if (ask_running(kTimeoutMs))
        return false;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A socket left behind by a reader that ended abnormally: nobody answers
        // on it, so it is removed and taken over. If someone started in between,
        // that one wins.
        if (ask_running(kTimeoutMs))
            return false;
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_))
            return true; // no single-instance guard this time, but the reader runs
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (!same_user(*socket)) {
                socket->abort();
                continue;
            }
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("activate")) {
                    socket->write("ok\n");
                    socket->flush();
                    emit activation_requested();
                }
            });
        }
    });
    return true;
}

} // namespace velto

#include "app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace velto {

namespace {
constexpr char kActivate[] = "activate\n";
constexpr int kTimeoutMs = 1000;
} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::default_name()
{
    // One name per user: readers of different users on one machine do not meet.
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME", QStringLiteral("user")));
    return QStringLiteral("VelTo-") + user;
}

bool SingleInstance::ask_running(int timeout_ms) const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeout_ms))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(timeout_ms);
    // The running reader answers once it has taken the request.
    socket.waitForReadyRead(timeout_ms);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
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
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("activate")) {
                    socket->write("ok\n");
                    socket->flush();
                    emit activation_requested();
                }
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

} // namespace velto

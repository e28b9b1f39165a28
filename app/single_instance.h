// One running reader per user. The first start listens on a local socket;
// a later start finds it, asks it to come to the front and ends without a
// window of its own.
//
// The socket is named by the user id and lies in the user's private runtime
// folder ($XDG_RUNTIME_DIR, or a folder of the user's own in the temporary
// folder), where no other user can place one. Either end trusts the other
// only when it runs as the same user (the socket's peer credentials): a
// socket answered by anyone else never stops a start, and a request from
// anyone else is ignored.
#pragma once

#include <QObject>
#include <QString>

#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

namespace velto {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` is the socket's name or path; `user` the user id a running
    // reader must have to be trusted (this process's own by default).
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    SingleInstance(QString name, uid_t user, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the running reader from now on, or runs
    // without the guard (no private folder, a name held by someone else).
    // False when a reader of the same user runs: it has been asked to come
    // to the front.
    bool claim();

    // The socket path for this user; empty when no private folder can be had.
    static QString default_name();
    // A folder only this user can enter: $XDG_RUNTIME_DIR when it is one,
    // else "velto-UID" in the temporary folder (made when missing); empty
    // when neither is safe.
    static QString private_folder();

signals:
    // A later start asked the running reader to come to the front.
    void activation_requested();

private:
    bool ask_running(int timeout_ms) const;
    bool same_user(const QLocalSocket& socket) const;

    QString name_;
    uid_t user_;
    QLocalServer* server_ = nullptr;
};

} // namespace velto

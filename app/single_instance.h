// One running reader per user. The first start listens on a local socket;
// a later start finds it, asks it to come to the front and ends without a
// window of its own.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace velto {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the running reader from now on. False when
    // another one runs: it has been asked to come to the front.
    bool claim();

    // The socket name for this user.
    static QString default_name();

signals:
    // A later start asked the running reader to come to the front.
    void activation_requested();

private:
    bool ask_running(int timeout_ms) const;

    QString name_;
    QLocalServer* server_ = nullptr;
};

} // namespace velto

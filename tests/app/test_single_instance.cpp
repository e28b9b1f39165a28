// One running reader per user.
#include "app/single_instance.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

using velto::SingleInstance;
using velto::test::TempDir;

namespace {

QString socket_in(const TempDir& dir, const char* what)
{
    return QString::fromStdString(dir.file(std::string("VelTo-") + what));
}

// A socket file that nobody listens on, as a reader that crashed leaves behind.
void leave_stale_socket(const QString& path)
{
    const QByteArray bytes = path.toLocal8Bit();
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, bytes.constData(), sizeof address.sun_path - 1);
    ::unlink(bytes.constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd); // the file stays
}

// claim() of a later start, run beside this thread's event loop.
bool later_claim(const QString& name)
{
    std::atomic<int> result{-1};
    std::thread later([&] {
        SingleInstance other(name);
        result = other.claim() ? 1 : 0;
    });
    QElapsedTimer timer;
    timer.start();
    while (result < 0 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    later.join();
    return result == 1;
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

TEST(SingleInstance, ALaterStartAsksTheRunningOneToComeToTheFront)
{
    TempDir dir;
    const QString name = socket_in(dir, "second");
    SingleInstance first(name);
    ASSERT_TRUE(first.claim());
    QSignalSpy activated(&first, &SingleInstance::activation_requested);
    EXPECT_FALSE(later_claim(name));
    if (activated.isEmpty())
        activated.wait(2000);
    EXPECT_EQ(activated.size(), 1);
}

TEST(SingleInstance, ASocketLeftByACrashDoesNotStopTheNextStart)
{
    TempDir dir;
    const QString name = socket_in(dir, "stale");
    leave_stale_socket(name);
    SingleInstance instance(name);
    EXPECT_TRUE(instance.claim());
    // And it really listens now: a later start finds it.
    EXPECT_FALSE(later_claim(name));
}

TEST(SingleInstance, AnAnswerFromAnotherUserDoesNotStopTheStart)
{
    TempDir dir;
    const QString name = socket_in(dir, "squatted");
    // Someone binds the name first and answers every request with "ok".
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(name));
    QObject::connect(&squatter, &QLocalServer::newConnection, [&squatter] {
        while (QLocalSocket* s = squatter.nextPendingConnection()) {
            QObject::connect(s, &QLocalSocket::readyRead, s, [s] {
                s->readAll();
                s->write("ok\n");
                s->flush();
            });
        }
    });
    // As seen from a reader of another user (the answering process is not of its user).
    std::atomic<int> result{-1};
    std::thread victim([&] {
        SingleInstance reader(name, ::geteuid() + 1);
        result = reader.claim() ? 1 : 0;
    });
    QElapsedTimer timer;
    timer.start();
    while (result < 0 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    victim.join();
    EXPECT_EQ(result, 1);
}

TEST(SingleInstance, TheSocketIsTheUsersOwnInAPrivateFolder)
{
    const QString uid = QString::number(::geteuid());
    TempDir runtime;
    ::chmod(runtime.path().c_str(), 0700);
    {
        const ScopedEnv env("XDG_RUNTIME_DIR", runtime.path().substr(0, runtime.path().size() - 1));
        EXPECT_EQ(SingleInstance::default_name(), QString::fromStdString(runtime.file("VelTo-")) + uid);
    }
    // A runtime folder others may enter is not used: the temporary folder's
    // private folder of the user is.
    TempDir open_to_all;
    ::chmod(open_to_all.path().c_str(), 0777);
    TempDir temporary;
    const ScopedEnv env("XDG_RUNTIME_DIR", open_to_all.path());
    const ScopedEnv tmp("TMPDIR", temporary.path());
    const QString name = SingleInstance::default_name();
    EXPECT_EQ(name, QString::fromStdString(temporary.file("velto-")) + uid + QStringLiteral("/VelTo-") + uid);
    struct stat info {};
    ASSERT_EQ(::stat(QFileInfo(name).absolutePath().toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, ::geteuid());
}

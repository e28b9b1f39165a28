// One running reader per user.
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QSignalSpy>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

using velto::SingleInstance;

namespace {

QString unique_name(const char* what)
{
    return QStringLiteral("velto-test-%1-%2").arg(QLatin1String(what)).arg(QCoreApplication::applicationPid());
}

// A socket file that nobody listens on, as a reader that crashed leaves behind.
void leave_stale_socket(const QString& name)
{
    const QByteArray path = QDir::cleanPath(QDir::tempPath() + QLatin1Char('/') + name).toLocal8Bit();
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    ::unlink(path.constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd); // the file stays
}

} // namespace

TEST(SingleInstance, ALaterStartAsksTheRunningOneToComeToTheFront)
{
    const QString name = unique_name("second");
    SingleInstance first(name);
    ASSERT_TRUE(first.claim());
    QSignalSpy activated(&first, &SingleInstance::activation_requested);

    std::atomic<int> second_result{-1};
    std::thread second([&] {
        SingleInstance later(name);
        second_result = later.claim() ? 1 : 0;
    });
    QElapsedTimer timer;
    timer.start();
    while (second_result < 0 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.join();
    EXPECT_EQ(second_result, 0);
    if (activated.isEmpty())
        activated.wait(2000);
    EXPECT_EQ(activated.size(), 1);
}

TEST(SingleInstance, ASocketLeftByACrashDoesNotStopTheNextStart)
{
    const QString name = unique_name("stale");
    leave_stale_socket(name);
    SingleInstance instance(name);
    EXPECT_TRUE(instance.claim());
    // And it really listens now: a later start finds it.
    std::atomic<int> later_result{-1};
    std::thread later([&] {
        SingleInstance other(name);
        later_result = other.claim() ? 1 : 0;
    });
    QElapsedTimer timer;
    timer.start();
    while (later_result < 0 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    later.join();
    EXPECT_EQ(later_result, 0);
}

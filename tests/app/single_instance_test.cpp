#include "app/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <atomic>
#include <cstring>
#include <thread>

#include "app/wiring_fixture.h"

namespace vx {
namespace {

using Role = SingleInstance::Role;

// A socket file nobody listens on, as a program that died leaves it.
void leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

TEST(SingleInstance, AStaleSocketIsTakenOverAndALaterStartHandsItsFilesToTheFirst) {
    test::ensureCoreApp();
    QTemporaryDir dir;
    const QString path = dir.filePath("velumix-1000");
    leaveStaleSocket(path);
    SingleInstance first(path);
    ASSERT_EQ(first.claim({}), Role::First) << first.error().toStdString();
    QList<QStringList> received;
    QObject::connect(&first, &SingleInstance::filesReceived,
                     [&](const QStringList& files) { received << files; });

    // The later start blocks until it is answered, as another process would: it gets a thread of its own.
    std::atomic<int> role{-1};
    std::thread later([&] { role = int(SingleInstance(path).claim({"song.mp3", "/lists/set.m3u"}, 5000)); });
    QElapsedTimer waited;
    waited.start();
    while (role < 0 && waited.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    later.join();
    EXPECT_EQ(role, int(Role::HandedOver));
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0], (QStringList{QDir::current().absoluteFilePath("song.mp3"), "/lists/set.m3u"}));
}

TEST(SingleInstance, AProgramThatListensButNeverAnswersEndsTheLaterStart) {
    test::ensureCoreApp();
    QTemporaryDir dir;
    const QString path = dir.filePath("velumix-1000");
    QLocalServer deaf;
    ASSERT_TRUE(deaf.listen(path));
    SingleInstance later(path);
    EXPECT_EQ(later.claim({"song.mp3"}, 200), Role::NoAnswer);
    EXPECT_FALSE(later.error().isEmpty());
}

}  // namespace
}  // namespace vx

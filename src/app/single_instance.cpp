#include "app/single_instance.h"

#include <unistd.h>

#include <QDataStream>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace vx {

namespace {
constexpr quint32 kMagic = 0x56584631;        // "VXF1": a hand-over of files, this layout
constexpr qint64 kMaxMessageBytes = 4 << 20;  // a command line's files fit many times over
constexpr char kReceived = 1;                 // the answer once the files are taken
}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::standardSocketPath() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/velumix-") +
           QString::number(getuid());
}

SingleInstance::Role SingleInstance::claim(const QStringList& files, int timeoutMs) {
    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(timeoutMs)) {
        error_ = QStringLiteral("cannot lock %1.lock").arg(path_);
        return Role::Alone;
    }
    switch (handOver(files, timeoutMs)) {
        case HandOver::Done:
            return Role::HandedOver;
        case HandOver::NoAnswer:
            return Role::NoAnswer;
        case HandOver::NoOne:
            break;
    }
    // Nobody answers on the socket: whatever file is there was left by a program that died.
    QLocalServer::removeServer(path_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path_)) {
        error_ = server_.errorString();
        return Role::Alone;
    }
    return Role::First;
}

SingleInstance::HandOver SingleInstance::handOver(const QStringList& files, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(timeoutMs)) {
        const auto error = socket.error();
        if (error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError)
            return HandOver::NoOne;
        error_ = socket.errorString();
        return HandOver::NoAnswer;
    }
    QStringList absolute;
    for (const QString& file : files) absolute << QFileInfo(file).absoluteFilePath();
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << kMagic << absolute;
    socket.write(message);
    char answer = 0;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            error_ = QStringLiteral("the running program did not answer: ") + socket.errorString();
            return HandOver::NoAnswer;
        }
    }
    socket.getChar(&answer);
    if (answer != kReceived) {
        error_ = QStringLiteral("the running program did not take the files");
        return HandOver::NoAnswer;
    }
    return HandOver::Done;
}

// Each connection brings one message; it may come in pieces, so it is read as a transaction.
void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto readMessage = [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            QStringList files;
            in >> magic >> files;
            if (!in.commitTransaction()) {
                if (socket->bytesAvailable() > kMaxMessageBytes || (magic != 0 && magic != kMagic))
                    socket->abort();
                return;
            }
            if (magic != kMagic) {
                socket->abort();
                return;
            }
            socket->putChar(kReceived);
            socket->flush();
            socket->disconnectFromServer();
            emit filesReceived(files);
        };
        connect(socket, &QLocalSocket::readyRead, this, readMessage);
        if (socket->bytesAvailable() > 0) readMessage();
    }
}

}  // namespace vx

#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace vistrela {
namespace {

constexpr char kActivate[] = "activate\n";

QString runtimeDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

}  // namespace

QString SingleInstance::defaultKey() {
    return QStringLiteral("vistrela-%1").arg(getuid());
}

SingleInstance::SingleInstance(const QString& key) : key_(key) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

bool SingleInstance::claim() {
    lock_ = std::make_unique<QLockFile>(runtimeDir() + "/" + key_ + ".lock");
    // A lock left by a crashed viewer is stale at once: QLockFile checks whether the process
    // that wrote it still runs.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        signalRunning();
        return false;
    }
    // We hold the lock, so any socket of that name is left over from a crash.
    const QString socketName = runtimeDir() + "/" + key_ + ".sock";
    QLocalServer::removeServer(socketName);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().startsWith("activate") && activate_) activate_();
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
    server_->listen(socketName);
    return true;
}

bool SingleInstance::signalRunning() {
    const QString socketName = runtimeDir() + "/" + key_ + ".sock";
    // The running viewer may have taken the lock an instant ago and not listen yet.
    for (int attempt = 0; attempt < 20; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketName);
        if (socket.waitForConnected(100)) {
            socket.write(kActivate);
            socket.waitForBytesWritten(500);
            socket.waitForDisconnected(500);
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

}  // namespace vistrela

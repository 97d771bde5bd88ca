#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QEventLoop>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace vistrela {
namespace {

constexpr char kActivate[] = "activate\n";
constexpr char kCapture[] = "capture ";
// A request line longer than this is refused; paths are far shorter.
constexpr qsizetype kMaxRequestBytes = 64 * 1024;
constexpr int kConnectAttempts = 20;
constexpr int kConnectRetryMs = 100;

QString runtimeDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

QByteArray answerLine(bool ok, const QString& message) {
    if (ok) return "ok\n";
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return "error " + text.toUtf8() + "\n";
}

void answer(QLocalSocket* peer, bool ok, const QString& message) {
    peer->write(answerLine(ok, message));
    // Hangs up once the answer is written.
    peer->disconnectFromServer();
}

// Runs this thread's event loop until `done()` holds, the socket fails or hangs up, or `ms`
// pass. Returns done().
bool waitOn(QLocalSocket& socket, int ms, const std::function<bool()>& done) {
    if (done()) return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto check = [&] {
        if (done()) loop.quit();
    };
    QObject::connect(&socket, &QLocalSocket::connected, &loop, check);
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, check);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    timer.start(std::max(0, ms));
    loop.exec();
    return done();
}

// Waits `ms` with the event loop running (a running viewer in this thread keeps serving).
void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

QString SingleInstance::defaultKey() {
    return QStringLiteral("vistrela-%1").arg(getuid());
}

SingleInstance::SingleInstance(const QString& key) : key_(key) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

QString SingleInstance::socketName() const {
    return runtimeDir() + "/" + key_ + ".sock";
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
    QLocalServer::removeServer(socketName());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) serve(peer);
    });
    server_->listen(socketName());
    return true;
}

void SingleInstance::serve(QLocalSocket* peer) {
    // The request line may arrive in pieces; only the first line counts.
    auto pending = std::make_shared<QByteArray>();
    auto taken = std::make_shared<bool>(false);
    connect(peer, &QLocalSocket::readyRead, this, [this, peer, pending, taken] {
        if (*taken) {
            peer->readAll();
            return;
        }
        pending->append(peer->readAll());
        const qsizetype end = pending->indexOf('\n');
        if (end < 0) {
            if (pending->size() > kMaxRequestBytes) {
                *taken = true;
                answer(peer, false, QStringLiteral("request too long"));
            }
            return;
        }
        *taken = true;
        handleRequest(peer, pending->left(end));
        pending->clear();
    });
    connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
}

void SingleInstance::handleRequest(QLocalSocket* peer, const QByteArray& line) {
    if (line == "activate") {
        if (activate_) activate_();
        peer->disconnectFromServer();
        return;
    }
    if (!line.startsWith(kCapture)) {
        answer(peer, false, QStringLiteral("unknown request"));
        return;
    }
    const QString path = QString::fromUtf8(line.mid(qsizetype(sizeof(kCapture)) - 1));
    if (path.isEmpty() || !QDir::isAbsolutePath(path)) {
        answer(peer, false, QStringLiteral("not an absolute path: %1").arg(path));
        return;
    }
    if (!capture_) {
        answer(peer, false, QStringLiteral("the running viewer takes no pictures on request"));
        return;
    }
    // The requester may hang up, or this server close, before the picture is written: the
    // socket is then gone and the answer goes nowhere.
    QPointer<QLocalSocket> guard(peer);
    auto answered = std::make_shared<bool>(false);
    capture_(path, [guard, answered](bool ok, QString message) {
        if (*answered) return;
        *answered = true;
        if (guard && guard->state() == QLocalSocket::ConnectedState) answer(guard, ok, message);
    });
}

bool SingleInstance::signalRunning() {
    // The running viewer may have taken the lock an instant ago and not listen yet.
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketName());
        if (socket.waitForConnected(100)) {
            socket.write(kActivate);
            socket.waitForBytesWritten(500);
            socket.waitForDisconnected(500);
            return true;
        }
        QThread::msleep(kConnectRetryMs);
    }
    return false;
}

SingleInstance::RequestResult SingleInstance::requestCapture(const QString& absolutePath,
                                                             int timeoutMs) {
    RequestResult result;
    // One line carries the request, so the path cannot hold a line break.
    if (!QDir::isAbsolutePath(absolutePath) || absolutePath.contains(QLatin1Char('\n')) ||
        absolutePath.contains(QLatin1Char('\r'))) {
        result.message = QStringLiteral("not a usable absolute path: %1").arg(absolutePath);
        return result;
    }
    QLocalSocket socket;
    bool connected = false;
    // As in claim(): the running viewer may not listen yet.
    for (int attempt = 0; attempt < kConnectAttempts && !connected; ++attempt) {
        if (attempt > 0) pause(kConnectRetryMs);
        socket.abort();
        socket.connectToServer(socketName());
        connected = waitOn(socket, kConnectRetryMs,
                           [&] { return socket.state() == QLocalSocket::ConnectedState; });
    }
    if (!connected) {
        result.message = QStringLiteral("no running viewer");
        return result;
    }
    socket.write(kCapture + absolutePath.toUtf8() + "\n");
    socket.flush();
    result.delivered = true;

    QByteArray reply;
    const bool answered = waitOn(socket, timeoutMs, [&] {
        reply.append(socket.readAll());
        return reply.contains('\n');
    });
    if (!answered) {
        result.message = socket.state() == QLocalSocket::ConnectedState
                             ? QStringLiteral("no answer from the running viewer in time")
                             : QStringLiteral("the running viewer hung up without an answer");
        return result;
    }
    const QByteArray line = reply.left(reply.indexOf('\n'));
    if (line == "ok") {
        result.ok = true;
    } else if (line.startsWith("error ")) {
        result.message = QString::fromUtf8(line.mid(6));
    } else {
        result.message = QStringLiteral("unexpected answer: %1").arg(QString::fromUtf8(line));
    }
    return result;
}

}  // namespace vistrela

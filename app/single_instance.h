#pragma once
// One viewer per user session. The first process takes a lock file and listens on a local
// socket; a later process that cannot take the lock tells the running one to come to the
// front and then ends. This works whatever the running window's title says, and two starts at
// the same instant still end with exactly one viewer, because only one can hold the lock.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace vistrela {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the lock and the socket; tests give their own.
    explicit SingleInstance(const QString& key = defaultKey());
    ~SingleInstance() override;

    // True when this process is the only viewer and now holds the lock. False when another
    // viewer runs: it has been asked to come to the front (best effort, waits up to ~2 s).
    bool claim();

    // Called on the UI thread when another start asks the running viewer to come forward.
    void setActivateHandler(std::function<void()> handler) { activate_ = std::move(handler); }

    static QString defaultKey();

private:
    bool signalRunning();

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> activate_;
};

}  // namespace vistrela

#pragma once
// One viewer per user session. The first process takes a lock file and listens on a local
// socket; a later process that cannot take the lock tells the running one to come to the
// front and then ends. This works whatever the running window's title says, and two starts at
// the same instant still end with exactly one viewer, because only one can hold the lock.
//
// The socket speaks one request line per connection, UTF-8:
//   "activate\n"               come to the front; no answer, the viewer hangs up
//   "capture <absolute path>\n" take one picture into that file; the viewer answers with
//                              "ok\n" or "error <text>\n" once the picture is written (or
//                              could not be), then hangs up
// Anything else gets "error <text>\n".

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalSocket;

namespace vistrela {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Answers a capture request: ok, or why not (one line; line breaks become blanks).
    using CaptureReply = std::function<void(bool ok, QString message)>;
    // Serves a capture request for `path` (absolute). Calls `reply` exactly once, now or later
    // on the UI thread; further calls, and calls after the requester went away, do nothing.
    using CaptureHandler = std::function<void(QString path, CaptureReply reply)>;

    struct RequestResult {
        bool delivered = false;  // a running viewer took the request
        bool ok = false;         // it answered "ok"
        QString message;         // its error text, or why there is no answer
    };

    // `key` names the lock and the socket; tests give their own.
    explicit SingleInstance(const QString& key = defaultKey());
    ~SingleInstance() override;

    // True when this process is the only viewer and now holds the lock. False when another
    // viewer runs: it has been asked to come to the front (best effort, waits up to ~2 s).
    bool claim();

    // From a later start: asks the running viewer to save one picture at `absolutePath` and
    // waits for its answer, at most about 2 s to reach it plus `timeoutMs` for the answer. The
    // event loop of this thread keeps running meanwhile. Needs a QCoreApplication.
    RequestResult requestCapture(const QString& absolutePath, int timeoutMs);

    // Called on the UI thread when another start asks the running viewer to come forward.
    void setActivateHandler(std::function<void()> handler) { activate_ = std::move(handler); }
    // Called on the UI thread for a capture request. Without a handler the request is answered
    // with an error. Set the handlers before the event loop runs.
    void setCaptureHandler(CaptureHandler handler) { capture_ = std::move(handler); }

    static QString defaultKey();

private:
    bool signalRunning();
    void serve(QLocalSocket* peer);
    void handleRequest(QLocalSocket* peer, const QByteArray& line);
    QString socketName() const;

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> activate_;
    CaptureHandler capture_;
};

}  // namespace vistrela

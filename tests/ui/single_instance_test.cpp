// The single-instance socket between a running viewer and a later start, both in this process
// under a key of their own.

#include "app/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <QtTest>
#include <memory>
#include <vector>

using vistrela::SingleInstance;

namespace {

QString freshKey() {
    return QStringLiteral("vistrela-test-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
}

constexpr int kAnswerMs = 60000;

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Lock files and sockets go to a directory of this run's own.
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    void laterStartActivatesTheRunningViewer() {
        const QString key = freshKey();
        SingleInstance running(key);
        QVERIFY(running.claim());
        int activations = 0;
        running.setActivateHandler([&] { ++activations; });

        SingleInstance later(key);
        QVERIFY(!later.claim());
        QTRY_COMPARE_WITH_TIMEOUT(activations, 1, 10000);
    }

    void captureRequestIsAnsweredAfterThePictureIsWritten() {
        const QString key = freshKey();
        SingleInstance running(key);
        QVERIFY(running.claim());
        QStringList asked;
        running.setCaptureHandler([&](QString path, SingleInstance::CaptureReply reply) {
            asked << path;
            // The answer comes later, as after the picture is written.
            QTimer::singleShot(0, [reply, n = asked.size()] {
                if (n == 1)
                    reply(true, {});
                else
                    reply(false, QStringLiteral("disk full\nsecond line"));
            });
        });
        const QString path = QDir::tempPath() + QStringLiteral("/사진 1.jpg");

        SingleInstance later(key);
        const SingleInstance::RequestResult ok = later.requestCapture(path, kAnswerMs);
        QVERIFY(ok.delivered);
        QVERIFY2(ok.ok, qPrintable(ok.message));
        QCOMPARE(asked, QStringList{path});

        // An error reaches the requester as one line of text.
        const SingleInstance::RequestResult failed = later.requestCapture(path, kAnswerMs);
        QVERIFY(failed.delivered);
        QVERIFY(!failed.ok);
        QCOMPARE(failed.message, QStringLiteral("disk full second line"));
        QCOMPARE(asked.size(), 2);
    }

    void requestsThatCannotBeServedSayWhy() {
        const QString key = freshKey();
        // Nobody runs under this key.
        SingleInstance alone(key);
        const SingleInstance::RequestResult none = alone.requestCapture("/tmp/a.jpg", kAnswerMs);
        QVERIFY(!none.delivered);
        QVERIFY(!none.ok);
        QVERIFY(!none.message.isEmpty());

        SingleInstance running(key);
        QVERIFY(running.claim());
        // No handler yet: an error, not a hang.
        const SingleInstance::RequestResult unserved =
            alone.requestCapture("/tmp/a.jpg", kAnswerMs);
        QVERIFY(unserved.delivered);
        QVERIFY(!unserved.ok);
        QVERIFY(!unserved.message.isEmpty());

        // A relative path or one with a line break is refused before anything is sent.
        int calls = 0;
        running.setCaptureHandler([&](QString, SingleInstance::CaptureReply reply) {
            ++calls;
            reply(true, {});
        });
        for (const QString& bad : {QStringLiteral("a.jpg"), QStringLiteral("/tmp/a\ncapture /b")}) {
            const SingleInstance::RequestResult r = alone.requestCapture(bad, kAnswerMs);
            QVERIFY(!r.delivered);
            QVERIFY(!r.message.isEmpty());
        }
        QCOMPARE(calls, 0);

        // A handler that never answers: the requester gives up after its wait.
        running.setCaptureHandler([](QString, SingleInstance::CaptureReply) {});
        const SingleInstance::RequestResult silent = alone.requestCapture("/tmp/a.jpg", 200);
        QVERIFY(silent.delivered);
        QVERIFY(!silent.ok);
        QVERIFY(!silent.message.isEmpty());
    }

    void answerToAVanishedRequesterIsDropped() {
        const QString key = freshKey();
        auto running = std::make_unique<SingleInstance>(key);
        QVERIFY(running->claim());
        std::vector<SingleInstance::CaptureReply> replies;
        running->setCaptureHandler([&](QString path, SingleInstance::CaptureReply reply) {
            replies.push_back(reply);
            if (path.endsWith(QStringLiteral("second.jpg"))) reply(true, {});
        });

        // The requester gives up before the answer.
        SingleInstance later(key);
        QVERIFY(!later.requestCapture("/tmp/first.jpg", 100).ok);
        // Its request still reaches the handler, however late the server reads it.
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), std::size_t(1), 20000);
        // The late answer goes nowhere.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        replies[0](true, {});
        replies[0](false, QStringLiteral("twice"));

        // The server still serves.
        const SingleInstance::RequestResult second =
            later.requestCapture("/tmp/second.jpg", kAnswerMs);
        QVERIFY2(second.ok, qPrintable(second.message));

        // An answer after the server is gone does nothing.
        QVERIFY(!later.requestCapture("/tmp/third.jpg", 100).ok);
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), std::size_t(3), 20000);
        running.reset();
        replies[2](true, {});
    }

private:
    QTemporaryDir runtime_;
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"

// The program's message box on the offscreen platform, driven by keys and clicks: the Ok box,
// the processing notice that nobody can close, remembered answers in a throw-away profile,
// the countdown, and a long message that wraps.

#include "controls/ui/message_box_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <memory>

#include "settings/profile_store.h"
#include "tests/core/temp_home.h"
#include "tests/ui/event_counter.h"

using namespace vistrela;

namespace {

constexpr int kWaitMs = 10000;
const QString kProcessing = QStringLiteral("동영상 처리중. 잠시 기다려 주세요");

using vistrela::test::EventCounter;

// Where the keyboard goes in `box`: its focused control, else the box itself.
QWidget* keyTarget(CMessageBoxDialog& box) {
    return box.focusWidget() ? box.focusWidget() : &box;
}

// Runs `box` modally with `drive` queued to act on it once its loop runs. A box that does not
// end within the wait is hidden from outside, which makes DoModal return -1.
int runModal(CMessageBoxDialog& box, const std::function<void()>& drive) {
    QTimer::singleShot(0, &box, [&box, drive] {
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        drive();
    });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, &box, [&box] { box.Show(0); });
    safety.start(kWaitMs);
    return box.DoModal();
}

bool centredOnPrimaryScreen(const QWidget& w) {
    const QPoint delta =
        w.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    return qAbs(delta.x()) <= 1 && qAbs(delta.y()) <= 1;
}

// Every visible child lies wholly inside the client area.
bool childrenInside(const QWidget& w) {
    for (const QWidget* child : w.findChildren<QWidget*>())
        if (child->isVisibleTo(&w) && !w.rect().contains(child->geometry())) return false;
    return true;
}

}  // namespace

class MessageBoxDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home_;
    std::unique_ptr<ProfileStore> profile_;

private slots:
    void initTestCase() {
        home_ = std::make_unique<test::TempHome>();
        QVERIFY(home_->valid());
        // The answers go to the throw-away home, never the user's profile.
        profile_ = std::make_unique<ProfileStore>(QString::fromStdString(home_->path("p.conf")));
    }
    void cleanupTestCase() {
        profile_.reset();
        home_.reset();
    }

    void okBoxEndsWithOkByEscapeCloseEnterAndClick() {
        CMessageBoxDialog box(nullptr, "Saved.", "Vistrela", 0);
        QCOMPARE(box.windowTitle(), QStringLiteral("Vistrela"));
        const auto buttons = box.findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QPushButton* ok = box.button(IDOK);
        QVERIFY(ok != nullptr);
        QCOMPARE(ok->text(), QStringLiteral("&Ok"));
        QVERIFY(ok->isDefault());
        QCOMPARE(box.cancelButtonId(), IDOK);
        QVERIFY(box.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!box.isVisible());

        QCOMPARE(runModal(box, [&] { QTest::keyClick(keyTarget(box), Qt::Key_Escape); }), 1);
        QVERIFY(!box.isVisible());
        QCOMPARE(runModal(box, [&] { QVERIFY(box.close()); }), 1);
        QCOMPARE(runModal(box, [&] { box.windowHandle()->close(); }), 1);
        QCOMPARE(runModal(box, [&] { QTest::keyClick(keyTarget(box), Qt::Key_Return); }), 1);
        QCOMPARE(runModal(box, [&] { QTest::mouseClick(ok, Qt::LeftButton); }), 1);
    }

    void processingNoticeCannotBeClosedAndShowsProgress() {
        CMessageBoxDialog box(nullptr, kProcessing, QStringLiteral("Vistrela 동영상 처리중"),
                              kMbNoButtons);
        QVERIFY(box.findChildren<QPushButton*>().isEmpty());
        QVERIFY(box.findChildren<QCheckBox*>().isEmpty());
        QVERIFY(!(box.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(box.defaultButtonId(), -1);
        QCOMPARE(box.cancelButtonId(), -1);

        box.Show(1);
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(centredOnPrimaryScreen(box));
        QLabel* message = box.messageLabel();
        QCOMPARE(message->text(), kProcessing);
        // The Korean line is whole: one line, as wide as its text.
        QVERIFY(message->width() >= message->fontMetrics().horizontalAdvance(kProcessing));
        QVERIFY(childrenInside(box));

        QTest::keyClick(keyTarget(box), Qt::Key_Escape);
        QTest::keyClick(keyTarget(box), Qt::Key_Return);
        QVERIFY(!box.close());
        box.windowHandle()->close();
        QCoreApplication::processEvents();
        QVERIFY(box.isVisible());

        const QSize before = box.size();
        box.SetProgress(42);
        QProgressBar* bar = box.progressBar();
        QVERIFY(bar != nullptr && bar->isVisible());
        QCOMPARE(bar->value(), 42);
        QCOMPARE(box.progressLabel()->text(), QStringLiteral("42%"));
        QVERIFY(bar->geometry().top() > message->geometry().bottom());
        QVERIFY(box.height() > before.height());
        QVERIFY(childrenInside(box));
        QTRY_VERIFY_WITH_TIMEOUT(centredOnPrimaryScreen(box), kWaitMs);

        box.SetProgress(100);
        QCOMPARE(box.progressLabel()->text(), QStringLiteral("100%"));
        QVERIFY(childrenInside(box));
        box.SetProgress(-1);
        QVERIFY(!bar->isVisible());
        QCOMPARE(box.size(), before);

        box.Show(0);
        QVERIFY(!box.isVisible());
    }

    void checkedAnswerIsRememberedByTextNotTitle() {
        const QString text = QStringLiteral("Replace the existing file?");
        const std::uint32_t style = 3 | kMbDontDisplayAgain;
        CMessageBoxDialog first(nullptr, text, "One", style, 0, profile_.get());
        QCheckBox* check = first.dontAgainCheckBox();
        QVERIFY(check != nullptr);
        QCOMPARE(check->text(), QStringLiteral("Don't display this &message again."));
        QVERIFY(check->isChecked());
        QVERIFY(check->geometry().bottom() < first.button(IDYES)->geometry().top());
        QCOMPARE(runModal(first, [&] { QTest::mouseClick(first.button(IDNO), Qt::LeftButton); }),
                 IDNO);
        QCOMPARE(profile_->value(first.profileKey()).toInt(), IDNO);

        CMessageBoxDialog second(nullptr, text, "Two", style, 0, profile_.get());
        EventCounter shows(QEvent::Show);
        second.installEventFilter(&shows);
        QCOMPARE(second.DoModal(), IDNO);
        second.Show(1);
        QCOMPARE(shows.count, 0);
        QVERIFY(!second.isVisible());

        // Unchecked, the answer is not kept and the next box asks again.
        const QString other = QStringLiteral("Delete the recording?");
        CMessageBoxDialog unchecked(nullptr, other, "", 4 | kMbDontAskAgain, 0, profile_.get());
        QCOMPARE(unchecked.dontAgainCheckBox()->text(),
                 QStringLiteral("Don't ask this &question again."));
        QCOMPARE(runModal(unchecked,
                          [&] {
                              QTest::mouseClick(unchecked.dontAgainCheckBox(), Qt::LeftButton);
                              QVERIFY(!unchecked.dontAgainCheckBox()->isChecked());
                              QTest::keyClick(keyTarget(unchecked), Qt::Key_Return);
                          }),
                 IDYES);
        QVERIFY(!profile_->contains(unchecked.profileKey()));
        CMessageBoxDialog again(nullptr, other, "", 4 | kMbDontAskAgain, 0, profile_.get());
        QCOMPARE(runModal(again, [&] { QTest::mouseClick(again.button(IDNO), Qt::LeftButton); }),
                 IDNO);
    }

    void enterTakesTheFocusedButtonAndHelpKeepsTheBox() {
        CMessageBoxDialog box(nullptr, "Overwrite?", "", 3 | 0x100);
        QVERIFY(box.button(IDNO)->isDefault());
        QCOMPARE(runModal(box,
                          [&] {
                              QCOMPARE(box.focusWidget(), box.button(IDNO));
                              QTest::keyClick(keyTarget(box), Qt::Key_Tab);
                              QCOMPARE(box.focusWidget(), box.button(IDCANCEL));
                              QTest::keyClick(keyTarget(box), Qt::Key_Tab);
                              QCOMPARE(box.focusWidget(), box.button(IDYES));
                              QTest::keyClick(keyTarget(box), Qt::Key_Enter, Qt::KeypadModifier);
                          }),
                 IDYES);

        CMessageBoxDialog help(nullptr, "Need help?", "", 0 | kMbHelp, 77);
        QSignalSpy asked(&help, &CMessageBoxDialog::helpRequested);
        QCOMPARE(runModal(help,
                          [&] {
                              QTest::mouseClick(help.button(IDHELP), Qt::LeftButton);
                              QCOMPARE(asked.size(), 1);
                              QCOMPARE(asked.at(0).at(0).toInt(), 77);
                              QVERIFY(help.isVisible());
                              QTest::keyClick(keyTarget(help), Qt::Key_Escape);
                          }),
                 IDOK);
    }

    void countdownShowsSecondsThenEndsWithTheDefault() {
        CMessageBoxDialog box(nullptr, "Closing by itself.", "", 4 | 0x100);
        box.SetTimeout(2);
        QPushButton* no = box.button(IDNO);
        QCOMPARE(no->text(), QStringLiteral("&No = 2"));
        QCOMPARE(box.button(IDYES)->text(), QStringLiteral("&Yes"));
        QVERIFY(childrenInside(box));
        QSignalSpy finished(&box, &QDialog::finished);
        box.Show(1);
        QTRY_COMPARE_WITH_TIMEOUT(no->text(), QStringLiteral("&No = 1"), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!box.isVisible(), kWaitMs);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), IDNO);
        QCOMPARE(box.result(), IDNO);
    }

    void disabledCountdownSwallowsKeysAndCloses() {
        CMessageBoxDialog box(nullptr, "Read this first.", "", 1);
        box.SetTimeout(1, true);
        QVERIFY(!box.button(IDOK)->isEnabled());
        QVERIFY(!box.button(IDCANCEL)->isEnabled());
        QCOMPARE(runModal(box,
                          [&] {
                              QTest::keyClick(keyTarget(box), Qt::Key_Escape);
                              QTest::keyClick(keyTarget(box), Qt::Key_Return);
                              QVERIFY(!box.close());
                              QVERIFY(box.isVisible());
                              QTRY_VERIFY_WITH_TIMEOUT(box.button(IDCANCEL)->isEnabled(), kWaitMs);
                              QCOMPARE(box.button(IDOK)->text(), QStringLiteral("&Ok"));
                              QVERIFY(box.isVisible());
                              QTest::keyClick(keyTarget(box), Qt::Key_Escape);
                          }),
                 IDCANCEL);
    }

    void longMessageWrapsAtHalfTheScreenPlus100() {
        QString text;
        for (int i = 0; i < 60; ++i) text += QStringLiteral("document camera ");
        CMessageBoxDialog box(nullptr, text, "", 0 | kMbIconExclamation);
        const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
        QLabel* message = box.messageLabel();
        const QFontMetrics fm(message->font());
        QVERIFY(message->width() <= screenWidth / 2 + 100);
        QVERIFY(message->width() > (screenWidth / 2 + 100) * 3 / 4);
        QVERIFY(message->height() >= 3 * fm.height());
        // The label is as high as its wrapped text needs.
        QCOMPARE(message->heightForWidth(message->width()), message->height());
        const auto labels = box.findChildren<QLabel*>();
        QCOMPARE(labels.size(), 2);  // the icon and the message
        const QLabel* icon = labels.at(0) == message ? labels.at(1) : labels.at(0);
        QVERIFY(icon->isVisibleTo(&box));
        QVERIFY(message->geometry().left() > icon->geometry().right());
        QVERIFY(childrenInside(box));
    }
};

QTEST_MAIN(MessageBoxDialogTest)
#include "message_box_dialog_test.moc"

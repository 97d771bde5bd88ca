#pragma once
// The assembled main window over real test cameras, for the widget tests: a fresh program start
// in a throw-away home (pictures land in a temporary desktop folder), prompts that answer at
// once, and helpers that drive the real window, panel and menu.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QWheelEvent>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "annotation/overlay.h"
#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
#include "capture/media/test_camera.h"
#include "common/prompts.h"
#include "controls/panel_buttons.h"
#include "controls/panel_layout.h"
#include "controls/ui/gdip_button.h"
#include "controls/ui/menu_xp.h"
#include "settings/settings.h"
#include "tests/core/temp_home.h"
#include "viewer/view_state.h"

namespace vistrela::test {

// Generous: a camera opens within 5 s, a lost one is looked for every 2 s.
inline constexpr int kWaitMs = 15000;

inline const QString kSavedText = QStringLiteral("바탕화면에 저장합니다");
inline const QString kLostText = QStringLiteral("카메라 연결이 끊어졌습니다");

// Answers every prompt at once, so no test can block on a modal window.
class RecordingPrompts : public Prompts {
public:
    void notice(const std::string&, const std::string& text) override {
        notices.push_back(text);
        if (onNotice) onNotice();
    }
    std::function<void()> onNotice;  // runs while the notice would be on screen
    // The save dialog answers `saveAnswer` ("" = cancelled).
    std::string saveFileName(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {
        ++saveDialogs;
        return saveAnswer;
    }
    std::string folder(const std::string& title, const std::string&) override {
        folderTitles.push_back(title);
        return folderAnswer;
    }
    std::vector<std::string> notices;
    std::string saveAnswer;
    int saveDialogs = 0;
    std::vector<std::string> folderTitles;
    std::string folderAnswer;  // what the folder picker answers; "" = cancelled
};

// The colour of one corner marker of the test camera's picture.
inline QString hueName(QRgb c) {
    auto high = [](int v) { return v > 170; };
    auto low = [](int v) { return v < 90; };
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (high(r) && high(g) && high(b)) return "white";
    if (high(r) && low(g) && low(b)) return "red";
    if (low(r) && high(g) && low(b)) return "green";
    if (low(r) && low(g) && high(b)) return "blue";
    return QString("other(%1,%2,%3)").arg(r).arg(g).arg(b);
}

// Corner colours as "top-left,top-right,bottom-left,bottom-right", read in the middle of each
// corner marker. The marker side depends only on the shorter side, so it holds for a turned
// picture too.
inline QString corners(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    if (w < 8 || h < 8) return "no picture";
    const int m = TestCameraMarkerSide(w, h) / 2;
    return QStringList{hueName(image.pixel(m, m)), hueName(image.pixel(w - 1 - m, m)),
                       hueName(image.pixel(m, h - 1 - m)),
                       hueName(image.pixel(w - 1 - m, h - 1 - m))}
        .join(',');
}

// The camera's own picture is red, green / blue, white; start-up shows it turned by 180.
inline const QString kTurned180 = "white,blue,green,red";
// Then a quarter turn to the right.
inline const QString kTurned270 = "green,white,red,blue";

}  // namespace vistrela::test

namespace vistrela::test {

// The state and helpers of a main-window test. A test class derives from it and calls
// setUpCase, tearDownCase, setUp and tearDown from its Qt Test slots.
class MainWindowFixture : public QObject {
protected:
    std::unique_ptr<test::TempHome> home_;
    RecordingPrompts prompts_;
    // Declared before the dialog, so the dialog goes first.
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<CvistDlg> dlg_;

    // A fresh program start with `cameras` as the machine's cameras; `oneShotName` starts a
    // one-shot run.
    void start(const char* cameras, const std::string& oneShotName = {}) {
        qputenv("VISTRELA_TEST_CAMERAS", cameras);
        dlg_.reset();
        ctx_ = std::make_unique<AppContext>();
        ctx_->prompts = &prompts_;
        if (!oneShotName.empty()) {
            ctx_->commandLine.commandLineName = oneShotName;
            ctx_->commandLine.oneShotCapture = 1;
            ctx_->oneShotPath = home_->path(oneShotName);
        }
        dlg_ = std::make_unique<CvistDlg>(*ctx_);
    }

    bool waitFrames(int count) {
        const int target = dlg_->framesProcessed() + count;
        return QTest::qWaitFor([&] { return dlg_->framesProcessed() >= target; }, kWaitMs);
    }

    QString desktop() const { return QString::fromStdString(home_->desktop()); }
    QStringList pictures() const {
        return QDir(desktop()).entryList({"*.jpg"}, QDir::Files, QDir::Name);
    }
    QString title() const { return dlg_->windowTitle(); }

    VideoWidget* video() const { return dlg_->findChild<VideoWidget*>(); }

    CGdipButton* panelButton(int id) const {
        for (CGdipButton* b : dlg_->findChildren<CGdipButton*>())
            if (b->property("controlId").toInt() == id) return b;
        return nullptr;
    }

    // Pops the context menu up with a click on the panel's menu button, as a user does, and
    // returns it once it shows.
    CMenuXP* popUpMenu() {
        QTest::mouseClick(panelButton(IDC_MENU), Qt::LeftButton);
        CMenuXP* menu = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] {
                menu = qobject_cast<CMenuXP*>(QApplication::activePopupWidget());
                return menu != nullptr && menu->isVisible();
            },
            kWaitMs);
        return shown ? menu : nullptr;
    }

    // The open submenu of `menu` (the camera list), opened by clicking its entry.
    CMenuXP* openCameraSubmenu(CMenuXP* menu) {
        QAction* entry = menu->actions().value(0);
        if (entry == nullptr || entry->menu() == nullptr) return nullptr;
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(entry).center());
        auto* sub = qobject_cast<CMenuXP*>(entry->menu());
        if (!QTest::qWaitFor([&] { return sub->isVisible(); }, kWaitMs)) return nullptr;
        return sub;
    }

    QString openCamera() const {
        return ctx_->capture.device()
                   ? QString::fromStdString(ctx_->capture.device()->friendlyName())
                   : QString();
    }

    // Saves a picture and returns its size.
    QSize savedPictureSize() {
        const int before = pictures().size();
        QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
        const QString name = waitForPicture(before);
        return name.isEmpty() ? QSize() : QImage(desktop() + "/" + name).size();
    }

    // A wheel step over the middle of the video area. Sent to the dialog itself: Qt passes
    // only system wheel events on from the video widget to its parent.
    void wheel(int angleDelta) {
        const QPointF at(video()->width() / 2.0, video()->height() / 2.0);
        QWheelEvent event(at, dlg_->mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(dlg_.get(), &event);
    }

    void rightDrag(QPoint from, QPoint to) {
        auto send = [this](QEvent::Type type, QPoint p, Qt::MouseButton button,
                           Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(p), dlg_->mapToGlobal(QPointF(p)), button, held,
                              Qt::NoModifier);
            QApplication::sendEvent(dlg_.get(), &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    }

    // Positions (column, row from the top) of the overlay's drawn pixels.
    QList<QPoint> overlayInk() const {
        QList<QPoint> ink;
        const CxImage& overlay = dlg_->pipelineState().overlayImage;
        for (int y = 0; y < overlay.GetHeight(); ++y)
            for (int x = 0; x < overlay.GetWidth(); ++x)
                if ((overlay.PixelAt(x, y) & kRgbMask) != 0) ink.append(QPoint(x, y));
        return ink;
    }
    // How many of `at` show the pen's colour in the next processed frame.
    int penPixelsShown(const QList<QPoint>& at) {
        if (!waitFrames(2)) return -1;
        int n = 0;
        for (const QPoint& p : at)
            n += dlg_->processedFrame().PixelAt(p.x(), p.y()) == PEN_COLOUR.pixel();
        return n;
    }

    // Waits for the next picture file and returns its name.
    QString waitForPicture(int countBefore) {
        if (!QTest::qWaitFor([&] { return pictures().size() > countBefore; }, kWaitMs)) return {};
        return pictures().last();
    }

    void setUpCase() {
        home_ = std::make_unique<test::TempHome>();
        QVERIFY(home_->valid());
    }

    void tearDownCase() { home_.reset(); }

    void setUp() {
        for (const QString& name : QDir(desktop()).entryList(QDir::Files))
            QFile::remove(desktop() + "/" + name);
        QFile::remove(QString::fromStdString(home_->configIni()));
        prompts_.notices.clear();
        prompts_.saveAnswer.clear();
        prompts_.saveDialogs = 0;
        prompts_.folderTitles.clear();
        prompts_.folderAnswer.clear();
        prompts_.onNotice = nullptr;
    }

    void tearDown() {
        dlg_.reset();
        ctx_.reset();
    }
};

}  // namespace vistrela::test

// Widget tests of the panel image button on the offscreen platform.

#include "controls/ui/gdip_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "controls/button_images.h"
#include "controls/panel_buttons.h"
#include "tests/ui/event_counter.h"

using vistrela::CGdipButton;

namespace {

const QColor kBackground(255, 0, 255);
const QColor kNormal(200, 0, 0);
const QColor kHover(0, 200, 0);
const QColor kHoverCorner(0, 0, 255);

using vistrela::test::EventCounter;

}  // namespace

class GdipButtonTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString normalPath_;
    QString hoverPath_;

    // A parent painted in kBackground with one button of both test images at (10, 10).
    struct Panel {
        QWidget parent;
        CGdipButton* button = nullptr;
    };
    void makePanel(Panel& panel, bool withHover = true) {
        panel.parent.resize(100, 80);
        panel.parent.setAutoFillBackground(true);
        QPalette pal = panel.parent.palette();
        pal.setColor(QPalette::Window, kBackground);
        panel.parent.setPalette(pal);
        panel.button = new CGdipButton(&panel.parent);
        QVERIFY(panel.button->loadNormalImageFrom(normalPath_, "PNG"));
        if (withHover) QVERIFY(panel.button->loadHoverImageFrom(hoverPath_, "PNG"));
        QVERIFY(panel.button->setPosition(10, 10));
        panel.parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel.parent));
    }

    static void enter(QWidget* w) {
        QEnterEvent ev(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(w, &ev);
    }
    static void leave(QWidget* w) {
        QEvent ev(QEvent::Leave);
        QApplication::sendEvent(w, &ev);
    }
    static void mouse(QWidget* w, QEvent::Type type) {
        QMouseEvent ev(type, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                       type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                       Qt::NoModifier);
        QApplication::sendEvent(w, &ev);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QImage normal(20, 10, QImage::Format_RGB32);
        normal.fill(kNormal);
        QImage hover(20, 10, QImage::Format_RGB32);
        hover.fill(kHover);
        hover.setPixelColor(0, 0, kHoverCorner);
        normalPath_ = dir_.filePath("normal.png");
        hoverPath_ = dir_.filePath("hover.png");
        QVERIFY(normal.save(normalPath_));
        QVERIFY(hover.save(hoverPath_));
    }

    void normalHoverAndPressedLooks() {
        Panel panel;
        makePanel(panel);
        CGdipButton* b = panel.button;
        QCOMPARE(b->geometry(), QRect(10, 10, 20, 10));

        QImage shot = b->grab().toImage();
        QCOMPARE(shot.pixelColor(0, 0), kNormal);
        QCOMPARE(b->currentLook(), CGdipButton::Look::Normal);

        enter(b);
        QVERIFY(b->isHovering());
        shot = b->grab().toImage();
        QCOMPARE(shot.pixelColor(0, 0), kHoverCorner);
        QCOMPARE(shot.pixelColor(19, 9), kHover);

        // Pressed: the hover image one pixel right and down, the parent's background in the
        // uncovered top row and left column.
        b->setDown(true);
        shot = b->grab().toImage();
        QCOMPARE(b->currentLook(), CGdipButton::Look::Pressed);
        QCOMPARE(shot.pixelColor(0, 0), kBackground);
        QCOMPARE(shot.pixelColor(19, 0), kBackground);
        QCOMPARE(shot.pixelColor(0, 9), kBackground);
        QCOMPARE(shot.pixelColor(1, 1), kHoverCorner);
        QCOMPARE(shot.pixelColor(19, 9), kHover);
        b->setDown(false);

        leave(b);
        QVERIFY(!b->isHovering());
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), kNormal);

        // The look last chosen is what the parent's panel paint copies.
        QImage target(100, 80, QImage::Format_RGB32);
        target.fill(Qt::black);
        {
            QPainter p(&target);
            b->drawAtPosition(p);
        }
        QCOMPARE(target.pixelColor(10, 10), kNormal);
        QCOMPARE(target.pixelColor(29, 19), kNormal);
        QCOMPARE(target.pixelColor(30, 20), QColor(Qt::black));
    }

    void withoutHoverImageNothingIsDrawn() {
        Panel panel;
        makePanel(panel, false);
        QVERIFY(!panel.button->loadHoverImageFrom(dir_.filePath("missing.png"), "PNG"));
        const QImage shot = panel.parent.grab().toImage();
        QCOMPARE(shot.pixelColor(15, 15), kBackground);
        QVERIFY(!panel.button->looksBuilt());
        QImage target(100, 80, QImage::Format_RGB32);
        target.fill(Qt::black);
        {
            QPainter p(&target);
            panel.button->drawAtPosition(p);
        }
        QCOMPARE(target.pixelColor(15, 15), QColor(Qt::black));
    }

    void loadingFailuresAndTypes() {
        CGdipButton b;
        QVERIFY(!b.setPosition(5, 5));                            // no normal image yet
        QVERIFY(!b.loadNormalImage(148));                         // no such resource
        QVERIFY(b.loadNormalImageFrom(normalPath_, "anything"));  // decoder recognises PNG
        QCOMPARE(b.sizeHint(), QSize(20, 10));
        // A missing file keeps the loaded image; undecodable data clears it.
        QVERIFY(!b.loadNormalImageFrom(dir_.filePath("missing.png"), "PNG"));
        QVERIFY(b.setPosition(5, 5));
        QFile junk(dir_.filePath("junk.png"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not an image");
        junk.close();
        QVERIFY(!b.loadNormalImageFrom(junk.fileName(), "PNG"));
        QVERIFY(!b.setPosition(6, 6));
    }

    void everyPanelResourceLoadsAtItsSize() {
        for (const auto& image : vistrela::kButtonImages) {
            CGdipButton b;
            QVERIFY2(b.loadNormalImage(image.number), image.path);
            QCOMPARE(b.sizeHint(), QSize(image.widthPx, image.heightPx));
            // The widget takes the image's size at once, so looks composed before the first
            // layout (the collapse strip's) are not cut to a default widget size.
            QCOMPARE(b.size(), QSize(image.widthPx, image.heightPx));
            QVERIFY(b.loadHoverImage(image.number));
            b.refreshImages();
            QVERIFY(b.looksBuilt());
        }
        QVERIFY(!QIcon(vistrela::kAppIconPath).isNull());
    }

    void setPositionSkipsUnchangedPositions() {
        Panel panel;
        makePanel(panel);
        CGdipButton* b = panel.button;
        QTRY_VERIFY(b->looksBuilt());
        EventCounter moves(QEvent::Move);
        EventCounter paints(QEvent::Paint);
        b->installEventFilter(&moves);
        b->installEventFilter(&paints);
        QApplication::processEvents();
        paints.count = 0;

        QVERIFY(b->setPosition(10, 10));
        QApplication::processEvents();
        QApplication::processEvents();
        QCOMPARE(moves.count, 0);
        QCOMPARE(paints.count, 0);

        QVERIFY(b->setPosition(40, 30));
        QTRY_VERIFY(paints.count > 0);
        QCOMPARE(moves.count, 1);
        QCOMPARE(b->geometry(), QRect(40, 30, 20, 10));
        QCOMPARE(b->position(), QPoint(40, 30));
    }

    void doubleClickCountsAsTwoClicks() {
        Panel panel;
        makePanel(panel);
        CGdipButton* b = panel.button;
        QSignalSpy clicks(b, &QAbstractButton::clicked);
        // The platform's order for a double click: the second press also arrives as a
        // double-click event.
        mouse(b, QEvent::MouseButtonPress);
        mouse(b, QEvent::MouseButtonRelease);
        mouse(b, QEvent::MouseButtonPress);
        mouse(b, QEvent::MouseButtonDblClick);
        mouse(b, QEvent::MouseButtonRelease);
        QCOMPARE(clicks.count(), 2);
        // Some platforms send the double-click event in place of the second press.
        clicks.clear();
        mouse(b, QEvent::MouseButtonPress);
        mouse(b, QEvent::MouseButtonRelease);
        mouse(b, QEvent::MouseButtonDblClick);
        mouse(b, QEvent::MouseButtonRelease);
        QCOMPARE(clicks.count(), 2);
    }

    void toolTipTexts() {
        CGdipButton b;
        b.setToolTipText(QString());
        QVERIFY(b.toolTip().isEmpty());  // no text, no tooltip, even on hover
        enter(&b);
        QVERIFY(b.toolTip().isEmpty());

        const QString text = QStringLiteral("화면이 우측 90도씩 회전합니다.");
        b.setToolTipText(text);
        QCOMPARE(b.toolTip(), QStringLiteral("화면이 우측 90도씩 회전합니다."));
        QCOMPARE(b.toolTipDuration(), 2000);

        b.setToolTipText(QString());  // an empty text leaves the tooltip alone
        QCOMPARE(b.toolTip(), text);

        b.setToolTipText(QStringLiteral("메뉴보이기"), false);
        QVERIFY(b.toolTip().isEmpty());
        QCOMPARE(b.toolTipText(), QStringLiteral("메뉴보이기"));
        enter(&b);  // hovering brings the stored text back
        QCOMPARE(b.toolTip(), QStringLiteral("메뉴보이기"));
    }

    void refreshTakesNewImagesAndBackground() {
        Panel panel;
        makePanel(panel);
        CGdipButton* b = panel.button;
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), kNormal);
        // New images alone do not change the cached looks until they are refreshed.
        QVERIFY(b->loadNormalImageFrom(hoverPath_, "PNG"));
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), kNormal);

        QPalette pal = panel.parent.palette();
        pal.setColor(QPalette::Window, Qt::yellow);
        panel.parent.setPalette(pal);
        b->refreshImages();
        QVERIFY(b->looksBuilt());
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), kHoverCorner);
        b->setDown(true);
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), QColor(Qt::yellow));
    }
};

QTEST_MAIN(GdipButtonTest)
#include "gdip_button_test.moc"

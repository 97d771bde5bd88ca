// The text window on the assembled main window over a real test camera: opened from the panel,
// typed into, applied with Enter, closed with Escape, dragged; its text on the processed
// picture at the window's place.

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <string>

#include "annotation/annotation_text.h"
#include "annotation/overlay.h"
#include "annotation/ui/text_edit_dlg.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "common/prompts.h"
#include "controls/panel_buttons.h"
#include "controls/ui/gdip_button.h"
#include "tests/core/temp_home.h"
#include "tests/ui/main_window_fixture.h"

using namespace vistrela;
using test::kWaitMs;

namespace {

// Pixels of exactly the text colour inside `box` (rows from the top).
int textPixels(const CxImage& image, const QRect& box) {
    int n = 0;
    const QRect inside = box.intersected(QRect(0, 0, image.GetWidth(), image.GetHeight()));
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            n += (image.PixelAt(x, y) & kRgbMask) == (kAnnotationTextColour.pixel() & kRgbMask);
    return n;
}

}  // namespace

class TextWindowTest : public test::MainWindowFixture {
    Q_OBJECT

    // Where the text of a window at `windowPos` (main window coordinates) stands on the
    // processed picture: the box its line can cover.
    QRect textBox(QPoint windowPos) const {
        const FrameGeometry g =
            ComputeGeometry(ctx_->view, VideoArea{video()->width(), video()->height()});
        const QPoint inArea = windowPos - video()->pos();
        const PicturePoint at = MapAreaToPictureFromTop(g, inArea.x(), inArea.y());
        return QRect(at.x - 2, at.y - 2, 260, 50);
    }

    // A left-button drag on `widget` from `from` by `delta`, as the pointer sends it: the
    // screen positions are fixed when the drag starts, since the widget moves under them.
    void leftDrag(QWidget* widget, QPoint from, QPoint delta) {
        const QPoint screenOffset = widget->mapToGlobal(QPoint(0, 0));
        auto send = [widget, screenOffset](QEvent::Type type, QPoint onScreen,
                                           Qt::MouseButton button, Qt::MouseButtons held) {
            const QPointF local = QPointF(onScreen - widget->mapToGlobal(QPoint(0, 0)));
            QMouseEvent event(type, local, QPointF(onScreen), button, held, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        };
        const QPoint start = screenOffset + from;
        send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, start + delta / 2, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, start + delta, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start + delta, Qt::LeftButton, Qt::NoButton);
    }

private slots:
    void initTestCase() { setUpCase(); }
    void cleanupTestCase() { tearDownCase(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void typedTextIsBurntByEnterAndStaysAfterEscape() {
        start("Text Cam@640x480");
        QVERIFY(dlg_->cameraOpen());
        QVERIFY(waitFrames(2));
        dlg_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg_.get()));
        QCOMPARE(dlg_->textWindow(), nullptr);

        QTest::mouseClick(panelButton(IDC_TEXT), Qt::LeftButton);
        CTextEditDlg* text = dlg_->textWindow();
        QVERIFY(text != nullptr);
        QVERIFY(text->isOpen());
        QVERIFY(text->isVisible());
        QCOMPARE(text->parentWidget(), dlg_.get());
        QCOMPARE(text->size(), kTextWindowSize);
        QCOMPARE(text->pos() - video()->pos(), kTextWindowHome);
        QLineEdit* edit = text->textEdit();
        QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), kWaitMs);
        QCOMPARE(edit->palette().color(QPalette::Text), QColor(254, 144, 2));
        QVERIFY(edit->font().weight() >= QFont::Bold);
        QCOMPARE(edit->font().pixelSize(), 18);

        // Keys typed into the box are text, never the main window's commands.
        const ViewState before = ctx_->view;
        const Qt::WindowStates windowState = dlg_->windowState();
        QTest::keyClicks(edit, "R0+-f F");
        QTest::keyClick(edit, Qt::Key_F11);
        QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(edit->text(), QStringLiteral("R0+-f F"));
        QVERIFY(edit->hasFocus());
        QCOMPARE(ctx_->view.rotation, before.rotation);
        QCOMPARE(ctx_->view.zoom, before.zoom);
        QCOMPARE(dlg_->windowState(), windowState);
        QCOMPARE(dlg_->stillCapture().pending(), StillRequest::None);
        // Composed text from the input method lands in the box as well.
        QInputMethodEvent compose;
        compose.setCommitString(QStringLiteral(" 한글"));
        QApplication::sendEvent(edit, &compose);
        QCOMPARE(edit->text(), QStringLiteral("R0+-f F 한글"));

        // The live text stands at the window's place on the picture; nothing is burnt yet.
        QVERIFY(waitFrames(2));
        const QRect box = textBox(text->pos());
        QVERIFY(textPixels(dlg_->processedFrame(), box) > 50);
        QCOMPARE(textPixels(dlg_->pipelineState().overlayImage, box), 0);

        // Enter applies: the next frame burns the text once and ends the stamp.
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(dlg_->pipelineState().drawMode, DRAW_SHOW, kWaitMs);
        const int burnt = textPixels(dlg_->pipelineState().overlayImage, box);
        QVERIFY(burnt > 50);
        QVERIFY(edit->hasFocus());

        // Escape closes the text window only; the burnt text stays on the picture.
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!text->isOpen());
        QVERIFY(!text->isVisible());
        QVERIFY(dlg_->isVisible());
        QVERIFY(waitFrames(2));
        QCOMPARE(textPixels(dlg_->processedFrame(), box), burnt);
        // The burn is one undo step: Ctrl+Z takes the text back, Ctrl+Y brings it again.
        QTest::keyClick(dlg_.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(textPixels(dlg_->pipelineState().overlayImage, box), 0);
        QTest::keyClick(dlg_.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(textPixels(dlg_->pipelineState().overlayImage, box), burnt);
        // The keyboard is the main window's again.
        QTest::keyClick(dlg_.get(), Qt::Key_R);
        QCOMPARE(ctx_->view.rotation, (before.rotation + 90) % 360);
    }

    // Clicks on the panel and the picture leave the keyboard with the open text window; Escape
    // closes what is open or ends what is in progress before it closes the program.
    void escapeClosesTheOpenTextWindowAndTheStrokeBeforeTheProgram() {
        start("Text Cam@640x480");
        QVERIFY(waitFrames(2));
        dlg_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg_.get()));
        QTest::mouseClick(panelButton(IDC_TEXT), Qt::LeftButton);
        QLineEdit* edit = dlg_->textWindow()->textEdit();
        QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), kWaitMs);
        QTest::keyClicks(edit, "abc");
        for (const int id : {IDC_ROTATE, IDC_PEN, IDC_HALF_TURN_BACK})
            QTest::mouseClick(panelButton(id), Qt::LeftButton);
        QTest::mouseClick(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(dlg_->pipelineState().drawMode, DRAW_SHOW, kWaitMs);

        // Each Escape, wherever it lands, takes one thing back: the box, then the stroke.
        QTest::keyClick(dlg_.get(), Qt::Key_Escape);
        QVERIFY(!dlg_->textWindow()->isOpen() && dlg_->isVisible());
        QTest::mousePress(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::keyClick(dlg_.get(), Qt::Key_Escape);
        QVERIFY(!dlg_->annotationTools().StrokeActive() && dlg_->isVisible());
        QTest::keyClick(dlg_.get(), Qt::Key_Escape);
        QVERIFY(!dlg_->isVisible());
    }

    void windowDragsOverTheVideoAreaAndKeepsItsText() {
        start("Text Cam@640x480");
        QVERIFY(waitFrames(2));
        dlg_->ShowTextWindow();
        CTextEditDlg* text = dlg_->textWindow();
        text->textEdit()->setText(QStringLiteral("abc"));
        const QPoint home = text->pos();

        // Dragging by the label moves the window; the main window draws nothing meanwhile.
        QLabel* label = text->findChild<QLabel*>();
        QVERIFY(label != nullptr);
        leftDrag(label, QPoint(10, 8), QPoint(60, -40));
        QCOMPARE(text->pos(), home + QPoint(60, -40));
        QCOMPARE(dlg_->pipelineState().drawMode, DRAW_NONE);
        QVERIFY(waitFrames(2));
        QVERIFY(textPixels(dlg_->processedFrame(), textBox(text->pos())) > 20);
        QCOMPARE(textPixels(dlg_->processedFrame(), textBox(home)), 0);

        // A drag stops at the edge of the range the layout keeps.
        leftDrag(text, QPoint(5, 50), QPoint(-1000, 0));
        QCOMPARE(text->pos().x() - video()->pos().x(), TextWindowRange(video()->size()).left());

        // Closed with its button and opened again: same place, same text.
        const QPoint place = text->pos();
        QTest::mouseClick(text->closeButton(), Qt::LeftButton);
        QVERIFY(!text->isVisible());
        QVERIFY(waitFrames(2));
        QCOMPARE(textPixels(dlg_->processedFrame(), textBox(place)), 0);
        QTest::mouseClick(panelButton(IDC_TEXT), Qt::LeftButton);
        QCOMPARE(dlg_->textWindow(), text);
        QVERIFY(text->isVisible());
        QCOMPARE(text->pos(), place);
        QCOMPARE(text->text(), QStringLiteral("abc"));

        // Apply and Escape with no frame in between (frames reach the window only through its
        // event loop): closing burns the pending text where it was applied.
        leftDrag(label, QPoint(10, 8), QPoint(150, 100));
        const QPoint pending = text->pos();
        QTest::mouseClick(text->applyButton(), Qt::LeftButton);
        QCOMPARE(dlg_->pipelineState().drawMode, DRAW_STAMP);
        QTest::keyClick(text->textEdit(), Qt::Key_Escape);
        QCOMPARE(dlg_->pipelineState().drawMode, DRAW_SHOW);
        QVERIFY(textPixels(dlg_->pipelineState().overlayImage, textBox(pending)) > 20);
    }
};

QTEST_MAIN(TextWindowTest)
#include "text_window_test.moc"

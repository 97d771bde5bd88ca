// Widget tests of the owner-drawn context menu built from the menu model.

#include "controls/ui/menu_xp.h"

#include <QSignalSpy>
#include <QtTest>

#include "app/commands.h"
#include "controls/menu_metrics.h"
#include "controls/menu_model.h"

using namespace vistrela;

namespace {

std::vector<DeviceEntry> threeCameras() {
    std::vector<DeviceEntry> list(3);
    list[0].friendlyName = "Doc Cam";
    list[1].friendlyName = "Lab & Desk";
    list[2].friendlyName = "HD Pro";
    return list;
}

const QColor kBack(240, 240, 240);
const QColor kSelection(102, 153, 255);
const QColor kText(0, 0, 0);
const QColor kSelectedText(255, 255, 255);
const QColor kDisabled(128, 128, 128);

void setTestColours(CMenuXP& menu) {
    menu.backgroundColor = kBack;
    menu.textColor = kText;
    menu.selectedTextColor = kSelectedText;
    menu.disabledTextColor = kDisabled;
}

// Smallest and largest red value inside `r`.
std::pair<int, int> redRange(const QImage& img, const QRect& r) {
    int lo = 255, hi = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            lo = std::min(lo, qRed(img.pixel(x, y)));
            hi = std::max(hi, qRed(img.pixel(x, y)));
        }
    return {lo, hi};
}

int countBelowBlue(const QImage& img, const QRect& r, int blue) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qBlue(img.pixel(x, y)) < blue) ++n;
    return n;
}

}  // namespace

class MenuXPTest : public QObject {
    Q_OBJECT

private slots:
    void buildsItemsFromTheModel() {
        const auto devices = threeCameras();
        const auto menu = CMenuXP::fromModel(buildContextMenuModel(devices, 2, menuCommands()));
        const QList<QAction*> top = menu->actions();
        QCOMPARE(top.size(), 17);
        QCOMPARE(top[0]->text(), QStringLiteral("카메라"));
        auto* cameras = qobject_cast<CMenuXP*>(top[0]->menu());
        QVERIFY(cameras != nullptr);
        QCOMPARE(cameras->selectionColor, kSelection);
        QCOMPARE(menu->selectionColor, kSelection);

        const QList<QAction*> cams = cameras->actions();
        QCOMPARE(cams.size(), 3);
        const char* texts[] = {"[1] Doc Cam", "[2] Lab && Desk", "[3] HD Pro"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(cams[i]->text(), QString::fromUtf8(texts[i]));
            QCOMPARE(cams[i]->data().toInt(), 30 + i);
            QCOMPARE(cams[i]->font().bold(), i == 2);
            QVERIFY(cams[i]->isEnabled());
        }
        QCOMPARE(cameras->defaultAction(), cams[2]);
        QCOMPARE(menu->defaultAction(), nullptr);

        const char* commands[] = {"메뉴숨기기", "메뉴보이기", "줌취소",    "이동취소", "글씨쓰기",
                                  "그리기",     "지우개",     "실행 취소", "다시 실행"};
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(top[i + 1]->text(), QString::fromUtf8(commands[i]));
            QCOMPARE(top[i + 1]->data().toInt(), 10 + i);
            QVERIFY(top[i + 1]->isEnabled());
            QVERIFY(!top[i + 1]->font().bold());
        }
    }

    void panelStateAndCommandsById() {
        const auto devices = threeCameras();
        MenuModel model = buildContextMenuModel(devices, 0, menuCommands());
        model.find(ID_PANEL_HIDE)->enabled = false;
        const auto menu = CMenuXP::fromModel(model);
        QVERIFY(!menu->actionForCommand(ID_PANEL_HIDE)->isEnabled());
        QVERIFY(menu->actionForCommand(ID_PANEL_SHOW)->isEnabled());
        QVERIFY(menu->setCommandEnabled(ID_PANEL_HIDE, true));
        QVERIFY(menu->setCommandEnabled(ID_PANEL_SHOW, false));
        QVERIFY(menu->actionForCommand(ID_PANEL_HIDE)->isEnabled());
        QVERIFY(!menu->actionForCommand(ID_PANEL_SHOW)->isEnabled());
        QVERIFY(!menu->setCommandEnabled(33, false));
        QCOMPARE(menu->actionForCommand(0), nullptr);

        // A chosen camera is reported once, by the top menu, with its id.
        QSignalSpy chosen(menu.get(), &CMenuXP::commandChosen);
        menu->actionForCommand(32)->trigger();
        menu->actionForCommand(ID_ERASE_TOOL)->trigger();
        QCOMPARE(chosen.count(), 2);
        QCOMPARE(chosen[0][0].toInt(), 32);
        QCOMPARE(chosen[1][0].toInt(), ID_ERASE_TOOL);
    }

    void itemsAreMeasuredByTheRule() {
        const auto menu =
            CMenuXP::fromModel(buildContextMenuModel(threeCameras(), -1, menuCommands()));
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
        QAction* hide = menu->actionForCommand(ID_PANEL_HIDE);
        QFont bold = menu->font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        const QRect r = menu->actionGeometry(hide);
        QCOMPARE(r.height(), std::max(20, fm.height()));
        QVERIFY(r.width() >= fm.horizontalAdvance(QStringLiteral("메뉴숨기기")) + 44);
        menu->hide();
    }

    void drawsSelectionBoldAndEmbossedItems() {
        const auto menu =
            CMenuXP::fromModel(buildContextMenuModel(threeCameras(), -1, menuCommands()));
        setTestColours(*menu);
        menu->setCommandEnabled(ID_PANEL_HIDE, false);
        menu->setCommandEnabled(ID_PANEL_SHOW, false);
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
        QAction* hide = menu->actionForCommand(ID_PANEL_HIDE);
        QAction* show = menu->actionForCommand(ID_PANEL_SHOW);
        QAction* zoom = menu->actionForCommand(ID_ZOOM_RESET);

        // The red channel tells the colours apart: background 240, selection 102, gray text
        // 128, light text and shadow 255, normal text 0. Text edges are antialiased.
        // Disabled, away from the pointer: gray text over a light shadow on the background.
        menu->setActiveAction(zoom);
        QImage shot = menu->grab().toImage();
        const QRect hideRect = menu->actionGeometry(hide);
        QCOMPARE(shot.pixelColor(hideRect.left() + 2, hideRect.top() + 1), kBack);
        QVERIFY(redRange(shot, hideRect).first >= 110);
        QVERIFY(redRange(shot, hideRect).first <= 160);
        QVERIFY(redRange(shot, hideRect).second >= 248);  // the shadow, above the 240 ground
        // Enabled under the pointer: the selection bar with light text.
        const QRect zoomRect = menu->actionGeometry(zoom);
        QCOMPARE(shot.pixelColor(zoomRect.left() + 2, zoomRect.top() + 1), kSelection);
        QVERIFY(redRange(shot, zoomRect).first >= 102);
        QVERIFY(redRange(shot, zoomRect).second >= 200);
        // An enabled item away from the pointer: dark text on the background.
        const QRect panRect = menu->actionGeometry(menu->actionForCommand(ID_PAN_RESET));
        QVERIFY(redRange(shot, panRect).first < 60);

        // Disabled under the pointer: the selection bar, gray text, no shadow.
        menu->setActiveAction(show);
        shot = menu->grab().toImage();
        const QRect showRect = menu->actionGeometry(show);
        QCOMPARE(shot.pixelColor(showRect.left() + 2, showRect.top() + 1), kSelection);
        QVERIFY(redRange(shot, showRect).second <= 140);
        QVERIFY(countBelowBlue(shot, showRect, 200) > 0);
        menu->hide();
    }

    void defaultItemIsDrawnBold() {
        // Two copies of one label, the second the default: the bold one covers more pixels.
        std::vector<DeviceEntry> same(2);
        same[0].friendlyName = "Camera";
        same[1].friendlyName = "Camera!";
        const auto menu = CMenuXP::fromModel(buildContextMenuModel(same, 1, menuCommands()));
        auto* cameras = qobject_cast<CMenuXP*>(menu->actions()[0]->menu());
        setTestColours(*cameras);
        cameras->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(cameras));
        const QImage shot = cameras->grab().toImage();
        const QList<QAction*> items = cameras->actions();
        const QRect plainRect = cameras->actionGeometry(items[0]);
        const QRect boldRect = cameras->actionGeometry(items[1]);
        auto ink = [&](const QRect& r) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (qGray(shot.pixel(x, y)) < 100) ++n;
            return n;
        };
        QVERIFY2(ink(boldRect) > ink(plainRect) * 5 / 4,
                 qPrintable(QString("%1 vs %2").arg(ink(boldRect)).arg(ink(plainRect))));
        cameras->hide();
    }
};

QTEST_MAIN(MenuXPTest)
#include "menu_xp_test.moc"

// The viewer in the language of the test's environment (LANG, set by CTest): every text a user
// can see in the main window, its context menu, the options dialog, the camera-settings dialog,
// the text window, the about box, the record button's menu, the title and the message boxes of
// a recording is read off the real widgets. In English none of them has
// a Hangul letter; in Korean the design's texts are there as written.

#include "common/language.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>

#include "controls/ui/message_box_dialog.h"
#include "recording/ui/recording_control.h"
#include "tests/ui/main_window_fixture.h"

using namespace vistrela;

namespace {

bool HasHangul(const QString& text) {
    return text.contains(QRegularExpression(
        QStringLiteral("[\\x{1100}-\\x{11FF}\\x{3130}-\\x{318F}\\x{AC00}-\\x{D7A3}]")));
}

// Every text `root` and its children show: titles, tooltips, labels, buttons, group titles,
// list entries, table cells and headers, menu entries (submenus included).
QStringList TextsOf(QWidget* root) {
    QStringList texts;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (w->isWindow()) texts << w->windowTitle();
        texts << w->toolTip();
        if (auto* b = qobject_cast<CGdipButton*>(w)) texts << b->toolTipText();
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) texts << g->title();
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
        if (auto* t = qobject_cast<QTableWidget*>(w)) {
            for (int col = 0; col < t->columnCount(); ++col) {
                texts << t->horizontalHeaderItem(col)->text();
                for (int row = 0; row < t->rowCount(); ++row) texts << t->item(row, col)->text();
            }
        }
        if (auto* m = qobject_cast<QMenu*>(w)) {
            for (QAction* a : m->actions()) {
                texts << a->text() << a->toolTip();
                if (a->menu() != nullptr) texts << TextsOf(a->menu());
            }
        }
    }
    texts.removeAll(QString());
    return texts;
}

}  // namespace

class LanguageTest : public test::MainWindowFixture {
    Q_OBJECT

    // The texts of the modal dialog that `open` shows; the dialog is then cancelled.
    QStringList modalTexts(const std::function<void()>& open) {
        QStringList texts;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal == nullptr || !modal->isVisible()) return;
            poll.stop();
            texts = TextsOf(modal);
            modal->reject();
        });
        poll.start(10);
        open();
        return texts;
    }

    // What the user sees everywhere the test goes, "where: text".
    QStringList everyText() {
        start("Lang Cam@320x240");
        if (!waitFrames(2)) return {};
        dlg_->activateWindow();
        QStringList texts;
        auto add = [&texts](const char* where, const QStringList& found) {
            for (const QString& t : found) texts << QStringLiteral("%1: %2").arg(where, t);
        };
        // The record button's menu; a time-lapse recording from it, its title, the box shown
        // while the movie is made and any notice on the way.
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::RightButton);
        auto* modes = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (modes == nullptr || modes->actions().size() < 3) return texts;
        add("record menu", TextsOf(modes));
        // A click before the popup is on screen misses it, and the menu would then swallow the
        // record button's click as the one that closes it.
        if (!QTest::qWaitForWindowExposed(modes)) return texts;
        QAction* everySecond = modes->actions()[2];  // after normal recording and a separator
        QTest::mouseClick(modes, Qt::LeftButton, {}, modes->actionGeometry(everySecond).center());
        if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }))
            return texts;
        prompts_.saveAnswer = (desktop() + "/lang.avi").toStdString();
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        // Product, size, clock and the time-lapse count each stand in brackets.
        if (!QTest::qWaitFor([&] { return title().count('[') >= 3; }, test::kWaitMs)) return texts;
        add("title", {title()});
        QTest::mouseClick(panelButton(IDC_STOP), Qt::LeftButton);
        if (CMessageBoxDialog* box = dlg_->recordingControl().processingBox())
            add("processing box", TextsOf(box));
        if (!QTest::qWaitFor([&] { return dlg_->recordingControl().recordIdle(); }, 60000))
            return texts;
        for (const std::string& notice : prompts_.notices)
            add("notice", {QString::fromStdString(notice)});
        QTest::mouseClick(panelButton(IDC_TEXT), Qt::LeftButton);  // opens the text window
        add("main window", TextsOf(dlg_.get()));
        if (CMenuXP* menu = popUpMenu()) {
            add("context menu", TextsOf(menu));
            menu->close();
        }
        add("options",
            modalTexts([&] { QTest::keyClick(dlg_.get(), Qt::Key_Comma, Qt::ControlModifier); }));
        add("camera settings",
            modalTexts([&] { QTest::keyClick(dlg_.get(), Qt::Key_K, Qt::ControlModifier); }));
        add("about", modalTexts([&] { QTest::keyClick(dlg_.get(), Qt::Key_F1); }));
        // Qt's own dialogs (the file pickers) speak through Qt's installed translations.
        QFileDialog picker;
        picker.setOption(QFileDialog::DontUseNativeDialog);
        add("qt dialog", TextsOf(&picker));
        return texts;
    }

private slots:
    void initTestCase() {
        setUpCase();
        QVERIFY(InstallTranslations(LanguageFromEnvironment()));
    }
    void cleanupTestCase() { tearDownCase(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void everyTextIsInTheDesktopsLanguage() {
        const QStringList texts = everyText();
        // Each place the walk goes to showed its texts.
        for (const char* where : {"main window", "context menu", "options", "camera settings",
                                  "about", "record menu", "title", "processing box", "qt dialog"})
            QVERIFY2(
                !texts.filter(QRegularExpression(QStringLiteral("^%1: ").arg(where))).isEmpty(),
                where);

        if (CurrentLanguage() == Language::English) {
            QStringList korean;
            // The language list names each language in its own: Korean readers look for "한국어".
            for (const QString& t : texts)
                if (HasHangul(t) && t != QStringLiteral("options: 한국어")) korean << t;
            QVERIFY2(korean.isEmpty(), qPrintable(korean.join('\n')));
            return;
        }
        // The design's texts, each somewhere on screen (a tooltip names its keys after it).
        const char* const kDesignTexts[][2] = {
            {"context menu", "메뉴숨기기"},
            {"context menu", "줌취소"},
            {"context menu", "이동취소"},
            {"context menu", "글씨쓰기"},
            {"context menu", "그리기"},
            {"context menu", "카메라"},
            {"main window", "화면이 180도 전환 됩니다."},
            {"main window", "화면이 우측 90도씩 회전합니다."},
            {"main window", "마우스 스크롤을 돌리면 확대가 됩니다."},
            {"main window", "프로그램 시작시의 화면으로 되돌립니다."},
            {"main window", "현재의 화면을 바탕화면에 저장합니다. 글씨 및 그림도 함께 저장됩니다."},
            {"main window", "메뉴숨기기"},
            {"main window", "[이부분 드래그 이동] "},
            {"main window", "적용"},
            {"main window", "닫기"},
            {"options", "카메라 선택"},
            {"options", "해상도 모드"},
            {"options", "잘라낼 크기 (Crop)"},
            {"options", "JPG 저장옵션"},
            {"options", "찾아보기.."},
            {"options", "현재시간으로 저장"},
            {"options", "저장할 때 직접입력"},
            {"options", "캡처후 화면 숨기기"},
            {"camera settings", "밝기"},
            {"camera settings", "자동 초점"},
            {"about", "Vistrela Viewer 정보"},
            {"about", "확인"},
            {"processing box", "동영상 처리중. 잠시 기다려 주세요"},
            {"processing box", "Vistrela 동영상 처리중"},
            {"qt dialog", "취소"},
        };
        for (const auto& [where, text] : kDesignTexts) {
            const QString wanted = QStringLiteral("%1: %2").arg(where, QString::fromUtf8(text));
            const bool found = std::any_of(texts.begin(), texts.end(), [&](const QString& t) {
                return t == wanted || t.startsWith(wanted + " (");
            });
            QVERIFY2(found, qPrintable(wanted));
        }
    }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"

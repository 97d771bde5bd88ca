#include "annotation/ui/text_edit_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

#include "annotation/annotation_text.h"
#include "common/language.h"

namespace vistrela {

namespace {

// The window's Korean face and its installed stand-in; English keeps the desktop's face.
QFont GulimFont(int pixelSize, QFont::Weight weight) {
    QFont font;
    if (CurrentLanguage() == Language::Korean)
        font.setFamilies({QStringLiteral("굴림"), QStringLiteral("NanumGothic")});
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

constexpr QColor kEditTextColour(254, 144, 2);

}  // namespace

CTextEditDlg::CTextEditDlg(QWidget* parentDialog) : QWidget(parentDialog) {
    // The main window paints its area black and lends its children that palette; this window
    // keeps the desktop's own colours so its controls stay readable.
    const QPalette desktop = QApplication::palette();
    QPalette own = palette();
    for (QPalette::ColorRole role :
         {QPalette::Window, QPalette::WindowText, QPalette::Button, QPalette::ButtonText,
          QPalette::Base, QPalette::Highlight, QPalette::HighlightedText}) {
        own.setColor(role, desktop.color(role));
    }
    setPalette(own);
    setAutoFillBackground(true);

    const QFont small = GulimFont(12, QFont::Normal);
    textEdit_ = new QLineEdit(this);
    textEdit_->setGeometry(0, 0, kTextWindowSize.width(), 26);
    textEdit_->installEventFilter(this);
    QPalette edit = textEdit_->palette();
    edit.setColor(QPalette::Text, kEditTextColour);
    textEdit_->setPalette(edit);

    dragLabel_ = new QLabel(tr("[이부분 드래그 이동] "), this);
    dragLabel_->setFont(small);
    dragLabel_->setGeometry(8, 33, 175, 16);

    applyButton_ = new QPushButton(tr("적용"), this);
    closeButton_ = new QPushButton(tr("닫기"), this);
    applyButton_->setGeometry(187, 30, 70, 23);
    closeButton_->setGeometry(267, 30, 70, 23);
    for (QPushButton* b : {applyButton_, closeButton_}) {
        b->setFont(small);
        // The keyboard stays in the edit box.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
    }
    connect(applyButton_, &QPushButton::clicked, this, &CTextEditDlg::Apply);
    connect(closeButton_, &QPushButton::clicked, this, &CTextEditDlg::Close);
    connect(textEdit_, &QLineEdit::returnPressed, this, &CTextEditDlg::Apply);

    setFocusProxy(textEdit_);
    hide();
}

void CTextEditDlg::SetupEditFont() {
    boxWidth_ = kTextWindowSize.width();
    boxHeight_ = kTextWindowSize.height();
    fontReady_ = 10;
    textEdit_->setFont(GulimFont(18, QFont::Black));
    resize(boxWidth_, boxHeight_);
    FocusEdit();
}

bool CTextEditDlg::MoveTo(int x, int y) {
    if (isOpen_ == 0) return false;
    if (fontReady_ == 0) SetupEditFont();
    if (fontReady_ == 0 || boxWidth_ == 0 || boxHeight_ == 0) return false;
    setGeometry(x, y, boxWidth_, boxHeight_);
    show();
    raise();
    return true;
}

void CTextEditDlg::SetApplyCallback(std::function<void()> callback) {
    applyCallback_ = std::move(callback);
}

void CTextEditDlg::Apply() {
    if (applyCallback_) applyCallback_();
    FocusEdit();
}

void CTextEditDlg::Close() {
    dragging_ = false;
    isOpen_ = 0;
    hide();
    emit closed();
}

void CTextEditDlg::FocusEdit() {
    textEdit_->setFocus(Qt::OtherFocusReason);
}

QString CTextEditDlg::text() const {
    return textEdit_->text();
}

bool CTextEditDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textEdit_) {
        switch (event->type()) {
            case QEvent::ShortcutOverride:
                // Every key typed here is the edit box's: no shortcut of the main window
                // (or of anything else in it) may take it first.
                event->accept();
                return true;
            case QEvent::KeyPress: {
                // Tab would hand the focus to the main window, whose keys are commands.
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return true;
                break;
            }
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CTextEditDlg::keyPressEvent(QKeyEvent* event) {
    // Keys the edit box leaves alone end here instead of going on to the main window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) Close();
    event->accept();
}

void CTextEditDlg::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
}

void CTextEditDlg::mousePressEvent(QMouseEvent* event) {
    // Presses on the window's own surface never reach the main window (no pen stroke, no pan).
    event->accept();
    if (event->button() != Qt::LeftButton || parentWidget() == nullptr) return;
    dragging_ = true;
    dragOffset_ = parentWidget()->mapFromGlobal(event->globalPosition().toPoint()) - pos();
}

void CTextEditDlg::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!dragging_ || parentWidget() == nullptr) return;
    if (!(event->buttons() & Qt::LeftButton)) {
        dragging_ = false;
        return;
    }
    QPoint to = parentWidget()->mapFromGlobal(event->globalPosition().toPoint()) - dragOffset_;
    if (dragRange_.isValid()) {
        to.setX(std::clamp(to.x(), dragRange_.left(), dragRange_.right()));
        to.setY(std::clamp(to.y(), dragRange_.top(), dragRange_.bottom()));
    }
    move(to);
}

void CTextEditDlg::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

void CTextEditDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

}  // namespace vistrela

#include "controls/ui/message_box_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "settings/profile_store.h"

namespace vistrela {

namespace {

constexpr const char* kProfileGroup = "MessageBoxes";
constexpr int kCountdownIntervalMs = 1000;
// Least width of the progress bar, in horizontal dialog units.
constexpr int kProgressBarMinWidthDu = 100;

// The message is measured and drawn with the same alignment, wrapped at word boundaries,
// '&' shown as it is.
Qt::Alignment messageAlignment(std::uint32_t style) {
    return Qt::AlignTop | ((style & kMbRightText) ? Qt::AlignRight : Qt::AlignLeft);
}

}  // namespace

CMessageBoxDialog::CMessageBoxDialog(QWidget* parent, const QString& message, const QString& title,
                                     std::uint32_t style, int messageId, ProfileStore* profile)
    : QDialog(parent), message_(message), style_(style), messageId_(messageId), profile_(profile) {
    setWindowTitle(title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
    setObjectName(QStringLiteral("CMessageBoxDialog"));

    const MessageBoxButtons set = messageBoxButtons(style_);
    defaultId_ = set.defaultId;
    cancelId_ = set.cancelId;
    for (const MessageBoxButton& b : set.buttons) buttons_.push_back({b, nullptr});

    // Without a cancel button there is nothing a close could answer, so the window offers none.
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (cancelId_ != -1) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style_ & kMbTopmost) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    if (style_ & kMbSystemModal) setWindowModality(Qt::ApplicationModal);

    countdown_.setInterval(kCountdownIntervalMs);
    connect(&countdown_, &QTimer::timeout, this, &CMessageBoxDialog::tick);

    buildControls();
    layoutControls();
}

CMessageBoxDialog::~CMessageBoxDialog() = default;

void CMessageBoxDialog::buildControls() {
    iconLabel_ = new QLabel(this);
    iconLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    icon_ = styleIcon();

    messageLabel_ = new QLabel(message_, this);
    messageLabel_->setObjectName(QStringLiteral("message"));
    messageLabel_->setTextFormat(Qt::PlainText);
    messageLabel_->setWordWrap(true);
    messageLabel_->setAlignment(messageAlignment(style_));
    if (style_ & kMbRtlReading) messageLabel_->setLayoutDirection(Qt::RightToLeft);

    if (offersDontAgain(style_)) {
        const int stringId = (style_ & kMbDontDisplayAgain) ? IDS_MB_DONT_DISPLAY : IDS_MB_DONT_ASK;
        checkBox_ = new QCheckBox(messageBoxString(stringId), this);
        checkBox_->setObjectName(QStringLiteral("dontAgain"));
        checkBox_->setChecked(true);
    }

    for (Button& b : buttons_) {
        b.widget = new QPushButton(messageBoxString(b.model.stringId), this);
        b.widget->setObjectName(QStringLiteral("button%1").arg(b.model.id));
        // Enter is the dialog's (keyPressEvent): the focused button, else the default.
        b.widget->setAutoDefault(false);
        const int id = b.model.id;
        connect(b.widget, &QPushButton::clicked, this, [this, id] { onCommand(id); });
    }
    if (QPushButton* d = button(defaultId_)) {
        d->setDefault(true);
        d->setFocus(Qt::OtherFocusReason);
    }
}

QIcon CMessageBoxDialog::styleIcon() const {
    switch (style_ & kMbIconMask) {
        case kMbIconHand:
            return style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this);
        case kMbIconQuestion:
            return style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this);
        case kMbIconExclamation:
            return style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this);
        case kMbIconAsterisk:
            return style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this);
        default:
            return {};
    }
}

QPushButton* CMessageBoxDialog::button(int id) const {
    for (const Button& b : buttons_)
        if (b.model.id == id) return b.widget;
    return nullptr;
}

QString CMessageBoxDialog::profileKey() const {
    return QLatin1String(kProfileGroup) + '/' + profileValueName();
}

QString CMessageBoxDialog::profileValueName() const {
    if (valueName_.isEmpty()) valueName_ = messageBoxValueName(message_.toUtf8(), messageId_);
    return valueName_;
}

QString CMessageBoxDialog::captionOf(const Button& b, bool withCountdown) const {
    QString caption = messageBoxString(b.model.stringId);
    if (withCountdown && timeoutSeconds_ > 0)
        caption = QStringLiteral("%1 = %2").arg(caption).arg(timeoutSeconds_);
    return caption;
}

void CMessageBoxDialog::layoutControls() {
    const QFontMetrics fm(font());
    units_ =
        dialogBaseUnitsFrom(fm.horizontalAdvance(QLatin1String(kDialogUnitAlphabet)), fm.height());

    MessageBoxLayoutInput in;
    in.units = units_;

    if (!icon_.isNull()) {
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        in.iconSize = QSize(side, side);
        iconLabel_->setPixmap(icon_.pixmap(in.iconSize, devicePixelRatio()));
    }
    iconLabel_->setVisible(!icon_.isNull());

    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    const int limit = messageTextWidthLimit(screenWidth, units_, in.iconSize.width());
    in.textSize = fm.boundingRect(QRect(0, 0, limit, 1 << 20),
                                  Qt::TextWordWrap | int(messageAlignment(style_)), message_)
                      .size()
                      .expandedTo(QSize(0, fm.height()));

    if (checkBox_ != nullptr) {
        const QSize text = fm.size(Qt::TextShowMnemonic, checkBox_->text());
        // The style's own box and spacing may need more than 14 units; never cut the text.
        in.checkBoxSize = messageBoxCheckBoxSize(units_, text).expandedTo(checkBox_->sizeHint());
    }

    if (progressBar_ != nullptr && progressBar_->isVisibleTo(this)) {
        in.progressBarSize =
            QSize(units_.x(kProgressBarMinWidthDu), progressBar_->sizeHint().height());
        in.progressLabelSize = fm.size(0, QStringLiteral("100%"));
    }

    QSize largest;
    for (const Button& b : buttons_)
        largest = largest.expandedTo(fm.size(Qt::TextShowMnemonic, captionOf(b, true)));
    in.buttonSize = messageBoxButtonSize(units_, largest);
    for (const Button& b : buttons_) in.buttonSize = in.buttonSize.expandedTo(b.widget->sizeHint());
    in.buttonCount = static_cast<int>(buttons_.size());
    in.rightAlignButtons = (style_ & kMbRightButtons) != 0;

    const MessageBoxLayout layout = layoutMessageBox(in);
    iconLabel_->setGeometry(layout.icon);
    messageLabel_->setGeometry(layout.message);
    if (checkBox_ != nullptr) checkBox_->setGeometry(layout.checkBox);
    if (!layout.progressBar.isEmpty()) {
        progressBar_->setGeometry(layout.progressBar);
        progressLabel_->setGeometry(layout.progressLabel);
    }
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i].widget->setGeometry(layout.buttons[i]);

    setFixedSize(layout.clientSize);
    centreOnScreen();
}

void CMessageBoxDialog::centreOnScreen() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect outer(QPoint(0, 0), isVisible() ? frameGeometry().size() : size());
    outer.moveCenter(screen->availableGeometry().center());
    move(outer.topLeft());
}

void CMessageBoxDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && messageLabel_ != nullptr) layoutControls();
}

void CMessageBoxDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window frame is known once the window exists; centre the box with it.
    centreOnScreen();
}

void CMessageBoxDialog::SetTimeout(int seconds, bool disableDuringTimeout) {
    timeoutSeconds_ = std::max(0, seconds);
    disableDuringTimeout_ = disableDuringTimeout && timeoutSeconds_ > 0;
    setControlsEnabled(!keysLocked());
    updateDefaultCaption();
    layoutControls();
    if (timeoutSeconds_ == 0)
        countdown_.stop();
    else if (isVisible() && !countdown_.isActive())
        countdown_.start();
}

void CMessageBoxDialog::SetIcon(const QIcon& icon) {
    icon_ = icon;
    layoutControls();
}

void CMessageBoxDialog::SetProgress(int percent) {
    if (percent < 0) {
        if (progressBar_ == nullptr || !progressBar_->isVisibleTo(this)) return;
        progressBar_->hide();
        progressLabel_->hide();
        layoutControls();
        return;
    }
    percent = std::min(percent, 100);
    if (progressBar_ == nullptr) {
        progressBar_ = new QProgressBar(this);
        progressBar_->setObjectName(QStringLiteral("progress"));
        progressBar_->setRange(0, 100);
        progressBar_->setTextVisible(false);
        progressLabel_ = new QLabel(this);
        progressLabel_->setObjectName(QStringLiteral("percent"));
        progressLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    progressBar_->setValue(percent);
    progressLabel_->setText(QStringLiteral("%1%").arg(percent));
    if (!progressBar_->isVisibleTo(this)) {
        progressBar_->show();
        progressLabel_->show();
        layoutControls();
    }
}

bool CMessageBoxDialog::hasRememberedAnswer(int* answer) const {
    if (!offersDontAgain(style_) || profile_ == nullptr) return false;
    const int value = profile_->value(profileKey(), -1).toInt();
    if (value == -1) return false;
    *answer = value;
    return true;
}

void CMessageBoxDialog::prepareToShow() {
    ending_ = false;
    if (!beeped_ && !(style_ & kMbNoSound)) QApplication::beep();
    beeped_ = true;
    if (timeoutSeconds_ > 0 && !countdown_.isActive()) countdown_.start();
    if (QPushButton* d = button(defaultId_); d != nullptr && d->isEnabled())
        d->setFocus(Qt::OtherFocusReason);
    centreOnScreen();
}

int CMessageBoxDialog::DoModal() {
    int answer = -1;
    if (hasRememberedAnswer(&answer)) return answer;
    setResult(-1);
    prepareToShow();
    return exec();
}

void CMessageBoxDialog::Show(int flag) {
    if (flag == 0) {
        hide();
        return;
    }
    int answer = -1;
    if (hasRememberedAnswer(&answer)) return;
    prepareToShow();
    show();
    if (style_ & kMbSetForeground) {
        raise();
        activateWindow();
    }
}

void CMessageBoxDialog::onCommand(int id) {
    if (keysLocked()) return;
    if (id == IDHELP) {
        emit helpRequested(messageId_);
        return;
    }
    endWith(id);
}

void CMessageBoxDialog::endWith(int id) {
    // -1 (a countdown ending a box without buttons) is the profile's "no answer".
    if (id != -1 && checkBox_ != nullptr && checkBox_->isChecked() && offersDontAgain(style_) &&
        profile_ != nullptr)
        profile_->setValue(profileKey(), id);
    countdown_.stop();
    ending_ = true;
    done(id);
}

void CMessageBoxDialog::reject() {
    if (!keysLocked() && cancelId_ != -1) endWith(cancelId_);
}

void CMessageBoxDialog::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (keysLocked()) return;
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier) {
        for (const Button& b : buttons_) {
            if (b.widget == focusWidget() && b.widget->isEnabled()) {
                b.widget->setDefault(true);
                onCommand(b.model.id);
                return;
            }
        }
        if (defaultId_ != -1) onCommand(defaultId_);
        return;
    }
    const bool escape = key == Qt::Key_Escape && mods == Qt::NoModifier;
    const bool ctrlBreak =
        (key == Qt::Key_Pause || key == Qt::Key_Cancel) && mods == Qt::ControlModifier;
    if (escape || ctrlBreak) {
        if (cancelId_ != -1) endWith(cancelId_);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CMessageBoxDialog::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    event->ignore();
    if (keysLocked() || cancelId_ == -1) return;
    endWith(cancelId_);
    event->accept();
}

void CMessageBoxDialog::tick() {
    if (timeoutSeconds_ <= 0) {
        countdown_.stop();
        return;
    }
    --timeoutSeconds_;
    if (timeoutSeconds_ == 0) {
        countdown_.stop();
        if (!disableDuringTimeout_) {
            updateDefaultCaption();
            endWith(defaultId_);
            return;
        }
        setControlsEnabled(true);
        if (QPushButton* d = button(defaultId_)) d->setFocus(Qt::OtherFocusReason);
    }
    updateDefaultCaption();
}

void CMessageBoxDialog::setControlsEnabled(bool enabled) {
    for (const Button& b : buttons_) b.widget->setEnabled(enabled);
    if (checkBox_ != nullptr) checkBox_->setEnabled(enabled);
}

void CMessageBoxDialog::updateDefaultCaption() {
    for (const Button& b : buttons_) b.widget->setText(captionOf(b, b.model.id == defaultId_));
}

}  // namespace vistrela

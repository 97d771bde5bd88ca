#include "controls/ui/gdip_button.h"

#include <QEnterEvent>
#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "controls/button_images.h"

// Q_INIT_RESOURCE declares the registration function, so it must run outside any namespace.
// Calling it explicitly keeps the linker from dropping the resources out of the static
// library.
static void registerPanelResources() {
    Q_INIT_RESOURCE(vistrela);
}

namespace vistrela {

void initPanelResources() {
    static const bool done = (registerPanelResources(), true);
    (void)done;
}

namespace {

constexpr int kToolTipDurationMs = 2000;

// The decoder format for a resource type; nullptr lets Qt recognise the data itself.
const char* formatOf(const char* type) {
    if (type == nullptr) return nullptr;
    for (const char* known : {"PNG", "GIF", "JPG", "BMP"}) {
        if (std::strcmp(type, known) == 0) return known;
    }
    return nullptr;
}

}  // namespace

CGdipButton::CGdipButton(QWidget* parent) : QAbstractButton(parent) {
    initPanelResources();
    setFocusPolicy(Qt::NoFocus);
}

bool CGdipButton::loadInto(QImage& image, const QString& path, const char* type) {
    // On a dense screen the image drawn at twice the size (NAME@2x.png beside NAME.png) is
    // read instead; the reader marks it as double density, so it keeps the logical size.
    QString file = path;
    if (devicePixelRatioF() > 1.0) {
        const qsizetype dot = path.lastIndexOf('.');
        const QString dense = path.left(dot) + "@2x" + path.mid(dot);
        if (dot > 0 && QFile::exists(dense)) file = dense;
    }
    QImageReader reader(file, formatOf(type));
    image = reader.read();
    return !image.isNull();
}

bool CGdipButton::loadNormalImage(int resourceId, const char* type) {
    const char* path = buttonImagePath(resourceId);
    return path != nullptr && loadNormalImageFrom(QString::fromUtf8(path), type);
}

bool CGdipButton::loadHoverImage(int resourceId, const char* type) {
    const char* path = buttonImagePath(resourceId);
    return path != nullptr && loadHoverImageFrom(QString::fromUtf8(path), type);
}

bool CGdipButton::loadNormalImageFrom(const QString& path, const char* type) {
    if (!QFile::exists(path)) return false;
    normalLoaded_ = loadInto(normalImage_, path, type);
    if (normalLoaded_) {
        imageSize_ = normalImage_.deviceIndependentSize().toSize();
        // The looks are composed at the widget's size: it must be the image's from now on,
        // also before the first layout places the button.
        resize(imageSize_);
    }
    return normalLoaded_;
}

bool CGdipButton::loadHoverImageFrom(const QString& path, const char* type) {
    if (!QFile::exists(path)) return false;
    hoverLoaded_ = loadInto(hoverImage_, path, type);
    return hoverLoaded_;
}

void CGdipButton::setToolTipText(const QString& text, bool activate) {
    if (text.isEmpty()) return;
    toolTipText_ = text;
    setToolTip(activate ? text : QString());
    setToolTipDuration(kToolTipDurationMs);
}

bool CGdipButton::setPosition(int x, int y) {
    if (!normalLoaded_) return false;
    if (position_ == QPoint(x, y)) return true;
    position_ = QPoint(x, y);
    setGeometry(QRect(position_, imageSize_));
    update();
    return true;
}

void CGdipButton::drawAtPosition(QPainter& target) const {
    if (current_ != nullptr) target.drawPixmap(position_, *current_);
}

void CGdipButton::refreshImages() {
    built_ = false;
    background_ = QPixmap();
    normalLook_ = pressedLook_ = hoverLook_ = QPixmap();
    current_ = nullptr;
    buildLooks();
    update();
}

CGdipButton::Look CGdipButton::currentLook() const {
    if (current_ == nullptr) return Look::None;
    if (current_ == &pressedLook_) return Look::Pressed;
    if (current_ == &hoverLook_) return Look::Hover;
    return Look::Normal;
}

QSize CGdipButton::sizeHint() const {
    return imageSize_;
}

QPixmap CGdipButton::captureBackground() const {
    const qreal ratio = devicePixelRatioF();
    QPixmap background(size() * ratio);
    background.setDevicePixelRatio(ratio);
    QWidget* parent = parentWidget();
    background.fill(parent != nullptr ? parent->palette().color(parent->backgroundRole())
                                      : palette().color(backgroundRole()));
    // Only the parent's own painting: rendering its children would include this button.
    if (parent != nullptr) {
        parent->render(&background, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    }
    return background;
}

QPixmap CGdipButton::compose(const QPixmap& background, const QImage& image, QPoint at) const {
    QPixmap look = background;
    QPainter p(&look);
    p.drawImage(at, image);
    return look;
}

void CGdipButton::buildLooks() {
    if (built_ || !normalLoaded_ || !hoverLoaded_ || size().isEmpty()) return;
    if (background_.isNull()) background_ = captureBackground();
    normalLook_ = compose(background_, normalImage_, QPoint(0, 0));
    pressedLook_ = compose(background_, hoverImage_, QPoint(1, 1));
    hoverLook_ = compose(background_, hoverImage_, QPoint(0, 0));
    if (current_ == nullptr) current_ = &normalLook_;
    built_ = true;
}

void CGdipButton::paintEvent(QPaintEvent*) {
    buildLooks();
    if (!built_) return;
    if (isDown()) {
        current_ = &pressedLook_;
    } else if (hovering_) {
        current_ = &hoverLook_;
    } else {
        current_ = &normalLook_;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, *current_);
}

void CGdipButton::enterEvent(QEnterEvent* event) {
    hovering_ = true;
    // Re-applying the text brings a tooltip that was switched off back for this hover.
    if (!toolTipText_.isEmpty()) setToolTipText(toolTipText_, true);
    update();
    QAbstractButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event) {
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CGdipButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QAbstractButton::mousePressEvent(event);
        return;
    }
    event->accept();
    emit rightPressed();
}

void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // A quick second click is a click of its own: teachers tap "rotate" twice for 180 degrees.
    mousePressEvent(event);
}

}  // namespace vistrela

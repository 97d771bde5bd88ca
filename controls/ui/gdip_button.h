#pragma once
// CGdipButton: a panel button that shows one of two images, a resting one and one for the
// pointer over it; pressed, it shows the hover image pushed one pixel right and down over the
// parent's background. The three looks are composed once into cached pixmaps, so a repaint
// is a single copy. UI thread only.
//
// No separate off-screen surface class is needed: Qt widgets are already double-buffered, and
// the looks are composed in QPixmaps.

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QString>

class QPainter;

namespace vistrela {

// Registers the compiled-in panel images and application icon (resources/vistrela.qrc).
// Idempotent; every CGdipButton calls it, other users call it before their first load.
void initPanelResources();

class CGdipButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Look { None, Normal, Hover, Pressed };

    explicit CGdipButton(QWidget* parent = nullptr);

    // Load the image with resource number `resourceId` (controls/button_images.h). `type` is
    // "PNG", "GIF", "JPG" or "BMP"; any other type lets the decoder recognise the data. A
    // missing resource fails and leaves the earlier image in place; data that does not decode
    // clears the loaded state. The normal image gives the button its size.
    bool loadNormalImage(int resourceId, const char* type = "PNG");
    bool loadHoverImage(int resourceId, const char* type = "PNG");
    // The same from a file or qrc path.
    bool loadNormalImageFrom(const QString& path, const char* type);
    bool loadHoverImageFrom(const QString& path, const char* type);

    // Attaches or changes the tooltip, shown for 2 seconds. An empty text changes nothing;
    // `activate` false keeps the text but shows no tooltip.
    void setToolTipText(const QString& text, bool activate = true);
    QString toolTipText() const { return toolTipText_; }

    // Moves the button to (x, y) in its parent, sized to the normal image. An unchanged
    // position is neither moved nor repainted (the layout calls this on every move and
    // resize). Returns false only when no normal image is loaded.
    bool setPosition(int x, int y);
    QPoint position() const { return position_; }

    // Paints the look chosen last at position() on `target` (the parent's surface); draws
    // nothing before the first paint of the button.
    void drawAtPosition(QPainter& target) const;

    // Drops the cached looks and composes them again from the current images, taking the
    // background afresh from the parent.
    void refreshImages();

    bool isHovering() const { return hovering_; }
    bool looksBuilt() const { return built_; }
    Look currentLook() const;

    QSize sizeHint() const override;

signals:
    // A right press on the button (it does not click): the pen and record buttons open their
    // menus with it.
    void rightPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool loadInto(QImage& image, const QString& path, const char* type);
    void buildLooks();
    QPixmap captureBackground() const;
    QPixmap compose(const QPixmap& background, const QImage& image, QPoint at) const;

    QImage normalImage_;
    QImage hoverImage_;
    bool normalLoaded_ = false;
    bool hoverLoaded_ = false;
    QSize imageSize_;  // of the normal image; the button's size
    QPoint position_;
    bool hovering_ = false;
    QString toolTipText_;

    bool built_ = false;
    QPixmap background_;
    QPixmap normalLook_;
    QPixmap pressedLook_;
    QPixmap hoverLook_;
    const QPixmap* current_ = nullptr;
};

}  // namespace vistrela

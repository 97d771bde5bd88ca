#include "annotation/ui/ink_palette.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

#include "annotation/ink_commands.h"

namespace vistrela {

namespace {

constexpr int kColumns = 5;
constexpr int kGap = 6;
constexpr int kLabelHeight = 18;

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// The glyph of an ink command in `r`: a colour swatch, the width as a line, or the tool.
void PaintGlyph(QPainter& p, QRectF r, const InkCommand& c, const InkStyle& style) {
    const DrawMode tool = style.tool;
    const QColor ink = ToQColor(kInkColours[static_cast<std::size_t>(
        tool == DrawMode::Highlight ? style.highlightColour : style.colour)]);
    const QPointF a = r.topLeft() + QPointF(r.width() * 0.2, r.height() * 0.75);
    const QPointF b = r.topLeft() + QPointF(r.width() * 0.8, r.height() * 0.25);
    const int colour = c.id - ink::kColourFirst;
    p.setBrush(Qt::NoBrush);
    if (colour >= 0 && colour < static_cast<int>(kInkColours.size())) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(ToQColor(kInkColours[static_cast<std::size_t>(colour)]));
        p.drawRoundedRect(r.adjusted(4, 4, -4, -4), 6, 6);
        return;
    }
    QPen pen(ink, kInkWidths[static_cast<std::size_t>(style.width)] * 1.5, Qt::SolidLine,
             Qt::RoundCap, Qt::RoundJoin);
    switch (c.id) {
        case ink::kNextWidth:
            for (std::size_t k = 0; k < kInkWidths.size(); ++k) {
                const qreal y = r.top() + r.height() * (0.3 + 0.2 * k);
                const bool current = static_cast<int>(k) == style.width;
                p.setPen(QPen(current ? ink : QColor(150, 150, 150), kInkWidths[k] * 1.5));
                p.drawLine(QPointF(r.left() + 10, y), QPointF(r.right() - 10, y));
            }
            return;
        case ink::kHighlight:
            pen.setColor(QColor(255, 230, 0, 150));
            pen.setWidthF(14);
            pen.setCapStyle(Qt::FlatCap);
            break;
        case ink::kLaser:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(230, 25, 25, 90));
            p.drawEllipse(r.center(), r.width() * 0.25, r.width() * 0.25);
            p.setBrush(QColor(230, 25, 25));
            p.drawEllipse(r.center(), r.width() * 0.1, r.width() * 0.1);
            return;
        case ink::kEraser:
            p.setPen(QPen(QColor(225, 32, 34), 3));
            p.drawRect(r.adjusted(14, 14, -14, -14));
            return;
        default:
            break;
    }
    p.setPen(pen);
    if (c.id == ink::kRectangle) {
        p.drawRect(QRectF(a, b).normalized());
    } else if (c.id == ink::kEllipse) {
        p.drawEllipse(QRectF(a, b).normalized());
    } else {
        p.drawLine(a, b);
        if (c.id == ink::kArrow) {
            p.drawLine(b, b + QPointF(-r.width() * 0.22, 0));
            p.drawLine(b, b + QPointF(0, r.height() * 0.22));
        }
    }
}

// The mark on the pen button: the current tool's glyph in the current colour.
class InkMark : public QWidget {
public:
    explicit InkMark(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    InkStyle style;
    DrawMode mode = DrawMode::None;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        // The glyph of the tool in force (not a colour's swatch, not the widths).
        for (const InkCommand& c : InkCommands()) {
            if (c.id > ink::kNextWidth && InkCommandChecked(c, style, mode))
                PaintGlyph(p, QRectF(rect()), c, style);
        }
    }
};

}  // namespace

InkPalette::InkPalette(QWidget* window) : QFrame(window, Qt::Popup) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    const int count = static_cast<int>(InkCommands().size());
    const int rows = (count + kColumns - 1) / kColumns;
    setFixedSize(kGap + kColumns * (kSwatch + kGap), kGap + rows * (kSwatch + kLabelHeight + kGap));
}

void InkPalette::attachTo(QAbstractButton* penButton) {
    mark_ = new InkMark(penButton);
    const int edge = std::max(16, penButton->height() / 2);
    mark_->setGeometry(penButton->width() - edge - 2, penButton->height() - edge - 2, edge, edge);
    mark_->show();
}

void InkPalette::showInk(const InkStyle& style, DrawMode mode) {
    style_ = style;
    mode_ = mode;
    if (auto* mark = static_cast<InkMark*>(mark_)) {
        mark->style = style;
        mark->mode = mode;
        if (QWidget* button = mark->parentWidget()) {
            const int edge = std::max(16, button->height() / 2);
            mark->setGeometry(button->width() - edge - 2, button->height() - edge - 2, edge, edge);
        }
        mark->update();
    }
    update();
}

void InkPalette::openBeside(const QAbstractButton* penButton) {
    QPoint at = penButton->mapToGlobal(QPoint(-width() - kGap, 0));
    if (const QScreen* screen = penButton->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    raise();
}

QRect InkPalette::swatchRect(int index) const {
    const int col = index % kColumns, row = index / kColumns;
    return {kGap + col * (kSwatch + kGap), kGap + row * (kSwatch + kLabelHeight + kGap), kSwatch,
            kSwatch};
}

QRect InkPalette::swatchOf(int id) const {
    const std::span<const InkCommand> commands = InkCommands();
    for (int i = 0; i < static_cast<int>(commands.size()); ++i)
        if (commands[static_cast<std::size_t>(i)].id == id) return swatchRect(i);
    return {};
}

int InkPalette::commandAt(QPoint p) const {
    const std::span<const InkCommand> commands = InkCommands();
    for (int i = 0; i < static_cast<int>(commands.size()); ++i)
        if (swatchRect(i).adjusted(0, 0, 0, kLabelHeight).contains(p))
            return commands[static_cast<std::size_t>(i)].id;
    return 0;
}

void InkPalette::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const std::span<const InkCommand> commands = InkCommands();
    QFont font = p.font();
    font.setPixelSize(12);
    p.setFont(font);
    for (int i = 0; i < static_cast<int>(commands.size()); ++i) {
        const InkCommand& c = commands[static_cast<std::size_t>(i)];
        const QRect r = swatchRect(i);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(235, 235, 235));
        p.drawRoundedRect(r, 8, 8);
        PaintGlyph(p, r, c, style_);
        if (InkCommandChecked(c, style_, mode_)) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(30, 110, 230), 4));
            p.drawRoundedRect(QRectF(r).adjusted(2, 2, -2, -2), 8, 8);
        }
        p.setPen(palette().color(QPalette::WindowText));
        const QString label = QCoreApplication::translate(kInkCommandContext, c.label) + " (" +
                              QKeySequence(c.key).toString(QKeySequence::NativeText) + ")";
        p.drawText(QRect(r.left() - kGap / 2, r.bottom(), r.width() + kGap, kLabelHeight),
                   Qt::AlignCenter, label);
    }
}

void InkPalette::mouseReleaseEvent(QMouseEvent* event) {
    if (const int id = commandAt(event->position().toPoint())) {
        emit commandChosen(id);
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

}  // namespace vistrela

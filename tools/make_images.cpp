// Draws every panel image and the application icon and writes them, with the resource list
// vistrela.qrc, into the resources folder given as the only argument. The images are opaque:
// the panel behind them is black. Every panel image is also drawn at twice its size as
// NAME@2x.png beside NAME.png, for screens with a device pixel ratio of 2.
//
//   make-images <repo>/resources

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

#include "controls/button_images.h"

namespace {

using vistrela::kButtonImages;

const QColor kPanel(0, 0, 0);
const QColor kFace(30, 30, 32);
const QColor kFaceEdge(78, 78, 84);
const QColor kSymbol(238, 238, 238);
const QColor kAccentTop(92, 140, 240);
const QColor kAccentBottom(51, 102, 204);
const QColor kAccentEdge(190, 212, 255);
const QColor kRecordRed(255, 70, 60);
const QColor kExitTop(226, 84, 72);
const QColor kExitBottom(170, 40, 32);

using Symbol = std::function<void(QPainter&, const QColor&)>;

QPen symbolPen(const QColor& c, double width = 3.2) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont labelFont(int pixelSize) {
    QFont f("DejaVu Sans");
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

// A canvas of `w` x `h` logical pixels at `scale` device pixels each: painting on it uses the
// logical coordinates, so every drawing below serves both sizes.
QImage canvas(int w, int h, int scale) {
    QImage img(w * scale, h * scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    img.fill(kPanel);
    return img;
}

// The rounded face every 60 x 50 button shares; the hover face is filled with the accent so
// the button under the pointer stands out clearly on the black panel.
void drawFace(QPainter& p, const QRectF& r, bool hover, bool danger = false) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (!hover) {
        g.setColorAt(0, kFace.lighter(125));
        g.setColorAt(1, kFace);
    } else if (danger) {
        g.setColorAt(0, kExitTop);
        g.setColorAt(1, kExitBottom);
    } else {
        g.setColorAt(0, kAccentTop);
        g.setColorAt(1, kAccentBottom);
    }
    p.setBrush(g);
    p.setPen(QPen(hover ? kAccentEdge : kFaceEdge, hover ? 2.0 : 1.2));
    p.drawRoundedRect(r, 8, 8);
}

// An arc around `c` from `startDeg` over `spanDeg` (counter-clockwise positive, 0 at three
// o'clock) with an arrowhead at its end.
void arcArrow(QPainter& p, const QColor& col, QPointF c, double r, double startDeg,
              double spanDeg) {
    p.setPen(symbolPen(col));
    p.setBrush(Qt::NoBrush);
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    // Stop the line short of the tip so the arrowhead stays pointed.
    const double trim = spanDeg > 0 ? -14 : 14;
    p.drawArc(box, int(startDeg * 16), int((spanDeg + trim) * 16));
    const double end = (startDeg + spanDeg) * M_PI / 180.0;
    const QPointF tip(c.x() + r * std::cos(end), c.y() - r * std::sin(end));
    const double dir = spanDeg > 0 ? 1.0 : -1.0;
    const QPointF tangent(-std::sin(end) * dir, -std::cos(end) * dir);
    const QPointF normal(-tangent.y(), tangent.x());
    const double len = 8.5;
    const double half = 6.0;
    QPolygonF head;
    head << tip << tip - tangent * len + normal * half << tip - tangent * len - normal * half;
    p.setPen(QPen(col, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(col);
    p.drawPolygon(head);
}

void label(QPainter& p, const QColor& col, const QRectF& r, const QString& text, int px) {
    p.setPen(col);
    p.setFont(labelFont(px));
    p.drawText(r, Qt::AlignCenter, text);
}

void halfTurn(QPainter& p, const QColor& c) {
    arcArrow(p, c, {30, 24}, 13, 180, -180);
    label(p, c, QRectF(10, 31, 40, 14), "180°", 11);
}

void halfTurnBack(QPainter& p, const QColor& c) {
    arcArrow(p, c, {30, 24}, 13, 0, 180);
    label(p, c, QRectF(10, 31, 40, 14), "180°", 11);
}

void quarterTurn(QPainter& p, const QColor& c) {
    arcArrow(p, c, {30, 25}, 14, 180, -270);
    label(p, c, QRectF(12, 17, 36, 16), "90°", 11);
}

void reset(QPainter& p, const QColor& c) {
    arcArrow(p, c, {30, 25}, 15, 60, 285);
    // A small house in the ring: back to where the picture started.
    QPainterPath house;
    house.moveTo(30, 16.5);
    house.lineTo(38.5, 24);
    house.lineTo(36, 24);
    house.lineTo(36, 32.5);
    house.lineTo(24, 32.5);
    house.lineTo(24, 24);
    house.lineTo(21.5, 24);
    house.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(house);
}

// Four corner brackets; `outward` points their corners away from the centre.
void corners(QPainter& p, const QColor& c, bool outward) {
    p.setPen(symbolPen(c, 3.6));
    p.setBrush(Qt::NoBrush);
    const double l = 15, r = 45, t = 12, b = 38, a = 8;
    if (outward) {
        p.drawPolyline(QPolygonF({{l, t + a}, {l, t}, {l + a, t}}));
        p.drawPolyline(QPolygonF({{r - a, t}, {r, t}, {r, t + a}}));
        p.drawPolyline(QPolygonF({{l, b - a}, {l, b}, {l + a, b}}));
        p.drawPolyline(QPolygonF({{r - a, b}, {r, b}, {r, b - a}}));
    } else {
        p.drawPolyline(QPolygonF({{l, t + a}, {l + a, t + a}, {l + a, t}}));
        p.drawPolyline(QPolygonF({{r - a, t}, {r - a, t + a}, {r, t + a}}));
        p.drawPolyline(QPolygonF({{l, b - a}, {l + a, b - a}, {l + a, b}}));
        p.drawPolyline(QPolygonF({{r - a, b}, {r - a, b - a}, {r, b - a}}));
    }
}

void cornersIn(QPainter& p, const QColor& c) {
    corners(p, c, false);
}

void cornersOut(QPainter& p, const QColor& c) {
    corners(p, c, true);
}

void zoom(QPainter& p, const QColor& c) {
    p.setBrush(Qt::NoBrush);
    p.setPen(symbolPen(c, 5.0));
    p.drawLine(QPointF(35, 30), QPointF(42, 37));
    p.setPen(symbolPen(c, 3.0));
    p.drawEllipse(QPointF(27, 22), 10, 10);
    p.setPen(symbolPen(c, 2.6));
    p.drawLine(QPointF(22, 22), QPointF(32, 22));
    p.drawLine(QPointF(27, 17), QPointF(27, 27));
}

void pen(QPainter& p, const QColor& c) {
    p.save();
    p.translate(30, 25);
    p.rotate(-45);
    p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    // Body, ferrule line and sharpened tip of a pencil, pointing down-left.
    p.setBrush(c);
    p.drawRoundedRect(QRectF(-6, -4.5, 22, 9), 1.5, 1.5);
    p.setBrush(Qt::NoBrush);
    QPolygonF tip({{-6, -4.5}, {-15, 0}, {-6, 4.5}});
    p.drawPolygon(tip);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({{-12, -1.5}, {-15, 0}, {-12, 1.5}}));
    p.restore();
}

void text(QPainter& p, const QColor& c) {
    QPainterPath t;
    t.addRect(16, 11, 28, 5);
    t.addRect(27.5, 11, 5, 26);
    t.addRect(23, 34, 14, 3.5);
    t.addRect(16, 11, 3, 9);
    t.addRect(41, 11, 3, 9);
    t.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(t.simplified());
}

void eraser(QPainter& p, const QColor& c) {
    p.setPen(symbolPen(c, 2.2));
    p.drawLine(QPointF(14, 39), QPointF(46, 39));
    p.save();
    p.translate(31, 24);
    p.rotate(-35);
    p.setPen(QPen(c, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(-14, -7, 28, 14), 2, 2);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(-14, -7, 11, 14), 2, 2);
    p.restore();
}

void camera(QPainter& p, const QColor& c) {
    QPainterPath body;
    body.addRoundedRect(QRectF(13, 16, 34, 22), 4, 4);
    body.addRoundedRect(QRectF(23, 11, 14, 7), 2, 2);
    body.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(body.simplified());
    // The lens is cut out of the body in the face colour so it reads at a glance.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setBrush(QColor(40, 40, 44));
    p.drawEllipse(QPointF(30, 27), 7.5, 7.5);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(c);
    p.drawEllipse(QPointF(30, 27), 4.2, 4.2);
    p.drawRect(QRectF(40, 19, 4, 2.5));
}

void record(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(30, 25), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(kRecordRed);
    p.drawEllipse(QPointF(30, 25), 9.5, 9.5);
}

void stop(QPainter& p, const QColor& c) {
    p.setPen(QPen(kRecordRed, 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(30, 25), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(23, 18, 14, 14), 2, 2);
}

void menu(QPainter& p, const QColor& c) {
    p.setPen(symbolPen(c, 4.0));
    for (int y : {15, 25, 35}) p.drawLine(QPointF(17, y), QPointF(43, y));
}

void web(QPainter& p, const QColor& c) {
    p.setPen(symbolPen(c, 2.2));
    p.setBrush(Qt::NoBrush);
    const QPointF o(30, 25);
    p.drawEllipse(o, 14, 14);
    p.drawEllipse(o, 6, 14);
    p.drawLine(QPointF(30, 11), QPointF(30, 39));
    p.drawLine(QPointF(16, 25), QPointF(44, 25));
    p.drawArc(QRectF(18, 6, 24, 12), 200 * 16, 140 * 16);
    p.drawArc(QRectF(18, 32, 24, 12), 20 * 16, 140 * 16);
}

void power(QPainter& p, const QColor& c) {
    p.setPen(symbolPen(c, 3.4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(17, 13, 26, 26), 125 * 16, 290 * 16);
    p.drawLine(QPointF(30, 9), QPointF(30, 25));
}

QImage button(int scale, const Symbol& symbol, bool hover, bool danger = false) {
    QImage img = canvas(60, 50, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawFace(p, QRectF(2.5, 2.5, 55, 45), hover, danger);
    symbol(p, hover ? Qt::white : kSymbol);
    return img;
}

QImage logo(int scale, bool hover) {
    QImage img = canvas(130, 50, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawFace(p, QRectF(2.5, 2.5, 125, 45), hover);
    // A lens as the dot of a camera eye, then the name.
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? Qt::white : kAccentTop);
    p.drawEllipse(QPointF(18, 25), 7, 7);
    p.setBrush(hover ? kAccentBottom : kFace);
    p.drawEllipse(QPointF(18, 25), 3, 3);
    p.setPen(hover ? Qt::white : kSymbol);
    QFont f("DejaVu Sans");
    f.setPixelSize(19);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
    p.setFont(f);
    p.drawText(QRectF(29, 5, 97, 40), Qt::AlignVCenter | Qt::AlignLeft, "Vistrela");
    return img;
}

// The thin strip beside the panel; `pointRight` while the panel can be hidden to the right.
QImage strip(int scale, bool pointRight, bool hover) {
    QImage img = canvas(10, 110, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(hover ? kAccentEdge : kFaceEdge, 1.0));
    p.setBrush(hover ? kAccentBottom : kFace.lighter(140));
    p.drawRoundedRect(QRectF(0.5, 0.5, 9, 109), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? Qt::white : kSymbol);
    for (double y : {46.0, 58.0}) {
        QPolygonF arrow = pointRight ? QPolygonF({{3, y - 5}, {7.5, y}, {3, y + 5}})
                                     : QPolygonF({{7, y - 5}, {2.5, y}, {7, y + 5}});
        p.drawPolygon(arrow);
    }
    return img;
}

// The application icon: a document camera over a sheet on a blue tile, drawn on a 256 grid.
QImage appIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient g(0, 0, 0, 256);
    g.setColorAt(0, kAccentTop);
    g.setColorAt(1, QColor(28, 58, 140));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    // Sheet of paper with lines of writing.
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{52, 200}, {204, 200}, {188, 150}, {68, 150}}));
    p.setPen(QPen(QColor(120, 150, 210), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(84, 164), QPointF(172, 164));
    p.drawLine(QPointF(78, 184), QPointF(150, 184));
    // Stand, arm and camera head with its lens looking down.
    const QColor metal(236, 240, 248);
    p.setPen(QPen(metal, 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({{200, 206}, {200, 60}, {136, 60}}));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(176, 200, 52, 16), 6, 6);
    p.drawRoundedRect(QRectF(92, 44, 64, 40), 10, 10);
    p.setBrush(QColor(20, 30, 60));
    p.drawEllipse(QPointF(124, 86), 17, 12);
    p.setBrush(kAccentTop.lighter(130));
    p.drawEllipse(QPointF(124, 88), 7, 5);
    return img;
}

// Panel image `number` at `scale` times its size; a null image for an unknown number.
QImage imageFor(int number, int scale) {
    static const std::map<int, std::pair<Symbol, bool>> symbols = {
        {131, {stop, false}},        {132, {stop, true}},          {133, {record, false}},
        {134, {record, true}},       {135, {web, false}},          {136, {web, true}},
        {137, {camera, true}},       {138, {camera, false}},       {139, {halfTurn, true}},
        {140, {halfTurn, false}},    {141, {halfTurnBack, false}}, {142, {halfTurnBack, true}},
        {156, {text, false}},        {157, {text, true}},          {158, {eraser, false}},
        {159, {eraser, true}},       {160, {menu, false}},         {161, {menu, true}},
        {162, {quarterTurn, false}}, {163, {quarterTurn, true}},   {164, {reset, false}},
        {165, {reset, true}},        {166, {zoom, true}},          {167, {zoom, false}},
        {168, {pen, true}},          {169, {pen, false}},
    };
    switch (number) {
        case 143:
            return button(scale, cornersIn, true);
        case 144:
            return button(scale, cornersIn, false);
        case 145:
            return button(scale, cornersOut, true);
        case 146:
            return button(scale, cornersOut, false);
        case 147:
            return button(scale, power, false);
        case 152:
            return button(scale, power, true, true);
        case 149:
            return logo(scale, false);
        case 150:
            return logo(scale, true);
        case 173:
            return strip(scale, true, false);
        case 175:
            return strip(scale, true, true);
        case 176:
            return strip(scale, false, false);
        case 177:
            return strip(scale, false, true);
        default:
            break;
    }
    const auto it = symbols.find(number);
    if (it == symbols.end()) return {};
    return button(scale, it->second.first, it->second.second);
}

QString fileNameOf(const char* qrcPath) {
    return QString::fromUtf8(qrcPath).mid(2);
}

// "images/133_record.png" at scale 2 is "images/133_record@2x.png", the name Qt's image
// reader takes a device pixel ratio from.
QString withScaleSuffix(const QString& name, int scale) {
    const qsizetype dot = name.lastIndexOf('.');
    return name.left(dot) + QStringLiteral("@%1x").arg(scale) + name.mid(dot);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-images RESOURCES_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath("images")) {
        std::fprintf(stderr, "cannot create %s/images\n", argv[1]);
        return 1;
    }
    QStringList files;
    for (const auto& entry : kButtonImages) {
        const QString name = fileNameOf(entry.path);
        for (int scale : {1, 2}) {
            const QImage img = imageFor(entry.number, scale);
            const QString file = scale == 1 ? name : withScaleSuffix(name, scale);
            if (img.size() != QSize(entry.widthPx, entry.heightPx) * scale ||
                !img.save(out.filePath(file), "PNG")) {
                std::fprintf(stderr, "cannot write image %d at %dx\n", entry.number, scale);
                return 1;
            }
            files << file;
        }
    }
    const std::pair<const char*, int> icons[] = {{vistrela::kAppIconPath, 256},
                                                 {vistrela::kAppIconSmallPath, 48}};
    for (const auto& [path, size] : icons) {
        if (!appIcon(size).save(out.filePath(fileNameOf(path)), "PNG")) return 1;
        files << fileNameOf(path);
    }

    QFile qrc(out.filePath("vistrela.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return 1;
    QTextStream s(&qrc);
    s << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const QString& f : files) s << "    <file>" << f << "</file>\n";
    s << "</qresource>\n</RCC>\n";
    return 0;
}

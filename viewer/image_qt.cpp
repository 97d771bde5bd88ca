// The parts of CxImage that lean on Qt: text, the QImage view and the file codecs.

#include <QFont>
#include <QFontMetrics>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>

#include "viewer/image.h"

namespace vistrela {

namespace {

// Callers name Windows faces ("Arial", "굴림"); these are the installed families that stand in.
// NanumGothic comes last for every face so that Korean text always finds its glyphs.
QFont FontFor(const char* face, int sizePx, int weight) {
    const QString name = QString::fromUtf8(face != nullptr ? face : "");
    QStringList families;
    if (!name.isEmpty()) families << name;
    if (name.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) {
        families << QStringLiteral("Liberation Sans");
    }
    families << QStringLiteral("NanumGothic");
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, sizePx));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight <= 0 ? 400 : weight, 1, 1000)));
    return font;
}

}  // namespace

QImage CxImage::View() const {
    if (!IsValid()) return QImage();
    return QImage(reinterpret_cast<const uchar*>(pixels_.data()), width_, height_,
                  static_cast<qsizetype>(width_) * 4, QImage::Format_RGB32);
}

void CxImage::DrawString(int x, int y, const std::string& utf8Text, Rgb colour, const char* face,
                         int sizePx, int weight) {
    if (!IsValid() || utf8Text.empty()) return;
    const QString text =
        QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size()));
    QFont font = FontFor(face, sizePx, weight);
    if (hasTrans_) font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const QPoint origin(x, y + metrics.ascent());

    // Writable QImage over our own buffer: the painter draws straight into the pixels.
    QImage target(reinterpret_cast<uchar*>(pixels_.data()), width_, height_,
                  static_cast<qsizetype>(width_) * 4, QImage::Format_RGB32);
    {
        QPainter painter(&target);
        painter.setFont(font);
        painter.setPen(QColor(colour.r, colour.g, colour.b));
        painter.drawText(origin, text);
    }
    if ((colour.pixel() & kRgbMask) == 0) return;
    // Glyphs may overhang their advance box by a little; the margin keeps the span safe.
    const QRect drawn = metrics.boundingRect(text).translated(origin).adjusted(-4, -4, 4, 4);
    const QRect inside = drawn.intersected(QRect(0, 0, width_, height_));
    for (int row = inside.top(); row <= inside.bottom(); ++row) {
        AddInk(row, inside.left(), inside.right() + 1);
    }
}

bool CxImage::Save(const QString& path, int quality) const {
    if (!IsValid()) return false;
    QImageWriter writer(path, "jpeg");
    writer.setQuality(std::clamp(quality, 1, 99));
    return writer.write(View());
}

bool CxImage::Load(const QString& path) {
    QImageReader reader(path);
    QImage decoded = reader.read();
    if (decoded.isNull()) return false;
    // Premultiplied pixels over black are exactly the colour bytes; then only the alpha byte
    // has to become opaque.
    decoded.convertTo(QImage::Format_ARGB32_Premultiplied);
    Resize(decoded.width(), decoded.height());
    if (!IsValid()) return false;
    for (int y = 0; y < height_; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(decoded.constScanLine(y));
        std::uint32_t* dst = pixels_.data() + static_cast<std::size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) dst[x] = src[x] | 0xff000000u;
    }
    RecomputeInk();
    return true;
}

}  // namespace vistrela

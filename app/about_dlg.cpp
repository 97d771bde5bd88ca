#include "app/about_dlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace vistrela {

namespace {
constexpr int kWidthUnits = 235;
constexpr int kHeightUnits = 55;
// Room a title bar takes beside its caption (icon, minimise, maximise, close, margins), in
// lines of the caption's font.
constexpr int kTitleBarLines = 8;
}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vistrela Viewer 정보"));
    auto* line = new QLabel(QStringLiteral("Vistrela Viewer 2.0"), this);
    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(line, 1);
    layout->addWidget(ok, 0, Qt::AlignBottom);

    // Dialog units: a quarter of the average letter width, an eighth of the line height.
    const QFontMetrics metrics(font());
    const int width =
        std::max(kWidthUnits * metrics.averageCharWidth() / 4,
                 metrics.horizontalAdvance(windowTitle()) + kTitleBarLines * metrics.height());
    setFixedSize(width, std::max(kHeightUnits * metrics.height() / 8, sizeHint().height()));
}

}  // namespace vistrela

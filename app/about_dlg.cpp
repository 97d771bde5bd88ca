#include "app/about_dlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "annotation/ink_commands.h"
#include "app/commands.h"
#include "common/media/library_versions.h"
#include "viewer/title.h"

namespace vistrela {

namespace {
constexpr int kWidthUnits = 235;
constexpr int kHeightUnits = 55;
// Room a title bar takes beside its caption (icon, minimise, maximise, close, margins), in
// lines of the caption's font.
constexpr int kTitleBarLines = 8;
constexpr const char* kHomePage = "https://github.com/vistrela/vistrela-viewer";

// Every key of the window with what it does: the registry's commands, then the ink's.
QTableWidget* KeysTable(QWidget* parent) {
    auto* table = new QTableWidget(0, 2, parent);
    table->setObjectName("keys");
    table->setHorizontalHeaderLabels({CAboutDlg::tr("키"), CAboutDlg::tr("기능")});
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setFocusPolicy(Qt::NoFocus);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    auto add = [table](const QString& keys, const QString& what) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem(keys));
        table->setItem(row, 1, new QTableWidgetItem(what));
    };
    for (const CommandRow& row : commandRows()) {
        if (row.keys[0].key() == Qt::Key_unknown) continue;
        const char* what = row.keyHelp != nullptr ? row.keyHelp : row.label;
        if (what != nullptr)
            add(keyText(row), QCoreApplication::translate(kCommandContext, what).remove("..."));
    }
    for (const InkCommand& c : InkCommands())
        add(QKeySequence(c.key).toString(QKeySequence::NativeText),
            QCoreApplication::translate(kInkCommandContext, kInkMenuLabel) + ": " +
                QCoreApplication::translate(kInkCommandContext, c.label));
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Vistrela Viewer 정보"));
    auto* line = new QLabel(QStringLiteral("Vistrela Viewer 2.0"), this);
    QFont big = line->font();
    big.setBold(true);
    line->setFont(big);
    const MediaLibraryVersions media = MediaVersions();
    auto* versions = new QLabel(
        QStringLiteral("Qt %1\n%2\n%3")
            .arg(QString::fromLatin1(qVersion()), QString::fromStdString(media.gstreamer),
                 QString::fromStdString(media.ffmpeg)),
        this);
    versions->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* licence = new QLabel(
        tr("MIT (Expat) 라이선스. Qt, GStreamer, FFmpeg는 각자의 라이선스를 따릅니다."), this);
    licence->setWordWrap(true);
    auto* home = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(kHomePage), this);
    home->setOpenExternalLinks(true);
    QTableWidget* keys = KeysTable(this);
    auto* ok = new QPushButton(tr("확인"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{line, versions, licence, home})
        layout->addWidget(w);
    layout->addWidget(keys, 1);
    layout->addWidget(ok, 0, Qt::AlignRight);

    // Dialog units: a quarter of the average letter width, an eighth of the line height.
    const QFontMetrics metrics(font());
    const int tableWidth = keys->horizontalHeader()->length() + 2 * keys->frameWidth() +
                           keys->verticalScrollBar()->sizeHint().width();
    const int tableHeight = keys->horizontalHeader()->height() + keys->verticalHeader()->length() +
                            2 * keys->frameWidth();
    keys->setMinimumSize(tableWidth, std::min(tableHeight, 6 * metrics.height()));
    int width =
        std::max({kWidthUnits * metrics.averageCharWidth() / 4,
                  metrics.horizontalAdvance(windowTitle()) + kTitleBarLines * metrics.height(),
                  sizeHint().width()});
    int height = std::max(kHeightUnits * metrics.height() / 8,
                          sizeHint().height() - keys->sizeHint().height() + tableHeight);
    // Never larger than the screen's free area less a window frame: the table scrolls instead.
    const QScreen* screen = parent != nullptr ? parent->screen() : QApplication::primaryScreen();
    if (screen != nullptr) {
        const QSize room = screen->availableGeometry().size() - QSize(16, 48);
        width = std::min(width, room.width());
        height = std::min(height, room.height());
    }
    resize(width, height);
}

}  // namespace vistrela

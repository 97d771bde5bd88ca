#pragma once
// The ink palette: a small popup beside the button panel with the ink commands as large
// swatches (the colours, the width, the tools), big enough for a projector audience to read,
// the chosen ones framed. It also puts a mark on the pen button that shows the current colour
// and tool. The palette only reports the chosen command; the main window runs it.
//
// Owned by its Qt parent (the main window). UI thread only.

#include <QFrame>

#include "annotation/ink_style.h"

class QAbstractButton;

namespace vistrela {

class InkPalette : public QFrame {
    Q_OBJECT
public:
    explicit InkPalette(QWidget* window);

    // Puts the current-ink mark on `penButton` (drawn over its lower right corner).
    void attachTo(QAbstractButton* penButton);
    // The ink in force: the swatches' frames and the pen button's mark follow it.
    void showInk(const InkStyle& style, DrawMode mode);
    // Opens the palette left of `penButton`, top-aligned with it and kept on its screen.
    void openBeside(const QAbstractButton* penButton);

    // Where the swatch of command `id` is, in the palette (for tests; null when not listed).
    QRect swatchOf(int id) const;

    // Swatch edge, device-independent pixels.
    static constexpr int kSwatch = 72;

signals:
    void commandChosen(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The command under `p`, or 0.
    int commandAt(QPoint p) const;
    QRect swatchRect(int index) const;

    InkStyle style_;
    DrawMode mode_ = DrawMode::None;
    QWidget* mark_ = nullptr;  // on the pen button
};

}  // namespace vistrela

#pragma once
// CTextEditDlg: the small frameless text window floating over the video area. It holds a
// one-line edit box, an apply button ("적용"), a close button ("닫기") and the label
// "[이부분 드래그 이동] ". The window is the handle of the text: while it is open the frame
// pipeline draws the typed text at the picture point under its top-left corner; pressing
// anywhere on its own surface (around the controls, the label included) and dragging moves it.
//
// It is a child widget of the main window, not a top-level window: Wayland lets no program
// place its own top-level windows, and a child moves with the main window by itself.
// Positions are in the parent's coordinates.
//
// Keys typed into the edit box are text: none of them reaches the main window's keyboard
// commands or shortcuts. Enter applies, Escape closes; every other key stays in the window.
// Korean and other composed text comes through the desktop's input method.
//
// Created once by the main window and kept (with its text) for the main window's life; owned
// by its Qt parent. UI thread only.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;
class QLabel;

namespace vistrela {

class CTextEditDlg : public QWidget {
    Q_OBJECT
public:
    // Starts closed and hidden; `parentDialog` is the main window.
    explicit CTextEditDlg(QWidget* parentDialog);

    // Sizes the window (342 x 56), gives the edit box its font (bold, 18 pixels high, 굴림 or
    // its stand-in) and the keyboard focus.
    void SetupEditFont();
    // Places the window at (x, y) of the parent and shows it. Does nothing and returns false
    // while the window is closed.
    bool MoveTo(int x, int y);
    // What the apply button (and Enter in the edit box) calls; empty does nothing.
    void SetApplyCallback(std::function<void()> callback);
    // Where a drag may take the window's top-left corner (parent coordinates); an empty
    // rectangle leaves drags unbounded.
    void SetDragRange(const QRect& range) { dragRange_ = range; }

    bool isOpen() const { return isOpen_ != 0; }
    // Opens the window (the layout then places and shows it with MoveTo).
    void Open() { isOpen_ = 1; }
    // The apply button: calls the callback, then gives the edit box the focus.
    void Apply();
    // The close button and Escape: hides the window; the live text goes with it.
    void Close();
    // Gives the edit box the keyboard focus.
    void FocusEdit();

    QString text() const;
    QLineEdit* textEdit() const { return textEdit_; }
    QPushButton* applyButton() const { return applyButton_; }
    QPushButton* closeButton() const { return closeButton_; }

signals:
    // The window was closed by its button or Escape.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::function<void()> applyCallback_;
    int boxWidth_ = 0;
    int boxHeight_ = 0;
    int fontReady_ = 0;
    int isOpen_ = 0;
    QLineEdit* textEdit_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QLabel* dragLabel_ = nullptr;

    QRect dragRange_;
    bool dragging_ = false;
    QPoint dragOffset_;  // pointer position minus window position, parent coordinates
};

}  // namespace vistrela

#pragma once
// CMessageBoxDialog: a message box built as an ordinary dialog, so that it can be shown
// without blocking (modeless) as well as modally, with the buttons, layout and the optional
// "don't show this again" choice of its style (controls/message_box_model.h). The program
// shows it modeless, with style 14 (no buttons, no icon), while a finished recording is
// joined; SetProgress then adds a progress bar and a percentage under the message.
//
// The box is built whole, hidden, by its constructor, in the application's dialog font, laid
// out in that font's dialog units and centred on the screen (the parent's, else the primary
// one). Set the icon, the timeout and the progress before or after showing it; the layout
// follows.
//
// Ending: a click on a button other than Help, Enter (the focused box button, else the
// default), Escape or Ctrl+Break (the cancel button), closing the window (the cancel button)
// or the end of a countdown (the default button) ends the box with that button's id. Without
// a cancel button Escape and closing are ignored and the window offers no close button; while
// a countdown keeps the buttons disabled every key and every close is ignored. When the
// don't-again box exists and is checked, the answer is stored in the application profile
// given at construction (profile_store.h), group "MessageBoxes", under profileValueName();
// DoModal and Show then return or stay hidden without asking again. Without a profile nothing
// is stored.
//
// Help: the program has no help system. The Help button (and Enter on it) does not end the
// box; it emits helpRequested with the message id and does nothing else.
//
// Ownership: an ordinary QWidget. A modeless box is hidden (Show(0)) and deleted by whoever
// created it. User-interface thread only.

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "controls/message_box_model.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vistrela {

class ProfileStore;

class CMessageBoxDialog : public QDialog {
    Q_OBJECT
public:
    // `style` holds the kMb* flags; `messageId` (0 for none) names the remembered answer and
    // the help topic. An empty `title` gives the application's display name. `profile` (not
    // owned, may be null) keeps the don't-again answers.
    CMessageBoxDialog(QWidget* parent, const QString& message, const QString& title,
                      std::uint32_t style, int messageId = 0, ProfileStore* profile = nullptr);
    ~CMessageBoxDialog() override;

    // Runs the box modally and returns the id of the button it ended with (-1 when it was
    // hidden from outside). With a don't-again bit and an answer in the profile, returns that
    // answer at once without showing anything.
    int DoModal();
    // 0 hides the box; 1 shows it modeless, unless a don't-again bit is set and the profile
    // holds an answer for it.
    virtual void Show(int flag);

    // Seconds until the box ends with its default button by itself (0: no countdown). With
    // `disableDuringTimeout` the buttons and the check box stay disabled until the countdown
    // ends, and the box does not end. The countdown starts when the box is shown; the default
    // button reads "<label> = <seconds left>" meanwhile.
    void SetTimeout(int seconds, bool disableDuringTimeout = false);
    // The icon shown left of the message, in place of the style's; a null icon removes it.
    void SetIcon(const QIcon& icon);
    // Shows a progress bar and "<percent>%" under the message (0..100; the first call grows
    // the box, which stays centred); a negative value hides them again.
    void SetProgress(int percent);

    int defaultButtonId() const { return defaultId_; }
    int cancelButtonId() const { return cancelId_; }
    // The button with command id `id`, or null.
    QPushButton* button(int id) const;
    QCheckBox* dontAgainCheckBox() const { return checkBox_; }
    QLabel* messageLabel() const { return messageLabel_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QLabel* progressLabel() const { return progressLabel_; }
    int timeoutSeconds() const { return timeoutSeconds_; }
    // Name of the remembered answer inside the profile group "MessageBoxes".
    QString profileValueName() const;
    // Its full key in the profile, "MessageBoxes/<name>".
    QString profileKey() const;
    // The dialog base units the layout uses.

signals:
    void helpRequested(int messageId);

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Button {
        MessageBoxButton model;
        QPushButton* widget = nullptr;
    };

    void buildControls();
    void layoutControls();
    void centreOnScreen();
    void prepareToShow();
    void onCommand(int id);
    void endWith(int id);
    void tick();
    void setControlsEnabled(bool enabled);
    void updateDefaultCaption();
    QString captionOf(const Button& button, bool withCountdown) const;
    bool keysLocked() const { return timeoutSeconds_ > 0 && disableDuringTimeout_; }
    bool hasRememberedAnswer(int* answer) const;
    QIcon styleIcon() const;

    QString message_;
    std::uint32_t style_ = 0;
    int messageId_ = 0;
    ProfileStore* profile_ = nullptr;
    mutable QString valueName_;  // computed on first need

    QIcon icon_;
    bool iconSet_ = false;  // SetIcon was called; the style's icon is not used
    int timeoutSeconds_ = 0;
    bool disableDuringTimeout_ = false;
    QTimer countdown_;

    std::vector<Button> buttons_;
    int defaultId_ = -1;
    int cancelId_ = -1;

    QLabel* iconLabel_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QCheckBox* checkBox_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* progressLabel_ = nullptr;

    DialogBaseUnits units_;
    bool beeped_ = false;
    bool ending_ = false;  // endWith is closing the box; its close is not the user's
};

}  // namespace vistrela

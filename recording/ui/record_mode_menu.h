#pragma once
// The record button's menu: a right press on the button opens it beside the button. It offers
// normal recording and time-lapse recording at a few intervals, the mode in force checked; an
// interval chosen elsewhere that the list lacks gets its own entry. Choosing an entry only
// picks the mode of the next recording (modeChosen); the record button starts it.
// User-interface thread only; the menu is owned by its parent widget.

#include <QMenu>
#include <QPointer>

class QAbstractButton;

namespace vistrela {

class RecordModeMenu : public QMenu {
    Q_OBJECT
public:
    explicit RecordModeMenu(QWidget* parent);

    // Right presses on `recordButton` (not owned) open the menu below it.
    void attachTo(QAbstractButton* recordButton);
    // Rebuilds the entries with the one of `timeLapseSeconds` checked (0: normal recording).
    void showMode(int timeLapseSeconds);

signals:
    // An entry was chosen: 0 for normal recording, else the time-lapse interval in seconds.
    void modeChosen(int timeLapseSeconds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QAbstractButton> recordButton_;
    int mode_ = 0;
};

}  // namespace vistrela

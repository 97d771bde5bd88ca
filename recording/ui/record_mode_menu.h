#pragma once
// The record button's menu: the window opens it below the button on a right press. It offers
// normal recording and time-lapse recording at a few intervals, the mode in force checked; an
// interval chosen elsewhere that the list lacks gets its own entry. Choosing an entry only
// picks the mode of the next recording (modeChosen); the record button starts it.
// User-interface thread only; the menu is owned by its parent widget.

#include <QMenu>

class QActionGroup;

namespace vistrela {

class RecordModeMenu : public QMenu {
    Q_OBJECT
public:
    explicit RecordModeMenu(QWidget* parent);

    // Rebuilds the entries with the one of `timeLapseSeconds` checked (0: normal recording).
    void showMode(int timeLapseSeconds);

signals:
    // An entry was chosen: 0 for normal recording, else the time-lapse interval in seconds.
    void modeChosen(int timeLapseSeconds);

private:
    QActionGroup* group_;  // makes the entries exclusive; owned by the menu
};

}  // namespace vistrela

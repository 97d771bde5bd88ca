#include "recording/ui/record_mode_menu.h"

#include <QActionGroup>
#include <algorithm>
#include <array>
#include <vector>

#include "recording/time_lapse.h"

namespace vistrela {

namespace {
// The intervals offered without the options: a slow experiment, a lesson, a day's light.
constexpr std::array<int, 6> kOfferedSeconds = {1, 2, 5, 10, 30, 60};
}  // namespace

RecordModeMenu::RecordModeMenu(QWidget* parent) : QMenu(parent), group_(new QActionGroup(this)) {
    setObjectName("recordModeMenu");
    showMode(0);
}

void RecordModeMenu::showMode(int timeLapseSeconds) {
    const int mode = ValidTimeLapseSeconds(timeLapseSeconds) ? timeLapseSeconds : 0;
    // clear() deletes the entries, which leave the group as they go.
    clear();
    auto add = [this, mode](const QString& text, int seconds) {
        QAction* action = addAction(text);
        action->setCheckable(true);
        action->setChecked(seconds == mode);
        group_->addAction(action);
        connect(action, &QAction::triggered, this, [this, seconds] { emit modeChosen(seconds); });
    };
    add(tr("보통 녹화"), 0);
    addSeparator();
    std::vector<int> offered(kOfferedSeconds.begin(), kOfferedSeconds.end());
    if (mode > 0 && std::find(offered.begin(), offered.end(), mode) == offered.end()) {
        offered.push_back(mode);
        std::sort(offered.begin(), offered.end());
    }
    for (const int seconds : offered)
        add(tr("저속 촬영 녹화: %1초마다 한 장").arg(seconds), seconds);
}

}  // namespace vistrela

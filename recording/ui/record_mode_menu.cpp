#include "recording/ui/record_mode_menu.h"

#include <QActionGroup>
#include <algorithm>
#include <array>

#include "recording/time_lapse.h"

namespace vistrela {

namespace {
// The intervals offered without the options: a slow experiment, a lesson, a day's light.
constexpr std::array<int, 6> kOfferedSeconds = {1, 2, 5, 10, 30, 60};
}  // namespace

RecordModeMenu::RecordModeMenu(QWidget* parent) : QMenu(parent) {
    setObjectName("recordModeMenu");
    showMode(0);
}

void RecordModeMenu::showMode(int timeLapseSeconds) {
    mode_ = ValidTimeLapseSeconds(timeLapseSeconds) ? timeLapseSeconds : 0;
    clear();
    auto* group = new QActionGroup(this);
    auto add = [this, group](const QString& text, int seconds) {
        QAction* action = addAction(text);
        action->setCheckable(true);
        action->setChecked(seconds == mode_);
        action->setData(seconds);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, seconds] {
            mode_ = seconds;
            emit modeChosen(seconds);
        });
    };
    add(tr("보통 녹화"), 0);
    addSeparator();
    std::vector<int> offered(kOfferedSeconds.begin(), kOfferedSeconds.end());
    if (mode_ > 0 && std::find(offered.begin(), offered.end(), mode_) == offered.end()) {
        offered.push_back(mode_);
        std::sort(offered.begin(), offered.end());
    }
    for (const int seconds : offered)
        add(tr("저속 촬영 녹화: %1초마다 한 장").arg(seconds), seconds);
}

}  // namespace vistrela

#include "settings/app_profile.h"

#include <QSettings>

namespace vistrela {

namespace {
constexpr const char* kEnabledKey = "Remembered/enabled";
}

bool RememberChoicesEnabled() {
    return QSettings().value(kEnabledKey, false).toBool();
}

void SetRememberChoicesEnabled(bool on) {
    QSettings profile;
    if (on)
        profile.setValue(kEnabledKey, true);
    else
        profile.remove(kEnabledKey);
}

}  // namespace vistrela

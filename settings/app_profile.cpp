#include "settings/app_profile.h"

#include <QSettings>

namespace vistrela {

namespace {
const QString kEnabledKey = QString(kRememberedGroup) + "/" + kRememberedEnabledKey;
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

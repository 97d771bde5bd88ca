#include "settings/app_profile.h"

#include "settings/profile_store.h"

namespace vistrela {

namespace {
const QString kEnabledKey = QString(kRememberedGroup) + "/" + kRememberedEnabledKey;
}

bool RememberChoicesEnabled(const ProfileStore& profile) {
    return profile.value(kEnabledKey, false).toBool();
}

void SetRememberChoicesEnabled(ProfileStore& profile, bool on) {
    if (on)
        profile.setValue(kEnabledKey, true);
    else
        profile.remove(kEnabledKey);
}

}  // namespace vistrela

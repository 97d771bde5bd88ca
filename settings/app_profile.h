#pragma once
// The one on/off switch of the application profile (profile_store.h): whether the user asked
// the program to remember their choices (the options dialog's "설정 기억하기" box). Off unless
// turned on. User-interface thread only.

namespace vistrela {

class ProfileStore;

// The group of the remembered choices and its on/off key.
inline constexpr const char* kRememberedGroup = "Remembered";
inline constexpr const char* kRememberedEnabledKey = "enabled";

bool RememberChoicesEnabled(const ProfileStore& profile);
void SetRememberChoicesEnabled(ProfileStore& profile, bool on);

}  // namespace vistrela

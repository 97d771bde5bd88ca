#pragma once
// The application profile: what the program keeps for the user between runs, in
// ~/.config/vistrela/vistrela.conf through QSettings (organisation and application "vistrela",
// set by the application at start-up). capture.ini is never written; the profile is.
//
// Groups: "Remembered" holds the opt-in choices of the options dialog ("enabled" and the
// choices themselves), "CameraControls/<identity>" the camera-settings values kept per camera,
// "MessageBoxes" the remembered answers of message boxes.
//
// User-interface thread only.

namespace vistrela {

// The group of the remembered choices and its on/off key.
inline constexpr const char* kRememberedGroup = "Remembered";
inline constexpr const char* kRememberedEnabledKey = "enabled";

// Whether the user asked the program to remember their choices (the options dialog's
// "설정 기억하기" box). Off unless turned on.
bool RememberChoicesEnabled();
void SetRememberChoicesEnabled(bool on);

}  // namespace vistrela

#pragma once
// Commands of the main window that no panel button sends: the keyboard, the system menu and
// tests reach them. Panel button ids are in controls/panel_buttons.h, menu ids in
// controls/menu_model.h.

namespace vistrela::cmd {

inline constexpr int SavePictureHidden = 1000;
inline constexpr int CloseRequest = 1010;
inline constexpr int Options = 1011;
inline constexpr int StopTimer = 1013;
inline constexpr int FocusReset = 1014;
inline constexpr int CameraSettings = 1015;
inline constexpr int ReloadSettings = 1016;
inline constexpr int AboutBox = 0x0010;

}  // namespace vistrela::cmd

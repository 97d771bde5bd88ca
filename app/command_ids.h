#pragma once
// Commands of the main window that no panel button sends: the keyboard and tests reach them.
// Panel button ids are in controls/panel_buttons.h, menu ids (10 to 60) in
// controls/menu_model.h; all of them share one space, the dialog's commands. The about box
// is a window-menu command of its own space (CommandSpace::System). app/commands.h binds
// every id to its keys, tooltip and handler.

namespace vistrela::cmd {

// Dialog commands of controls that are never shown.
inline constexpr int SavePictureHidden = 1000;
inline constexpr int CloseRequest = 1010;
inline constexpr int Options = 1011;
inline constexpr int StopTimer = 1013;
inline constexpr int FocusReset = 1014;
inline constexpr int CameraSettings = 1015;
inline constexpr int ReloadSettings = 1016;

// The program's own keyboard commands, clear of every id above.
inline constexpr int ZoomIn = 2001;
inline constexpr int ZoomOut = 2002;
inline constexpr int ToggleFullScreen = 2003;
inline constexpr int Freeze = 2004;
// Escape: closes what is open (the text window) or ends what is in progress (a stroke), and
// only then the program.
inline constexpr int Escape = 2005;
// Undo and redo of the drawing (Ctrl+Z; Ctrl+Y or Ctrl+Shift+Z).
inline constexpr int Undo = 2010;
inline constexpr int Redo = 2011;

// Window-menu (system) command: the about box.
inline constexpr int AboutBox = 0x0010;

}  // namespace vistrela::cmd

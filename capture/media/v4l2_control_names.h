#pragma once
// The camera controls' names in the user's language, from the V4L2 control id: drivers name
// their controls in English ("Brightness", "Focus, Absolute"). UI thread (uses the installed
// translation).

#include <cstdint>
#include <string>

namespace vistrela {

// The name of the control `v4l2Id` in the current language; a control the program does not know
// keeps `driverName`.
std::string V4l2ControlName(std::uint32_t v4l2Id, const std::string& driverName);

// A menu entry of a control in the current language: the kernel's standard entries ("Disabled",
// "Manual Mode", "Aperture Priority Mode", ...) are known; any other keeps `driverLabel`.
std::string V4l2MenuLabel(const std::string& driverLabel);

}  // namespace vistrela

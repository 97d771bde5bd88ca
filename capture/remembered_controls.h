#pragma once
// The camera-settings values the user changed, kept per camera in the application profile
// (app_profile.h) under "CameraControls/<identity>/<control>", so that a camera gets them back
// when it opens again, even after a replug has put it back to its driver's defaults.
//
// <identity> is the camera's CameraIdentity (device_table.h) with every byte outside
// [A-Za-z0-9.-] written as "_XX" (hex), so that '/' or '\' in a serial number or name cannot
// open a subgroup and two identities never share a group. <control> is the control's own id
// (the V4L2 control id) as "0x" and eight hex digits: names are the driver's display text and
// may change between driver versions, ids do not.
//
// Whether anything is stored is the caller's choice (RememberChoicesEnabled); this class only
// keeps and applies. User-interface thread only, like the profile.

#include <QString>
#include <cstdint>
#include <map>
#include <string>

#include "capture/camera_controls.h"

namespace vistrela {

class ProfileStore;

class RememberedControls {
public:
    // The choices of the camera `cameraIdentity` in `profile` (not owned; must outlive this).
    RememberedControls(ProfileStore& profile, const std::string& cameraIdentity);

    // Keeps `value` as the camera's choice for control `controlId`.
    void remember(std::uint32_t controlId, int value);
    // Every kept choice of the camera, by control id (entries that do not parse are skipped).
    std::map<std::uint32_t, int> values() const;
    // Drops every kept choice of the camera.
    void forget();

    // Sets every kept choice on `controls` that the device still lists, within its range:
    // booleans and menus first (automatic focus, automatic exposure), then the integer values,
    // which many drivers refuse while the matching automatic mode is on. Returns how many the
    // device accepted.
    int applyTo(CameraControls& controls) const;

    // The profile group of `cameraIdentity`, "CameraControls/<encoded identity>".
    static std::string GroupOf(const std::string& cameraIdentity);

private:
    ProfileStore& profile_;
    QString group_;
};

}  // namespace vistrela

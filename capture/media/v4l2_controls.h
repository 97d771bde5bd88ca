#pragma once
// Camera controls of a V4L2 device node (VIDIOC_QUERYCTRL, G_CTRL, S_CTRL, QUERYMENU).
// Opens the node on construction and closes it on destruction; a node that cannot be opened
// gives an empty list and refuses every get and set. User-interface thread.

#include <string>

#include "capture/camera_controls.h"

namespace vistrela {

class V4l2Controls final : public CameraControls {
public:
    explicit V4l2Controls(const std::string& devicePath);
    ~V4l2Controls() override;
    V4l2Controls(const V4l2Controls&) = delete;
    V4l2Controls& operator=(const V4l2Controls&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    std::vector<ControlInfo> list() override;
    std::optional<int> get(std::uint32_t id) override;
    bool set(std::uint32_t id, int value) override;

private:
    int fd_ = -1;
};

}  // namespace vistrela

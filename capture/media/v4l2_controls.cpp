#include "capture/media/v4l2_controls.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstring>

namespace vistrela {
namespace {

int Ioctl(int fd, unsigned long request, void* arg) {
    int r;
    do {
        r = ioctl(fd, request, arg);
    } while (r < 0 && errno == EINTR);
    return r;
}

ControlRole RoleOf(std::uint32_t id) {
    switch (id) {
        case V4L2_CID_BRIGHTNESS:
            return ControlRole::Brightness;
        case V4L2_CID_CONTRAST:
            return ControlRole::Contrast;
        case V4L2_CID_SATURATION:
            return ControlRole::Saturation;
        case V4L2_CID_FOCUS_ABSOLUTE:
            return ControlRole::Focus;
        case V4L2_CID_FOCUS_AUTO:
            return ControlRole::AutoFocus;
        default:
            return ControlRole::Other;
    }
}

std::string FixedText(const __u8* text, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(text),
                       strnlen(reinterpret_cast<const char*>(text), size));
}

}  // namespace

V4l2Controls::V4l2Controls(const std::string& devicePath) {
    fd_ = ::open(devicePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

V4l2Controls::~V4l2Controls() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<ControlInfo> V4l2Controls::list() {
    std::vector<ControlInfo> controls;
    if (fd_ < 0) return controls;
    v4l2_queryctrl query{};
    query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (Ioctl(fd_, VIDIOC_QUERYCTRL, &query) == 0) {
        const std::uint32_t id = query.id;
        query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        if (query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY)) continue;
        ControlInfo info;
        info.id = id;
        info.name = FixedText(query.name, sizeof query.name);
        info.role = RoleOf(id);
        info.minimum = query.minimum;
        info.maximum = query.maximum;
        info.step = query.step > 0 ? query.step : 1;
        info.defaultValue = query.default_value;
        switch (query.type) {
            case V4L2_CTRL_TYPE_INTEGER:
                info.type = ControlType::Integer;
                break;
            case V4L2_CTRL_TYPE_BOOLEAN:
                info.type = ControlType::Boolean;
                break;
            case V4L2_CTRL_TYPE_MENU:
            case V4L2_CTRL_TYPE_INTEGER_MENU: {
                info.type = ControlType::Menu;
                for (int i = query.minimum; i <= query.maximum; ++i) {
                    v4l2_querymenu item{};
                    item.id = id;
                    item.index = static_cast<__u32>(i);
                    if (Ioctl(fd_, VIDIOC_QUERYMENU, &item) != 0) continue;
                    std::string label = query.type == V4L2_CTRL_TYPE_MENU
                                            ? FixedText(item.name, sizeof item.name)
                                            : std::to_string(static_cast<long long>(item.value));
                    info.menu.push_back({i, std::move(label)});
                }
                if (info.menu.empty()) continue;
                break;
            }
            default:
                continue;  // buttons, strings, compound controls: not shown
        }
        controls.push_back(std::move(info));
    }
    return controls;
}

std::optional<int> V4l2Controls::get(std::uint32_t id) {
    if (fd_ < 0) return std::nullopt;
    v4l2_control control{};
    control.id = id;
    if (Ioctl(fd_, VIDIOC_G_CTRL, &control) != 0) return std::nullopt;
    return control.value;
}

bool V4l2Controls::set(std::uint32_t id, int value) {
    if (fd_ < 0) return false;
    v4l2_control control{};
    control.id = id;
    control.value = value;
    return Ioctl(fd_, VIDIOC_S_CTRL, &control) == 0;
}

}  // namespace vistrela

#include "capture/remembered_controls.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "settings/profile_store.h"

namespace vistrela {
namespace {

QString KeyOf(std::uint32_t controlId) {
    char key[16];
    std::snprintf(key, sizeof key, "0x%08x", static_cast<unsigned>(controlId));
    return QString::fromLatin1(key);
}

bool ParseKey(const QString& key, std::uint32_t& controlId) {
    const QByteArray text = key.toLatin1();
    if (!text.startsWith("0x") || text.size() != 10) return false;
    const char* end = text.constData() + text.size();
    auto [ptr, ec] = std::from_chars(text.constData() + 2, end, controlId, 16);
    return ec == std::errc() && ptr == end;
}

}  // namespace

std::string RememberedControls::GroupOf(const std::string& cameraIdentity) {
    std::string group = "CameraControls/";
    for (const char c : cameraIdentity) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || byte == '.' || byte == '-') {
            group += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "_%02X", byte);
            group += escaped;
        }
    }
    return group;
}

RememberedControls::RememberedControls(ProfileStore& profile, const std::string& cameraIdentity)
    : profile_(profile), group_(QString::fromStdString(GroupOf(cameraIdentity))) {}

void RememberedControls::remember(std::uint32_t controlId, int value) {
    profile_.setValue(group_ + "/" + KeyOf(controlId), value);
}

std::map<std::uint32_t, int> RememberedControls::values() const {
    std::map<std::uint32_t, int> result;
    for (const QString& key : profile_.childKeys(group_)) {
        std::uint32_t id = 0;
        bool isNumber = false;
        const int value = profile_.value(group_ + "/" + key).toInt(&isNumber);
        if (ParseKey(key, id) && isNumber) result[id] = value;
    }
    return result;
}

void RememberedControls::forget() {
    profile_.remove(group_);
}

int RememberedControls::applyTo(CameraControls& controls) const {
    const std::map<std::uint32_t, int> kept = values();
    if (kept.empty()) return 0;
    std::vector<ControlInfo> all = controls.list();
    std::stable_partition(all.begin(), all.end(),
                          [](const ControlInfo& c) { return c.type != ControlType::Integer; });
    int accepted = 0;
    for (const ControlInfo& info : all) {
        const auto it = kept.find(info.id);
        if (it == kept.end() || it->second < info.minimum || it->second > info.maximum) continue;
        if (controls.set(info.id, it->second)) ++accepted;
    }
    return accepted;
}

}  // namespace vistrela

// The ini reader over arbitrary file contents, asked for the keys the settings loader reads,
// then the settings load itself.
// CIni reads files only, so each input goes into one in-memory file (memfd) that the reader
// opens through /proc/self/fd: no disk traffic per input.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/ini.h"
#include "settings/settings.h"

namespace {

struct Key {
    const char* section;
    const char* key;
    const char* upperSection;
    const char* upperKey;
};

constexpr Key kKeys[] = {
    {"camsi", "curfn", "CAMSI", "CURFN"},     {"camsi", "num", "CAMSI", "NUM"},
    {"main", "jpgq", "MAIN", "JPGQ"},         {"main", "croph", "MAIN", "CROPH"},
    {"main", "cropw", "MAIN", "CROPW"},       {"main", "path", "MAIN", "PATH"},
    {"main", "fname", "MAIN", "FNAME"},       {"main", "autonum", "MAIN", "AUTONUM"},
    {"main", "autohide", "MAIN", "AUTOHIDE"},
};

const std::string& IniPath() {
    static const std::string path = [] {
        const int fd = memfd_create("fuzz.ini", 0);
        if (fd < 0) std::abort();
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

int IniFd() {
    return std::atoi(IniPath().c_str() + std::strlen("/proc/self/fd/"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = IniFd();
    if (ftruncate(fd, 0) != 0) std::abort();
    if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

    vistrela::CIni ini;
    ini.SetPathName(IniPath().c_str());
    for (const Key& k : kKeys) {
        const std::string value = ini.GetString(k.section, k.key, "\x01");
        // A value never spans a line: the line ends are the reader's own separators.
        if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
        // Section and key names match without regard to case.
        if (ini.GetString(k.upperSection, k.upperKey, "\x01") != value) std::abort();

        (void)ini.GetUInt(k.section, k.key, 7, 10);

        // The fixed-buffer form, with a buffer size the input picks: always terminated, never
        // longer than the buffer allows, and a prefix of the whole value.
        {
            const int bytes = 1 + (size > 0 ? data[size / 2] : 0);
            char buffer[256];
            std::memset(buffer, 'x', sizeof buffer);
            const int n = ini.GetString(k.section, k.key, buffer, bytes, "\x01");
            const std::size_t len = strnlen(buffer, static_cast<std::size_t>(bytes));
            if (len >= static_cast<std::size_t>(bytes)) std::abort();
            if (n < 0 || n > bytes) std::abort();
            if (value.compare(0, len, buffer, len) != 0) std::abort();
        }
    }
    // The settings load over the same file: a pure function of it and the desktop folder.
    // Whatever the file says, the device count stays within the table and the crop size is
    // the frame size; the start-up keeps only the camera name and the device count.
    {
        const vistrela::Settings loaded = vistrela::LoadSettings(ini, "/home/u/Desktop/");
        if (loaded.deviceCount < 0 || loaded.deviceCount > vistrela::MAX_DEVICES) std::abort();
        if (loaded.cropWidth != 640 || loaded.cropHeight != 480) std::abort();
        vistrela::ViewState view;
        const vistrela::Settings start = vistrela::StartupSettings(ini, "/home/u/Desktop/", view);
        if (start.cameraName != loaded.cameraName || start.jpegQuality != 99 ||
            start.savePath != "/home/u/Desktop/" || view.zoomLimit != vistrela::kStartupZoomLimit)
            std::abort();
    }
    // The number rules on the raw input as well, in every base the reader honours.
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int base : {2, 8, 10, 16}) (void)vistrela::ParseUInt32(text, base);
    return 0;
}

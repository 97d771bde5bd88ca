// The parser of VISTRELA_TEST_CAMERAS over arbitrary text. Every camera it returns must be one
// the media layer can run: a name, at least one size inside the limits with an even width, and
// a rate in range; device properties hold no separator and no surrounding blank.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "capture/device_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const vistrela::TestCameraEntry& camera : vistrela::ParseTestCameras(text)) {
        if (camera.name.empty() || camera.sizes.empty()) std::abort();
        if (camera.framesPerSecond < 1 || camera.framesPerSecond > vistrela::kTestCameraMaxFps)
            std::abort();
        for (const std::string* property : {&camera.serial, &camera.portPath}) {
            if (property->find_first_of(",@;") != std::string::npos) std::abort();
            if (!property->empty() && (property->front() == ' ' || property->back() == ' '))
                std::abort();
        }
        for (const auto& s : camera.sizes) {
            if (s.width < vistrela::kTestCameraMinSide || s.height < vistrela::kTestCameraMinSide ||
                s.width > vistrela::kTestCameraMaxSide || s.height > vistrela::kTestCameraMaxSide ||
                s.width % 2 != 0)
                std::abort();
        }
    }
    return 0;
}

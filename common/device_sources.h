#pragma once
// Where the program's devices come from: the machine's own, or the test cameras and the test
// microphone that stand in for them in tests and measurements. Chosen once at start-up (app/,
// from VISTRELA_TEST_CAMERAS and VISTRELA_TEST_MICROPHONE) and passed down; nothing below app/
// reads the environment. A plain value, copied freely; any thread.

#include <optional>
#include <string>

namespace vistrela {

struct DeviceSources {
    // The test cameras, "Name[@SIZES[@FPS]];..." or "@FILE" (the list in FILE, read again at
    // every enumeration, so that cameras can come and go); none: the machine's cameras.
    std::optional<std::string> testCameras;
    // The test microphone: "sine[:HZ]", "clicks", or anything else for no input at all; none:
    // the machine's sound input.
    std::optional<std::string> testMicrophone;
};

}  // namespace vistrela

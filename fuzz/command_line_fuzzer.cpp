// The command-line parser over arbitrary arguments: the input is split into arguments at NUL
// bytes, as the kernel hands them to main().

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    const char* text = reinterpret_cast<const char*>(data);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || text[i] == '\0') {
            if (i > start || i < size) args.emplace_back(text + start, i - start);
            start = i + 1;
        }
    }

    const vistrela::CommandLine cl = vistrela::ParseCommandLine(args);
    if (cl.autoCaptureSeconds < 0 || cl.autoCaptureSeconds > vistrela::kMaxAutoCaptureSeconds)
        std::abort();
    if (cl.oneShotCapture != (cl.commandLineName.size() > 3 ? 1 : 0)) std::abort();
    // The name is the first blank-separated token, so it holds no blank.
    if (cl.commandLineName.find(' ') != std::string::npos) std::abort();
    return 0;
}

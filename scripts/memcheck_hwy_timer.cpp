// Loaded into the viewer under memcheck only (scripts/memcheck.sh). FFmpeg's JPEG XL decoder
// pulls in libhwy, whose start-up measures its timer with RDTSCP. Where the processor does not
// announce RDTSCP (some virtual machines), valgrind refuses the instruction and the viewer dies
// before main; this definition takes the place of libhwy's own (the call goes through its PLT).
// The viewer never uses libhwy's timers.
#include <cstdint>

namespace hwy::platform {
std::uint64_t TimerResolution() {
    return 1;
}
}  // namespace hwy::platform

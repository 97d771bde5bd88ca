#pragma once
// Wall-clock and tick helpers.

#include <cstdint>
#include <ctime>
#include <string>

namespace vistrela {

// Wall-clock seconds: whole seconds since the epoch plus milliseconds x 0.001.
double nowSeconds();

// Milliseconds of a monotonic clock, wrapping at 2^32 like a 32-bit tick counter.
std::uint32_t tickCountMs();

// Formats local time `when` (the current time when `when` <= 0) with a strftime format.
// Does nothing (leaves `out` alone) when the format is shorter than 2 characters.
// The result is at most 199 bytes.
void FormatTimeStamp(std::string& out, const char* format, std::time_t when);

}  // namespace vistrela

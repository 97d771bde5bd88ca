#include "common/clock.h"

#include <chrono>
#include <cstring>

namespace vistrela {

double nowSeconds() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<double>(ms / 1000) + static_cast<double>(ms % 1000) * 0.001;
}

std::uint32_t tickCountMs() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

void FormatTimeStamp(std::string& out, const char* format, std::time_t when) {
    if (format == nullptr || std::strlen(format) < 2) return;
    if (when <= 0) when = std::time(nullptr);
    std::tm local{};
    localtime_r(&when, &local);
    char buffer[200];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    out.assign(buffer, n);
}

}  // namespace vistrela

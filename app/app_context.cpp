#include "app/app_context.h"

#include <cstdlib>

namespace vistrela {

namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

DeviceSources DeviceSourcesFromEnvironment() {
    return {Variable("VISTRELA_TEST_CAMERAS"), Variable("VISTRELA_TEST_MICROPHONE")};
}

}  // namespace vistrela

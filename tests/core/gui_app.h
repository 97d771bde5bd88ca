#pragma once
// Text drawing needs Qt's font database, which needs a QGuiApplication. Tests that draw text
// call EnsureGuiApp() first; the application lives until the process ends.

#include <QGuiApplication>
#include <memory>

namespace vistrela::test {

inline void EnsureGuiApp() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace vistrela::test

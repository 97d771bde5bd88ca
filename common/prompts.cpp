#include "common/prompts.h"

#include <cstdarg>
#include <cstdio>

#include "common/strings.h"

namespace vistrela {
namespace {

class StderrPromptsImpl final : public Prompts {
public:
    void notice(const std::string& caption, const std::string& text) override {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    }
    std::string saveFileName(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {
        return {};
    }
    std::string folder(const std::string&, const std::string&) override { return {}; }
};

}  // namespace

Prompts& StderrPrompts() {
    static StderrPromptsImpl instance;
    return instance;
}

void SayOnStderr(const std::string& text) {
    std::fprintf(stderr, "vistrela: %s\n", text.c_str());
}

void SayOnStderr(const QString& text) {
    SayOnStderr(text.toStdString());
}

void ShowNotice(Prompts& prompts, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = CutUtf8(FormatStringV(format, args), 10000 - 1);
    va_end(args);
    prompts.notice("Vistrela", text);
}

}  // namespace vistrela

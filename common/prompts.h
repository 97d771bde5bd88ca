#pragma once
// Every message box and file or folder picker of the program goes through this interface, so
// that tests replace it and never block on a modal window. The shell installs the Qt
// implementation at start-up; until then (and in headless tools) notices go to stderr and
// pickers answer "cancelled".

#include <string>

namespace vistrela {

class Prompts {
public:
    virtual ~Prompts() = default;
    // An information box with one OK button.
    virtual void notice(const std::string& caption, const std::string& text) = 0;
    // A save dialog. Returns the chosen path, or "" when cancelled.
    virtual std::string saveFileName(const std::string& title, const std::string& startDir,
                                     const std::string& filter,
                                     const std::string& defaultSuffix) = 0;
    // A folder picker. Returns the chosen folder, or "" when cancelled.
    virtual std::string folder(const std::string& title, const std::string& startDir) = 0;
};

// The installed implementation; never null.
Prompts& prompts();
// Installs `p` (not owned) and returns the previous one; nullptr restores the fallback.
Prompts* setPrompts(Prompts* p);

// Formats printf-style (cut at 10000 bytes) and shows it with caption "Vistrela".
void ShowNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vistrela

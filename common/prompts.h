#pragma once
// Every message box and file or folder picker of the program goes through this interface, so
// that tests replace it and never block on a modal window. The application owns the Qt
// implementation and hands it to whoever shows a prompt; headless tools and unattended runs
// use StderrPrompts.

#include <QString>
#include <string>

namespace vistrela {

class Prompts {
public:
    virtual ~Prompts() = default;
    // An information box with one OK button.
    virtual void notice(const std::string& caption, const std::string& text) = 0;
    // The same notice without waiting for the click (work goes on behind it); the first line
    // is the plain message, further lines its detail.
    virtual void passingNotice(const std::string& caption, const std::string& text) {
        notice(caption, text);
    }
    // A save dialog. Returns the chosen path, or "" when cancelled.
    virtual std::string saveFileName(const std::string& title, const std::string& startDir,
                                     const std::string& filter,
                                     const std::string& defaultSuffix) = 0;
    // A folder picker. Returns the chosen folder, or "" when cancelled.
    virtual std::string folder(const std::string& title, const std::string& startDir) = 0;
};

// Notices go to stderr, pickers answer "cancelled". Stateless, so one instance serves all.
Prompts& StderrPrompts();

// Prints "vistrela: TEXT" and a line end on standard error: what the program says to whoever
// runs it unattended.
void SayOnStderr(const std::string& text);
void SayOnStderr(const QString& text);

// Formats printf-style (cut at 10000 bytes) and shows it through `prompts` with caption
// "Vistrela".
void ShowNotice(Prompts& prompts, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace vistrela

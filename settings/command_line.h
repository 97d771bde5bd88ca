#pragma once
// The program's command line, read once at start-up.
//
// Arguments beginning with "--" are options: "--help", "--version" and
// "--auto-capture SECONDS" (also "--auto-capture=SECONDS"; a whole positive number of
// seconds, at most kMaxAutoCaptureSeconds), "--auto-record SECONDS FILE" (records FILE, an .avi
// or .mp4 movie, for SECONDS from the first live picture, then ends; an existing FILE is kept and
// the movie gets a " (2)" suffix unless "--overwrite" is given; with "--time-lapse N", N from 1
// to 60, it is a time-lapse recording: one picture every N seconds, played at 30 fps, no
// sound). A lone "--" ends the options,
// so a file name may begin with "--". The first other argument is cut at its first blank (the
// one-shot rule works on blank-separated tokens); that token is `commandLineName`, and one longer
// than 3 bytes starts the one-shot run (the next requested picture is saved under that name and the
// program closes). Further arguments are ignored.

#include <string>
#include <vector>

namespace vistrela {

// The longest --auto-capture wait: one day.
inline constexpr int kMaxAutoCaptureSeconds = 86400;

struct CommandLine {
    bool help = false;
    bool version = false;
    int autoCaptureSeconds = 0;   // 0 = off
    int autoRecordSeconds = 0;    // 0 = off
    std::string autoRecordPath;   // the movie of --auto-record, as given
    bool overwrite = false;       // --overwrite: --auto-record replaces an existing movie
    int timeLapseSeconds = 0;     // --time-lapse N: the interval of --auto-record, 0 = normal
    std::string commandLineName;  // first token of the first non-option argument
    int oneShotCapture = 0;       // 1 when commandLineName is longer than 3 bytes
    std::string error;  // empty, or why the command line was refused (in the user's language)
};

// A run nobody watches (--auto-capture, --auto-record): it says everything on standard error
// and never waits for a click.
inline bool IsUnattended(const CommandLine& c) {
    return c.autoCaptureSeconds > 0 || c.autoRecordSeconds > 0;
}

// Whether `path` names a movie the program writes: it ends in ".avi" or ".mp4" (any case).
bool IsMovieFileName(const std::string& path);

// `args` are the arguments after the program name, as argv gives them.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text "--help" prints.
std::string CommandLineUsage();

}  // namespace vistrela

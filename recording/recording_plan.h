#pragma once
// The names and numbers a recording is planned with, before any picture is written: the
// time stamp and the movie name the save dialog offers, the temporary files, the movie's
// frame rate and codec, and the count of pictures due on the recording clock. Pure functions
// except where a folder is looked at; any thread.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace vistrela {

// The longest catch-up of one frame: a late picture is written at most this many extra times.
inline constexpr int MAX_CATCHUP = 5;

// "%Y%m%d_%H%M%S" of local time `when`.
std::string RecordingStamp(std::time_t when);
// "Vistrela_<stamp>.avi": the name the save dialog offers, also the root of the temporary names.
std::string DefaultMovieName(const std::string& stamp);

struct TemporaryFiles {
    std::string moviePath;  // <folder>tmp_<default name>.avi: the picture, already encoded
    std::string soundPath;  // <folder>tmp_<default name>.wav
};
// The temporary pair of a recording in `folder` (ending in '/'). They never depend on the name
// the user typed, so a pair left by a crash still names its stamp.
TemporaryFiles TemporaryFilesFor(const std::string& folder, const std::string& defaultName);

// Where temporary recordings go: the program's folder when it is writable, else the user's
// cache folder (created when missing). Ends in '/'.
std::string RecordingTempFolder();

// The movie's frame rate for a measured camera rate: trunc(min(30, fps)), where a rate within
// 0.1 of a whole number counts as that number (29.98 gives 30, 12.6 gives 12). At least 1.
std::uint32_t MovieFrameRate(double fps);

// Whether the movie is an MP4 file (its name ends in .mp4, any case); otherwise it is an AVI.
bool IsMp4Movie(const std::string& moviePath);

// The four-character code of the movie's picture codec for the chosen file: "H264" for a name
// ending in .mp4 (any case), else "XVID".
std::uint32_t MovieCodecFor(const std::string& moviePath);

// Pictures due for the frame that arrives `elapsedSeconds` after the start, with
// `framesWritten` already written at `frameRate`: 0 when the frame is early, else the missing
// count plus one, capped at MAX_CATCHUP + 1.
int PicturesDue(double elapsedSeconds, std::uint32_t frameRate, std::int64_t framesWritten);

// A temporary pair left behind by a recording that never reached its join (a crash, a power
// cut): the picture file is required, the sound file optional.
struct LeftoverRecording {
    std::string moviePath;
    std::string soundPath;  // "" when the sound file is missing or empty
    std::string stamp;      // the recording's time stamp, from the file name
    std::string movieName;  // the name the save dialog would have offered: Vistrela_<stamp>.avi
};
// Every leftover pair in `folder` (ending in '/'), oldest stamp first. `busy` lists temporary
// picture files of recordings still running or joining in this process, which are skipped.
std::vector<LeftoverRecording> FindLeftoverRecordings(const std::string& folder,
                                                      const std::vector<std::string>& busy = {});

}  // namespace vistrela

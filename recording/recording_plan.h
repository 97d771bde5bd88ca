#pragma once
// The names and numbers a recording is planned with, before any picture is written: the
// time stamp and the movie name the save dialog offers, the temporary files, the movie's
// frame rate and codec, and the count of pictures due on the recording clock. Pure functions
// except where a folder is looked at; any thread.

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

class QLockFile;

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

// Where temporary recordings go: the user's cache folder ($XDG_CACHE_HOME/vistrela/, else
// ~/.cache/vistrela/, created when missing), never the program's folder, which every run of a
// build shares. Ends in '/'.
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
// count plus one, capped at `maxWrites` (MAX_CATCHUP + 1 by default; a recording that keeps
// its sound in step passes no cap, so the movie never falls behind the clock).
int PicturesDue(double elapsedSeconds, std::uint32_t frameRate, std::int64_t framesWritten,
                int maxWrites = MAX_CATCHUP + 1);

// A temporary pair left behind by a recording that never reached its join (a crash, a power
// cut), found by any of its files (picture, sound, sidecar).
struct LeftoverRecording {
    std::string moviePath;  // the temporary picture file (it may be missing or empty)
    std::string soundPath;  // "" when the sound file is missing or empty
    std::string stamp;      // the recording's time stamp, from the file name
    std::string movieName;  // the name the save dialog would have offered: Vistrela_<stamp>.avi
};
// `path` when no file has that name, else "name (2).ext", "name (3).ext", ... (the first free).
std::string FreeMovieName(const std::string& path);

// The lock of a temporary pair ("<picture file>.lock"), taken before any of its files is made
// and held until its join ended, so that recovery in another instance never takes a live pair
// for a leftover. Only a lock whose process is gone is stale. Null when another holds it.
std::unique_ptr<QLockFile> LockPair(const std::string& picturePath);

// Every leftover pair in `folder` (ending in '/'), oldest stamp first. `busy` lists temporary
// picture files of recordings still running or joining in this process, which are skipped.
std::vector<LeftoverRecording> FindLeftoverRecordings(const std::string& folder,
                                                      const std::vector<std::string>& busy = {});

}  // namespace vistrela

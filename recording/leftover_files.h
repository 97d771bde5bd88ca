#pragma once
// What a recording leaves beside its temporary pair, and the repairs that make a pair cut
// short (a crash, a full disk) joinable.
//
//   - The sidecar "<picture file>.movie" holds the movie the user chose (its absolute path,
//     one UTF-8 line), written at the start; a second line "joined" once ffmpeg has made
//     "<movie>.part" and only its renaming is left. Recovery finishes the movie under its own
//     name and format from it.
//   - CutAviAtLastFrame cuts a temporary AVI picture file after its last complete chunk and
//     mends the RIFF and "movi" sizes a crash left provisional, so every frame left decodes.
//   - RepairWavSizes writes the sizes of a WAV file from its length (a crash leaves them 0).
// Plain file work; any thread, one file at a time.

#include <cstdint>
#include <optional>
#include <string>

namespace vistrela {

struct Sidecar {
    std::string moviePath;
    bool joined = false;  // ffmpeg made "<moviePath>.part"; only the rename is left
};

std::string SidecarPath(const std::string& picturePath);
bool WriteSidecar(const std::string& picturePath, const Sidecar& sidecar);
// Nothing when the sidecar is missing or names no movie.
std::optional<Sidecar> ReadSidecar(const std::string& picturePath);

struct AviCut {
    bool readable = false;       // an AVI with its headers
    bool cut = false;            // bytes after the last complete chunk were removed
    std::int64_t frames = 0;     // complete picture chunks
    double framesPerSecond = 0;  // from the main header, 0 when unknown
    double seconds() const { return framesPerSecond > 0 ? frames / framesPerSecond : 0.0; }
};
AviCut CutAviAtLastFrame(const std::string& path);

// The data bytes after the repair, or -1 when the file is not one of the recorder's WAV files.
std::int64_t RepairWavSizes(const std::string& path);

}  // namespace vistrela

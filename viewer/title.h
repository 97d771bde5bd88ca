#pragma once
// The main window's title line, which serves as its status bar.

#include <cstdint>
#include <string>

namespace vistrela {

inline constexpr const char* kProductTitle = "Vistrela Viewer v2.0";

struct TitleInputs {
    bool recording = false;
    int frameWidth = 0;  // camera frame size, shown while recording
    int frameHeight = 0;
    int videoWidth = 0;  // client size of the video area, shown otherwise
    int videoHeight = 0;
    double fps = 0.0;
    std::uint32_t recordingSeconds = 0;  // elapsed recording time
    // A time-lapse recording: its interval (0: a normal recording), the pictures taken and the
    // length of the movie they make.
    int timeLapseSeconds = 0;
    std::int64_t timeLapseFrames = 0;
    std::uint32_t movieSeconds = 0;
    int rotation = 0;
    double zoom = 1.0;       // fraction shown; the title shows its inverse (the magnification)
    std::string statusText;  // shown only when `showStatus`
    bool showStatus = false;
    bool frozen = false;  // the picture is held: "[정지]" after the other pieces
};

// Composes the title: the base piece (while recording: the recording clock, and for a
// time-lapse the interval, the pictures taken and the movie's length), then (when not recording)
// the rotation piece for a non-zero rotation, the zoom piece and the status piece, each joined with
// one blank. The title is at most 199 bytes and every piece at most 99; longer text is cut at a
// character boundary, never overflowing.
std::string ComposeTitle(const TitleInputs& in);

}  // namespace vistrela

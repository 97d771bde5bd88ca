#pragma once
// The run-time versions of the media libraries the program uses, for the about box. Any thread.

#include <string>

namespace vistrela {

struct MediaLibraryVersions {
    std::string gstreamer;  // "GStreamer 1.22.0"
    std::string ffmpeg;     // "FFmpeg 5.1.6 (libavformat 59.27.100, libavcodec 59.37.100)"
};

MediaLibraryVersions MediaVersions();

}  // namespace vistrela

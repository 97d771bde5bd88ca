#include "common/media/library_versions.h"

#include <gst/gst.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include "common/strings.h"

namespace vistrela {

namespace {

std::string Dotted(unsigned version) {
    return FormatString("%u.%u.%u", AV_VERSION_MAJOR(version), AV_VERSION_MINOR(version),
                        AV_VERSION_MICRO(version));
}

}  // namespace

MediaLibraryVersions MediaVersions() {
    MediaLibraryVersions v;
    // gst_version_string needs no initialised GStreamer.
    gchar* gst = gst_version_string();
    v.gstreamer = gst != nullptr ? gst : "GStreamer";
    g_free(gst);
    v.ffmpeg = std::string("FFmpeg ") + av_version_info() + " (libavformat " +
               Dotted(avformat_version()) + ", libavcodec " + Dotted(avcodec_version()) + ")";
    return v;
}

}  // namespace vistrela

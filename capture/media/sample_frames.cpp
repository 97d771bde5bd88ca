#include "capture/media/sample_frames.h"

#include <gst/gst.h>
#include <gst/video/video.h>

#include <memory>

#include "common/hand_off.h"

namespace vistrela {

struct SampleFrames::Format {
    GstVideoInfo info{};
    bool inPlace = true;
    YuvLayout layout = YuvLayout::Yuy2;
    YuvToBgrFactors factors;
};

GstCaps* NewSampleFramesCaps() {
    // YUV first: a source that sends one of them is then taken as it comes, without a
    // conversion in the streaming thread.
    return gst_caps_from_string("video/x-raw,format=(string){YUY2,I420,NV12,BGR}");
}

namespace {

YuvColorimetry ColorimetryOfInfo(const GstVideoInfo& info) {
    YuvColorimetry c;
    gdouble kr = 0, kb = 0;
    if (gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb)) {
        c.kr = kr;
        c.kb = kb;
    }
    c.fullRange = info.colorimetry.range == GST_VIDEO_COLOR_RANGE_0_255;
    return c;
}

}  // namespace

bool ColorimetryOfCaps(const GstCaps* caps, YuvColorimetry& colorimetry) {
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, caps)) return false;
    colorimetry = ColorimetryOfInfo(info);
    return true;
}

SampleFrames::SampleFrames() = default;

SampleFrames::~SampleFrames() {
    if (caps_ != nullptr) gst_caps_unref(caps_);
}

bool SampleFrames::readCaps(GstCaps* caps) {
    if (caps == caps_) return format_ != nullptr;
    if (caps_ != nullptr) gst_caps_unref(caps_);
    caps_ = gst_caps_ref(caps);
    format_.reset();
    auto format = std::make_unique<Format>();
    if (!gst_video_info_from_caps(&format->info, caps)) return false;
    switch (GST_VIDEO_INFO_FORMAT(&format->info)) {
        case GST_VIDEO_FORMAT_BGR:
            break;
        case GST_VIDEO_FORMAT_YUY2:
            format->inPlace = false;
            format->layout = YuvLayout::Yuy2;
            break;
        case GST_VIDEO_FORMAT_I420:
            format->inPlace = false;
            format->layout = YuvLayout::I420;
            break;
        case GST_VIDEO_FORMAT_NV12:
            format->inPlace = false;
            format->layout = YuvLayout::Nv12;
            break;
        default:
            return false;
    }
    format->factors = MakeYuvToBgrFactors(ColorimetryOfInfo(format->info));
    format_ = std::move(format);
    return true;
}

bool SampleFrames::Deliver(GstSample* sample,
                           const std::function<void(const FrameView&)>& receive) {
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (caps == nullptr || buffer == nullptr || !readCaps(caps)) return false;
    const Format& f = *format_;
    if (f.inPlace) {
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return false;
        HandOffReceived(map.data);
        FrameView view;
        view.data = map.data;
        view.lengthBytes = map.size;
        view.width = GST_VIDEO_INFO_WIDTH(&f.info);
        view.height = GST_VIDEO_INFO_HEIGHT(&f.info);
        view.strideBytes = GST_VIDEO_INFO_PLANE_STRIDE(&f.info, 0);
        const bool complete = view.complete();
        if (complete) receive(view);
        gst_buffer_unmap(buffer, &map);
        return complete;
    }
    // Mapping as a video frame checks the buffer against the caps and follows the planes'
    // offsets and strides from the buffer's video meta when it has one.
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, const_cast<GstVideoInfo*>(&f.info), buffer, GST_MAP_READ))
        return false;
    HandOffReceived(frame.map[0].data);
    const int width = GST_VIDEO_FRAME_WIDTH(&frame);
    const int height = GST_VIDEO_FRAME_HEIGHT(&frame);
    YuvPlanes planes;
    for (guint p = 0; p < GST_VIDEO_FRAME_N_PLANES(&frame) && p < 3; ++p) {
        planes.data[p] = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, p));
        planes.strideBytes[p] = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, p);
    }
    FrameView view;
    view.width = width;
    view.height = height;
    view.strideBytes = width * 3;
    view.lengthBytes = static_cast<std::size_t>(view.strideBytes) * height;
    bgr_.resize(view.lengthBytes);
    ConvertYuvToBgr(f.layout, planes, width, height, f.factors, bgr_.data(), view.strideBytes);
    gst_video_frame_unmap(&frame);
    view.data = bgr_.data();
    if (!view.complete()) return false;
    receive(view);
    return true;
}

}  // namespace vistrela

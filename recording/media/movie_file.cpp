#include "recording/media/movie_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <thread>

#include "recording/avi_codes.h"

namespace vistrela {

namespace {

// Threads for the MPEG-4 Part 2 encoder: its slices are encoded side by side, one slice a
// thread. Two slices cost the same processor time as one (about 12 ms a 1080p picture on the
// development machine, conversion included) and finish a picture in about half the time when
// the other core is free; more threads than cores would only add slices, and bits.
constexpr int kMpeg4Threads = 2;

int Even(int size) {
    return size + (size & 1);
}

bool IsFullRangeYuv(AVPixelFormat format) {
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P ||
           format == AV_PIX_FMT_YUVJ444P;
}

// The encoder for a codec: the native MPEG-4 Part 2 encoder (also for the "XVID" and "DIVX"
// codes) and libx264 for H.264 when present, else whatever libavcodec lists first.
const AVCodec* FindEncoder(AVCodecID id) {
    const AVCodec* codec = nullptr;
    if (id == AV_CODEC_ID_MPEG4) codec = avcodec_find_encoder_by_name("mpeg4");
    if (id == AV_CODEC_ID_H264) codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr && id != AV_CODEC_ID_NONE) codec = avcodec_find_encoder(id);
    return codec;
}

// Players take untagged pictures of HD size as BT.709 and smaller ones as BT.601.
bool IsHd(int width, int height) {
    return width >= 1280 || height >= 720;
}

// The pictures the encoder takes: the stream's size, rate and code, in `format`, tagged with
// the colours players assume for that size.
void SetPictureFormat(AVCodecContext* encoder, const AVStream* stream, AVPixelFormat format) {
    const AVCodecParameters* parameters = stream->codecpar;
    const bool hd = IsHd(parameters->width, parameters->height);
    encoder->width = parameters->width;
    encoder->height = parameters->height;
    encoder->pix_fmt = format;
    encoder->time_base = stream->time_base;
    encoder->framerate = stream->avg_frame_rate;
    encoder->sample_aspect_ratio = AVRational{1, 1};
    encoder->codec_tag = parameters->codec_tag;
    encoder->color_range = IsFullRangeYuv(format) ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    encoder->colorspace = hd ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    encoder->color_primaries = hd ? AVCOL_PRI_BT709 : AVCOL_PRI_SMPTE170M;
    encoder->color_trc = hd ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
}

// How `codec` compresses: key pictures, no reordering, the codec's quality and threads.
// `globalHeader`: the container wants the codec's headers once, outside the pictures.
void SetCompression(AVCodecContext* encoder, const AVCodec* codec, bool globalHeader) {
    // A key picture every second. Every picture a key picture, as a compressor without
    // prediction would make them, costs about ten times the bits: a 45-minute 1080p lesson
    // would take tens of gigabytes.
    encoder->gop_size = std::max(1, encoder->framerate.num);
    // No reordered pictures: decoding order is presentation order, so the stream can be
    // copied into other containers with plain time stamps.
    encoder->max_b_frames = 0;
    if (globalHeader) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    if (codec->id == AV_CODEC_ID_MPEG4) {
        encoder->flags |= AV_CODEC_FLAG_QSCALE;
        encoder->global_quality = FF_QP2LAMBDA * kMpeg4Quantiser;
        encoder->thread_type = FF_THREAD_SLICE;
        encoder->thread_count =
            std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMpeg4Threads);
    } else if (std::string_view(codec->name) == "libx264") {
        av_opt_set(encoder->priv_data, "preset", kH264Preset, 0);
        av_opt_set_double(encoder->priv_data, "crf", kH264Crf, 0);
    }
}

// The converter from `source` pictures into the encoder's, with the encoder's colours; null
// when the conversion is not possible.
SwsContext* NewConverter(const AVCodecContext* encoder, AVPixelFormat source) {
    const int width = encoder->width;
    const int height = encoder->height;
    SwsContext* converter = sws_getContext(width, height, source, width, height, encoder->pix_fmt,
                                           SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (converter == nullptr) return nullptr;
    const int* coefficients =
        sws_getCoefficients(IsHd(width, height) ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(converter, coefficients, 1, coefficients,
                             encoder->color_range == AVCOL_RANGE_JPEG ? 1 : 0, 0, 1 << 16, 1 << 16);
    return converter;
}

}  // namespace

MovieFile::~MovieFile() {
    Finish();
}

int MovieFile::CreateFile(const std::string& path) {
    if (avformat_alloc_output_context2(&format_, nullptr, "avi", nullptr) < 0) return kAviFail;
    // The "file:" prefix keeps a name with a colon from being read as another protocol.
    if (avio_open(&format_->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE) < 0) return kAviFail;
    path_ = path;
    return kAviOk;
}

int MovieFile::CreateStream(std::uint32_t fourcc, int width, int height, std::uint32_t frameRate) {
    if (format_ == nullptr || width <= 0 || height <= 0 || frameRate == 0 || frameRate > 1000000)
        return kAviFail;
    stream_ = avformat_new_stream(format_, nullptr);
    if (stream_ == nullptr) return kAviErrMemory;
    const AVCodecTag* const tags[] = {avformat_get_riff_video_tags(), nullptr};
    codedWidth_ = Even(width);
    codedHeight_ = Even(height);
    stream_->time_base = AVRational{1, static_cast<int>(frameRate)};
    stream_->avg_frame_rate = AVRational{static_cast<int>(frameRate), 1};
    AVCodecParameters* parameters = stream_->codecpar;
    parameters->codec_type = AVMEDIA_TYPE_VIDEO;
    parameters->codec_id = av_codec_get_id(tags, fourcc);
    parameters->codec_tag = fourcc;
    parameters->width = codedWidth_;
    parameters->height = codedHeight_;
    av_dict_set(&stream_->metadata, "title", "Video Stream", 0);
    return kAviOk;
}

int MovieFile::OpenEncoder(int bitsPerPixel) {
    if (stream_ == nullptr) return kAviErrBadHandle;
    const AVCodec* codec = FindEncoder(stream_->codecpar->codec_id);
    if (codec == nullptr) return kAviErrNoCompressor;
    encoder_ = avcodec_alloc_context3(codec);
    picture_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (encoder_ == nullptr || picture_ == nullptr || packet_ == nullptr) return kAviErrMemory;

    const AVPixelFormat source = bitsPerPixel == 32 ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_BGR24;
    sourceStrideBytes_ = codedWidth_ * (bitsPerPixel / 8);
    const AVPixelFormat format =
        codec->pix_fmts != nullptr ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
    SetPictureFormat(encoder_, stream_, format);
    SetCompression(encoder_, codec, (format_->oformat->flags & AVFMT_GLOBALHEADER) != 0);

    const int opened = avcodec_open2(encoder_, codec, nullptr);
    if (opened == AVERROR(ENOMEM)) return kAviErrMemory;
    if (opened < 0) return kAviErrCompressor;
    if (avcodec_parameters_from_context(stream_->codecpar, encoder_) < 0) return kAviErrMemory;

    converter_ = NewConverter(encoder_, source);
    if (converter_ == nullptr) return kAviErrBadFormat;

    picture_->format = format;
    picture_->width = codedWidth_;
    picture_->height = codedHeight_;
    if (av_frame_get_buffer(picture_, 0) < 0) return kAviErrMemory;
    return kAviOk;
}

int MovieFile::WriteHeader() {
    if (encoder_ == nullptr) return kAviFail;
    if (avformat_write_header(format_, nullptr) < 0) {
        headerFailed_ = true;
        return kAviFail;
    }
    headerWritten_ = true;
    return kAviOk;
}

bool MovieFile::Encode(const std::uint8_t* pixels, std::int64_t index) {
    if (!headerWritten_ || av_frame_make_writable(picture_) < 0) return false;
    const std::uint8_t* const planes[1] = {pixels};
    const int strides[1] = {sourceStrideBytes_};
    if (sws_scale(converter_, planes, strides, 0, codedHeight_, picture_->data,
                  picture_->linesize) != codedHeight_)
        return false;
    picture_->pts = index;
    // A fixed quantiser is taken from each picture, not from the encoder's settings.
    picture_->quality = encoder_->global_quality;
    if (!Send(picture_)) return false;
    // Once a second the file gets what was encoded, and a full disk shows here at the latest.
    const int flushEvery = flushEvery_ > 0 ? flushEvery_ : encoder_->gop_size;
    if (flushEvery > 0 && index % flushEvery == 0) {
        avio_flush(format_->pb);
        if (format_->pb->error < 0) return false;
    }
    return true;
}

bool MovieFile::Send(const AVFrame* frame) {
    if (avcodec_send_frame(encoder_, frame) < 0) return false;
    for (;;) {
        const int received = avcodec_receive_packet(encoder_, packet_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
        if (received < 0) return false;
        av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        const int written = av_interleaved_write_frame(format_, packet_);
        av_packet_unref(packet_);
        if (written < 0) return false;
    }
}

bool MovieFile::Finish() {
    bool ended = true;
    if (format_ != nullptr && format_->pb != nullptr) {
        bool valid = headerWritten_;
        if (headerWritten_) {
            ended = Send(nullptr);
            ended = av_write_trailer(format_) >= 0 && ended;
        } else if (stream_ != nullptr && !headerFailed_) {
            // The opening stopped at the encoder: a movie of the stream as it was declared,
            // without samples.
            valid = avformat_write_header(format_, nullptr) >= 0;
            ended = valid && av_write_trailer(format_) >= 0;
        } else {
            ended = false;
        }
        ended = avio_closep(&format_->pb) >= 0 && ended;
        if (!valid) {
            std::error_code error;  // only a file this writer made; never a device
            if (std::filesystem::is_regular_file(path_, error))
                std::filesystem::remove(path_, error);
        }
    }
    sws_freeContext(converter_);
    converter_ = nullptr;
    av_frame_free(&picture_);
    av_packet_free(&packet_);
    avcodec_free_context(&encoder_);
    avformat_free_context(format_);
    format_ = nullptr;
    stream_ = nullptr;
    headerWritten_ = false;
    headerFailed_ = false;
    return ended;
}

}  // namespace vistrela

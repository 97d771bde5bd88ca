#pragma once
// One AVI file with one video stream and its encoder: libavformat's AVI muxer and a libavcodec
// encoder found from the stream's four-character code through the AVI codec tag table.
//
// The muxer writes an OpenDML file: past 1 GB of data it goes on in extra RIFF-AVIX parts with
// their own indices, so long recordings stay readable. That needs a seekable output, which a
// file is; nothing here turns it off.
//
// Pictures go in as 24-bit (B,G,R) or 32-bit (B,G,R,x) pixels, rows top first, and are
// converted to the encoder's YUV format. YUV 4:2:0 needs an even width and height, so the
// stream has the picture's size rounded up to even; the caller pads the extra column and row
// (black when zero). Each picture's number is its presentation time in frames, so pictures
// that never arrive leave a gap instead of moving the later ones earlier.
//
// Threads: not thread-safe; one thread at a time uses it. The movie writer opens it on the
// user-interface thread, hands it to its encoding thread for Encode, and takes it back for
// Finish after that thread has ended.

#include <cstdint>
#include <string>

struct AVFormatContext;
struct AVStream;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace vistrela {

// Encoder settings for the two codecs a recording uses, chosen so that 10-point print of a page
// filmed at 1920x1080 (glyphs about 13 pixels high) stays sharp also at the end of a group of
// pictures. bench/movie_encode_bench.cpp measures them on such a page with sensor noise:
// about 22 MB a minute for MPEG-4 Part 2 at quantiser 4 (3 doubles that, 6 softens the
// print), about 19 MB for H.264.
inline constexpr int kMpeg4Quantiser = 4;  // fixed quantiser, 2 (finest) .. 31
inline constexpr int kH264Crf = 23;        // libx264 constant rate factor, 0 (lossless) .. 51
inline constexpr char kH264Preset[] = "ultrafast";

class MovieFile {
public:
    MovieFile() = default;
    ~MovieFile();  // Finish()
    MovieFile(const MovieFile&) = delete;
    MovieFile& operator=(const MovieFile&) = delete;

    // The opening steps, in this order; each returns kAviOk or a failure code of
    // recording/avi_codes.h.
    // Creates (or empties) the file.
    int CreateFile(const std::string& path);
    // The video stream: `frameRate` pictures a second, pictures of `width` x `height`
    // (stored rounded up to even), `fourcc` as the stream's codec.
    int CreateStream(std::uint32_t fourcc, int width, int height, std::uint32_t frameRate);
    // The encoder for the stream's codec, fed from pictures of `bitsPerPixel` (24 or 32).
    // kAviErrNoCompressor when libavcodec has no encoder for the code.
    int OpenEncoder(int bitsPerPixel);
    // The file's headers.
    int WriteHeader();

    // Encodes and writes one picture of codedWidth() x codedHeight() pixels, rows top first,
    // codedWidth() * bitsPerPixel / 8 bytes apart; `index` is its number from 0 in frames.
    // False when encoding or writing failed.
    bool Encode(const std::uint8_t* pixels, std::int64_t index);

    // Ends the file: drains the encoder and writes the indices. A file whose opening stopped
    // at OpenEncoder still becomes a valid movie without samples; one that stopped earlier, or
    // whose headers could not be written, is removed. False when the end could not be
    // written. Releases everything.
    bool Finish();

    // How often the file gets what was encoded: every `pictures` picture numbers (0, the
    // default: once a second of movie). A time-lapse picture stands for seconds of real time,
    // so a crash must not take the ones still in the write buffer with it.
    void setFlushEvery(int pictures) { flushEvery_ = pictures; }

    int codedWidth() const { return codedWidth_; }
    int codedHeight() const { return codedHeight_; }

private:
    bool Send(const AVFrame* frame);  // encodes (nullptr drains) and writes what comes out

    std::string path_;
    AVFormatContext* format_ = nullptr;
    AVStream* stream_ = nullptr;  // owned by format_
    AVCodecContext* encoder_ = nullptr;
    SwsContext* converter_ = nullptr;
    AVFrame* picture_ = nullptr;  // the converted picture handed to the encoder
    AVPacket* packet_ = nullptr;
    int codedWidth_ = 0;
    int codedHeight_ = 0;
    int sourceStrideBytes_ = 0;
    bool headerWritten_ = false;
    int flushEvery_ = 0;
    bool headerFailed_ = false;  // a second attempt is not allowed
};

}  // namespace vistrela

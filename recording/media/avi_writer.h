#pragma once
// CAviWriter: the movie writer of a recording. It writes a stream of equally sized pictures
// into an AVI file (recording/media/movie_file.h: libavformat's OpenDML AVI muxer and the
// libavcodec encoder of `codec`). The recording control makes one writer per recording, may
// set `codec` and `frameRate` before the first picture, hands it one picture per call and
// deletes it when the recording stops; the file is complete after that.
//
// States (writerState):
//   kWriterFirstPicturePending (1), after construction: the first picture opens the file, the
//     stream and the encoder from its size and depth, on the caller's thread, so a failure is
//     reported at once: one notice through Prompts::notice, captioned "Vistrela": a plain
//     sentence in the user's language, then the writer's own text (recording/avi_codes.h) and
//     "Error Occured While Rendering the Movie" as detail lines. The writer then goes to
//     kWriterFailed. A failure after the file was made leaves a movie without samples (when the
//     stream could be declared) or no file.
//   kWriterWriting (2): every picture is one more sample. AppendFrame copies the picture into
//     a buffer of a small pool and hands it to the encoding thread, which converts it to YUV,
//     encodes and writes it; when all buffers are taken, AppendFrame waits for one (nothing is
//     dropped, memory stays bounded). Encoding or writing failures are not shown: the next
//     AppendFrame returns kAviFail, and the writer stays in this state.
//   kWriterFailed (0): every picture returns kAviFail at once, silently.
// A writer deleted before any picture leaves no file.
//
// Pictures: `bits` holds `height` rows, top row first, each `width` * bitsPerPixel / 8 bytes
// (24 bits: B,G,R; 32 bits: B,G,R,x, the layout of CxImage). Every picture must have the size
// and depth of the first; another is refused (kAviFail) and its sample is left out. Odd sizes
// are stored one column or row larger, padded with black.
//
// Time: sample i is shown at i / frameRate seconds, whatever happened to the samples before
// it, so the movie keeps the recording's clock. What was encoded reaches the file at least
// once a second (at every key picture), so a crash loses at most about a second.
//
// Threads: every public member belongs to the thread that made the writer (the user-interface
// thread). The encoding thread runs from the first picture until ReleaseMemory and touches
// only the pool's submitted buffers, the movie file (from the first hand-over until it is
// joined) and the write-failure flag.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "common/prompts.h"
#include "recording/avi_codes.h"
#include "recording/frame_pool.h"

namespace vistrela {

class CxImage;
class MovieFile;

inline constexpr int kWriterFailed = 0;
inline constexpr int kWriterFirstPicturePending = 1;
inline constexpr int kWriterWriting = 2;

// Buffers between the caller and the encoding thread: one being filled, one waiting, one
// being encoded, and one to absorb an uneven encoder.
inline constexpr int kWriterPoolFrames = 4;

class CAviWriter {
public:
    // Nothing is opened yet. `prompts` shows the opening failures; it must outlive the writer.
    CAviWriter(std::string fileName, Prompts& prompts);
    ~CAviWriter();  // ReleaseMemory()
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    std::uint32_t codec = FourCC("MPG4");  // the stream's codec, as its four-character code
    std::uint32_t frameRate = 3;           // pictures a second
    int flushEveryPictures = 0;            // MovieFile::setFlushEvery, 0: once a second

    // kAviOk when the picture was taken, kAviFail otherwise (see the states above).
    int AppendFrame(int width, int height, const std::uint8_t* bits, int bitsPerPixel);
    // The same for a whole image (32 bits a pixel).
    int AppendBitmap(const CxImage& picture);
    // While writing: the next `count` sample numbers get no picture; players go on showing the
    // picture before them (the AVI file holds empty samples there). Nothing otherwise.
    void SkipFrames(int count);

    // Goes to kWriterFailed: lets the encoding thread finish the pictures handed over, ends
    // the file and releases everything. Waits for the encoding thread.
    void ReleaseMemory();

    int writerState() const { return state_; }
    // The file was ended cleanly (its index written) by ReleaseMemory; false before, and when
    // a write or the end failed (a full disk): the file then needs CutAviAtLastFrame.
    bool endedCleanly() const { return endedCleanly_; }
    // The number the next picture gets. Every call in kWriterWriting takes one, written or
    // not, and so does the first picture once it has opened the movie.
    int sampleIndex() const { return sampleIndex_; }
    // Pictures handed over and not yet encoded (for measurements).
    int picturesInFlight() const { return pool_ ? pool_->busyCount() : 0; }

private:
    enum class Entry { Bits, Bitmap };

    int Append(Entry entry, int width, int height, const std::uint8_t* bits, int bitsPerPixel);
    int Open(Entry entry, int width, int height, const std::uint8_t* bits, int bitsPerPixel);
    int Write(int width, int height, const std::uint8_t* bits, int bitsPerPixel);
    int FailOpening(const char* message);
    void EncodeLoop();

    // User-interface thread.
    const std::string fileName_;
    Prompts& prompts_;
    int state_ = kWriterFirstPicturePending;
    int sampleIndex_ = 0;
    int width_ = 0;  // the first picture's size and depth
    int height_ = 0;
    int bitsPerPixel_ = 0;
    std::size_t codedStrideBytes_ = 0;  // a pool buffer's row, padded to an even width
    std::unique_ptr<FramePool> pool_;   // filled here, emptied by the encoding thread
    std::thread encoder_;
    bool endedCleanly_ = false;
    bool anyWriteFailed_ = false;

    // Encoding thread, from the first hand-over until encoder_ is joined; the user-interface
    // thread before and after.
    std::unique_ptr<MovieFile> movie_;

    // Both threads.
    std::atomic<bool> writeFailed_{false};  // set by the encoding thread, taken by AppendFrame
};

}  // namespace vistrela

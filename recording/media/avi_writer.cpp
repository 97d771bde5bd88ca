#include "recording/media/avi_writer.h"

#include <QCoreApplication>
#include <cstring>
#include <exception>
#include <utility>

#include "recording/media/movie_file.h"
#include "viewer/image.h"

namespace vistrela {

CAviWriter::CAviWriter(std::string fileName, Prompts& prompts)
    : fileName_(std::move(fileName)), prompts_(prompts) {}

CAviWriter::~CAviWriter() {
    ReleaseMemory();
}

int CAviWriter::AppendFrame(int width, int height, const std::uint8_t* bits, int bitsPerPixel) {
    return Append(Entry::Bits, width, height, bits, bitsPerPixel);
}

int CAviWriter::AppendBitmap(const CxImage& picture) {
    const auto* bits =
        picture.IsValid() ? reinterpret_cast<const std::uint8_t*>(picture.ScanLine(0)) : nullptr;
    return Append(Entry::Bitmap, picture.GetWidth(), picture.GetHeight(), bits, 32);
}

void CAviWriter::SkipFrames(int count) {
    if (state_ == kWriterWriting && count > 0) sampleIndex_ += count;
}

int CAviWriter::Append(Entry entry, int width, int height, const std::uint8_t* bits,
                       int bitsPerPixel) {
    switch (state_) {
        case kWriterFirstPicturePending:
            return Open(entry, width, height, bits, bitsPerPixel);
        case kWriterWriting:
            return Write(width, height, bits, bitsPerPixel);
        default:
            return kAviFail;
    }
}

int CAviWriter::Open(Entry entry, int width, int height, const std::uint8_t* bits,
                     int bitsPerPixel) {
    if (width <= 0 || height <= 0 || bits == nullptr || (bitsPerPixel != 24 && bitsPerPixel != 32))
        return FailOpening(kAviMsgSetFormat);
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    const int codedWidth = width + (width & 1);
    const int codedHeight = height + (height & 1);
    codedStrideBytes_ = static_cast<std::size_t>(codedWidth) * (bitsPerPixel / 8);
    try {
        // Zero-filled, and nothing but the picture's own pixels is ever copied in: the padding
        // of an odd size stays black.
        pool_ = std::make_unique<FramePool>(
            kWriterPoolFrames, codedStrideBytes_ * static_cast<std::size_t>(codedHeight));
        encoder_ = std::thread(&CAviWriter::EncodeLoop, this);
    } catch (const std::exception&) {  // no memory for the buffers, or no thread
        return FailOpening(entry == Entry::Bits ? kAviMsgAllocFrames : kAviMsgAllocFramesBitmap);
    }

    movie_ = std::make_unique<MovieFile>();
    movie_->setFlushEvery(flushEveryPictures);
    if (movie_->CreateFile(fileName_) != kAviOk) return FailOpening(kAviMsgCreateFile);
    if (movie_->CreateStream(codec, width, height, frameRate) != kAviOk)
        return FailOpening(kAviMsgCreateStream);
    const int opened = movie_->OpenEncoder(bitsPerPixel);
    if (opened != kAviOk) {
        return FailOpening(entry == Entry::Bits ? AviCompressorMessage(opened).c_str()
                                                : kAviMsgCompressorBitmap);
    }
    if (movie_->WriteHeader() != kAviOk) return FailOpening(kAviMsgSetFormat);
    state_ = kWriterWriting;
    return Write(width, height, bits, bitsPerPixel);
}

int CAviWriter::FailOpening(const char* message) {
    // One notice: a plain sentence in the user's language, the writer's own texts below it.
    ReleaseMemory();
    prompts_.notice(
        "Vistrela",
        QCoreApplication::translate("Recording", "동영상 파일을 만들지 못했습니다.").toStdString() +
            "\n" + message + "\n" + kAviMsgRendering);
    return kAviFail;
}

int CAviWriter::Write(int width, int height, const std::uint8_t* bits, int bitsPerPixel) {
    const int index = sampleIndex_++;
    if (width != width_ || height != height_ || bitsPerPixel != bitsPerPixel_ || bits == nullptr)
        return kAviFail;
    FramePool::Frame* frame = pool_->Acquire();
    if (frame == nullptr) return kAviFail;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * (bitsPerPixel / 8);
    if (rowBytes == codedStrideBytes_) {
        std::memcpy(frame->bytes.data(), bits, rowBytes * static_cast<std::size_t>(height));
    } else {
        for (int y = 0; y < height; ++y)
            std::memcpy(frame->bytes.data() + static_cast<std::size_t>(y) * codedStrideBytes_,
                        bits + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    }
    frame->index = index;
    pool_->Submit(frame);
    if (!writeFailed_.exchange(false)) return kAviOk;
    anyWriteFailed_ = true;
    return kAviFail;
}

void CAviWriter::EncodeLoop() {
    while (FramePool::Frame* frame = pool_->Next()) {
        const bool written = movie_->Encode(frame->bytes.data(), frame->index);
        pool_->Release(frame);
        if (!written) writeFailed_.store(true);
    }
}

void CAviWriter::ReleaseMemory() {
    state_ = kWriterFailed;
    if (encoder_.joinable()) {
        pool_->Close();
        encoder_.join();
    }
    if (movie_) {
        endedCleanly_ = movie_->Finish() && !anyWriteFailed_ && !writeFailed_.load();
        movie_.reset();
    }
    pool_.reset();
}

}  // namespace vistrela

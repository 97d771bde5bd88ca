#pragma once
// The RIFF/WAVE file the sound recorder writes: a RIFF chunk of form "WAVE" holding an 18-byte
// "fmt " chunk and a "data" chunk, little-endian throughout.
//
//   offset  0  "RIFF", size (4 + 26 + 8 + data + pad), "WAVE"
//   offset 12  "fmt ", 18, format tag, channels, samples/s, bytes/s, block align, bits, extra
//   offset 38  "data", size of the data (pad byte not counted), the data, a pad byte when odd
//
// The two sizes are provisional (0) until Close writes them. A WavFileWriter belongs to one
// thread at a time; the owner serialises Append and Close.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vistrela {

// The recording format, also the content of the "fmt " chunk (18 bytes on file).
struct WavFormat {
    std::uint16_t formatTag = 1;  // PCM
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSecond = 22050;
    std::uint32_t bytesPerSecond = 44100;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;
    std::uint16_t extraSize = 0;

    static constexpr std::size_t kChunkBytes = 18;
    std::array<std::uint8_t, kChunkBytes> bytes() const;
};

inline constexpr std::size_t kWavHeaderBytes = 12 + 8 + WavFormat::kChunkBytes + 8;  // 46
inline constexpr std::size_t kWavDataSizeOffset = kWavHeaderBytes - 4;               // 42

// The step of Open or Close that failed; None when all went well.
enum class WavStep {
    None,
    CreateFile,  // the old file could not be removed or the new one not created
    RiffChunk,   // writing the RIFF chunk's header
    FmtChunk,    // writing the "fmt " chunk's header
    FmtWrite,    // writing the 18 format bytes
    DataChunk,   // writing the "data" chunk's header
    CloseData,   // writing the final data size
    CloseRiff,   // writing the final RIFF size, or closing the file
};

class WavFileWriter {
public:
    WavFileWriter() = default;
    ~WavFileWriter();  // closes an open file (Close)
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // Removes an existing file of that name, creates the file and writes the chunk
    // headers. On failure the file is closed again (whatever was created stays) and the step is
    // returned; errorText() then holds the system's reason.
    WavStep Open(const std::string& path, const WavFormat& format);

    // Appends to the data chunk. False (nothing counted) when the file is not open, the write
    // failed, or the data chunk would outgrow the 32-bit sizes of the format.
    bool Append(const void* data, std::size_t bytes);

    // Adds the pad byte when the data size is odd, writes both sizes and closes the file.
    // Does nothing when no file is open.
    WavStep Close();

    bool isOpen() const { return file_ != nullptr; }
    std::uint32_t dataBytes() const { return dataBytes_; }
    const std::string& errorText() const { return errorText_; }

private:
    WavStep Fail(WavStep step);

    std::FILE* file_ = nullptr;
    std::uint32_t dataBytes_ = 0;
    std::string errorText_;
};

}  // namespace vistrela

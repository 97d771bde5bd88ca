#include "recording/wav_format.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

namespace vistrela {
namespace {

void Put16(std::uint8_t* out, std::uint16_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool WriteAll(std::FILE* file, const void* data, std::size_t bytes) {
    return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes;
}

bool WriteChunkHeader(std::FILE* file, const char (&id)[5], std::uint32_t size) {
    std::uint8_t header[8];
    std::memcpy(header, id, 4);
    Put32(header + 4, size);
    return WriteAll(file, header, sizeof header);
}

bool WriteSizeAt(std::FILE* file, long offset, std::uint32_t size) {
    std::uint8_t bytes[4];
    Put32(bytes, size);
    return std::fseek(file, offset, SEEK_SET) == 0 && WriteAll(file, bytes, sizeof bytes);
}

// The RIFF size counts "WAVE", both chunk headers, the format, the data and its pad byte.
constexpr std::uint32_t kRiffOverhead = 4 + 8 + WavFormat::kChunkBytes + 8;

}  // namespace

std::array<std::uint8_t, WavFormat::kChunkBytes> WavFormat::bytes() const {
    std::array<std::uint8_t, kChunkBytes> out{};
    Put16(out.data() + 0, formatTag);
    Put16(out.data() + 2, channels);
    Put32(out.data() + 4, samplesPerSecond);
    Put32(out.data() + 8, bytesPerSecond);
    Put16(out.data() + 12, blockAlign);
    Put16(out.data() + 14, bitsPerSample);
    Put16(out.data() + 16, extraSize);
    return out;
}

WavFileWriter::~WavFileWriter() {
    Close();
}

WavStep WavFileWriter::Fail(WavStep step) {
    errorText_ = std::strerror(errno != 0 ? errno : EIO);
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    return step;
}

WavStep WavFileWriter::Open(const std::string& path, const WavFormat& format) {
    Close();
    dataBytes_ = 0;
    errorText_.clear();
    // An existing file of that name goes first (a folder stays, and the create below fails).
    std::error_code removeError;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, removeError)))
        std::filesystem::remove(path, removeError);
    if (removeError && removeError != std::errc::no_such_file_or_directory) {
        errorText_ = removeError.message();
        return WavStep::CreateFile;
    }
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return Fail(WavStep::CreateFile);
    // Sizes stay 0 until Close: a file cut short by a crash says it holds nothing.
    errno = 0;
    static const char kRiffHeader[12] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    if (!WriteAll(file_, kRiffHeader, sizeof kRiffHeader)) return Fail(WavStep::RiffChunk);
    if (!WriteChunkHeader(file_, "fmt ", WavFormat::kChunkBytes)) return Fail(WavStep::FmtChunk);
    const auto formatBytes = format.bytes();
    if (!WriteAll(file_, formatBytes.data(), formatBytes.size())) return Fail(WavStep::FmtWrite);
    if (!WriteChunkHeader(file_, "data", 0) || std::fflush(file_) != 0)
        return Fail(WavStep::DataChunk);
    return WavStep::None;
}

bool WavFileWriter::Append(const void* data, std::size_t bytes) {
    if (file_ == nullptr) return false;
    constexpr std::uint64_t kMaxData =
        std::numeric_limits<std::uint32_t>::max() - kRiffOverhead - 1;
    if (dataBytes_ + static_cast<std::uint64_t>(bytes) > kMaxData) return false;
    if (!WriteAll(file_, data, bytes)) return false;
    dataBytes_ += static_cast<std::uint32_t>(bytes);
    return true;
}

WavStep WavFileWriter::Close() {
    if (file_ == nullptr) return WavStep::None;
    errno = 0;
    const std::uint32_t pad = dataBytes_ % 2;
    const std::uint8_t zero = 0;
    if (!WriteAll(file_, &zero, pad) || !WriteSizeAt(file_, kWavDataSizeOffset, dataBytes_))
        return Fail(WavStep::CloseData);
    if (!WriteSizeAt(file_, 4, kRiffOverhead + dataBytes_ + pad)) return Fail(WavStep::CloseRiff);
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) {
        errorText_ = std::strerror(errno != 0 ? errno : EIO);
        return WavStep::CloseRiff;
    }
    return WavStep::None;
}

}  // namespace vistrela

#include "recording/leftover_files.h"

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "recording/wav_format.h"

namespace vistrela {

namespace {

constexpr const char* kJoinedLine = "joined";

std::uint32_t Le32(const char* b) {
    return static_cast<std::uint8_t>(b[0]) | static_cast<std::uint8_t>(b[1]) << 8 |
           static_cast<std::uint8_t>(b[2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[3])) << 24;
}

void PutLe32(std::fstream& file, std::int64_t at, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                           static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    file.seekp(at);
    file.write(bytes, 4);
}

bool IsFourCC(const char* id) {
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(id[i]);
        if (!std::isalnum(c) && c != ' ') return false;
    }
    return true;
}

bool IsPictureChunk(const char* id) {
    return std::isdigit(static_cast<unsigned char>(id[0])) &&
           std::isdigit(static_cast<unsigned char>(id[1])) && id[2] == 'd' &&
           (id[3] == 'c' || id[3] == 'b');
}

}  // namespace

std::string SidecarPath(const std::string& picturePath) {
    return picturePath + ".movie";
}

bool WriteSidecar(const std::string& picturePath, const Sidecar& sidecar) {
    QSaveFile file(QString::fromStdString(SidecarPath(picturePath)));
    if (!file.open(QIODevice::WriteOnly)) return false;
    std::string text = sidecar.moviePath + "\n";
    if (sidecar.joined) text += std::string(kJoinedLine) + "\n";
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.commit();
}

std::optional<Sidecar> ReadSidecar(const std::string& picturePath) {
    QFile file(QString::fromStdString(SidecarPath(picturePath)));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QList<QByteArray> lines = file.readAll().split('\n');
    Sidecar sidecar;
    sidecar.moviePath = lines.value(0).toStdString();
    sidecar.joined = lines.value(1).trimmed() == kJoinedLine;
    if (sidecar.moviePath.empty() || sidecar.moviePath[0] != '/') return std::nullopt;
    return sidecar;
}

namespace {

// Where the chunks of an AVI file lie, as far as they are whole.
struct AviLayout {
    std::int64_t good = 12;    // the end of the last whole chunk
    std::int64_t riffAt = 0;   // the last RIFF part (an OpenDML extension after the first)
    std::int64_t moviAt = -1;  // the last frame list, -1 when there is none
};

// Walks the chunks of the `size` bytes of `file` after its RIFF header, counting the picture
// chunks and reading the frame rate into `result`, and stops at the first chunk cut short.
AviLayout ScanAviChunks(std::fstream& file, std::int64_t size, AviCut& result) {
    AviLayout layout;
    char head[12];
    std::int64_t pos = 12;
    while (pos + 8 <= size) {
        file.seekg(pos);
        if (!file.read(head, 12 <= size - pos ? 12 : 8) || !IsFourCC(head)) break;
        const std::int64_t length = Le32(head + 4);
        const bool container =
            std::memcmp(head, "RIFF", 4) == 0 || std::memcmp(head, "LIST", 4) == 0;
        if (container && pos + 12 <= size && std::memcmp(head + 8, "movi", 4) == 0) {
            // Frames follow, each its own chunk: go in.
            layout.moviAt = pos;
            pos += 12;
            layout.good = pos;
            continue;
        }
        if (container && std::memcmp(head, "RIFF", 4) == 0) {
            layout.riffAt = pos;  // an OpenDML extension part
            pos += 12;
            layout.good = pos;
            continue;
        }
        if (container && std::memcmp(head + 8, "hdrl", 4) == 0 && pos + 8 + 4 + 8 + 4 <= size) {
            char avih[12];
            file.seekg(pos + 12);
            if (file.read(avih, 12) && std::memcmp(avih, "avih", 4) == 0) {
                const std::uint32_t microseconds = Le32(avih + 8);
                if (microseconds > 0) result.framesPerSecond = 1e6 / microseconds;
            }
        }
        const std::int64_t end = pos + 8 + length + (length & 1);
        if (end > size) break;
        if (IsPictureChunk(head)) ++result.frames;
        pos = end;
        layout.good = end;
    }
    return layout;
}

// Writes the sizes the muxer writes only at the end: those of the last RIFF part and of its
// frame list, where they are missing or reach past the file's end (`cut`: the file was cut).
void MendAviSizes(const std::string& path, const AviLayout& layout, bool cut) {
    std::fstream mend(path, std::ios::in | std::ios::out | std::ios::binary);
    const std::int64_t good = layout.good;
    const std::int64_t riffAt = layout.riffAt;
    const std::int64_t moviAt = layout.moviAt;
    char field[4];
    mend.seekg(riffAt + 4);
    if (mend.read(field, 4) && riffAt + 8 + static_cast<std::int64_t>(Le32(field)) != good &&
        (cut || Le32(field) == 0 || riffAt + 8 + Le32(field) > good))
        PutLe32(mend, riffAt + 4, static_cast<std::uint32_t>(good - riffAt - 8));
    mend.seekg(moviAt + 4);
    if (moviAt > riffAt && mend.read(field, 4) &&
        (Le32(field) == 0 || moviAt + 8 + static_cast<std::int64_t>(Le32(field)) > good))
        PutLe32(mend, moviAt + 4, static_cast<std::uint32_t>(good - moviAt - 8));
}

}  // namespace

AviCut CutAviAtLastFrame(const std::string& path) {
    AviCut result;
    std::error_code error;
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path, error));
    if (error) return result;
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file) return result;
    char head[12];
    if (size < 12 || !file.read(head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "AVI ", 4) != 0)
        return result;

    const AviLayout layout = ScanAviChunks(file, size, result);
    result.readable = layout.moviAt > 0;
    file.close();
    if (layout.good < size) {
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(layout.good), error);
        result.cut = !error;
    }
    if (result.readable) MendAviSizes(path, layout, result.cut);
    return result;
}

std::int64_t RepairWavSizes(const std::string& path) {
    std::error_code error;
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path, error));
    if (error || size < static_cast<std::int64_t>(kWavHeaderBytes)) return -1;
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    char head[kWavHeaderBytes];
    if (!file.read(head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVEfmt ", 8) != 0 || std::memcmp(head + 38, "data", 4) != 0)
        return -1;
    // Whole samples only; a pad byte would be counted as half a sample.
    const std::int64_t data =
        (size - static_cast<std::int64_t>(kWavHeaderBytes)) & ~std::int64_t{1};
    PutLe32(file, kWavDataSizeOffset, static_cast<std::uint32_t>(data));
    PutLe32(file, 4, static_cast<std::uint32_t>(data + kWavHeaderBytes - 8));
    file.close();
    if (data + static_cast<std::int64_t>(kWavHeaderBytes) != size)
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(data + kWavHeaderBytes),
                                     error);
    return data;
}

}  // namespace vistrela

#pragma once
// Result codes, four-character codes and the error texts of the movie writer
// (recording/media/avi_writer.h). Plain values and functions, usable from any thread.

#include <cstdint>
#include <string>

namespace vistrela {

// Result codes: 0 is success, negative values are failures.
inline constexpr int kAviOk = 0;
inline constexpr int kAviFail = -1;  // the generic failure every picture entry returns

// Why the compressor could not be opened. Each has its error number in the writer's message
// (AviErrorNumber).
inline constexpr int kAviErrUnsupported = -101;
inline constexpr int kAviErrBadFormat = -102;  // the encoder refused the picture's format
inline constexpr int kAviErrMemory = -103;
inline constexpr int kAviErrInternal = -104;
inline constexpr int kAviErrBadFlags = -105;
inline constexpr int kAviErrBadParam = -106;
inline constexpr int kAviErrBadSize = -107;
inline constexpr int kAviErrBadHandle = -108;
inline constexpr int kAviErrFileRead = -109;
inline constexpr int kAviErrFileWrite = -110;
inline constexpr int kAviErrFileOpen = -111;
inline constexpr int kAviErrCompressor = -112;    // the encoder failed to open
inline constexpr int kAviErrNoCompressor = -113;  // no encoder for the four-character code
inline constexpr int kAviErrReadOnly = -114;
inline constexpr int kAviErrNoData = -115;
inline constexpr int kAviErrBufferTooSmall = -116;
inline constexpr int kAviErrCantCompress = -117;
inline constexpr int kAviErrUserAbort = -198;
inline constexpr int kAviErrError = -199;

// The error number shown for a failed compressor: 1 for kAviErrUnsupported through 17 for
// kAviErrCantCompress, 18 for kAviErrUserAbort, 19 for kAviErrError, 0 for anything else.
int AviErrorNumber(int result);

// The four-character code as stored in an AVI file: the first character in the lowest byte.
constexpr std::uint32_t FourCC(const char (&code)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}
// The four characters of a code, for messages and logs.
std::string FourCCText(std::uint32_t code);

// The writer's own texts; they are shown as detail lines below a plain notice.
inline constexpr char kAviMsgAllocFrames[] = "Unable to Allocate Memory A0";
inline constexpr char kAviMsgAllocFramesBitmap[] = "Unable to Allocate Memory A";
inline constexpr char kAviMsgCreateFile[] = "Unable to Create the Movie File";
inline constexpr char kAviMsgCreateStream[] = "Unable to Create Stream";
inline constexpr char kAviMsgSetFormat[] = "Unable to Set Format";
inline constexpr char kAviMsgCompressorBitmap[] =
    "Unable to Create Compressed Stream: Check your CODEC options";
inline constexpr char kAviMsgRendering[] = "Error Occured While Rendering the Movie";
// "Unable to Create Compressed Stream: err N " with N = AviErrorNumber(result); the text ends
// in a blank.
std::string AviCompressorMessage(int result);

}  // namespace vistrela

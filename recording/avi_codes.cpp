#include "recording/avi_codes.h"

namespace vistrela {

int AviErrorNumber(int result) {
    if (result <= kAviErrUnsupported && result >= kAviErrCantCompress)
        return kAviErrUnsupported - result + 1;
    if (result == kAviErrUserAbort) return 18;
    if (result == kAviErrError) return 19;
    return 0;
}

std::string FourCCText(std::uint32_t code) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (8 * i)) & 0xff);
    return text;
}

std::string AviCompressorMessage(int result) {
    return "Unable to Create Compressed Stream: err " + std::to_string(AviErrorNumber(result)) +
           " ";
}

}  // namespace vistrela

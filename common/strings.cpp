#include "common/strings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace vistrela {

int SplitTokens(const std::string& text, char separator, std::vector<std::string>& tokens,
                bool clearFirst) {
    if (clearFirst) tokens.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = text.find(separator, start);
        if (pos == std::string::npos) {
            tokens.push_back(text.substr(start));
            break;
        }
        tokens.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
    return static_cast<int>(tokens.size());
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) so no character is split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string FormatStringV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    return CutUtf8(out, kFormatLimit);
}

std::string FormatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = FormatStringV(format, args);
    va_end(args);
    return out;
}

void AppendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    out += FormatStringV(format, args);
    va_end(args);
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace vistrela

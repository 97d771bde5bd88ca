#pragma once
// String helpers shared by every subsystem. Texts are UTF-8 in std::string.

#include <cstdarg>
#include <string>
#include <vector>

namespace vistrela {

// Splits `text` at every `separator` into `tokens` (cleared first when `clearFirst`).
// Every separator ends a token: two separators in a row give an empty token, and an empty
// text gives one empty token. There is no quoting. Returns the number of tokens in the list.
int SplitTokens(const std::string& text, char separator, std::vector<std::string>& tokens,
                bool clearFirst);

// printf-style formatting into a string. Output longer than kFormatLimit bytes is cut there
// (at a UTF-8 character boundary) instead of overflowing.
inline constexpr std::size_t kFormatLimit = 500000;
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatStringV(const char* format, va_list args);
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Whether `text` ends in `suffix`, ASCII letters compared without case.
bool EndsWithNoCase(const std::string& text, const std::string& suffix);

// Cuts `text` to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

}  // namespace vistrela

#pragma once
// Reader of private-profile (ini) files such as capture.ini. The program only reads them.
//
// File rules:
// - "[name]" starts a section (the name trimmed, up to the last ']'); a line opening with '['
//   but without ']' is skipped. Keys before the first section belong to none.
// - "key = value" lines; key and value are trimmed of blanks (space, tab, CR, VT, FF) and a
//   value wrapped in a matching pair of '"' or '\'' loses the pair. A line without '=' is not
//   a key and is skipped.
// - Lines whose first non-blank character is ';' or '#' are comments.
// - Section and key names match without regard to case.
// - Only the first section of a name is consulted, and in it the first key of a name wins.
// - A UTF-8 byte order mark is skipped; lines end at LF, CR LF, CR or a NUL byte.
// - Values are read whole, whatever their length. Files larger than kMaxIniBytes are read
//   only up to that size, so a huge or endless file cannot exhaust memory.
// The file is read again by every call, so edits show at the next read. A missing or
// unreadable file reads like an empty one.
//
// Threads: one instance is used by one thread at a time (the application's: user-interface thread).

#include <cstddef>
#include <cstdint>
#include <string>

namespace vistrela {

inline constexpr std::size_t kMaxIniBytes = 16u * 1024u * 1024u;

class CIni {
public:
    CIni() = default;
    virtual ~CIni();

    // Binds the reader to `path` (copied); nullptr or "" unbinds it (every read gives the
    // default).
    void SetPathName(const char* path);
    const std::string& PathName() const { return path_; }

    // The value of `key` in `section`, or `defaultValue` ("" when null) when the file, the
    // section or the key is missing. A null section or key returns the default without reading.
    std::string GetString(const char* section, const char* key, const char* defaultValue) const;

    // The same value copied into `buffer` of `bufferBytes` bytes: at most bufferBytes - 1
    // bytes, cut at a UTF-8 character boundary, NUL-terminated (the buffer is emptied first).
    // Returns the value's length in bytes, capped at bufferBytes, so a result equal to
    // bufferBytes tells the caller the value did not fit.
    int GetString(const char* section, const char* key, char* buffer, int bufferBytes,
                  const char* defaultValue) const;

    // Reads at most the first 64 bytes of the value as an unsigned 32-bit number like the C
    // library's strtoul with a 32-bit unsigned long: leading white space skipped, optional sign,
    // "0x" allowed in base 16, conversion stops at the first non-digit, no digits give 0, a
    // minus wraps modulo 2^32, a magnitude above 4294967295 gives 4294967295. `base` 2, 8 or
    // 16 is honoured, any other value means 10. An empty (or missing) value gives
    // `defaultValue`.
    std::uint32_t GetUInt(const char* section, const char* key, std::uint32_t defaultValue,
                          int base) const;

private:
    // Looks the key up; false when the file, section or key is missing.
    bool Find(const char* section, const char* key, std::string& value) const;

    std::string path_;
};

// strtoul over `text` with the rules of GetUInt (exposed for tests and other parsers).
std::uint32_t ParseUInt32(const std::string& text, int base);

}  // namespace vistrela

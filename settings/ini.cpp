#include "settings/ini.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/strings.h"

namespace vistrela {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasNonAscii(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return (c & 0x80) != 0; });
}

// ASCII letters fold byte by byte; names with other letters (UTF-8) are compared by Qt's
// Unicode case folding so that, for example, "Ä" matches "ä".
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
            return FoldAscii(x) == FoldAscii(y);
        })) {
        return true;
    }
    if (!HasNonAscii(a) && !HasNonAscii(b)) return false;
    const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    return qa.compare(qb, Qt::CaseInsensitive) == 0;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

bool ReadFileBytes(const std::string& path, std::string& out) {
    if (path.empty()) return false;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    // In pieces up to a limit, not readAll(): character devices and growing files never end,
    // and a single read of the whole limit would allocate all of it for every small file.
    out.clear();
    constexpr qint64 kPieceBytes = 64 * 1024;
    char piece[kPieceBytes];
    while (out.size() < kMaxIniBytes) {
        const qint64 want = std::min<qint64>(kPieceBytes, qint64(kMaxIniBytes - out.size()));
        const qint64 got = file.read(piece, want);
        if (got <= 0) break;
        out.append(piece, static_cast<std::size_t>(got));
    }
    return true;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

}  // namespace

CIni::~CIni() = default;

void CIni::SetPathName(const char* path) {
    path_ = path != nullptr ? path : "";
}

bool CIni::Find(const char* section, const char* key, std::string& value) const {
    std::string text;
    if (!ReadFileBytes(path_, text)) return false;
    std::string_view rest(text);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);

    const std::string_view wantSection(section);
    const std::string_view wantKey(key);
    bool inSection = false;
    bool sectionSeen = false;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(std::string_view("\r\n\0", 3));
        const std::string_view line = Trim(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;

        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos) continue;
            // Later sections of the same name are never consulted.
            if (sectionSeen) return false;
            inSection = SameName(Trim(line.substr(1, close - 1)), wantSection);
            sectionSeen = inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!SameName(Trim(line.substr(0, eq)), wantKey)) continue;
        value.assign(Unquote(Trim(line.substr(eq + 1))));
        return true;
    }
    return false;
}

std::string CIni::GetString(const char* section, const char* key, const char* defaultValue) const {
    const std::string fallback = defaultValue != nullptr ? defaultValue : "";
    if (section == nullptr || key == nullptr) return fallback;
    std::string value;
    return Find(section, key, value) ? value : fallback;
}

int CIni::GetString(const char* section, const char* key, char* buffer, int bufferBytes,
                    const char* defaultValue) const {
    if (buffer == nullptr || bufferBytes <= 0) return 0;
    buffer[0] = '\0';
    const std::string value = GetString(section, key, defaultValue);
    const std::string fitted = CutUtf8(value, static_cast<std::size_t>(bufferBytes - 1));
    std::memcpy(buffer, fitted.data(), fitted.size());
    buffer[fitted.size()] = '\0';
    return static_cast<int>(
        std::min<std::size_t>(value.size(), static_cast<std::size_t>(bufferBytes)));
}

std::uint32_t CIni::GetUInt(const char* section, const char* key, std::uint32_t defaultValue,
                            int base) const {
    const std::string value = GetString(section, key, "");
    if (value.empty()) return defaultValue;
    return ParseUInt32(value.substr(0, 64), base);
}

std::uint32_t ParseUInt32(const std::string& text, int base) {
    if (base != 2 && base != 8 && base != 16) base = 10;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // "0x" counts as a prefix only when a hexadecimal digit follows; "0xg" reads as 0.
    if (base == 16 && i + 2 < text.size() && text[i] == '0' &&
        (text[i + 1] == 'x' || text[i + 1] == 'X') && DigitValue(text[i + 2]) < 16) {
        i += 2;
    }
    constexpr std::uint64_t kMax = 0xFFFFFFFFu;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base) break;
        if (!overflow) {
            magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<unsigned>(digit);
            if (magnitude > kMax) overflow = true;
        }
    }
    if (overflow) return static_cast<std::uint32_t>(kMax);
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

}  // namespace vistrela

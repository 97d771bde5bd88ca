#include "settings/command_line.h"

#include <QCoreApplication>
#include <charconv>

#include "common/strings.h"
#include "recording/time_lapse.h"

namespace vistrela {

namespace {

constexpr std::string_view kAutoCapture = "--auto-capture";
constexpr std::string_view kAutoRecord = "--auto-record";
constexpr std::string_view kTimeLapse = "--time-lapse";

// A whole number of seconds from `low` to `high`, written alone.
bool ParseSeconds(const std::string& text, int low, int high, int& seconds) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, seconds);
    return ec == std::errc() && end == last && seconds >= low && seconds <= high;
}

}  // namespace

bool IsMovieFileName(const std::string& path) {
    // A name is more than its extension.
    return path.size() > 4 && (EndsWithNoCase(path, ".avi") || EndsWithNoCase(path, ".mp4"));
}

namespace {

// The seconds `value` of `option` (from `low` to `high`) into `seconds`; else `seconds` is 0
// and `result.error` says what was wrong. The timer runs in milliseconds in an int, so the
// waits are held far below what overflows it: one day is the most a start can wait for its
// picture (kMaxAutoCaptureSeconds).
bool TakeSeconds(std::string_view option, const std::string& value, int low, int high, int& seconds,
                 CommandLine& result) {
    if (ParseSeconds(value, low, high, seconds)) return true;
    seconds = 0;
    result.error =
        QCoreApplication::translate("CommandLine",
                                    "%1 값이 올바르지 않습니다: \"%2\" (%3 이상 %4 이하의 정수 초)")
            .arg(QString::fromUtf8(option.data(), qsizetype(option.size())),
                 QString::fromStdString(CutUtf8(value, 200)))
            .arg(low)
            .arg(high)
            .toStdString();
    return false;
}

// "--auto-capture S" or "--auto-capture=S" at args[i]; `i` moves past what was taken. False
// with `result.error` set when the value is missing or not a valid number of seconds.
bool ParseAutoCapture(const std::vector<std::string>& args, std::size_t& i, CommandLine& result) {
    const std::string& arg = args[i];
    std::string value;
    if (arg.size() > kAutoCapture.size()) {
        value = arg.substr(kAutoCapture.size() + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    } else {
        result.error = QCoreApplication::translate("CommandLine",
                                                   "--auto-capture 뒤에 초 단위 시간이 필요합니다")
                           .toStdString();
        return false;
    }
    return TakeSeconds(kAutoCapture, value, 1, kMaxAutoCaptureSeconds, result.autoCaptureSeconds,
                       result);
}

// "--auto-record S FILE" at args[i]; `i` moves past what was taken. False with `result.error`
// set when a value is missing or wrong.
bool ParseAutoRecord(const std::vector<std::string>& args, std::size_t& i, CommandLine& result) {
    if (i + 2 >= args.size()) {
        result.error =
            QCoreApplication::translate(
                "CommandLine", "--auto-record 뒤에 초 단위 시간과 동영상 파일 이름이 필요합니다")
                .toStdString();
        return false;
    }
    const std::string& value = args[++i];
    if (!TakeSeconds(kAutoRecord, value, 1, kMaxAutoCaptureSeconds, result.autoRecordSeconds,
                     result))
        return false;
    result.autoRecordPath = args[++i];
    if (!IsMovieFileName(result.autoRecordPath)) {
        result.autoRecordSeconds = 0;
        result.error =
            QCoreApplication::translate(
                "CommandLine", "--auto-record 파일 이름은 .avi 또는 .mp4로 끝나야 합니다: %1")
                .arg(QString::fromStdString(CutUtf8(result.autoRecordPath, 200)))
                .toStdString();
        result.autoRecordPath.clear();
        return false;
    }
    return true;
}

// "--time-lapse N" at args[i]; `i` moves past the value. False with `result.error` set when it
// is missing or not a whole number of seconds from 1 to 60.
bool ParseTimeLapse(const std::vector<std::string>& args, std::size_t& i, CommandLine& result) {
    const std::string value = i + 1 < args.size() ? args[++i] : std::string();
    return TakeSeconds(kTimeLapse, value, kMinTimeLapseSeconds, kMaxTimeLapseSeconds,
                       result.timeLapseSeconds, result);
}

// The option at args[i] (it starts with "--"); `i` moves past its values. False with
// `result.error` set for an unknown option or a bad value.
bool ParseOption(const std::vector<std::string>& args, std::size_t& i, bool& optionsEnded,
                 CommandLine& result) {
    const std::string& arg = args[i];
    if (arg == "--") {
        optionsEnded = true;
    } else if (arg == "--help") {
        result.help = true;
    } else if (arg == "--version") {
        result.version = true;
    } else if (arg == "--overwrite") {
        result.overwrite = true;
    } else if (arg == kAutoCapture || arg.rfind(std::string(kAutoCapture) + "=", 0) == 0) {
        return ParseAutoCapture(args, i, result);
    } else if (arg == kAutoRecord) {
        return ParseAutoRecord(args, i, result);
    } else if (arg == kTimeLapse) {
        return ParseTimeLapse(args, i, result);
    } else {
        result.error = QCoreApplication::translate("CommandLine", "알 수 없는 옵션입니다: %1")
                           .arg(QString::fromStdString(CutUtf8(arg, 200)))
                           .toStdString();
        return false;
    }
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    bool optionsEnded = false;
    bool nameTaken = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.rfind("--", 0) == 0) {
            if (!ParseOption(args, i, optionsEnded, result)) return result;
            continue;
        }
        if (nameTaken) continue;
        nameTaken = true;
        std::vector<std::string> tokens;
        SplitTokens(arg, ' ', tokens, true);
        result.commandLineName = tokens.front();
        result.oneShotCapture = result.commandLineName.size() > 3 ? 1 : 0;
    }
    if (result.timeLapseSeconds > 0 && result.autoRecordSeconds == 0) {
        result.timeLapseSeconds = 0;
        result.error = QCoreApplication::translate(
                           "CommandLine", "--time-lapse는 --auto-record와 함께 써야 합니다")
                           .toStdString();
    }
    return result;
}

std::string CommandLineUsage() {
    return QCoreApplication::translate(
               "CommandLine",
               "사용법: vistrela [옵션] [파일이름]\n"
               "  파일이름              다음에 찍는 사진을 이 이름으로 저장하고 끝냅니다\n"
               "  --auto-capture 초     지정한 초가 지나면 사진을 한 장 찍습니다\n"
               "  --auto-record 초 파일 첫 화면부터 지정한 초 동안 녹화해 파일(.avi, .mp4)로 "
               "저장하고\n"
               "                        끝냅니다. 같은 이름의 파일이 있으면 \" (2)\"를 붙입니다.\n"
               "                        동영상을 다 만들면 0, 만들지 못했거나 일부만 만들었으면\n"
               "                        1로 끝납니다(15초 안에 화면이 오지 않을 때도)\n"
               "  --overwrite           --auto-record가 같은 이름의 파일을 바꿔 씁니다\n"
               "  --time-lapse 초       --auto-record를 저속 촬영으로 합니다: 지정한 초(1~60)마다\n"
               "                        한 장씩 찍어 초당 30장으로 재생되는 소리 없는 동영상을\n"
               "                        만듭니다\n"
               "  --help                이 도움말을 보여줍니다\n"
               "  --version             판 번호를 보여줍니다\n")
        .toStdString();
}

}  // namespace vistrela

#include "app/cvist_app.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/cvist_dlg.h"
#include "app/qt_prompts.h"
#include "app/signal_watch.h"
#include "app/single_instance.h"
#include "common/language.h"
#include "common/prompts.h"
#include "controls/button_images.h"
#include "controls/ui/gdip_button.h"
#include "settings/command_line.h"
#include "settings/profile_store.h"
#include "settings/remembered_choices.h"
#include "viewer/title.h"

extern "C" {
#include <libavutil/log.h>
}

namespace vistrela {

namespace {

// How long a one-shot run beside a running viewer waits for that viewer's picture.
constexpr int kOneShotAnswerMs = 60000;
// After SIGTERM, SIGINT or SIGHUP the program ends within this, even if the movie's join has
// not (its files stay for the next start's recovery).
constexpr int kSignalExitMs = 60000;

// A relative name is taken in the folder the program was started in.
std::string AbsoluteFromStartFolder(const std::string& name) {
    return QDir::current().absoluteFilePath(QString::fromStdString(name)).toStdString();
}

// The exit status of a command line that needs no window (an error, help, version), or
// nothing when the viewer starts.
std::optional<int> AnswerWithoutWindow(const CommandLine& cmd) {
    if (!cmd.error.empty()) {
        std::fprintf(stderr, "vistrela: %s\n%s", cmd.error.c_str(), CommandLineUsage().c_str());
        return 2;
    }
    if (cmd.help) {
        std::fputs(CommandLineUsage().c_str(), stdout);
        return 0;
    }
    if (cmd.version) {
        std::printf("%s\n", kProductTitle);
        return 0;
    }
    return std::nullopt;
}

// Another viewer runs in this session: a one-shot run asks it for the picture; anything else
// ends here. Returns the exit status.
int LeaveToRunningViewer(SingleInstance& instance, const CommandLine& cmd,
                         const std::string& oneShotPath) {
    if (cmd.autoRecordSeconds > 0) {
        // The camera belongs to the running viewer; succeeding here would promise a movie
        // that nobody records.
        SayOnStderr(
            QCoreApplication::translate("App", "다른 뷰어가 실행 중이라 녹화할 수 없습니다: %1")
                .arg(QString::fromStdString(cmd.autoRecordPath)));
        return 1;
    }
    if (cmd.oneShotCapture == 0) return 0;
    // A one-shot run beside a running viewer: that viewer takes the picture, and this run
    // succeeds only once the file is written.
    const SingleInstance::RequestResult result =
        instance.requestCapture(QString::fromStdString(oneShotPath), kOneShotAnswerMs);
    if (result.ok) return 0;
    SayOnStderr(QCoreApplication::translate("App", "%1 파일을 쓰지 못했습니다: %2")
                    .arg(QString::fromStdString(oneShotPath), result.message));
    return 1;
}

// Ends the program on `signal` as closing the window does; a second signal ends it at once.
void EndOnSignal(CvistDlg& dialog, bool& signalled, int signal) {
    SayOnStderr(QCoreApplication::translate("App", "신호 %1: 끝내는 중").arg(signal));
    if (signalled) std::_Exit(128 + signal);
    signalled = true;
    QTimer::singleShot(kSignalExitMs, [signal] {
        SayOnStderr(QCoreApplication::translate("App",
                                                "동영상을 제시간에 마치지 못했습니다. 파일은 다음 "
                                                "시작 때 동영상으로 만들도록 남겨 둡니다"));
        std::_Exit(128 + signal);
    });
    for (int i = 0; i < 10; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == &dialog) break;
        modal->close();
    }
    dialog.close();
}

struct StartAnswer {
    Language language = Language::Korean;
    CommandLine cmd;
    std::optional<int> status;  // set when the run ends without a window
};

// The language is chosen before any text is made: the command line's answers (help, errors) are
// in it too, and they need no display, so a core application serves them.
StartAnswer ReadCommandLine(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName("vistrela");
    QCoreApplication::setOrganizationName("vistrela");
    StartAnswer answer;
    // The options dialog's language when it is remembered, else the desktop's.
    answer.language = ResolveLanguage(RememberedLanguage(ProfileStore()));
    InstallTranslations(answer.language);
    answer.cmd = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    answer.status = AnswerWithoutWindow(answer.cmd);
    return answer;
}

}  // namespace

int CvistApp::InitInstance(int argc, char** argv) {
    const StartAnswer start = ReadCommandLine(argc, argv);
    if (start.status) return *start.status;
    const Language language = start.language;
    const CommandLine& cmd = start.cmd;

    // The encoders' progress lines are noise on a viewer's standard error; errors still show.
    av_log_set_level(AV_LOG_ERROR);
    QApplication app(argc, argv);
    InstallTranslations(language);
    QApplication::setApplicationName("vistrela");
    QApplication::setOrganizationName("vistrela");
    initPanelResources();
    QIcon icon(kAppIconPath);
    icon.addFile(kAppIconSmallPath);
    QApplication::setWindowIcon(icon);

    // Before any window and before any setting is read: one viewer per session.
    SingleInstance instance;
    const std::string oneShotPath =
        cmd.oneShotCapture != 0 ? AbsoluteFromStartFolder(cmd.commandLineName) : std::string();
    if (!instance.claim()) return LeaveToRunningViewer(instance, cmd, oneShotPath);

    AppContext context;
    context.commandLine = cmd;
    // Names from the command line are made absolute once, here.
    if (cmd.autoRecordSeconds > 0)
        context.commandLine.autoRecordPath = AbsoluteFromStartFolder(cmd.autoRecordPath);
    context.oneShotPath = oneShotPath;
    QtPrompts qtPrompts;
    context.prompts = IsUnattended(cmd) ? &StderrPrompts() : &qtPrompts;

    CvistDlg dialog(context);
    qtPrompts.setParent(&dialog);
    instance.setActivateHandler([&dialog] { dialog.bringToFront(); });
    instance.setCaptureHandler([&dialog](QString path, SingleInstance::CaptureReply reply) {
        dialog.captureInto(path.toStdString(), [reply](bool ok, const std::string& message) {
            reply(ok, QString::fromStdString(message));
        });
    });
    // A signal ends the program as closing the window does: the recording stops and its movie
    // is joined first, within a bounded wait; a second signal ends it at once.
    bool signalled = false;
    SignalWatch signalWatch(
        [&dialog, &signalled](int signal) { EndOnSignal(dialog, signalled, signal); });
    dialog.exec();
    return dialog.exitStatus();
}

}  // namespace vistrela

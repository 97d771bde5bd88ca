#include "settings/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace vistrela {

std::string InProgramFolder(const std::string& folder) {
    if (folder.empty() || folder.front() == '/') return folder;
    return appDir() + folder;
}

std::string WithSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + '/';
}

std::string appDir() {
    if (QCoreApplication::instance() != nullptr) {
        return WithSlash(QCoreApplication::applicationDirPath().toStdString());
    }
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return WithSlash(exe.parent_path().string());
}

std::string HomeFolder() {
    return WithSlash(QDir::homePath().toStdString());
}

std::string DesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) return HomeFolder();
    return WithSlash(desktop.toStdString());
}

std::string FindIniPath(const std::string& appFolder, const std::string& configFolder) {
    const std::string beside = appFolder + "capture.ini";
    if (QFileInfo(QString::fromStdString(beside)).isFile()) return beside;
    return WithSlash(configFolder) + "vistrela/capture.ini";
}

std::string IniPath() {
    return FindIniPath(
        appDir(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString());
}

}  // namespace vistrela

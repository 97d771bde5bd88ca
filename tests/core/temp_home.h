#pragma once
// A throw-away home for tests: HOME and the XDG folders point into a temporary folder (with a
// Desktop folder) for the life of the object, so nothing touches the user's real folders.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace vistrela::test {

class TempHome {
public:
    TempHome() {
        const std::string root = dir_.path().toStdString();
        home_ = root + "/home";
        QDir().mkpath(QString::fromStdString(home_ + "/Desktop"));
        QDir().mkpath(QString::fromStdString(home_ + "/.config"));
        Set("HOME", home_);
        Set("XDG_CONFIG_HOME", home_ + "/.config");
        Set("XDG_DATA_HOME", home_ + "/.local/share");
        Set("XDG_CACHE_HOME", home_ + "/.cache");
    }
    ~TempHome() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    bool valid() const { return dir_.isValid(); }
    const std::string& home() const { return home_; }
    std::string desktop() const { return home_ + "/Desktop"; }
    std::string configIni() const { return home_ + "/.config/vistrela/capture.ini"; }
    // A scratch folder inside the temporary tree.
    std::string path(const std::string& name) const {
        return dir_.path().toStdString() + "/" + name;
    }

private:
    void Set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        if (saved_.find(name) == saved_.end()) {
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        setenv(name, value.c_str(), 1);
    }

    QTemporaryDir dir_;
    std::string home_;
    std::map<std::string, std::optional<std::string>> saved_;
};

// Writes `bytes` to `path`, creating its folder. Returns false when the file cannot be written.
inline bool WriteFile(const std::string& path, const std::string& bytes) {
    const QString qpath = QString::fromStdString(path);
    QDir().mkpath(QFileInfo(qpath).absolutePath());
    QFile file(qpath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}

}  // namespace vistrela::test

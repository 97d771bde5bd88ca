#pragma once
// Folders the program works with. Every folder returned ends in '/'.
// Safe to call from any thread once a QCoreApplication exists (or before one exists).

#include <string>

namespace vistrela {

// The folder of the running executable: QCoreApplication::applicationDirPath() when an
// application object exists, else the folder of /proc/self/exe; "" when neither is known
// (then paths built on it are relative to the current folder).
std::string appDir();

// The user's home folder (QDir::homePath()).
std::string HomeFolder();

// The desktop folder (QStandardPaths::DesktopLocation). Where that folder does not exist, as
// on many Linux systems without a desktop, the home folder, so pictures still land somewhere.
std::string DesktopFolder();

// The capture.ini to read: `appFolder` + "capture.ini" when that is a file, else
// `configFolder` + "vistrela/capture.ini" (which may not exist: then every read gives its
// default). `configFolder` may lack its trailing '/'.
std::string FindIniPath(const std::string& appFolder, const std::string& configFolder);

// FindIniPath with appDir() and the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config).
std::string IniPath();

// `folder` with a '/' appended when it does not end in one ("" stays "").
std::string WithSlash(const std::string& folder);

// A folder the user named, as the program uses it: a relative one lies inside the program's
// folder (appDir), where the program has always taken it; absolute and empty ones stay.
std::string InProgramFolder(const std::string& folder);

}  // namespace vistrela

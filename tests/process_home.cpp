// Linked into every test program: before main, HOME and the XDG folders point into a fresh
// temporary folder of this process, removed at its end. A test never reads or writes the
// user's real folders (their temporary recordings in ~/.cache/vistrela included), and two
// test programs never share one.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class ProcessHome {
public:
    ProcessHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vistrela-home-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        root_ = pattern;
        const std::string home = root_ + "/home";
        std::filesystem::create_directories(home + "/Desktop");
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    }
    ~ProcessHome() {
        std::error_code error;
        if (!root_.empty()) std::filesystem::remove_all(root_, error);
    }

private:
    std::string root_;
};

const ProcessHome processHome;

}  // namespace

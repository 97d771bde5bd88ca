#pragma once
// The process entry: options, the single-instance rule, and the modal run of the main window.

namespace vistrela {

class CvistApp {
public:
    // Runs the program and returns the process exit status.
    int InitInstance(int argc, char** argv);
};

}  // namespace vistrela

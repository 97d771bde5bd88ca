#pragma once
// Everything one run of the program owns: the command line, the folders, the settings, the
// view, the camera and the prompts. CvistApp builds one and hands it to the main window,
// which passes what each core function needs as arguments; nothing lives in a process-wide
// record, so a test builds a fresh context for each window.
//
// Threads: every field belongs to the user-interface thread. A worker (the movie writer) gets
// copies of what it needs, never a reference into this record.

#include <string>

#include "capture/media/capture_graph.h"
#include "common/device_sources.h"
#include "common/prompts.h"
#include "settings/command_line.h"
#include "settings/ini.h"
#include "settings/profile_store.h"
#include "settings/settings.h"
#include "viewer/view_state.h"

namespace vistrela {

// The devices the environment asks for: the test cameras of VISTRELA_TEST_CAMERAS and the
// test microphone of VISTRELA_TEST_MICROPHONE when set, else the machine's. The one place the
// program reads them.
DeviceSources DeviceSourcesFromEnvironment();

struct AppContext {
    // The command line as start-up read it. commandLine.oneShotCapture stays armed: the next
    // requested picture goes to oneShotPath, then the program closes.
    CommandLine commandLine;
    // Where a one-shot picture goes: commandLineName resolved against the folder the program
    // was started in (empty when there is no one-shot run).
    std::string oneShotPath;

    // The user's desktop folder ending in '/', filled at start-up.
    std::string desktopPath;
    // The reader of capture.ini, bound at start-up.
    CIni ini;
    Settings settings;
    // The application profile (the user's remembered choices), at its standard place.
    ProfileStore profile;
    ViewState view;
    // The cameras and the sound input, chosen when the context is made; the capture graph
    // lists its cameras from them.
    DeviceSources sources = DeviceSourcesFromEnvironment();
    CaptureGraph capture{sources};

    // Message boxes and pickers; not owned, never null.
    Prompts* prompts = &StderrPrompts();
};

}  // namespace vistrela

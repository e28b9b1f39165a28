// The reader as a windowed program: one running copy, the document, the main
// window, and the orderly stop.
#pragma once

#include "app/command_line.h"

#include <functional>
#include <memory>

namespace velto {

class CMainFrame;
class CVeltoDoc;
class SettingsStore;

class CVeltoApp {
public:
    // Called once the main window exists, before the event loop runs.
    using StartedHook = std::function<void(CMainFrame& frame)>;

    // Runs the windowed reader; returns the exit status. Call before any
    // QApplication exists: the process environment is prepared first.
    // `started` lets a harness watch the reader it started (the start-up
    // benchmark waits for the first page through it).
    static int run(int argc, char** argv, CommandLine cl, const StartedHook& started = {});

    // Stops the reader after its window has closed: the document closes,
    // the windows go, then the document; every value stored on the way
    // reaches the settings file together.
    static void stop(std::unique_ptr<CMainFrame>& frame, std::unique_ptr<CVeltoDoc>& doc, SettingsStore& settings);

    // Sets what the process needs before the application object exists:
    // the font aliases of the pages and the web engine's start-up flags.
    static void prepare_environment(const std::string& program_dir);
};

} // namespace velto

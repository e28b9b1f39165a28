// The reader as a windowed program: one running copy, the document, the main
// window, and the orderly stop.
#pragma once

#include "app/command_line.h"

namespace velto {

class CVeltoApp {
public:
    // Runs the windowed reader; returns the exit status. Call before any
    // QApplication exists: the process environment is prepared first.
    static int run(int argc, char** argv, CommandLine cl);

    // Sets what the process needs before the application object exists:
    // the font aliases of the pages and the web engine's start-up flags.
    static void prepare_environment(const std::string& program_dir);
};

} // namespace velto

// The main window tests run in one process, so that the browser engine starts
// once. Each wait for the engine is bounded.
#include "app/velto_app.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
    velto::CVeltoApp::prepare_environment(VELTO_BINARY_DIR "/");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The page view tests run in one process, so that the browser engine starts
// once. Each wait for the engine is bounded.
#include "view/page_view.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    // Headless, without GPU; the engine's sandbox refuses to run as root.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);

    velto::C2ndView::register_url_scheme();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

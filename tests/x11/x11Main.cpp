#include "xvfbServer.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

// These tests hand frames to other programs through a real X clipboard, so the
// program brings its own X server: started before the GUI application connects
// to it, stopped after the application has let go of it, whatever the outcome.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);

    vistrel::testing::TXvfbServer server;
    std::string error;
    if (!server.Start(error)) {
        std::fprintf(stderr, "test_clipboard_x11: cannot start an X server: %s\n", error.c_str());
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(server.Display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The private display has no session bus. Left to itself, the widget
    // application's libdbus would try to start one through the display and keep
    // the memory of the attempt, which the leak checker reports.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    server.Stop();
    return result;
}

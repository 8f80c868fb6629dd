#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Widget tests run inside one application on the offscreen platform, also when
// CTest lists them outside its environment.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every window registers its file types at start: into a folder of this run,
    // never the user's own desktop.
    QTemporaryDir desktop;
    qputenv("XDG_DATA_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("config"))));
    // Recovery files too: a window's autosave never writes into the user's own
    // state folder, and test processes never see each other's recovery files.
    qputenv("XDG_STATE_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("state"))));
    // Local sockets with fixed names (the browser's stand-in) live in the temporary
    // folder: each test process gets one of its own, so tests that CTest runs at
    // the same time never take each other's server.
    const QString temporary = desktop.filePath(QStringLiteral("tmp"));
    QDir().mkpath(temporary);
    qputenv("TMPDIR", QFile::encodeName(temporary));
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

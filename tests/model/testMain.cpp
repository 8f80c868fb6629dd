#include <QGuiApplication>
#include <gtest/gtest.h>

// The clipboard tests need a GUI application; every model test runs inside one,
// on the offscreen platform unless the caller chose another.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

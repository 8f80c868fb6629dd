#include <QApplication>
#include <gtest/gtest.h>

// Widget tests run inside one application on the offscreen platform, also when
// CTest lists them outside its environment.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

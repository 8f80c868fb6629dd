#include <QCoreApplication>
#include <gtest/gtest.h>

// Autosave reports back through the event loop: every test runs inside an
// application.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

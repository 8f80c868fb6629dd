#include <QCoreApplication>
#include <gtest/gtest.h>

// The document needs no GUI application, and gets none here: a model operation
// that reaches for one (the system clipboard, fonts) fails its test.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

#include "modelFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace vistrel::testing;

// When no temporary folder can be made, the fixture must fail the test and touch
// nothing else: not write at the root, not remove the current folder.
TEST(TempFolderFixture, FailsTheTestWhenNoFolderCanBeMade) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString marker = scratch.filePath("keep.txt");
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const QString oldCurrent = QDir::currentPath();
    const QByteArray oldTmp = qgetenv("TMPDIR");
    ASSERT_TRUE(QDir::setCurrent(scratch.path()));
    // A file where the temporary folder should be: no folder can be made inside it,
    // not even by root.
    qputenv("TMPDIR", marker.toLocal8Bit());
    EXPECT_NONFATAL_FAILURE(
        {
            const TempFolder folder;
            EXPECT_TRUE(folder.Write("x.bin", "x").isEmpty());
        },
        "no temporary folder");
    if (oldTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
    QDir::setCurrent(oldCurrent);

    EXPECT_TRUE(QFile::exists(marker));
}

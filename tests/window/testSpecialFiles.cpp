// A FIFO named like a document would hang the window for good wherever it opens
// it, and a save through its name would put a plain file in its place.

#include "windowFixture.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

bool IsFifo(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// The one message the window showed, which must name the file it could not open.
void ExpectOneOpenError(WindowFixture& f, const char* what) {
    ASSERT_EQ(f.Prompts().messages.size(), 1u) << what;
    EXPECT_TRUE(f.Prompts().messages.front().text.startsWith(QLatin1String("Unable to open x.lcd")))
        << what << ": " << f.Prompts().messages.front().text.toStdString();
    f.Prompts().messages.clear();
}

} // namespace

TEST(SpecialFiles, AFifoIsRefusedAtOnceByEveryWayOfOpeningADocument) {
    TempFolder fifoFolder;
    const QString fifo = fifoFolder.Path("x.lcd");
    ASSERT_TRUE(MakeFifo(fifo));

    std::unique_ptr<WindowFixture> started;
    EXPECT_TRUE(FinishesWithoutWaitingOnFifo(
        fifo, [&] { started = std::make_unique<WindowFixture>(QStringList{fifo}); }));
    ExpectOneOpenError(*started, "the command line");
    EXPECT_TRUE(started->Window().Closed());
    started.reset();

    WindowFixture f;
    f.Prompts().fileAnswers.push_back(fifo);
    EXPECT_TRUE(FinishesWithoutWaitingOnFifo(fifo, [&] { f.Window().Open1Click(); }));
    ExpectOneOpenError(f, "Open");

    EXPECT_TRUE(FinishesWithoutWaitingOnFifo(fifo, [&] { f.Window().ReopenItemClick(fifo); }));
    ExpectOneOpenError(f, "Reopen");

    // Insert Animation into a document of one frame, which stays as it was.
    f.Window().New1Click();
    const int frames = f.Window().Animation().FrameCount();
    f.Prompts().fileAnswers.push_back(fifo);
    EXPECT_TRUE(FinishesWithoutWaitingOnFifo(fifo, [&] { f.Window().AfterCurrent2Click(); }));
    ExpectOneOpenError(f, "Insert Animation");
    EXPECT_EQ(f.Window().Animation().FrameCount(), frames);
    EXPECT_TRUE(IsFifo(fifo));
}

TEST(SpecialFiles, SavingOverAFifoIsRefusedWithTheReason) {
    WindowFixture f;
    const QString fifo = f.Folder().Path("fifo.lcd");
    ASSERT_TRUE(MakeFifo(fifo));
    f.Edit();
    f.Prompts().fileAnswers.push_back(fifo);
    EXPECT_FALSE(f.Window().SaveDocument(true));
    ASSERT_EQ(f.Prompts().messages.size(), 1u);
    EXPECT_EQ(f.Prompts().messages.front().text.toStdString(),
              "Unable to save fifo.lcd: not a regular file");
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_TRUE(IsFifo(fifo));
}

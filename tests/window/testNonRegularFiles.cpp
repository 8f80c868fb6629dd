// A FIFO named like a document would hang the window for good wherever it opens
// it, and a save through its name would put a plain file in its place.

#include "windowFixture.h"

#include <QApplication>
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

constexpr char FifoRefused[] = "Unable to open x.lcd: not a regular file";

// The one message the window showed, which must name the file it could not open
// and say why.
void ExpectOneOpenError(WindowFixture& f, const char* what) {
    ASSERT_EQ(f.Prompts().messages.size(), 1u) << what;
    EXPECT_EQ(f.Prompts().messages.front().text.toStdString(), FifoRefused) << what;
    f.Prompts().messages.clear();
}

} // namespace

TEST(NonRegularFiles, AFifoIsRefusedAtOnceByEveryWayOfOpeningADocument) {
    TempFolder fifoFolder;
    const QString fifo = fifoFolder.Path("x.lcd");
    ASSERT_TRUE(MakeFifo(fifo));

    std::unique_ptr<WindowFixture> started;
    EXPECT_TRUE(FinishesWithoutWaitingOnFifo(fifo, [&] {
        started = std::make_unique<WindowFixture>(QStringList{fifo}, false);
        started->Prompts().ExpectError(FifoRefused);
        started->Start();
    }));
    ExpectOneOpenError(*started, "the command line");
    EXPECT_TRUE(started->Window().Closed());
    started.reset();

    WindowFixture f;
    for (int i = 0; i < 3; ++i)
        f.Prompts().ExpectError(FifoRefused);
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

TEST(NonRegularFiles, SavingOverAFifoIsRefusedWithTheReason) {
    WindowFixture f;
    const QString fifo = f.Folder().Path("fifo.lcd");
    ASSERT_TRUE(MakeFifo(fifo));
    f.Edit();
    f.Prompts().fileAnswers.push_back(fifo);
    f.Prompts().ExpectError("Unable to save fifo.lcd: not a regular file");
    EXPECT_FALSE(f.Window().SaveDocument(true));
    ASSERT_EQ(f.Prompts().messages.size(), 1u);
    EXPECT_EQ(f.Prompts().messages.front().text.toStdString(),
              "Unable to save fifo.lcd: not a regular file");
    EXPECT_TRUE(f.Window().Modified());
    EXPECT_TRUE(IsFifo(fifo));
}

// Settings that are a FIFO would hang the start for good; the window starts on
// its defaults, says so once, and leaves the FIFO as it was.
TEST(NonRegularFiles, SettingsThatAreNoRegularFileAreSaidOnceAndLeftAlone) {
    TempFolder folder;
    const QString ini = folder.Path("VISTREL.INI");
    ASSERT_TRUE(MakeFifo(ini));
    TScriptedPrompts prompts;
    EXPECT_TRUE(FinishesWithoutWaitingOnFifo(ini, [&] {
        TfrmMain window({}, ini);
        window.SetPrompts(std::make_unique<TForwardingPrompts>(prompts));
        window.show();
        window.FormActivate();
        QApplication::processEvents();
        EXPECT_EQ(window.Preferences().PlayerFPS, TVMUPreferences::DefaultPlayerFPS);
        window.close();
    }));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text.toStdString(),
              "Unable to read the settings in " + ini.toStdString() +
                  ": not a regular file. Vistrel starts with its default settings and leaves "
                  "that file as it is.");
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Warning);
    EXPECT_TRUE(IsFifo(ini));
}

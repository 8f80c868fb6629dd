// The installed vistrel-cli run as its own process: what a file-size limit or a
// file that is no regular file does to the program shows only there.

#include "fileNames.h"
#include "modelFixtures.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vistrel;
using namespace vistrel::testing;

namespace {

struct ProgramRun {
    bool finished = false; // false: still running at the deadline, then killed
    int status = -1;       // the exit status when it exited
    int signal = 0;        // the signal that ended it, 0 when it exited
    std::string err;
};

// Runs vistrel-cli with arguments, standard error kept; fileSizeLimit >= 0 limits
// the size of every file the program writes.
ProgramRun RunProgram(const QStringList& arguments, long long fileSizeLimit = -1,
                      std::chrono::seconds deadline = std::chrono::seconds(20)) {
    ProgramRun run;
    TempFolder outputs;
    const QByteArray errPath = FileNameToBytes(outputs.Path("stderr"));
    std::vector<QByteArray> bytes{QByteArray(VISTREL_CLI)};
    for (const QString& argument : arguments)
        bytes.push_back(FileNameToBytes(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        // The default action, whatever the test runner chose for itself.
        std::signal(SIGXFSZ, SIG_DFL);
        if (fileSizeLimit >= 0) {
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        const int err = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (child < 0)
        return run;
    const auto end = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.finished = true;
    if (WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    run.err = ReadFile(outputs.Path("stderr")).toStdString();
    return run;
}

} // namespace

TEST(CliProgram, AWriteBeyondTheFileSizeLimitFailsWithTheReasonAndLeavesNothing) {
    TempFolder folder;
    TAnimation animation;
    FillAnimation(animation, 255); // 392,756 bytes as an LCD file
    const QString source = folder.Path("long.lcd");
    ASSERT_TRUE(animation.SaveToFile(source));

    const ProgramRun run = RunProgram({"convert", source, folder.Path("copy.lcd")}, 100'000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.signal, 0) << "ended by signal " << run.signal;
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Unable to save copy.lcd: File too large\n");
    EXPECT_EQ(QDir(folder.Path("")).entryList(QDir::Files | QDir::Hidden), QStringList{"long.lcd"});
}

// A FIFO named like a document would wait for a writer for ever; a device never
// ends. Both are refused at once. (The reason follows the name once the command
// reports it.)
TEST(CliProgram, FilesThatAreNoRegularFilesAreRefusedAtOnce) {
    TempFolder folder;
    const QString fifo = folder.Path("x.lcd");
    ASSERT_TRUE(MakeFifo(fifo));
    const QString zero = folder.Path("zero.bmp");
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zero).constData()), 0);
    const struct {
        QStringList arguments;
        const char* err;
    } cases[] = {
        {{"info", fifo}, "Unable to open x.lcd: not a regular file\n"},
        {{"script", fifo}, "Unable to open x.lcd: not a regular file\n"},
        {{"import", fifo}, "Unable to open x.lcd: not a regular file\n"},
        {{"import", zero}, "Unable to open zero.bmp: not a regular file\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.arguments, -1, std::chrono::seconds(5));
        ASSERT_TRUE(run.finished) << "hangs: " << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.err);
    }
}

// Saving through a FIFO's name, or a link to it, would put a plain file in its
// place.
TEST(CliProgram, NothingButARegularFileIsReplacedBySavingOrExporting) {
    TempFolder folder;
    TAnimation animation;
    FillAnimation(animation, 2);
    const QString walk = folder.Path("walk.lcd");
    ASSERT_TRUE(animation.SaveToFile(walk));
    const QString fifo = folder.Path("fifo.lcd");
    ASSERT_TRUE(MakeFifo(fifo));
    const QString fifoLink = folder.Path("link.gif");
    ASSERT_EQ(
        ::symlink(QFile::encodeName(fifo).constData(), QFile::encodeName(fifoLink).constData()), 0);
    const QString bmp = folder.Path("frame.bmp");
    ASSERT_TRUE(MakeFifo(bmp));
    const struct {
        QStringList arguments;
        const char* err;
    } cases[] = {
        {{"convert", walk, fifo}, "Unable to save fifo.lcd: not a regular file\n"},
        {{"speed", walk, "200", fifo}, "Unable to save fifo.lcd: not a regular file\n"},
        {{"export", walk, "0", bmp}, "Unable to write frame.bmp: not a regular file\n"},
        {{"export-animation", walk, fifoLink}, "Unable to write link.gif: not a regular file\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.status, 1) << c.err;
        EXPECT_EQ(run.err, c.err);
    }
    struct stat info {};
    for (const QString& name : {fifo, bmp}) {
        ASSERT_EQ(::lstat(QFile::encodeName(name).constData(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << name.toStdString();
    }
    ASSERT_EQ(::lstat(QFile::encodeName(fifoLink).constData(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// The installed vistrel-cli run as its own process: what a file-size limit or a
// file that is no regular file does to the program shows only there.

#include "fileNames.h"
#include "modelFixtures.h"

#include <QDir>
#include <chrono>
#include <csignal>
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

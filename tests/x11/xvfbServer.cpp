#include "xvfbServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vistrel::testing {

namespace {

using namespace std::chrono_literals;

// A loaded machine may take a while to bring up a server; an idle one takes well
// under a second.
constexpr auto StartLimit = 30s;
constexpr auto StopLimit = 5s;

std::string ReadAll(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    return text;
}

// Reads the line the server writes to its -displayfd once clients can connect.
// Empty when the server exited or the time ran out first.
std::string ReadReadyLine(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + StartLimit;
    std::string line;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms)
            return {};
        pollfd wait{fd, POLLIN, 0};
        const int polled = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return {};
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {};
        if (c == '\n')
            return line;
        line += c;
    }
}

} // namespace

TXvfbServer::~TXvfbServer() {
    Stop();
}

bool TXvfbServer::Start(std::string& error) {
    Stop();
    // The server's own messages land in an unnamed file, shown only when it fails.
    std::FILE* log = std::tmpfile();
    int ready[2];
    if (log == nullptr || ::pipe(ready) != 0) {
        error = "cannot make the files to start Xvfb with";
        if (log != nullptr)
            std::fclose(log);
        return false;
    }
    ::fcntl(ready[0], F_SETFD, FD_CLOEXEC);

    // Everything the child needs is built before the fork.
    const std::string readyFd = std::to_string(ready[1]);
    const char* const argv[] = {"Xvfb",       "-displayfd", readyFd.c_str(), "-nolisten",
                                "tcp",        "-noreset",   "-screen",       "0",
                                "320x240x24", nullptr};
    const pid_t parent = ::getpid();
    const int logFd = ::fileno(log);

    const pid_t pid = ::fork();
    if (pid < 0) {
        error = "cannot fork to start Xvfb";
        ::close(ready[0]);
        ::close(ready[1]);
        std::fclose(log);
        return false;
    }
    if (pid == 0) {
        // Should the test program die without cleaning up, the server goes too.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(logFd, STDERR_FILENO);
        ::execvp(argv[0], const_cast<char* const*>(argv));
        const char message[] = "cannot run Xvfb: is it installed and on PATH?\n";
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(127);
    }

    m_pid = pid;
    ::close(ready[1]);
    const std::string line = ReadReadyLine(ready[0]);
    ::close(ready[0]);

    try {
        std::size_t used = 0;
        m_display = std::stoi(line, &used);
        if (used == line.size() && m_display >= 0) {
            std::fclose(log);
            return true;
        }
    } catch (const std::exception&) {
    }
    Stop();
    error = "Xvfb did not report a display it serves";
    const std::string messages = ReadAll(log);
    if (!messages.empty())
        error += "; it said:\n" + messages;
    std::fclose(log);
    return false;
}

void TXvfbServer::Stop() {
    if (m_pid <= 0)
        return;
    // Asked politely, the server removes its lock file and socket before going.
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + StopLimit;
    for (;;) {
        const pid_t done = ::waitpid(m_pid, nullptr, WNOHANG);
        if (done == m_pid || (done < 0 && errno != EINTR))
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(m_pid, SIGKILL);
            while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    m_pid = -1;
    m_display = -1;
}

} // namespace vistrel::testing

#pragma once

#include <string>
#include <sys/types.h>

namespace vistrel::testing {

// A private Xvfb on a display number the server picks itself, so two test runs
// never fight over one. It dies with this process even if the process crashes.
class TXvfbServer {
public:
    TXvfbServer() = default;
    ~TXvfbServer();
    TXvfbServer(const TXvfbServer&) = delete;
    TXvfbServer& operator=(const TXvfbServer&) = delete;

    // Starts the server and returns once it accepts clients. False, with the
    // reason and the server's own messages in error, when it did not come up.
    bool Start(std::string& error);
    // The value for DISPLAY, once started.
    std::string Display() const { return ":" + std::to_string(m_display); }
    void Stop();

private:
    pid_t m_pid = -1;
    int m_display = -1;
};

} // namespace vistrel::testing

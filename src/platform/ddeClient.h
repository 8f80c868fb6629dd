#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QLocalSocket;

namespace vistrel {

// A DDE-style client conversation: connect to a server by service and topic,
// request one item as text, close. On Linux the carrier is a local socket named
// "<service>.<topic>"; a request is the item's UTF-8 text and a newline, and the
// answer is a 4-byte big-endian length followed by that many UTF-8 bytes, the
// length 0xFFFFFFFF meaning the server refuses the item.
class TDdeClientConv {
public:
    // Starts "<service> <topic>" as a program when no server answers; returns
    // whether it started. Replaceable so tests need not start real programs.
    using ProgramStarter = std::function<bool(const QString& program, const QString& argument)>;

    static constexpr std::chrono::milliseconds RequestTimeout{10000};
    static constexpr quint32 Refused = 0xFFFFFFFF;
    static constexpr quint32 MaxReplyBytes = 1 << 20;

    TDdeClientConv(QString service, QString topic);
    ~TDdeClientConv();

    static QString SocketName(const QString& service, const QString& topic);

    void SetProgramStarter(ProgramStarter starter) { m_starter = std::move(starter); }
    // How long to keep trying after the service's program was started.
    void SetStartupWait(std::chrono::milliseconds wait) { m_startupWait = wait; }
    void SetRequestTimeout(std::chrono::milliseconds timeout) { m_requestTimeout = timeout; }

    bool OpenLink();
    // The item's text, or nothing when the server refuses, breaks off or is silent
    // for longer than the request limit.
    std::optional<QString> RequestData(const QString& item);
    void CloseLink();

private:
    bool TryConnect();

    QString m_service;
    QString m_topic;
    ProgramStarter m_starter;
    std::chrono::milliseconds m_startupWait{3000};
    std::chrono::milliseconds m_requestTimeout{RequestTimeout};
    std::unique_ptr<QLocalSocket> m_socket;
};

} // namespace vistrel

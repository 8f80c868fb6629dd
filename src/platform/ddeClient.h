#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

class QSocketNotifier;

namespace vistrel {

// How a conversation ended: whether a server took the link, and the item's text
// when the server gave it.
struct TDdeReply {
    bool Linked = false;
    std::optional<QString> Text;
};

// A DDE-style client conversation: connect to a server by service and topic,
// request one item as text, close. On Linux the carrier is a local socket named
// "<service>.<topic>" in the temporary folder (an absolute name is taken as it
// is), spoken to through the system's own sockets so that the window need not
// load a network library; a request is the item's UTF-8 text and a newline, and the
// answer is a 4-byte big-endian length followed by that many UTF-8 bytes, the
// length 0xFFFFFFFF meaning the server refuses the item.
//
// The conversation never blocks: it runs on the socket's signals and its own
// timer, so the thread that started it goes on handling events meanwhile.
class TDdeClientConv : public QObject {
    Q_OBJECT

public:
    // Starts "<service> <topic>" as a program when no server answers; returns
    // whether it started. Replaceable so tests need not start real programs.
    using ProgramStarter = std::function<bool(const QString& program, const QString& argument)>;

    static constexpr std::chrono::milliseconds ConnectTimeout{1000};
    static constexpr std::chrono::milliseconds StartupWait{3000};
    static constexpr std::chrono::milliseconds RetryInterval{50};
    static constexpr std::chrono::milliseconds RequestTimeout{10000};
    static constexpr quint32 Refused = 0xFFFFFFFF;
    static constexpr quint32 MaxReplyBytes = 1 << 20;

    TDdeClientConv(QString service, QString topic, QObject* parent = nullptr);
    // A conversation still running ends without a report.
    ~TDdeClientConv() override;

    static QString SocketName(const QString& service, const QString& topic);

    void SetProgramStarter(ProgramStarter starter) { m_starter = std::move(starter); }
    // How long to keep trying after the service's program was started.
    void SetStartupWait(std::chrono::milliseconds wait) { m_startupWait = wait; }
    void SetRequestTimeout(std::chrono::milliseconds timeout) { m_requestTimeout = timeout; }

    // Opens the link (starting the service's program when no server answers, then
    // trying again until the start-up wait is over), asks for the item and closes.
    // Returns at once; Finished follows once, from the event loop. A conversation
    // makes one request; later calls do nothing.
    void Request(const QString& item);
    bool Running() const { return m_phase != TPhase::Idle && m_phase != TPhase::Done; }

signals:
    void Finished(const vistrel::TDdeReply& reply);

private:
    enum class TPhase { Idle, Connecting, Retrying, Asking, Done };

    void Connect();
    void ConnectFailed();
    void SocketFailed();
    void TimedOut();
    void SendItem();
    void ReadAnswer();
    void Finish(bool linked, std::optional<QString> text = std::nullopt);
    void DropSocket();
    void WritePending();

    QString m_service;
    QString m_topic;
    ProgramStarter m_starter;
    std::chrono::milliseconds m_startupWait{StartupWait};
    std::chrono::milliseconds m_requestTimeout{RequestTimeout};

    TPhase m_phase = TPhase::Idle;
    QByteArray m_item;
    QByteArray m_answer;
    QByteArray m_unsent; // the part of the item the socket has not taken yet
    int m_socket = -1;
    QSocketNotifier* m_readable = nullptr;
    QSocketNotifier* m_writable = nullptr;
    QTimer m_timer; // the limit of the phase: connect, retry pause or answer
    bool m_programStarted = false;
    QDeadlineTimer m_startupDeadline;
};

} // namespace vistrel

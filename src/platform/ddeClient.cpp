#include "ddeClient.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vistrel {

namespace {

bool StartDetached(const QString& program, const QString& argument) {
    return QProcess::startDetached(program, {argument});
}

constexpr qsizetype HeaderSize = 4;

// Where a local server of that name listens: its own path when absolute, else
// a socket of that name in the temporary folder.
QByteArray SocketPath(const QString& name) {
    return QFile::encodeName(
        QDir::isAbsolutePath(name) ? name : QDir::tempPath() + QLatin1Char('/') + name);
}

} // namespace

TDdeClientConv::TDdeClientConv(QString service, QString topic, QObject* parent)
    : QObject(parent), m_service(std::move(service)), m_topic(std::move(topic)),
      m_starter(StartDetached) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TDdeClientConv::TimedOut);
}

TDdeClientConv::~TDdeClientConv() {
    DropSocket();
}

QString TDdeClientConv::SocketName(const QString& service, const QString& topic) {
    return service + QLatin1Char('.') + topic;
}

void TDdeClientConv::Request(const QString& item) {
    if (m_phase != TPhase::Idle)
        return;
    m_item = item.toUtf8() + '\n';
    Connect();
}

void TDdeClientConv::Connect() {
    m_phase = TPhase::Connecting;
    m_timer.start(ConnectTimeout);
    const QByteArray path = SocketPath(SocketName(m_service, m_topic));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    bool connected = false;
    if (path.size() < static_cast<qsizetype>(sizeof address.sun_path)) {
        std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
        m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        connected =
            m_socket >= 0 &&
            ::connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    // Either way the outcome is handled from the event loop, never inside Request.
    QMetaObject::invokeMethod(
        this,
        [this, connected] {
            if (m_phase != TPhase::Connecting)
                return;
            if (connected)
                SendItem();
            else
                ConnectFailed();
        },
        Qt::QueuedConnection);
}

void TDdeClientConv::ConnectFailed() {
    DropSocket();
    if (!m_programStarted) {
        m_programStarted = true;
        if (!m_starter || !m_starter(m_service, m_topic)) {
            Finish(false);
            return;
        }
        // The program just started needs a moment before its server listens.
        m_startupDeadline.setRemainingTime(m_startupWait);
    } else if (m_startupDeadline.hasExpired()) {
        Finish(false);
        return;
    }
    m_phase = TPhase::Retrying;
    m_timer.start(RetryInterval);
}

void TDdeClientConv::SocketFailed() {
    if (m_phase == TPhase::Connecting) {
        ConnectFailed();
    } else if (m_phase == TPhase::Asking) {
        // The server broke off: what it sent before may still complete the answer.
        ReadAnswer();
        if (m_phase == TPhase::Asking)
            Finish(true);
    }
}

void TDdeClientConv::TimedOut() {
    switch (m_phase) {
    case TPhase::Connecting:
        ConnectFailed();
        break;
    case TPhase::Retrying:
        Connect();
        break;
    case TPhase::Asking:
        Finish(true); // silent for longer than the request limit
        break;
    default:
        break;
    }
}

void TDdeClientConv::SendItem() {
    if (m_phase != TPhase::Connecting)
        return;
    m_phase = TPhase::Asking;
    m_timer.start(m_requestTimeout);
    m_readable = new QSocketNotifier(m_socket, QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &TDdeClientConv::ReadAnswer);
    m_unsent = m_item;
    WritePending();
}

void TDdeClientConv::WritePending() {
    if (m_phase != TPhase::Asking)
        return;
    while (!m_unsent.isEmpty()) {
        // MSG_NOSIGNAL: a server gone away is an answer, not a reason to stop the program.
        const ssize_t sent = ::send(m_socket, m_unsent.constData(),
                                    static_cast<std::size_t>(m_unsent.size()), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (m_writable == nullptr) {
                m_writable = new QSocketNotifier(m_socket, QSocketNotifier::Write, this);
                connect(m_writable, &QSocketNotifier::activated, this,
                        &TDdeClientConv::WritePending);
            }
            m_writable->setEnabled(true);
            return;
        }
        if (sent < 0) {
            SocketFailed();
            return;
        }
        m_unsent.remove(0, sent);
    }
    if (m_writable != nullptr)
        m_writable->setEnabled(false);
}

void TDdeClientConv::ReadAnswer() {
    if (m_phase != TPhase::Asking || m_socket < 0)
        return;
    bool ended = false;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_socket, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got <= 0) {
            ended = true;
            break;
        }
        m_answer.append(buffer, got);
        if (m_answer.size() > HeaderSize + static_cast<qsizetype>(MaxReplyBytes))
            break;
    }
    if (m_answer.size() >= HeaderSize) {
        const quint32 length = qFromBigEndian<quint32>(m_answer.constData());
        if (length == Refused || length > MaxReplyBytes) {
            Finish(true);
            return;
        }
        if (m_answer.size() - HeaderSize >= static_cast<qsizetype>(length)) {
            Finish(true, QString::fromUtf8(m_answer.mid(HeaderSize, length)));
            return;
        }
    }
    // The server broke off before the answer was complete.
    if (ended)
        Finish(true);
}

void TDdeClientConv::Finish(bool linked, std::optional<QString> text) {
    m_timer.stop();
    DropSocket();
    m_phase = TPhase::Done;
    // Reported from the event loop, never from inside Request or a socket signal,
    // so the receiver may show a dialog or delete this conversation.
    const TDdeReply reply{linked, std::move(text)};
    QMetaObject::invokeMethod(
        this, [this, reply] { emit Finished(reply); }, Qt::QueuedConnection);
}

void TDdeClientConv::DropSocket() {
    // A notifier may be the sender of the signal being handled: it goes once
    // that has returned, and never watches the closed socket meanwhile.
    for (QSocketNotifier** notifier : {&m_readable, &m_writable}) {
        if (*notifier == nullptr)
            continue;
        (*notifier)->setEnabled(false);
        (*notifier)->disconnect(this);
        (*notifier)->deleteLater();
        *notifier = nullptr;
    }
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
    m_unsent.clear();
}

} // namespace vistrel

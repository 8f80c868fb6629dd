#include "ddeClient.h"

#include <QLocalSocket>
#include <QProcess>
#include <QtEndian>

namespace vistrel {

namespace {

bool StartDetached(const QString& program, const QString& argument) {
    return QProcess::startDetached(program, {argument});
}

constexpr qsizetype HeaderSize = 4;

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
    m_socket = new QLocalSocket(this);
    connect(m_socket, &QLocalSocket::connected, this, &TDdeClientConv::SendItem);
    connect(m_socket, &QLocalSocket::readyRead, this, &TDdeClientConv::ReadAnswer);
    connect(m_socket, &QLocalSocket::errorOccurred, this, &TDdeClientConv::SocketFailed);
    connect(m_socket, &QLocalSocket::disconnected, this, &TDdeClientConv::SocketFailed);
    m_timer.start(ConnectTimeout);
    m_socket->connectToServer(SocketName(m_service, m_topic));
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
    m_socket->write(m_item);
}

void TDdeClientConv::ReadAnswer() {
    if (m_phase != TPhase::Asking || m_socket == nullptr)
        return;
    m_answer += m_socket->readAll();
    if (m_answer.size() < HeaderSize)
        return;
    const quint32 length = qFromBigEndian<quint32>(m_answer.constData());
    if (length == Refused || length > MaxReplyBytes) {
        Finish(true);
        return;
    }
    if (m_answer.size() - HeaderSize >= static_cast<qsizetype>(length))
        Finish(true, QString::fromUtf8(m_answer.mid(HeaderSize, length)));
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
    if (m_socket == nullptr)
        return;
    // The socket may be the sender of the signal being handled: it goes once that
    // has returned.
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}

} // namespace vistrel

#include "ddeClient.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <QtEndian>

namespace vistrel {

namespace {

bool StartDetached(const QString& program, const QString& argument) {
    return QProcess::startDetached(program, {argument});
}

// Reads exactly count bytes before the deadline; false when the server closed,
// failed or stayed silent.
bool ReadExactly(QLocalSocket& socket, qint64 count, QByteArray& bytes,
                 const QDeadlineTimer& deadline) {
    bytes.clear();
    while (bytes.size() < count) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
        bytes += socket.read(count - bytes.size());
        if (deadline.hasExpired() && bytes.size() < count)
            return false;
    }
    return true;
}

} // namespace

TDdeClientConv::TDdeClientConv(QString service, QString topic)
    : m_service(std::move(service)), m_topic(std::move(topic)), m_starter(StartDetached) {}

TDdeClientConv::~TDdeClientConv() {
    CloseLink();
}

QString TDdeClientConv::SocketName(const QString& service, const QString& topic) {
    return service + QLatin1Char('.') + topic;
}

bool TDdeClientConv::TryConnect() {
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(SocketName(m_service, m_topic));
    if (!socket->waitForConnected(1000))
        return false;
    m_socket = std::move(socket);
    return true;
}

bool TDdeClientConv::OpenLink() {
    CloseLink();
    if (TryConnect())
        return true;
    if (!m_starter || !m_starter(m_service, m_topic))
        return false;
    // The program just started needs a moment before its server listens.
    const QDeadlineTimer deadline(m_startupWait);
    do {
        if (TryConnect())
            return true;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

std::optional<QString> TDdeClientConv::RequestData(const QString& item) {
    if (!m_socket || m_socket->state() != QLocalSocket::ConnectedState)
        return std::nullopt;
    const QDeadlineTimer deadline(m_requestTimeout);
    m_socket->write(item.toUtf8() + '\n');
    if (!m_socket->waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return std::nullopt;
    QByteArray header;
    if (!ReadExactly(*m_socket, 4, header, deadline))
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(header.constData());
    if (length == Refused || length > MaxReplyBytes)
        return std::nullopt;
    QByteArray text;
    if (!ReadExactly(*m_socket, length, text, deadline))
        return std::nullopt;
    return QString::fromUtf8(text);
}

void TDdeClientConv::CloseLink() {
    if (m_socket) {
        m_socket->disconnectFromServer();
        m_socket.reset();
    }
}

} // namespace vistrel

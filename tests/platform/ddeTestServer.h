#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QtEndian>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace vistrel::testing {

// A one-conversation server for the browser conversation, on its own thread: it
// reads one request line and answers with the given raw bytes (or stays silent
// when there are none). A QThread, not a std::thread: Qt cleans up the sockets'
// thread data only for threads it started.
class TDdeTestServer {
public:
    TDdeTestServer(QString socketName, QByteArray answer) : m_name(std::move(socketName)) {
        std::promise<bool> listening;
        auto ready = listening.get_future();
        m_thread.reset(QThread::create([this, answer, promise = std::move(listening)]() mutable {
            QLocalServer server;
            QLocalServer::removeServer(m_name);
            promise.set_value(server.listen(m_name));
            if (!server.waitForNewConnection(10000))
                return;
            QLocalSocket* socket = server.nextPendingConnection();
            while (!socket->canReadLine() && socket->waitForReadyRead(10000)) {
            }
            m_request = socket->readLine();
            if (!answer.isEmpty()) {
                socket->write(answer);
                socket->waitForBytesWritten(10000);
            }
            socket->waitForDisconnected(10000);
        }));
        m_thread->start();
        EXPECT_TRUE(ready.get());
    }
    ~TDdeTestServer() { m_thread->wait(); }
    TDdeTestServer(const TDdeTestServer&) = delete;
    TDdeTestServer& operator=(const TDdeTestServer&) = delete;

    // The request line received, once the conversation is over.
    QByteArray Request() {
        m_thread->wait();
        return m_request;
    }

    // An answer carrying this text.
    static QByteArray Reply(const QByteArray& text) {
        return Length(static_cast<quint32>(text.size())) + text;
    }
    static QByteArray Length(quint32 length) {
        QByteArray header(4, '\0');
        qToBigEndian<quint32>(length, header.data());
        return header;
    }

private:
    QString m_name;
    QByteArray m_request;
    std::unique_ptr<QThread> m_thread;
};

} // namespace vistrel::testing

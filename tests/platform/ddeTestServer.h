#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QtEndian>
#include <condition_variable>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

namespace vistrel::testing {

// A one-conversation server for the browser conversation, on its own thread: it
// reads one request line and answers with the given raw bytes (or stays silent
// when there are none). A QThread, not a std::thread: Qt cleans up the sockets'
// thread data only for threads it started.
class TDdeTestServer {
public:
    TDdeTestServer(QString socketName, QByteArray answer) : m_name(std::move(socketName)) {
        m_thread.reset(QThread::create([this, answer] {
            Serve(answer);
            // The thread's last word, after all its Qt objects are gone: what the
            // other side may rely on once it has seen it.
            const std::lock_guard lock(m_mutex);
            m_over = true;
            m_changed.notify_all();
        }));
        m_thread->start();
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_listening != Listening::Unknown; });
        EXPECT_EQ(m_listening, Listening::Yes);
    }
    ~TDdeTestServer() { Join(); }
    TDdeTestServer(const TDdeTestServer&) = delete;
    TDdeTestServer& operator=(const TDdeTestServer&) = delete;

    // The request line received, once the conversation is over.
    QByteArray Request() {
        Join();
        const std::lock_guard lock(m_mutex);
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
    enum class Listening { Unknown, Yes, No };

    void Serve(const QByteArray& answer) {
        QLocalServer server;
        QLocalServer::removeServer(m_name);
        Report(server.listen(m_name) ? Listening::Yes : Listening::No);
        if (!server.waitForNewConnection(10000))
            return;
        QLocalSocket* socket = server.nextPendingConnection();
        while (!socket->canReadLine() && socket->waitForReadyRead(10000)) {
        }
        {
            const std::lock_guard lock(m_mutex);
            m_request = socket->readLine();
        }
        if (!answer.isEmpty()) {
            socket->write(answer);
            socket->waitForBytesWritten(10000);
        }
        socket->waitForDisconnected(10000);
    }

    // Waits for the thread's last word, then for the thread.
    void Join() {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_over; });
        }
        m_thread->wait();
    }

    void Report(Listening listening) {
        const std::lock_guard lock(m_mutex);
        m_listening = listening;
        m_changed.notify_all();
    }

    QString m_name;
    // Plain standard primitives between the two threads, which thread checkers
    // can follow (they cannot see into QThread::wait).
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Listening m_listening = Listening::Unknown;
    bool m_over = false;
    QByteArray m_request;
    std::unique_ptr<QThread> m_thread;
};

} // namespace vistrel::testing

#include "ddeClient.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QUuid>
#include <QtEndian>
#include <future>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace std::chrono_literals;

namespace {

// A one-conversation server on its own thread: it reads one request line and
// answers with the given raw bytes (or stays silent when there are none).
class TestServer {
public:
    TestServer(QString name, QByteArray answer) : m_name(std::move(name)) {
        std::promise<bool> listening;
        auto ready = listening.get_future();
        m_thread.reset(QThread::create([this, answer, promise = std::move(listening)]() mutable {
            QLocalServer server;
            QLocalServer::removeServer(m_name);
            promise.set_value(server.listen(m_name));
            if (!server.waitForNewConnection(5000))
                return;
            QLocalSocket* socket = server.nextPendingConnection();
            while (!socket->canReadLine() && socket->waitForReadyRead(5000)) {
            }
            m_request = socket->readLine();
            if (!answer.isEmpty()) {
                socket->write(answer);
                socket->waitForBytesWritten(5000);
            }
            socket->waitForDisconnected(5000);
        }));
        m_thread->start();
        EXPECT_TRUE(ready.get());
    }
    ~TestServer() { m_thread->wait(); }
    QByteArray Request() {
        m_thread->wait();
        return m_request;
    }

private:
    QString m_name;
    QByteArray m_request;
    // A QThread, not a std::thread: Qt cleans up the sockets' thread data only
    // for threads it started.
    std::unique_ptr<QThread> m_thread;
};

QByteArray Reply(const QByteArray& text) {
    QByteArray header(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(text.size()), header.data());
    return header + text;
}

QByteArray Length(quint32 length) {
    QByteArray header(4, '\0');
    qToBigEndian<quint32>(length, header.data());
    return header;
}

// Each test talks to its own service so runs never meet.
QString UniqueService() {
    return QStringLiteral("vistrel-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

const QString Topic = QStringLiteral("WWW_GetWindowInfo");

} // namespace

TEST(DdeClient, RequestReturnsTheServersTextUnchanged) {
    const QString service = UniqueService();
    const QByteArray text = "\"http://example.invalid/\",\"Page\xC3\xA9 title\"\nsecond line";
    TestServer server(TDdeClientConv::SocketName(service, Topic), Reply(text));
    TDdeClientConv conversation(service, Topic);
    ASSERT_TRUE(conversation.OpenLink());
    EXPECT_EQ(conversation.RequestData("0x000000ff"), QString::fromUtf8(text));
    conversation.CloseLink();
    EXPECT_EQ(server.Request(), "0x000000ff\n");
}

TEST(DdeClient, RefusedSilentOrBrokenAnswersGiveNoText) {
    const QByteArray answers[] = {Length(TDdeClientConv::Refused),
                                  Length(TDdeClientConv::MaxReplyBytes + 1), Length(10) + "short",
                                  QByteArray()};
    for (const QByteArray& answer : answers) {
        const QString service = UniqueService();
        TestServer server(TDdeClientConv::SocketName(service, Topic), answer);
        TDdeClientConv conversation(service, Topic);
        conversation.SetRequestTimeout(300ms);
        ASSERT_TRUE(conversation.OpenLink());
        EXPECT_EQ(conversation.RequestData("0xFFFFFFFF"), std::nullopt)
            << answer.toHex().constData();
        conversation.CloseLink();
    }
}

TEST(DdeClient, WithoutAServerTheServiceProgramIsStartedAndTriedOnceMore) {
    const QString service = UniqueService();
    QStringList started;
    TDdeClientConv failing(service, Topic);
    failing.SetProgramStarter([&](const QString& program, const QString& argument) {
        started << program + QLatin1Char(' ') + argument;
        return false;
    });
    EXPECT_FALSE(failing.OpenLink());
    EXPECT_EQ(started, QStringList{service + QLatin1Char(' ') + Topic});
    EXPECT_EQ(failing.RequestData("0xFFFFFFFF"), std::nullopt);

    std::unique_ptr<TestServer> server;
    TDdeClientConv starting(service, Topic);
    starting.SetProgramStarter([&](const QString&, const QString&) {
        server =
            std::make_unique<TestServer>(TDdeClientConv::SocketName(service, Topic), Reply("ok"));
        return true;
    });
    ASSERT_TRUE(starting.OpenLink());
    EXPECT_EQ(starting.RequestData("1"), QStringLiteral("ok"));
}

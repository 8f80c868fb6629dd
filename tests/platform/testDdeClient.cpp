#include "ddeClient.h"
#include "ddeTestServer.h"

#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>

using namespace vistrel;
using namespace std::chrono_literals;

namespace {

QByteArray Reply(const QByteArray& text) {
    return vistrel::testing::TDdeTestServer::Reply(text);
}
QByteArray Length(quint32 length) {
    return vistrel::testing::TDdeTestServer::Length(length);
}
using TestServer = vistrel::testing::TDdeTestServer;

// Each test talks to its own service so runs never meet.
QString UniqueService() {
    return QStringLiteral("vistrel-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

const QString Topic = QStringLiteral("WWW_GetWindowInfo");

// Runs one request through the event loop. The reply never comes from inside
// Request: the caller's thread is free while the conversation runs.
TDdeReply Ask(TDdeClientConv& conversation, const QString& item) {
    std::optional<TDdeReply> reply;
    QObject::connect(&conversation, &TDdeClientConv::Finished,
                     [&](const TDdeReply& finished) { reply = finished; });
    conversation.Request(item);
    EXPECT_FALSE(reply.has_value()) << "the reply came before Request returned";
    EXPECT_TRUE(QTest::qWaitFor([&] { return reply.has_value(); }, 20000));
    EXPECT_FALSE(conversation.Running());
    return reply.value_or(TDdeReply{});
}

} // namespace

TEST(DdeClient, RequestReturnsTheServersTextUnchanged) {
    const QString service = UniqueService();
    const QByteArray text = "\"http://example.invalid/\",\"Page\xC3\xA9 title\"\nsecond line";
    TestServer server(TDdeClientConv::SocketName(service, Topic), Reply(text));
    TDdeClientConv conversation(service, Topic);
    const TDdeReply reply = Ask(conversation, "0x000000ff");
    EXPECT_TRUE(reply.Linked);
    EXPECT_EQ(reply.Text, QString::fromUtf8(text));
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
        const TDdeReply reply = Ask(conversation, "0xFFFFFFFF");
        EXPECT_TRUE(reply.Linked) << answer.toHex().constData();
        EXPECT_EQ(reply.Text, std::nullopt) << answer.toHex().constData();
    }
}

TEST(DdeClient, WithoutAServerTheServiceProgramIsStartedAndTriedAgain) {
    const QString service = UniqueService();
    QStringList started;
    TDdeClientConv failing(service, Topic);
    failing.SetProgramStarter([&](const QString& program, const QString& argument) {
        started << program + QLatin1Char(' ') + argument;
        return false;
    });
    EXPECT_FALSE(Ask(failing, "0xFFFFFFFF").Linked);
    EXPECT_EQ(started, QStringList{service + QLatin1Char(' ') + Topic});

    // A program that starts but never listens: tried until the start-up wait ends.
    TDdeClientConv silent(UniqueService(), Topic);
    silent.SetProgramStarter([](const QString&, const QString&) { return true; });
    silent.SetStartupWait(200ms);
    EXPECT_FALSE(Ask(silent, "1").Linked);

    // The server comes up a little after the program was started.
    std::unique_ptr<TestServer> server;
    TDdeClientConv starting(service, Topic);
    starting.SetProgramStarter([&](const QString&, const QString&) {
        QTimer::singleShot(120ms, [&] {
            server = std::make_unique<TestServer>(TDdeClientConv::SocketName(service, Topic),
                                                  Reply("ok"));
        });
        return true;
    });
    const TDdeReply reply = Ask(starting, "1");
    EXPECT_TRUE(reply.Linked);
    EXPECT_EQ(reply.Text, QStringLiteral("ok"));
}

#include "ddeClient.h"
#include "ddeTestServer.h"

#include <QCoreApplication>
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

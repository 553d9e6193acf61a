// The control port's server on loopback, with a stand-in for the answers: a client that stays silent
// is closed after the idle limit (a short one here) and its place is free again, while one that
// keeps talking stays; clients that reset their connection with lines still unanswered leave
// without a warning from Qt.
#include <gtest/gtest.h>

#include <QtGlobal>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "links/QtControlServer.h"
#include "support/LinkTestSupport.h"

using namespace corvel;
using namespace std::chrono_literals;
using links::QtControlServer;
using test::WaitUntil;

namespace {

// The warnings and errors Qt writes while a test runs.
std::atomic<int> g_qtWarnings{0};
void CountWarnings(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtDebugMsg && type != QtInfoMsg) ++g_qtWarnings;
}

struct ControlServerFixture : ::testing::Test {
    test::QtApp qt;
    const test::Watchdog watchdog{std::chrono::seconds(60)};
    std::unique_ptr<QtControlServer> server;

    // A server on 127.0.0.1, answering "OK" to every line unless told otherwise.
    void Listen(
        std::chrono::milliseconds idleLimit,
        QtControlServer::Answer answer = [](std::string_view) { return std::string("OK"); }) {
        server = std::make_unique<QtControlServer>(QHostAddress::LocalHost, std::move(answer), idleLimit);
        std::string error;
        ASSERT_TRUE(server->Listen(0, error)) << error;
    }
    // A client, once the server has taken it.
    std::unique_ptr<test::RawClient> Connect() {
        const int before = server->ClientCount();
        auto client = std::make_unique<test::RawClient>(server->Port());
        EXPECT_TRUE(client->connected());
        EXPECT_TRUE(WaitUntil([&] { return server->ClientCount() == before + 1; }));
        return client;
    }
};

TEST_F(ControlServerFixture, ASilentClientIsClosedAfterTheIdleLimitAndItsPlaceIsFreeAgain) {
    Listen(300ms);
    std::vector<std::unique_ptr<test::RawClient>> silent;
    for (int i = 0; i < QtControlServer::kMaxClients; ++i) silent.push_back(Connect());
    // One of them keeps talking, a line every 100 ms: it stays.
    test::RawClient& talker = *silent.back();
    std::string talkerGot;
    for (int i = 0; i < 8; ++i) {
        talker.Send("STATE\n");
        test::PumpFor(100);
        talkerGot += talker.Read();
    }
    // The three silent ones were told why and closed; the talker was answered and is still there.
    for (int i = 0; i + 1 < QtControlServer::kMaxClients; ++i) {
        std::string got;
        ASSERT_TRUE(WaitUntil([&] { return (got += silent[i]->Read(), silent[i]->closed()); })) << i;
        EXPECT_EQ(got, "ERR aucune commande depuis 0.3 s : connexion fermée\r\n") << i;
    }
    EXPECT_EQ(talkerGot.substr(0, 4), "OK\r\n");
    EXPECT_FALSE(talker.closed());
    EXPECT_EQ(server->ClientCount(), 1);
    // Newcomers are served again.
    auto newcomer = Connect();
    newcomer->Send("STATE\n");
    std::string answer;
    EXPECT_TRUE(WaitUntil([&] { return (answer += newcomer->Read()) == "OK\r\n"; })) << answer;
}

TEST_F(ControlServerFixture, ClientsThatResetWithLinesPendingLeaveWithoutAWarning) {
    // The client resets its connection while its tenth line is answered, many lines after it
    // received already.
    test::RawClient* client = nullptr;
    int answered = 0;
    Listen(60s, [&](std::string_view) {
        if (++answered == 10) client->Reset();
        return std::string("OK");
    });
    g_qtWarnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(CountWarnings);
    std::string lines;
    for (int i = 0; i < 500; ++i) lines += "STATE\n";
    for (int round = 0; round < 5; ++round) {
        auto c = Connect();
        client = c.get();
        answered = 0;
        ASSERT_EQ(c->Send(lines), lines.size());
        EXPECT_TRUE(WaitUntil([&] { return server->ClientCount() == 0; })) << round;
        EXPECT_LT(answered, 100) << round;  // the lines after the reset are not even read
    }
    test::PumpFor(100);
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_qtWarnings, 0);
}

}  // namespace

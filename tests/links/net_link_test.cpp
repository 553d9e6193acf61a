// The network link on loopback sockets: the WiFi dialog model with the Qt link listening on
// 127.0.0.1. Line framing, a newer client taking over, a lost client, a client that never reads,
// one that sends without end, one whose input ended, many connections, UDP datagrams, a port
// already taken.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QUdpSocket>

#include "app/program/Program.h"
#include "app/windows/NetworkDialogModel.h"
#include "links/QtNetLink.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/LinkTestSupport.h"

using namespace corvel;
using links::QtNetLink;
using test::WaitUntil;

namespace {

// A port nobody listens on now.
int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

struct NetFixture : ::testing::Test {
    test::QtApp qt;
    test::FakeDialogs dialogs;
    QtNetLink net{QHostAddress::LocalHost};  // outlives the program's network dialog
    app::Program program{dialogs, test::SourceDir() / "data"};
    app::TFCorvel& w = program.FCorvel;
    app::TFParamWIFI& wifi = program.FParamWIFI;
    int port = 0;

    void SetUp() override { wifi.SetNetLink(&net); }
    void LaunchTcp() {
        port = FreePort();
        wifi.EdPort.text = std::to_string(port);
        wifi.BtLanceServeurClick();
        ASSERT_TRUE(net.ServerListening()) << (dialogs.messages.empty() ? "" : dialogs.messages[0]);
        ASSERT_EQ(wifi.EdStatus.text, "SERVEUR TCP lancé");
    }
    // A client, once the server has taken it.
    std::unique_ptr<test::RawClient> Connect(int receiveBuffer = 0) {
        auto client = std::make_unique<test::RawClient>(port, receiveBuffer);
        EXPECT_TRUE(client->connected());
        const std::string peer = "Peer=127.0.0.1:" + std::to_string(client->localPort());
        EXPECT_TRUE(WaitUntil([&] { return wifi.Memo1.size() >= 2 && wifi.Memo1[wifi.Memo1.size() - 2] == peer; }));
        return client;
    }
    // Reads until `expected` bytes came (or the deadline passed).
    static std::string ReadUntil(test::RawClient& c, size_t expected, int ms = 5000) {
        std::string data;
        WaitUntil([&] { return (data += c.Read()).size() >= expected; }, ms);
        return data;
    }
};

TEST_F(NetFixture, EachSentenceReachesTheClientAsOneLineEndingInCrLf) {
    LaunchTcp();
    auto client = Connect();
    EXPECT_EQ(w.EdConnex.text, "Client connecté : 127.0.0.1");
    EXPECT_TRUE(program.Out.TcpClientConnected());
    ASSERT_EQ(wifi.Memo1.size(), 2u);
    EXPECT_EQ(wifi.Memo1[1], "Local=127.0.0.1:" + std::to_string(port));
    w.BtCalCClick();
    w.Timers.Advance(3000);
    std::string expected;
    for (const auto& line : w.MemoNMEA.Lines()) expected += line + "\r\n";
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 30);
    EXPECT_EQ(ReadUntil(*client, expected.size()), expected);
}

TEST_F(NetFixture, ANewerClientTakesOverAndTheEarlierOneStaysConnected) {
    LaunchTcp();
    auto first = Connect();
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    EXPECT_EQ(ReadUntil(*first, 19), "$IIMTW,13.00,C*00\r\n");
    auto second = Connect();
    program.Out.Send({}, "$IIMTW,14.00,C*00");
    EXPECT_EQ(ReadUntil(*second, 19), "$IIMTW,14.00,C*00\r\n");
    test::PumpFor(50);
    EXPECT_EQ(first->Read(), "");
    EXPECT_FALSE(first->closed());
    EXPECT_EQ(net.ClientCount(), 2);
}

TEST_F(NetFixture, ALostClientIsFoundAtTheNextWriteAndTheServerTakesTheNextOne) {
    LaunchTcp();
    auto client = Connect();
    client->Close();
    test::PumpFor(50);
    EXPECT_TRUE(program.Out.TcpClientConnected());  // nothing was written yet
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    EXPECT_FALSE(program.Out.TcpClientConnected());
    EXPECT_EQ(w.EdConnex.text, "Client déconnecté : ");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(net.ServerListening());
    auto next = Connect();
    program.Out.Send({}, "$IIMTW,14.00,C*00");
    EXPECT_EQ(ReadUntil(*next, 19), "$IIMTW,14.00,C*00\r\n");
}

TEST_F(NetFixture, AClientThatNeverReadsIsDroppedBeforeItsQueueOutgrowsTheCap) {
    LaunchTcp();
    auto client = Connect(4096);
    const std::string sentence = "$GPTXT," + std::string(1000, 'A') + "*00";
    qint64 largest = 0;
    int sent = 0;
    while (program.Out.TcpClientConnected() && sent < 20000) {
        program.Out.Send({}, sentence);
        ++sent;
        largest = std::max(largest, net.QueuedBytes());
        test::QtApp::Pump();
    }
    EXPECT_FALSE(program.Out.TcpClientConnected()) << sent << " sentences queued";
    EXPECT_LE(largest, QtNetLink::kMaxQueuedBytes);
    EXPECT_EQ(w.EdConnex.text, "Client déconnecté : ");
    EXPECT_EQ(net.ClientCount(), 0);
    EXPECT_TRUE(net.ServerListening());
}

// Every client: three on loopback, one of which never reads. The two readers get every sentence in
// order; the one that never reads is dropped alone once its queue is full, no queue ever passes the
// cap, and no send waits for it.
TEST_F(NetFixture, EveryClientGetsEverySentenceInOrderAndOneThatNeverReadsIsDroppedAlone) {
    const test::Watchdog watchdog(std::chrono::seconds(120));
    wifi.ChkTousClients.checked = true;
    wifi.ChkTousClientsClick();
    LaunchTcp();
    auto reader = Connect(), other = Connect(), idle = Connect(4096);
    std::string expected, a, b;
    qint64 most = 0;
    // Until the idle one is dropped (the system's buffers take a few megabytes first), then more.
    int after = 0;
    for (int i = 0; i < 20000 && after < 100; ++i) {
        const std::string sentence = "$GPTXT," + std::to_string(i) + "," + std::string(1000, 'A') + "*00";
        program.Out.Send({}, sentence);
        expected += sentence + "\r\n";
        most = std::max(most, net.MostQueuedBytes());
        test::QtApp::Pump();
        a += reader->Read();
        b += other->Read();
        if (net.ClientCount() < 3) ++after;
    }
    WaitUntil([&] {
        return (a += reader->Read()).size() >= expected.size() && (b += other->Read()).size() >= expected.size();
    });
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
    EXPECT_LE(most, QtNetLink::kMaxQueuedBytes);
    EXPECT_EQ(net.ClientCount(), 2);  // the idle one dropped
    EXPECT_TRUE(program.Out.TcpClientConnected());
    EXPECT_EQ(w.EdConnex.text, "Client connecté : 127.0.0.1");
    // What it got before it was dropped is a whole run of the first sentences.
    std::string got;
    WaitUntil([&] {
        got += idle->Read();
        return idle->closed();
    });
    EXPECT_TRUE(idle->closed());
    EXPECT_LT(got.size(), expected.size());
    EXPECT_EQ(got, expected.substr(0, got.size()));
}

TEST_F(NetFixture, WhatAClientSendsIsReadAndThrownAwayInConstantMemory) {
    LaunchTcp();
    auto client = Connect();
    const std::string chunk(65536, 'x');  // no line end, ever
    const size_t total = 8u << 20;
    size_t sent = 0;
    QElapsedTimer clock;
    clock.start();
    while (sent < total && clock.elapsed() < 30000) {
        sent += client->Send(std::string_view(chunk).substr(0, std::min(chunk.size(), total - sent)));
        test::QtApp::Pump();
    }
    EXPECT_EQ(sent, total);  // the server kept reading, each chunk into the same buffer
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    EXPECT_EQ(ReadUntil(*client, 19), "$IIMTW,13.00,C*00\r\n");
}

// A reader whose input ended (`nc -N`, a script that closed its standard input) shuts down its
// sending side: it still reads, and must get the sentences until it closes the connection.
TEST_F(NetFixture, AClientThatEndedItsSendingKeepsReceivingUntilItCloses) {
    const test::Watchdog watchdog(std::chrono::seconds(60));
    LaunchTcp();
    auto client = Connect();
    client->ShutdownSending();
    test::PumpFor(50);              // the link reads the end of the client's input
    std::string expected = "\r\n";  // the empty line that finds out whether the client is still there
    for (int i = 0; i < 5; ++i) {
        const std::string sentence = "$IIMTW,1" + std::to_string(i) + ".00,C*00";
        program.Out.Send({}, sentence);
        expected += sentence + "\r\n";
        test::PumpFor(10);
    }
    EXPECT_TRUE(program.Out.TcpClientConnected());
    EXPECT_EQ(ReadUntil(*client, expected.size()), expected);
    EXPECT_FALSE(client->closed());
    EXPECT_EQ(net.ClientCount(), 1);

    // Closed now: the next sentence finds it gone, and the next client takes over.
    client->Close();
    test::PumpFor(50);
    program.Out.Send({}, "$IIMTW,20.00,C*00");
    EXPECT_FALSE(program.Out.TcpClientConnected());
    EXPECT_EQ(net.ClientCount(), 0);
    auto next = Connect();
    program.Out.Send({}, "$IIMTW,21.00,C*00");
    EXPECT_EQ(ReadUntil(*next, 19), "$IIMTW,21.00,C*00\r\n");
}

TEST_F(NetFixture, FiveHundredConnectionsLeaveNoFileOpen) {
    LaunchTcp();
    Connect().reset();  // the first connection sets up what the link keeps
    ASSERT_TRUE(WaitUntil([&] { return net.ClientCount() == 0; }));
    const int files = test::OpenFiles();
    for (int i = 0; i < 500; ++i) {
        auto client = Connect();
        client->Close();
        ASSERT_TRUE(WaitUntil([&] { return net.ClientCount() == 0; })) << i;
    }
    EXPECT_EQ(test::OpenFiles(), files);
}

TEST_F(NetFixture, AtMostEightConnectionsAreKeptTheOldestClosedFirst) {
    LaunchTcp();
    std::vector<std::unique_ptr<test::RawClient>> clients;
    for (int i = 0; i < 12; ++i) clients.push_back(Connect());
    EXPECT_EQ(net.ClientCount(), QtNetLink::kMaxClients);
    ASSERT_TRUE(WaitUntil([&] {
        clients[3]->Read();
        return clients[3]->closed();
    }));
    for (int i = 0; i < 4; ++i) {
        clients[static_cast<size_t>(i)]->Read();
        EXPECT_TRUE(clients[static_cast<size_t>(i)]->closed()) << i;
    }
    for (int i = 4; i < 12; ++i) {
        clients[static_cast<size_t>(i)]->Read();
        EXPECT_FALSE(clients[static_cast<size_t>(i)]->closed()) << i;
    }
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    EXPECT_EQ(ReadUntil(*clients.back(), 19), "$IIMTW,13.00,C*00\r\n");
}

TEST_F(NetFixture, ChoosingUdpStopsTheServerAndClosesItsClients) {
    LaunchTcp();
    auto client = Connect();
    wifi.RadioButtonUDPChange();
    EXPECT_FALSE(net.ServerListening());
    EXPECT_EQ(w.EdConnex.text, "Pas de diffusion");
    ASSERT_TRUE(WaitUntil([&] {
        client->Read();
        return client->closed();
    }));
    test::RawClient late(port);
    EXPECT_FALSE(late.connected());
}

// One datagram per sentence to the broadcast address: the sentence alone, or with "CR LF en fin de
// trame" ticked the sentence followed by CR LF, as gpsd needs it.
struct DatagramCase {
    const char* what;
    bool lineEnds;
    const char* end;  // after each sentence
};
const DatagramCase kDatagramCases[] = {
    {"without line end", false, ""},
    {"with CR LF", true, "\r\n"},
};

TEST_F(NetFixture, UdpSendsOneDatagramPerSentenceToTheBroadcastAddressWithCrLfOnlyWhenTicked) {
    wifi.RadioButtonUDPChange();
    wifi.EdAdIP.text = "127.0.0.1";
    w.BtCalCClick();
    for (const DatagramCase& c : kDatagramCases) {
        SCOPED_TRACE(c.what);
        // On loopback the address 127.0.0.1 broadcasts to 127.0.0.255, a loopback address.
        QUdpSocket receiver;
        ASSERT_TRUE(receiver.bind(QHostAddress("127.0.0.255"), 0));
        wifi.ChkCRLF.checked = c.lineEnds;
        wifi.ChkCRLFClick();
        wifi.EdPort.text = std::to_string(receiver.localPort());
        wifi.BtLanceServeurClick();
        EXPECT_EQ(wifi.EdAdIP.text, "127.0.0.255");
        EXPECT_EQ(wifi.EdStatus.text, "SERVEUR UDP initialisé");
        const size_t before = w.MemoNMEA.Lines().size();
        w.Timers.Advance(1000);
        const auto& lines = w.MemoNMEA.Lines();
        ASSERT_GE(lines.size(), before + 9);
        std::vector<std::string> expected;
        for (size_t i = before; i < lines.size(); ++i) expected.push_back(lines[i] + c.end);
        std::vector<std::string> datagrams;
        WaitUntil([&] {
            while (receiver.hasPendingDatagrams()) {
                QByteArray d(static_cast<int>(receiver.pendingDatagramSize()), '\0');
                receiver.readDatagram(d.data(), d.size());
                datagrams.push_back(d.toStdString());
            }
            return datagrams.size() >= expected.size();
        });
        EXPECT_EQ(datagrams, expected);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(NetFixture, APortAlreadyTakenStartsNoServer) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    wifi.EdPort.text = std::to_string(taken.serverPort());
    wifi.BtLanceServeurClick();
    EXPECT_FALSE(net.ServerListening());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(
        dialogs.messages[0].rfind("Le serveur TCP ne peut pas écouter sur le port " + wifi.EdPort.text + " : ", 0), 0u)
        << dialogs.messages[0];
}

}  // namespace

// The links as the main window and the WiFi dialog see them, with scripted devices and sockets:
// the port names and their devices, opening, the write time limit, a device that fails, "RAZ";
// the WiFi dialog's protocols, addresses, ports, clients and datagrams; the WiFi switch and
// button; the saving of the two sentence logs.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "app/program/Program.h"
#include "app/transmission/SerialPorts.h"
#include "app/windows/NetworkDialogModel.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/FakeSerialPlatform.h"

using namespace corvel;
using namespace std::chrono_literals;
using app::WriteResult;
using test::DeviceRecord;
using test::FakeSerialPlatform;

namespace {

const std::string kComUnavailable =
    " Ce Com n'est pas disponible sur la machine : choisir un com disponible dans le gestionnaire de périphériques";
const std::string kErrorLine = " *** erreur de transmission  sur le COM : écriture incomplète ***";

// ---------------------------------------------------------------- doubles

struct FakeNetLink : app::NetLink {
    app::NetLinkEvents* events = nullptr;
    bool listening = false;
    int port = 0;
    std::vector<std::string> toClient;
    struct Datagram {
        std::string bytes, address;
        int port;
    };
    std::vector<Datagram> datagrams;
    SendResult clientAnswer;
    bool datagramFails = false;
    int clientsClosed = 0;
    std::vector<std::string> addresses;  // the machine's own

    void SetEvents(app::NetLinkEvents* e) override { events = e; }
    bool StartServer(int p, std::string& error) override {
        if (p == 1) {  // stands for a port already taken
            error = "The bound address is already in use";
            return false;
        }
        listening = true;
        port = p;
        return true;
    }
    void StopServer() override { listening = false; }
    void SetEveryClient(bool) override {}
    bool ServerListening() const override { return listening; }
    SendResult SendToClient(std::string_view bytes) override {
        toClient.emplace_back(bytes);
        return clientAnswer;
    }
    void CloseClient() override { ++clientsClosed; }
    bool SendDatagram(std::string_view bytes, const std::string& address, int p, std::string& error) override {
        if (datagramFails) {
            error = "Network is unreachable";
            return false;
        }
        datagrams.push_back({std::string(bytes), address, p});
        return true;
    }
    std::vector<std::string> LocalAddresses() const override { return addresses; }
    void Connect(const std::string& peer) { events->IdTCPServerNMEAConnect({peer, 50123, "192.168.137.1", port}); }
};

// The save dialog's arguments, recorded.
struct RecordingDialogs : test::FakeDialogs {
    std::vector<std::string> saveCalls;
    std::optional<std::filesystem::path> SaveFile(const std::string& title, const std::string& filter,
                                                  const std::string& extension,
                                                  const std::filesystem::path& folder) override {
        saveCalls.push_back(title + "|" + filter + "|" + extension + "|" + folder.string());
        return test::FakeDialogs::SaveFile(title, filter, extension, folder);
    }
};

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        path = std::filesystem::temp_directory_path() /
               ("corvel-links-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct LinksFixture : ::testing::Test {
    // The links first: the program's dialogs use them until they go.
    RecordingDialogs dialogs;
    FakeSerialPlatform platform;
    FakeNetLink net;
    app::Program program{dialogs, test::SourceDir() / "data", platform};
    app::TFCorvel& w = program.FCorvel;
    app::UARTManag& ports = program.ComPorts;
    app::TFParamWIFI& wifi = program.FParamWIFI;

    void SetUp() override {
        platform.devices = {"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyS0"};
        w.RefreshComList();
        wifi.SetNetLink(&net);
    }
    void Select(int index) {
        w.CBCom.itemIndex = index;
        w.CBComSelect();
    }
    std::shared_ptr<DeviceRecord> Device(const std::string& path) { return platform.records[path]; }
    // Sentence + CR LF, for every sentence line of the log.
    std::string Wire() const {
        std::string bytes;
        for (const auto& line : w.MemoNMEA.Lines()) {
            if (line.rfind('$', 0) == 0) bytes += line + "\r\n";
        }
        return bytes;
    }
};

// ---------------------------------------------------------------- port names and devices

TEST(ComNames, FindComIndexKnowsOnlyTheTwelveNames) {
    const std::pair<const char*, int> cases[] = {{"COM1", 0},   {"COM3", 2},  {"COM12", 11},
                                                 {"COM13", -1}, {"COM0", -1}, {"com1", -1},
                                                 {"COM01", -1}, {"", -1},     {"COM1 ", -1}};
    for (const auto& [name, index] : cases) EXPECT_EQ(app::FindComIndex(name), index) << name;
}

TEST(ComNames, DevicesInNaturalOrderWithOverridesFromTheSettings) {
    std::vector<std::string> paths = {"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyS1"};
    app::SortDevicePaths(paths);
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB1"}));

    FakeSerialPlatform platform;
    platform.devices = {"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0"};
    test::FakeDialogs dialogs;
    app::UARTManag ports(platform, dialogs, {{"COM2", "/dev/pts/7"}, {"COM12", "/dev/ttyAMA0"}});
    const auto devices = ports.DevicePaths();
    EXPECT_EQ(devices[0], "/dev/ttyACM0");
    EXPECT_EQ(devices[1], "/dev/pts/7");   // the override wins
    EXPECT_EQ(devices[2], "/dev/ttyS10");  // still the third device reported
    EXPECT_EQ(devices[3], "/dev/ttyUSB1");
    EXPECT_EQ(devices[4], "");
    EXPECT_EQ(devices[11], "/dev/ttyAMA0");
    EXPECT_EQ(ports.DevicePath("COM5"), "");
    EXPECT_EQ(ports.DevicePath("COM13"), "");
}

TEST_F(LinksFixture, ThePortListShowsTheTwelveNamesWithTheirDevices) {
    ASSERT_EQ(w.CBCom.items.size(), 12u);
    EXPECT_EQ(w.CBCom.items[0], "COM1  (/dev/ttyS0)");
    EXPECT_EQ(w.CBCom.items[2], "COM3  (/dev/ttyUSB0)");
    EXPECT_EQ(w.CBCom.items[3], "COM4");
    EXPECT_EQ(w.CBCom.items[11], "COM12");
    EXPECT_EQ(w.CBCom.itemIndex, -1);
    EXPECT_EQ(w.CBbauds.text(), "4800");
    EXPECT_FALSE(w.SwActivNMEA_com.enabled);
    EXPECT_EQ(w.SwActivNMEA_com.hint, "Sélectionner un COM au préalable");
    // A device plugged in later shows at the next refresh.
    platform.devices.push_back("/dev/ttyACM0");
    w.RefreshComList();
    EXPECT_EQ(w.CBCom.items[0], "COM1  (/dev/ttyACM0)");
}

// ---------------------------------------------------------------- opening

TEST_F(LinksFixture, ChoosingAPortOpensItAtTheChosenRateEightBitsNoParityOneStop) {
    Select(2);  // COM3, the default rate
    ASSERT_TRUE(w.Out.SerialOpen());
    const auto device = Device("/dev/ttyUSB0");
    ASSERT_TRUE(device && device->settings);
    EXPECT_EQ(device->settings->baudRate, 4800);
    EXPECT_EQ(device->settings->byteSize, 8);
    EXPECT_EQ(device->settings->parity, app::Parity::None);
    EXPECT_EQ(device->settings->stopBits, app::StopBits::One);
    EXPECT_EQ(w.EdMouch.text, "COM VALIDE");
    EXPECT_TRUE(w.SwActivNMEA_com.enabled);
    EXPECT_EQ(w.Out.SerialPort(), "COM3");
    EXPECT_TRUE(dialogs.messages.empty());

    w.BtCalCClick();
    EXPECT_EQ(w.EdMouch.text, "Com tjrs valide");
    w.Timers.Advance(3000);
    EXPECT_EQ(device->bytes, Wire());  // each sentence followed by CR LF, the last one too
    EXPECT_EQ(device->bytes.front(), '$');
    EXPECT_EQ(device->bytes.substr(device->bytes.size() - 2), "\r\n");
}

TEST_F(LinksFixture, OpenFailuresAndTheirMessages) {
    struct Case {
        const char* what;
        bool missing, readOk, applyOk;
        bool opens;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"no such device", true, true, true, false, {kComUnavailable}},
        {"settings unreadable", false, false, true, true, {"Erreur dans GetCommState"}},
        {"settings refused", false, true, false, false, {"Erreur dans SetCommState", kComUnavailable}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingDialogs d;
        FakeSerialPlatform p;
        p.devices = {"/dev/ttyS0"};
        if (c.missing) p.unavailable.insert("/dev/ttyS0");
        p.readOk = c.readOk;
        p.applyOk = c.applyOk;
        app::Program prog(d, test::SourceDir() / "data", p);
        app::UARTManag& u = prog.ComPorts;
        prog.FCorvel.CBCom.itemIndex = 0;
        prog.FCorvel.CBComSelect();
        EXPECT_EQ(prog.FCorvel.Out.SerialOpen(), c.opens);
        EXPECT_EQ(prog.FCorvel.SwActivNMEA_com.enabled, c.opens);
        EXPECT_EQ(d.messages, c.messages);
        EXPECT_EQ(u.IsOpen("COM1"), c.opens);  // a refused port is not left open
    }
}

TEST_F(LinksFixture, APortWithoutDeviceIsUnavailable) {
    Select(6);  // COM7: the system reports three devices
    EXPECT_FALSE(w.Out.SerialOpen());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kComUnavailable});
}

TEST_F(LinksFixture, AnotherPortClosesThePreviousAndTheSamePortReopensAtANewRate) {
    Select(0);
    ASSERT_TRUE(w.Out.SerialOpen());
    Select(1);
    ASSERT_TRUE(w.Out.SerialOpen());
    EXPECT_FALSE(Device("/dev/ttyS0")->open);  // not held any longer
    EXPECT_TRUE(Device("/dev/ttyS1")->open);
    w.CBbauds.itemIndex = 6;  // 9600
    Select(1);                // the same port again
    ASSERT_TRUE(w.Out.SerialOpen()) << (dialogs.messages.empty() ? "" : dialogs.messages[0]);
    EXPECT_EQ(Device("/dev/ttyS1")->settings->baudRate, 9600);
    EXPECT_EQ(Device("/dev/ttyS1")->opens, 2);
    EXPECT_TRUE(dialogs.messages.empty());

    // A failed choice afterwards stops the sending.
    platform.unavailable.insert("/dev/ttyUSB0");
    Select(2);
    EXPECT_FALSE(w.Out.SerialOpen());
    w.BtCalCClick();
    w.Timers.Advance(1000);
    EXPECT_TRUE(Device("/dev/ttyS1")->bytes.empty());
}

// ---------------------------------------------------------------- "RAZ"

TEST_F(LinksFixture, RazWithoutASuccessfulOpenAddressesTheFirstPort) {
    w.RAZComClick();  // nothing was ever opened: nothing to say
    EXPECT_TRUE(dialogs.messages.empty());
    platform.unavailable.insert("/dev/ttyS0");
    Select(0);
    dialogs.messages.clear();
    w.RAZComClick();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Handle invalide en fermeture "});
}

TEST_F(LinksFixture, RazClosesThePortAndClearsOnlyTheSentenceLog) {
    Select(2);
    w.SwActivNMEA_com.isChecked = true;
    w.CBbauds.enabled = false;
    w.BtCalCClick();
    w.Timers.Advance(2000);
    const size_t stamped = w.MemoNMEAHMS.Lines().size();
    ASSERT_GT(stamped, 0u);
    w.RAZComClick();
    EXPECT_FALSE(w.Out.SerialOpen());
    EXPECT_FALSE(Device("/dev/ttyUSB0")->open);
    EXPECT_TRUE(w.MemoNMEA.Lines().empty());
    EXPECT_EQ(w.MemoNMEAHMS.Lines().size(), stamped);
    EXPECT_FALSE(w.SwActivNMEA_com.isChecked);
    EXPECT_FALSE(w.SwActivNMEA_com.enabled);
    EXPECT_EQ(w.CBCom.itemIndex, -1);
    EXPECT_TRUE(w.CBbauds.enabled);
    w.CBComSelect();  // no port chosen: nothing opens, nothing is said
    EXPECT_FALSE(w.Out.SerialOpen());
    EXPECT_TRUE(dialogs.messages.empty());
    const std::string before = Device("/dev/ttyUSB0")->bytes;
    w.Timers.Advance(2000);
    EXPECT_EQ(Device("/dev/ttyUSB0")->bytes, before);  // nothing written once closed
}

// ---------------------------------------------------------------- writes

TEST_F(LinksFixture, AStalledDeviceCostsOneTimeLimitAndSendingGoesOn) {
    Select(2);
    bool stalled = true;
    platform.accept = [&](std::string_view bytes) { return stalled ? size_t{0} : bytes.size(); };
    w.BtCalCClick();
    w.Timers.Advance(1000);  // group 1: nine sentences, none goes out
    const auto device = Device("/dev/ttyUSB0");
    ASSERT_EQ(device->limits.size(), 9u);
    EXPECT_EQ(device->limits[0], app::UARTManag::kWriteTimeLimit);
    for (size_t i = 1; i < 9; ++i) EXPECT_EQ(device->limits[i], 0ms) << i;  // no second wait
    const auto& lines = w.MemoNMEA.Lines();
    ASSERT_EQ(lines.size(), 18u);
    for (size_t i = 0; i < lines.size(); i += 2) EXPECT_EQ(lines[i + 1], kErrorLine);
    EXPECT_TRUE(w.Out.SerialOpen());  // the link stays open
    EXPECT_EQ(w.MemoNMEAHMS.Lines().size(), 9u);

    stalled = false;  // the device takes bytes again: the next write goes through, then waits again
    w.Timers.Advance(1000);
    EXPECT_EQ(device->limits[9], 0ms);
    EXPECT_EQ(device->limits[10], app::UARTManag::kWriteTimeLimit);
    EXPECT_EQ(w.MemoNMEA.Lines().back().find(kErrorLine), std::string::npos);
}

// A device that takes part of a sentence gets its rest before anything else; meanwhile the texts
// it has no room for are lost whole, so the wire never holds a cut sentence.
TEST_F(LinksFixture, ABegunSentenceIsFinishedFirstAndTheOthersAreLostWhole) {
    using enum WriteResult::Status;
    Select(2);
    size_t room = 0;  // the bytes the device takes before it is full again
    platform.accept = [&room](std::string_view bytes) {
        const size_t n = std::min(room, bytes.size());
        room -= n;
        return n;
    };
    const struct {
        size_t room;
        const char* text;
        WriteResult::Status status;
    } writes[] = {
        {3, "$GPAAA\r\n", Complete},    // begun: its rest waits
        {0, "$GPBBB\r\n", Incomplete},  // the rest still waits: lost whole
        {2, "$GPCCC\r\n", Incomplete},  // part of the rest went out, not all: lost whole
        {100, "$GPDDD\r\n", Complete},  // the rest, then the whole text
        {4, "$GPEEE\r\n", Complete},    // begun again
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.text);
        room = write.room;
        EXPECT_EQ(w.Out.WriteSerial(write.text).status, write.status);
    }
    room = 0;
    EXPECT_EQ(ports.FinishWrite(0ms).status, Incomplete);
    room = 100;
    EXPECT_EQ(ports.FinishWrite(0ms).status, Complete);
    EXPECT_EQ(ports.FinishWrite(0ms).status, Complete);  // nothing waits
    EXPECT_EQ(Device("/dev/ttyUSB0")->bytes, "$GPAAA\r\n$GPDDD\r\n$GPEEE\r\n");
}

// A stalled port: each lost sentence is followed by the error line in the window's log, never in a
// file written from it; the first loss is said once; « Stat » shows the count while the stall
// lasts, and the network's state again (the latest one) once the port takes sentences.
TEST_F(LinksFixture, AStalledPortIsSaidOnceCountedAndShownInStat) {
    Select(2);
    std::vector<std::string> notices, streamed;
    w.Out.OnSerialStall = [&notices](const std::string& notice) { notices.push_back(notice); };
    w.MemoNMEA.SetStream([&streamed](std::string_view line) { streamed.emplace_back(line); });
    w.ShowConnection("Client connecté : 192.168.137.12");
    bool stalled = true;
    platform.accept = [&stalled](std::string_view bytes) { return stalled ? size_t{0} : bytes.size(); };
    w.BtCalCClick();
    w.Timers.Advance(2000);
    const auto sentences = static_cast<long long>(streamed.size());
    EXPECT_GT(sentences, 9);
    for (const auto& line : streamed) EXPECT_EQ(line[0], '$');
    EXPECT_EQ(w.MemoNMEA.Lines().size(), 2 * streamed.size());  // each followed by the error line
    EXPECT_EQ(w.Out.SerialLost(), sentences);
    EXPECT_EQ(w.EdConnex.text, "Port série bloqué : " + std::to_string(sentences) + " phrases perdues");
    EXPECT_EQ(notices, std::vector<std::string>{
                           "le port COM3 (/dev/ttyUSB0) ne prend plus les phrases (écriture incomplète) : celles "
                           "qu'il ne prend pas sont perdues entières"});

    stalled = false;
    w.Timers.Advance(1000);
    EXPECT_EQ(w.EdConnex.text, "Client connecté : 192.168.137.12");
    EXPECT_EQ(w.Out.SerialLost(), sentences);

    stalled = true;  // a second stall: shown again, not said again
    w.Timers.Advance(1000);
    w.ShowConnection("Client déconnecté : ");
    EXPECT_EQ(w.EdConnex.text.rfind("Port série bloqué : ", 0), 0u) << w.EdConnex.text;
    EXPECT_EQ(notices.size(), 1u);
    stalled = false;
    w.Timers.Advance(1000);
    EXPECT_EQ(w.EdConnex.text, "Client déconnecté : ");
    EXPECT_EQ(w.EdMouch.text, "Com tjrs valideNON OKNON OK");  // once a stall
}

TEST_F(LinksFixture, AVanishedDeviceIsReportedOnceAndTheSimulationGoesOn) {
    Select(2);
    w.BtCalCClick();
    w.Timers.Advance(1000);
    platform.failing = true;  // unplugged
    w.Timers.Advance(1000);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Erreur WriteFile : le port COM3 (/dev/ttyUSB0) ne répond plus", 0), 0u)
        << dialogs.messages[0];
    EXPECT_FALSE(w.Out.SerialOpen());
    EXPECT_FALSE(w.SwActivNMEA_com.enabled);
    EXPECT_EQ(w.CBCom.itemIndex, -1);
    EXPECT_FALSE(Device("/dev/ttyUSB0")->open);
    const size_t writes = Device("/dev/ttyUSB0")->limits.size();
    const size_t lines = w.MemoNMEA.Lines().size();
    w.Timers.Advance(5000);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(Device("/dev/ttyUSB0")->limits.size(), writes);
    EXPECT_GT(w.MemoNMEA.Lines().size(), lines + 40);
    // Plugged in again and chosen again: it opens.
    platform.failing = false;
    Select(2);
    EXPECT_TRUE(w.Out.SerialOpen());
}

// ---------------------------------------------------------------- WiFi dialog

TEST(WifiAddresses, ParsingOfAddressesAndPorts) {
    // clang-format off
    const std::pair<const char*, const char*> broadcast[] = {
        {"192.168.137.1", "192.168.137.255"}, {" 10.0.0.7 ", "10.0.0.255"}, {"0.0.0.0", "0.0.0.255"},
        {"255.255.255.255", "255.255.255.255"}, {"192.168.1", nullptr}, {"1.2.3.256", nullptr},
        {"1.2.3.4.5", nullptr}, {"host.local", nullptr}, {"", nullptr}, {"1..2.3", nullptr},
        {"1.2.3.-4", nullptr}, {"1.2.3.0004", nullptr}, {"1.2.3.4.", nullptr}, {"+1.2.3.4", nullptr}};
    // clang-format on
    for (const auto& [text, expected] : broadcast) {
        const auto b = app::BroadcastAddress(text);
        if (expected) {
            EXPECT_EQ(b, std::optional<std::string>(expected)) << text;
        } else {
            EXPECT_FALSE(b) << text;
        }
    }
    const std::pair<const char*, int> ports[] = {{"10110", 10110}, {" 1 ", 1},  {"65535", 65535}, {"0", -1},
                                                 {"65536", -1},    {"abc", -1}, {"", -1},         {"10110x", -1},
                                                 {"-5", -1},       {"1e3", -1}, {"999999", -1}};
    for (const auto& [text, expected] : ports) EXPECT_EQ(app::ParsePort(text).value_or(-1), expected) << text;
}

TEST_F(LinksFixture, WifiDialogFirstTextsAndTheProtocolChanges) {
    EXPECT_EQ(wifi.Caption, "PARAMETRES WIFI  pour TRANSMISSION NMEA");
    EXPECT_EQ(wifi.EdAdIP.text, "192.168.137.1");
    EXPECT_TRUE(wifi.EdAdIP.readOnly);
    EXPECT_EQ(wifi.EdPort.text, "10110");
    EXPECT_EQ(wifi.EdStatus.text, "-*-*-*-*-*-");
    EXPECT_EQ(w.EdConnex.text, "Pas de connexion");
    EXPECT_EQ(wifi.BtModAdIP.caption, "Modifier l'adresse IP");
    EXPECT_TRUE(wifi.Lab2TCP.visible);
    EXPECT_FALSE(wifi.Lab2UDP.visible);

    wifi.RadioButtonUDPChange();
    EXPECT_EQ(wifi.EdAdIP.text, "192.168.137.255");
    EXPECT_EQ(wifi.WifiProtocol, app::TWifiProtocol::UDP);
    EXPECT_FALSE(wifi.Lab2TCP.visible);
    EXPECT_TRUE(wifi.Lab2UDP.visible);
    wifi.RadioButtonTCPChange();
    EXPECT_EQ(wifi.EdAdIP.text, "192.168.137.1");
    EXPECT_EQ(wifi.WifiProtocol, app::TWifiProtocol::TCP);
}

TEST_F(LinksFixture, TcpLaunchConnectionSendingAndALostClient) {
    wifi.BtLanceServeurClick();
    EXPECT_TRUE(w.Out.NetworkOpen());
    EXPECT_TRUE(net.listening);
    EXPECT_EQ(net.port, 10110);
    EXPECT_EQ(wifi.EdStatus.text, "SERVEUR TCP lancé");
    EXPECT_TRUE(program.Out.Send({}, "$SDDPT,1*00"));
    EXPECT_TRUE(net.toClient.empty());  // nobody connected yet

    net.Connect("192.168.137.12");
    EXPECT_EQ(w.EdConnex.text, "Client connecté : 192.168.137.12");
    EXPECT_TRUE(program.Out.TcpClientConnected());
    EXPECT_EQ(wifi.Memo1, (std::deque<std::string>{"Peer=192.168.137.12:50123", "Local=192.168.137.1:10110"}));
    program.Out.Send({}, "$SDDPT,1*00");
    EXPECT_EQ(net.toClient, std::vector<std::string>{"$SDDPT,1*00\r\n"});

    net.clientAnswer = {app::NetLink::SendStatus::Lost, {}};
    EXPECT_TRUE(program.Out.Send({}, "$SDDPT,2*00"));
    EXPECT_EQ(w.EdConnex.text, "Client déconnecté : ");
    EXPECT_FALSE(program.Out.TcpClientConnected());
    program.Out.Send({}, "$SDDPT,3*00");
    EXPECT_EQ(net.toClient.size(), 2u);  // nothing more until a client connects
    EXPECT_TRUE(net.listening);
    EXPECT_TRUE(dialogs.messages.empty());

    // Another error is shown once, and sending goes on.
    net.clientAnswer = {app::NetLink::SendStatus::Error, "Unknown error"};
    net.Connect("192.168.137.13");
    program.Out.Send({}, "$SDDPT,4*00");
    program.Out.Send({}, "$SDDPT,5*00");
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Erreur d'envoi TCP : Unknown error"});
    EXPECT_EQ(net.toClient.size(), 4u);
}

TEST_F(LinksFixture, TheConnectionListKeepsTheNewestLines) {
    for (int i = 0; i < 500; ++i) net.Connect("10.0.0." + std::to_string(i % 250));
    EXPECT_EQ(wifi.Memo1.size(), app::TFParamWIFI::kMemo1Lines);
    EXPECT_EQ(wifi.Memo1.back(), "Local=192.168.137.1:0");
}

TEST_F(LinksFixture, BadPortsStartNoServer) {
    for (const char* port : {"abc", "0", "65536", "", "10 110"}) {
        SCOPED_TRACE(port);
        dialogs.messages.clear();
        wifi.EdPort.text = port;
        wifi.BtLanceServeurClick();
        EXPECT_TRUE(w.Out.NetworkOpen());
        EXPECT_FALSE(net.listening);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0], "Port invalide : \"" + std::string(port) +
                                           "\". Entrer un nombre entier de 1 à 65535 ; le serveur n'est pas lancé.");
    }
    dialogs.messages.clear();
    wifi.EdPort.text = "1";  // taken
    wifi.BtLanceServeurClick();
    EXPECT_FALSE(net.listening);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{
                  "Le serveur TCP ne peut pas écouter sur le port 1 : The bound address is already in use"});
    EXPECT_EQ(wifi.EdStatus.text, "-*-*-*-*-*-");
}

TEST_F(LinksFixture, UdpLaunchSendsOneDatagramPerSentenceToTheBroadcastAddress) {
    wifi.BtLanceServeurClick();  // TCP first, with a client
    net.Connect("192.168.137.12");
    wifi.RadioButtonUDPChange();
    EXPECT_FALSE(net.listening);  // choosing UDP stops the server
    EXPECT_EQ(w.EdConnex.text, "Pas de diffusion");
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    EXPECT_TRUE(net.datagrams.empty());  // nothing until UDP is launched

    wifi.EdPort.text = "2000";
    wifi.BtLanceServeurClick();
    EXPECT_EQ(wifi.EdStatus.text, "SERVEUR UDP initialisé");
    EXPECT_EQ(w.EdConnex.text, "Diffusion UDP");
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    ASSERT_EQ(net.datagrams.size(), 1u);
    EXPECT_EQ(net.datagrams[0].bytes, "$IIMTW,13.00,C*00");  // no line end
    EXPECT_EQ(net.datagrams[0].address, "192.168.137.255");
    EXPECT_EQ(net.datagrams[0].port, 2000);
    EXPECT_TRUE(net.toClient.empty());

    // A bad port leaves the destination as it was.
    wifi.EdPort.text = "x";
    wifi.BtLanceServeurClick();
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    EXPECT_EQ(net.datagrams.back().port, 2000);

    // Back to TCP: broadcasting stops.
    wifi.RadioButtonTCPChange();
    EXPECT_EQ(wifi.EdStatus.text, "-*-*-*-*-*-");
    EXPECT_EQ(w.EdConnex.text, "Pas de connexion");
    const size_t sent = net.datagrams.size();
    wifi.RadioButtonUDPChange();  // and UDP again without a launch: still nothing
    program.Out.Send({}, "$IIMTW,13.00,C*00");
    EXPECT_EQ(net.datagrams.size(), sent);
}

TEST_F(LinksFixture, AnAddressThatIsNoIPv4AddressSendsNoDatagramAnywhere) {
    wifi.RadioButtonUDPChange();
    wifi.BtLanceServeurClick();
    program.Out.Send({}, "$A");
    ASSERT_EQ(net.datagrams.size(), 1u);
    for (const char* bad : {"192.168.1", "box.local", "300.1.1.1"}) {
        SCOPED_TRACE(bad);
        dialogs.messages.clear();
        wifi.EdAdIP.text = bad;
        wifi.FormPAint();  // a repaint leaves it as typed
        EXPECT_EQ(wifi.EdAdIP.text, bad);
        wifi.BtLanceServeurClick();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].rfind("Adresse IP invalide : \"" + std::string(bad) + "\"", 0), 0u)
            << dialogs.messages[0];
        EXPECT_EQ(w.EdConnex.text, "Pas de diffusion");
        program.Out.Send({}, "$B");
        EXPECT_EQ(net.datagrams.size(), 1u);
    }
}

TEST_F(LinksFixture, AFailingDatagramSendEndsTheGroupOnceThenStaysQuiet) {
    wifi.RadioButtonUDPChange();
    wifi.BtLanceServeurClick();
    net.datagramFails = true;
    w.BtCalCClick();
    w.Timers.Advance(1000);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "Erreur d'envoi UDP vers 192.168.137.255:10110 : Network is unreachable");
    EXPECT_EQ(w.MemoNMEA.Lines().size(), 1u);  // the group ended at its first sentence
    w.Timers.Advance(3000);
    EXPECT_EQ(dialogs.messages.size(), 1u);  // not once a second
    EXPECT_GT(w.MemoNMEA.Lines().size(), 25u);
    net.datagramFails = false;
    w.Timers.Advance(1000);
    EXPECT_FALSE(net.datagrams.empty());
    net.datagramFails = true;  // a new failure is a new story
    w.Timers.Advance(1000);
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(LinksFixture, TheMachinesAddressesArePickedOnlyWhileTheAddressIsModifiedAndListedAgainEachTime) {
    net.addresses = {"192.168.1.23", "192.168.137.1", "127.0.0.1"};
    wifi.Show();
    EXPECT_EQ(wifi.CBAdIP.items, net.addresses);
    EXPECT_EQ(wifi.CBAdIP.itemIndex, 1);  // the address in the field
    EXPECT_FALSE(wifi.CBAdIP.enabled);
    // Not being modified: a choice changes nothing.
    wifi.CBAdIP.itemIndex = 0;
    wifi.CBAdIPSelect();
    EXPECT_EQ(wifi.EdAdIP.text, "192.168.137.1");

    // A hotspot started since: a modification lists it.
    net.addresses.insert(net.addresses.begin(), "10.42.0.1");
    wifi.BtModAdIPClick();
    EXPECT_TRUE(wifi.CBAdIP.enabled);
    ASSERT_EQ(wifi.CBAdIP.items.size(), 4u);
    wifi.CBAdIP.itemIndex = 0;
    wifi.CBAdIPSelect();
    EXPECT_EQ(wifi.EdAdIP.text, "10.42.0.1");
    wifi.BtModAdIPClick();
    EXPECT_EQ(wifi.UnitAddress, "10.42.0.1");
    EXPECT_FALSE(wifi.CBAdIP.enabled);

    // No link, or one that finds no address: an empty list, the typed address stays.
    net.addresses.clear();
    wifi.Show();
    EXPECT_TRUE(wifi.CBAdIP.items.empty());
    EXPECT_EQ(wifi.CBAdIP.itemIndex, -1);
    wifi.BtModAdIPClick();
    wifi.CBAdIPSelect();
    EXPECT_EQ(wifi.EdAdIP.text, "10.42.0.1");
}

TEST_F(LinksFixture, ConfirmingAnAddressSavesItAndThePortInTheSettingsFile) {
    TempDir dir;
    wifi.SettingsPath = dir.path / "CorvelNMEA.ini";
    { std::ofstream(wifi.SettingsPath) << "[Polars]\nPolaireAct=First31_7.pol\n"; }
    wifi.BtModAdIPClick();
    EXPECT_FALSE(wifi.EdAdIP.readOnly);
    EXPECT_EQ(wifi.BtModAdIP.caption, "Confirmer l'adresse");
    wifi.EdAdIP.text = "10.1.2.3";
    wifi.BtModAdIPClick();
    EXPECT_TRUE(wifi.EdAdIP.readOnly);
    EXPECT_EQ(wifi.BtModAdIP.caption, "Modifier l'adresse");
    EXPECT_EQ(wifi.UnitAddress, "10.1.2.3");
    std::string ini = ReadFile(wifi.SettingsPath);
    EXPECT_NE(ini.find("PolaireAct=First31_7.pol"), std::string::npos) << ini;  // the rest stays
    EXPECT_NE(ini.find("[WIFI]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("iAdIP=10.1.2.3"), std::string::npos) << ini;
    EXPECT_NE(ini.find("iPort=10110"), std::string::npos) << ini;

    // In UDP mode the field shows the broadcast address; confirming keeps the unit's address.
    wifi.RadioButtonUDPChange();
    wifi.BtModAdIPClick();
    wifi.BtModAdIPClick();
    wifi.EdPort.text = "4000";
    wifi.EdPortExit();
    ini = ReadFile(wifi.SettingsPath);
    EXPECT_NE(ini.find("iAdIP=10.1.2.3"), std::string::npos) << ini;
    EXPECT_NE(ini.find("iPort=4000"), std::string::npos) << ini;
    EXPECT_TRUE(dialogs.messages.empty());

    // A settings folder that does not exist: the system's error, the dialog keeps its values.
    wifi.SettingsPath = dir.path / "missing" / "CorvelNMEA.ini";
    wifi.EdPortExit();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find(wifi.SettingsPath.string()), std::string::npos);
    EXPECT_EQ(wifi.EdPort.text, "4000");
}

// ---------------------------------------------------------------- main window WiFi rules

TEST_F(LinksFixture, TheWifiButtonFollowsTheSwitchAndOpensTheDialogOnlyWhilePaused) {
    EXPECT_FALSE(w.BtParamWIFI.enabled);
    EXPECT_EQ(w.BtParamWIFI.caption, "PARAMETRES WIFI");
    w.SwWIFI.isChecked = true;
    w.SwWIFISwitch();
    EXPECT_TRUE(w.BtParamWIFI.enabled);
    w.BtParamWIFIClick();
    EXPECT_FALSE(wifi.Visible);  // never started and paused
    w.BtCalCClick();
    w.BtParamWIFIClick();
    EXPECT_FALSE(wifi.Visible);  // running
    w.SpBtPauseResClick();
    EXPECT_TRUE(w.SwWIFI.enabled);
    w.BtParamWIFIClick();
    EXPECT_TRUE(wifi.Visible);
    wifi.ParamWIFIOkClick();
    EXPECT_FALSE(wifi.Visible);
    w.SwWIFI.isChecked = false;
    w.SwWIFISwitch();
    EXPECT_FALSE(w.BtParamWIFI.enabled);
}

TEST_F(LinksFixture, TheWifiLinkGetsEachSentenceBeforeTheSerialLink) {
    Select(2);
    wifi.BtLanceServeurClick();
    net.Connect("192.168.137.12");
    w.BtCalCClick();
    w.Timers.Advance(3000);
    std::string tcp;
    for (const auto& line : net.toClient) tcp += line;
    EXPECT_EQ(tcp, Wire());  // the same bytes on both
    EXPECT_EQ(Device("/dev/ttyUSB0")->bytes, Wire());
}

// ---------------------------------------------------------------- recording

TEST_F(LinksFixture, SavingWritesTheLogsWithCrLfAndKeepsThem) {
    TempDir dir;
    w.AppDataFolder = dir.path;  // the save dialog opens in the settings folder
    // Before any sentence: an empty file; a name typed without extension gets ".txt".
    dialogs.files.push_back(dir.path / "vide");
    w.MenuSvrawClick();
    ASSERT_EQ(dialogs.saveCalls.size(), 1u);
    EXPECT_EQ(dialogs.saveCalls[0],
              "Sauvegarde NMEA|Fichier texte NMEA|*.txt|txt|" + (dir.path / "CorvelNMEA").string());
    ASSERT_TRUE(std::filesystem::exists(dir.path / "vide.txt"));
    EXPECT_EQ(ReadFile(dir.path / "vide.txt"), "");

    // A serial write that fails once: its error line follows its sentence in "brut" only.
    Select(2);
    int writes = 0;
    platform.accept = [&](std::string_view b) { return ++writes == 2 ? size_t{0} : b.size(); };
    w.BtCalCClick();
    w.Timers.Advance(1000);
    const std::vector<std::string> first(w.MemoNMEA.Lines().begin(), w.MemoNMEA.Lines().end());
    ASSERT_EQ(first[2], kErrorLine);
    dialogs.files.push_back(dir.path / "brut.txt");
    w.MenuSvrawClick();
    std::string expected;
    for (const auto& l : first) expected += l + "\r\n";
    EXPECT_EQ(ReadFile(dir.path / "brut.txt"), expected);
    dialogs.files.push_back(dir.path / "horodate.txt");
    w.MenuSvTimstClick();
    const std::string stamped = ReadFile(dir.path / "horodate.txt");
    EXPECT_EQ(stamped.find("erreur"), std::string::npos);
    EXPECT_EQ(stamped.rfind("NMEA183:", 0), 0u);
    EXPECT_EQ(std::count(stamped.begin(), stamped.end(), '\n'), 9);
    EXPECT_EQ(stamped.substr(stamped.size() - 2), "\r\n");

    // Saving clears nothing; after "RAZ" "brut" starts with the next sentence, "horodaté" does not.
    EXPECT_EQ(w.MemoNMEA.Lines().size(), first.size());
    w.RAZComClick();
    w.Timers.Advance(1000);
    dialogs.files.push_back(dir.path / "brut.txt");  // replaces the earlier file
    w.MenuSvrawClick();
    const std::string raw = ReadFile(dir.path / "brut.txt");
    EXPECT_EQ(raw.rfind(w.MemoNMEA.Lines().front() + "\r\n", 0), 0u);
    EXPECT_EQ(raw.find(first[0]), std::string::npos);
    dialogs.files.push_back(dir.path / "horodate.txt");
    w.MenuSvTimstClick();
    EXPECT_EQ(ReadFile(dir.path / "horodate.txt").rfind(stamped, 0), 0u);
    EXPECT_TRUE(dialogs.messages.empty());

    // Cancelled: nothing written.
    w.MenuSvrawClick();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), std::filesystem::directory_iterator()), 3);
}

TEST_F(LinksFixture, AFailedSaveIsReportedAndLeavesTheOlderFileWhole) {
    TempDir dir;
    w.BtCalCClick();
    w.Timers.Advance(1000);
    const auto older = dir.path / "journal.txt";
    std::ofstream(older, std::ios::binary) << "older\r\n";
    // The target is a folder: the file cannot be replaced.
    std::filesystem::create_directory(dir.path / "folder.txt");
    dialogs.files.push_back(dir.path / "folder.txt");
    w.MenuSvrawClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Impossible d'enregistrer " + (dir.path / "folder.txt").string() + " : ", 0),
              0u)
        << dialogs.messages[0];
    EXPECT_TRUE(std::filesystem::is_directory(dir.path / "folder.txt"));
    // A folder that does not exist.
    dialogs.files.push_back(dir.path / "missing" / "journal.txt");
    w.MenuSvrawClick();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(ReadFile(older), "older\r\n");
    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        EXPECT_TRUE(entry.path().filename() == "journal.txt" || entry.path().filename() == "folder.txt")
            << entry.path();
    }
    EXPECT_FALSE(w.MemoNMEA.Lines().empty());  // the logs are unchanged
}

}  // namespace

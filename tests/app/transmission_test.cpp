// The way out of a sentence (app::Transmission), driven by the main window's sentence timer: the
// group cycle, the selection and talkers from the dialog, the outputs in their order with each
// sentence's kind (none for injected garbage), the serial error line, the failures that end a
// group, and the time-stamped log.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <regex>

#include "app/program/Program.h"
#include "app/program/SimulationTexts.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"

using namespace corvel;

namespace {

// A serial device and a network link that write into one shared record, with the logs and standard
// output, so the order across outputs shows.
struct Outputs : app::SerialPlatform, app::NetLink {
    enum class Serial { TakesAll, TakesNothing, Gone };
    std::vector<std::string> events;
    Serial serialAnswer = Serial::TakesAll;
    app::NetLinkEvents* netEvents = nullptr;

    struct Device : app::SerialDevice {
        explicit Device(Outputs& o) : outputs(o) {}
        bool ReadSettings() override { return true; }
        bool ApplySettings(const app::SerialSettings&) override { return true; }
        app::SerialWrite Write(std::string_view bytes, std::chrono::milliseconds) override {
            outputs.events.push_back("serial:" + std::string(bytes));
            switch (outputs.serialAnswer) {
                case Serial::TakesAll: return {bytes.size(), false, {}};
                case Serial::TakesNothing: return {0, false, {}};
                case Serial::Gone: break;
            }
            return {0, true, "Input/output error"};
        }
        Outputs& outputs;
    };
    std::vector<std::string> SerialDevices() override { return {"/dev/ttyS0"}; }
    std::unique_ptr<app::SerialDevice> OpenDevice(const std::string&) override {
        return std::make_unique<Device>(*this);
    }
    // A TCP server whose client takes every line.
    void SetEvents(app::NetLinkEvents* e) override { netEvents = e; }
    bool StartServer(int, std::string&) override { return true; }
    void StopServer() override {}
    bool ServerListening() const override { return true; }
    SendResult SendToClient(std::string_view bytes) override {
        events.push_back("wifi:" + std::string(bytes));
        return {};
    }
    void SetEveryClient(bool) override {}
    void CloseClient() override {}
    bool SendDatagram(std::string_view, const std::string&, int, std::string&) override { return true; }
};

struct TransmissionFixture : ::testing::Test {
    test::FakeDialogs dialogs;
    Outputs links;
    app::Program program{dialogs, test::SourceDir() / "data", links};
    app::TFCorvel& w = program.FCorvel;
    app::Transmission& out = program.Out;
    app::SimulatedClock clock{w.Timers, {2026, 12, 9, 14, 3, 27, 512}};

    void SetUp() override {
        out.SetClock(clock);
        out.Log().SetStream([this](std::string_view line) { links.events.push_back("log:" + std::string(line)); });
        out.StampedLog().SetStream(
            [this](std::string_view line) { links.events.push_back("stamped:" + std::string(line)); });
        out.OnSentence = [this](app::SentenceKindOrNone kind, std::string_view line) {
            links.events.push_back("stdout:" + std::string(kind ? nmea::InfoOf(*kind).type : "-") + ":" +
                                   std::string(line));
        };
    }
    // The type of each sentence line of the log ("DPT", ...), error lines left out.
    std::vector<std::string> Types(size_t from = 0) const {
        std::vector<std::string> types;
        const auto& lines = w.MemoNMEA.Lines();
        for (size_t i = from; i < lines.size(); ++i) {
            if (lines[i].rfind('$', 0) == 0) types.push_back(lines[i].substr(3, 3));
        }
        return types;
    }
    // COM1, on the one device, chosen in the port list.
    void OpenSerial() {
        w.CBCom.itemIndex = 0;
        w.CBComSelect();
        ASSERT_TRUE(out.SerialOpen());
    }
    // The TCP server, with a client connected.
    void OpenNetwork() {
        out.SetTcpLink(&links);
        out.OpenNetwork();
        ASSERT_TRUE(out.StartTcpServer(10110));
        links.netEvents->IdTCPServerNMEAConnect({});
    }
};

const std::vector<std::string> kGroup1 = {"DPT", "DBS", "DBT", "DBK", "HDG", "HDM", "HDT", "MWV", "MWD"};
const std::vector<std::string> kGroup3 = {"VHW", "RMB", "APB", "MTW", "BWR", "ZTG", "WCV", "WNC", "WPL", "VWR", "BWC"};

TEST_F(TransmissionFixture, GroupsRunInTheOrderOneThreeTwoAndTheCycleSurvivesAPause) {
    EXPECT_TRUE(w.MemoNMEA.Lines().empty());
    w.BtCalCClick();
    w.Timers.Advance(999);
    EXPECT_TRUE(w.MemoNMEA.Lines().empty());  // the first run comes one period after the start
    w.Timers.Advance(1);
    EXPECT_EQ(Types(), kGroup1);
    size_t mark = w.MemoNMEA.Lines().size();
    w.Timers.Advance(1000);
    EXPECT_EQ(Types(mark), kGroup3);
    mark = w.MemoNMEA.Lines().size();
    w.Timers.Advance(1000);
    const std::vector<std::string> group2 = {"GSV", "GSV", "GSV", "GSV", "GGA", "GLL", "RMC", "GSA", "VTG", "ZDA"};
    EXPECT_EQ(Types(mark), group2);  // GGA in the first run of group 2

    w.SpBtPauseResClick();
    mark = w.MemoNMEA.Lines().size();
    w.Timers.Advance(10000);
    EXPECT_EQ(w.MemoNMEA.Lines().size(), mark);  // nothing while paused
    w.SpBtPauseResClick();
    w.Timers.Advance(1000);
    EXPECT_EQ(Types(mark), kGroup1);  // the cycle goes on where it was
}

// The first depth group can go out before the sounder's first sounding: its depths are then
// empty ("no data"), never the offsets below a depth of 0 (-0.30). A window held for seconds
// after "SIMULER" (its first paint, a busy machine) catches up with each late timer once, so the
// sentence timer runs after a single tick, long before the twentieth tick's sounding.
TEST_F(TransmissionFixture, NoDepthGoesOutBeforeTheFirstSounding) {
    w.BtCalCClick();
    w.Timers.FollowClock(3000);  // held 3 s
    for (int step = 0; step < 100; ++step) w.Timers.Advance(100);
    int depthSentences = 0;
    for (const std::string& line : w.MemoNMEA.Lines()) {
        const std::string type = line.substr(3, 3);
        if (type != "DPT" && type != "DBS" && type != "DBT" && type != "DBK") continue;
        ++depthSentences;
        EXPECT_EQ(line.find(",-"), std::string::npos) << line;
    }
    EXPECT_GE(depthSentences, 8);
    EXPECT_EQ(w.MemoNMEA.Lines().front(), "$SDDPT,,0.30*4A");  // before the first sounding
}

TEST_F(TransmissionFixture, GgaEveryTwelveSecondsFromTheFirstRunOfGroupTwo) {
    w.BtCalCClick();
    std::vector<sim::Millis> gga;
    out.OnSentence = [&](app::SentenceKindOrNone, std::string_view s) {
        if (s.substr(3, 3) == "GGA") gga.push_back(w.Timers.Now());
    };
    w.Timers.Advance(40000);
    EXPECT_EQ(gga, (std::vector<sim::Millis>{3000, 15000, 27000, 39000}));
}

TEST_F(TransmissionFixture, DeselectAllSilencesEveryOutputWhileTheTimerRuns) {
    OpenSerial();
    OpenNetwork();
    program.FParNMEA.BtDeselAllClick();
    program.FParNMEA.BtParNMEA_VALIDEClick();
    w.BtCalCClick();
    w.Timers.Advance(6000);
    EXPECT_TRUE(w.MemoNMEA.Lines().empty());
    EXPECT_TRUE(w.MemoNMEAHMS.Lines().empty());
    EXPECT_TRUE(links.events.empty());
    EXPECT_TRUE(w.Engine.SendingSentences());
}

TEST_F(TransmissionFixture, SounderTalkerChangesTheFiveSounderKindsOnly) {
    program.FParNMEA.RdBtDevSond_1.checked = false;
    program.FParNMEA.RdBtDevSond_2.checked = true;
    program.FParNMEA.BtParNMEA_VALIDEClick();
    w.BtCalCClick();  // "SIMULER" reads the talker buttons
    w.Timers.Advance(3000);
    for (const std::string& line : w.MemoNMEA.Lines()) {
        const std::string type = line.substr(3, 3);
        const std::string talker = line.substr(1, 2);
        if (type == "DPT" || type == "DBS" || type == "DBT" || type == "DBK" || type == "MTW") {
            EXPECT_EQ(talker, "II") << line;
        } else if (type == "HDG" || type == "HDM" || type == "HDT") {
            EXPECT_EQ(talker, "HC") << line;
        } else {
            EXPECT_NE(talker, "II") << line;
        }
    }
}

// What the outputs record for one line, in their order: the log, the network and the serial port
// (the line and its CR LF in one write each), standard output with the kind ("-": none), the time-stamped log
// with the fault's mark.
std::vector<std::string> Through(const std::string& kind, const std::string& line, std::string_view mark) {
    return {"log:" + line, "wifi:" + line + "\r\n", "serial:" + line + "\r\n", "stdout:" + kind + ":" + line,
            "stamped:NMEA183:2026-12-09Z14:03:28.512:" + line + std::string(mark)};
}

struct OutputCase {
    const char* name;
    const char* faults;  // the injected faults ("": none)
    // The records of the group's first sentence, from the line standard output saw.
    std::function<std::vector<std::string>(const std::string& line)> expected;
};

struct OutputOrder : TransmissionFixture, ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputOrder, EachLineReachesTheOutputsInOrderWithItsKind) {
    const OutputCase& c = GetParam();
    if (*c.faults) out.SetFaults(nmea::ParseFaultList(c.faults, 1e6).settings);
    OpenSerial();
    OpenNetwork();
    links.events.clear();
    w.BtCalCClick();
    w.Timers.Advance(1000);
    std::string line;  // the first line as standard output saw it
    for (const std::string& e : links.events) {
        if (e.starts_with("stdout:")) {
            line = e.substr(e.find(':', 7) + 1);
            break;
        }
    }
    const std::vector<std::string> expected = c.expected(line);
    ASSERT_GE(links.events.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(links.events.begin(), links.events.begin() + expected.size()), expected);
}

using nmea::FaultKind;
INSTANTIATE_TEST_SUITE_P(
    Faults, OutputOrder,
    ::testing::Values(
        OutputCase{"Plain", "", [](const std::string& line) { return Through("DPT", line, {}); }},
        // A damaged sentence keeps its kind; garbage has none.
        OutputCase{"Checksum", "checksum=1",
                   [](const std::string& line) { return Through("DPT", line, app::FaultMark(FaultKind::Checksum)); }},
        OutputCase{"Truncate", "truncate=1",
                   [](const std::string& line) { return Through("DPT", line, app::FaultMark(FaultKind::Truncate)); }},
        OutputCase{"Garbage", "garbage=1",
                   [](const std::string& line) { return Through("-", line, app::FaultMark(FaultKind::Garbage)); }},
        OutputCase{"Duplicate", "duplicate=1",
                   [](const std::string& line) {
                       std::vector<std::string> twice = Through("DPT", line, {});
                       for (std::string& e : Through("DPT", line, app::FaultMark(FaultKind::Duplicate))) {
                           twice.push_back(e);
                       }
                       return twice;
                   }},
        // A dropped sentence reaches only the time-stamped log, as its mark.
        OutputCase{"Drop", "drop=1",
                   [](const std::string&) {
                       return std::vector<std::string>{"stamped:NMEA183:2026-12-09Z14:03:28.512:" +
                                                       std::string(app::FaultMark(FaultKind::Drop))};
                   }}),
    [](const ::testing::TestParamInfo<OutputCase>& info) { return std::string(info.param.name); });

TEST_F(TransmissionFixture, IncompleteSerialWriteAddsTheErrorLineAfterItsSentence) {
    OpenSerial();
    links.serialAnswer = Outputs::Serial::TakesNothing;
    w.BtCalCClick();
    w.Timers.Advance(1000);
    const auto& lines = w.MemoNMEA.Lines();
    ASSERT_EQ(lines.size(), 18u);  // nine sentences, each followed by its error line
    for (size_t i = 0; i < lines.size(); i += 2) {
        EXPECT_EQ(lines[i][0], '$');
        EXPECT_EQ(lines[i + 1], " *** erreur de transmission  sur le COM : écriture incomplète ***");
    }
    EXPECT_NE(w.EdMouch.text.find("NON OK"), std::string::npos);
    EXPECT_EQ(w.MemoNMEAHMS.Lines().size(), 9u);  // the link stays open, emission goes on
}

TEST_F(TransmissionFixture, AFailedWriteEndsTheGroupButNotTheTimer) {
    OpenSerial();
    links.serialAnswer = Outputs::Serial::Gone;
    w.BtCalCClick();
    w.Timers.Advance(1000);
    EXPECT_EQ(w.MemoNMEA.Lines().size(), 1u);    // the rest of the group is not built
    EXPECT_TRUE(w.MemoNMEAHMS.Lines().empty());  // nor time-stamped
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "Erreur WriteFile : le port COM1 (/dev/ttyS0) ne répond plus (Input/output error) ; la liaison "
              "série est fermée");
    EXPECT_FALSE(out.SerialOpen());
    w.Timers.Advance(1000);
    EXPECT_EQ(Types(1), kGroup3);  // the next tick runs the next group
}

// Datagrams only; the next one fails while `fails` is set.
struct DatagramLink : app::NetLink {
    std::vector<std::string> datagrams;
    bool fails = false;
    void SetEvents(app::NetLinkEvents*) override {}
    bool StartServer(int, std::string&) override { return false; }
    void StopServer() override {}
    bool ServerListening() const override { return false; }
    SendResult SendToClient(std::string_view) override { return {SendStatus::Lost, {}}; }
    void SetEveryClient(bool) override {}
    void CloseClient() override {}
    bool SendDatagram(std::string_view bytes, const std::string& address, int port, std::string& error) override {
        if (fails) {
            error = "Network is unreachable";
            return false;
        }
        datagrams.push_back(address + ":" + std::to_string(port) + " " + std::string(bytes));
        return true;
    }
};

// The headless run's links: a TCP server and datagrams at once, each on its own link. Each sentence
// goes to the client, then as a datagram; a failing datagram is said once and ends the group, then
// is dropped quietly until one goes through.
TEST_F(TransmissionFixture, TcpAndDatagramsAtOnceEachOnItsLink) {
    OpenNetwork();
    DatagramLink udp;
    out.SetDatagramLink(&udp);
    out.SetDatagramLineEnds(true);
    out.StartDatagrams("127.0.0.255", 2000);
    links.events.clear();
    w.BtCalCClick();
    w.Timers.Advance(1000);
    std::vector<std::string> toClient;
    for (const std::string& e : links.events) {
        if (e.starts_with("wifi:")) toClient.push_back("127.0.0.255:2000 " + e.substr(5));
    }
    EXPECT_EQ(toClient.size(), kGroup1.size());
    EXPECT_EQ(udp.datagrams, toClient);

    udp.fails = true;
    const size_t logged = w.MemoNMEA.Lines().size();
    w.Timers.Advance(3000);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"Erreur d'envoi UDP vers 127.0.0.255:2000 : Network is unreachable"});
    // The failure ended group 3 at its first sentence; groups 2 and 1 went whole, without datagrams.
    EXPECT_EQ(w.MemoNMEA.Lines().size(), logged + 1 + 10 + kGroup1.size());
    udp.fails = false;
    w.Timers.Advance(1000);
    EXPECT_EQ(udp.datagrams.size(), toClient.size() + kGroup3.size());
    out.SetDatagramLink(nullptr);
}

TEST_F(TransmissionFixture, LogsGrowWithoutCopyingAndTheViewSeesWhatIsNew) {
    w.BtCalCClick();
    w.Timers.Advance(3000);
    const std::string* firstLine = &w.MemoNMEA.Lines().front();
    const auto before = w.MemoNMEA.Appended();
    w.Timers.Advance(3000);
    EXPECT_EQ(firstLine, &w.MemoNMEA.Lines().front());  // the lines already there never move
    EXPECT_EQ(w.MemoNMEA.Appended(), before + 29);
    const std::regex stamp(R"(NMEA183:\d{4}-\d\d-\d\dZ\d\d:\d\d:\d\d\.\d{3}:\$.*\*[0-9A-F]{2})");
    for (const std::string& line : w.MemoNMEAHMS.Lines()) EXPECT_TRUE(std::regex_match(line, stamp)) << line;
}

}  // namespace

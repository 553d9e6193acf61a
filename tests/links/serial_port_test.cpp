// The serial link on a real device: a pseudo-terminal opened through Qt SerialPort, the test
// reading the other side. The bytes on the wire, the speed and frame set on the device, a device
// that stops taking bytes, one that disappears, and one already in use.
#include <gtest/gtest.h>
#include <termios.h>

#include "app/program/Program.h"
#include "app/transmission/SerialPorts.h"
#include "links/QtSerialPort.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/LinkTestSupport.h"

using namespace corvel;
using namespace std::chrono_literals;
using app::WriteResult;

namespace {

struct SerialFixture : ::testing::Test {
    test::QtApp qt;
    test::Pty pty;
    test::FakeDialogs dialogs;
    links::QtSerialPlatform platform;
    app::Program program{dialogs, test::SourceDir() / "data", platform};
    app::TFCorvel& w = program.FCorvel;
    app::UARTManag& ports = program.ComPorts;

    void SetUp() override {
        ASSERT_FALSE(pty.slave.empty());
        ports.SetDeviceOverrides({{"COM3", pty.slave}});
        w.RefreshComList();
    }
    void SelectCom3(const std::string& rate = "4800") {
        const auto& rates = w.CBbauds.items;
        w.CBbauds.itemIndex = static_cast<int>(std::find(rates.begin(), rates.end(), rate) - rates.begin());
        w.CBCom.itemIndex = 2;
        w.CBComSelect();
    }
    // Each sentence of the log followed by CR LF.
    std::string Wire() const {
        std::string bytes;
        for (const auto& line : w.MemoNMEA.Lines()) {
            if (line.rfind('$', 0) == 0) bytes += line + "\r\n";
        }
        return bytes;
    }
};

// Group by group, as a receiver sees them: each group is on the wire whole, its last sentence ended
// by its CR LF, before the next second; the very first byte is the first sentence's.
TEST_F(SerialFixture, EachSentenceGoesOutFollowedByCrLfAndNothingWaitsAfterAGroup) {
    SelectCom3();
    ASSERT_TRUE(w.Out.SerialOpen()) << (dialogs.messages.empty() ? "" : dialogs.messages[0]);
    w.BtCalCClick();
    std::string wire;
    for (const long sentences : {9, 20, 30}) {  // groups 1, 3, 2
        w.Timers.Advance(1000);
        const std::string expected = Wire();
        test::WaitUntil([&] { return (wire += pty.Read()).size() >= expected.size(); });
        EXPECT_EQ(wire, expected);  // raw: no line-end translation by the terminal
        EXPECT_EQ(std::count(wire.begin(), wire.end(), '\n'), sentences);
        EXPECT_EQ(wire.substr(wire.size() - 2), "\r\n");
    }
    EXPECT_EQ(wire.front(), '$');  // no CR LF before the first sentence
}

TEST_F(SerialFixture, TheDeviceIsSetToTheChosenSpeedEightBitsNoParityOneStop) {
    const std::pair<const char*, speed_t> rates[] = {{"150", B150},     {"4800", B4800},     {"9600", B9600},
                                                     {"38400", B38400}, {"115200", B115200}, {"230400", B230400}};
    for (const auto& [text, speed] : rates) {
        SCOPED_TRACE(text);
        SelectCom3(text);  // the port again at another speed: closed and opened again
        ASSERT_TRUE(w.Out.SerialOpen());
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), speed);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & PARENB, 0u);
        EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);  // bytes go out as they are
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// The terminal's buffer fills: the sentence it takes part of is finished once the other side reads
// again, before any other; those that came meanwhile are lost whole. The wire holds whole sentences.
TEST_F(SerialFixture, ADeviceThatTakesNothingMoreLosesWholeSentencesAndRecovers) {
    ports.SetWriteTimeLimit(20ms);
    SelectCom3();
    ASSERT_TRUE(w.Out.SerialOpen());
    // Nobody reads the other side: the terminal's buffer fills.
    const std::string text = "$GPRMC," + std::string(60, '0') + "*00\r\n";
    int begun = 0;
    WriteResult r;
    while ((r = w.Out.WriteSerial(text)).status == WriteResult::Status::Complete) ASSERT_LT(++begun, 100000);
    EXPECT_EQ(r.status, WriteResult::Status::Incomplete);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(w.Out.WriteSerial(text).status, WriteResult::Status::Incomplete);
    EXPECT_TRUE(w.Out.SerialOpen());
    // The other side reads again: the begun one is finished, then whole writes go through.
    std::string wire = pty.Read();
    EXPECT_EQ(w.Out.WriteSerial(text).status, WriteResult::Status::Complete);
    EXPECT_EQ(w.Out.WriteSerial(text).status, WriteResult::Status::Complete);
    test::WaitUntil([&] { return (wire += pty.Read()).size() >= (begun + 2) * text.size(); });
    std::string expected;
    for (int i = 0; i < begun + 2; ++i) expected += text;
    EXPECT_EQ(wire, expected);
}

TEST_F(SerialFixture, TheOtherEndClosingMidRunIsReportedOnceAndTheSimulationGoesOn) {
    SelectCom3();
    ASSERT_TRUE(w.Out.SerialOpen());
    w.BtCalCClick();
    w.Timers.Advance(2000);
    EXPECT_FALSE(pty.Read().empty());
    pty.CloseMaster();
    w.Timers.Advance(1000);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Erreur WriteFile : le port COM3 (" + pty.slave + ") ne répond plus", 0), 0u)
        << dialogs.messages[0];
    EXPECT_FALSE(w.Out.SerialOpen());
    const size_t lines = w.MemoNMEA.Lines().size();
    w.Timers.Advance(5000);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_GT(w.MemoNMEA.Lines().size(), lines + 40);
    EXPECT_GT(w.MemoNMEAHMS.Lines().size(), 40u);
}

TEST_F(SerialFixture, ADeviceInUseOrMissingIsNotAvailable) {
    const std::string unavailable =
        " Ce Com n'est pas disponible sur la machine : choisir un com disponible dans le gestionnaire de périphériques";
    SelectCom3();
    ASSERT_TRUE(w.Out.SerialOpen());
    // A second program on the same device.
    test::FakeDialogs otherDialogs;
    app::UARTManag other(platform, otherDialogs, {{"COM1", pty.slave}, {"COM2", "/nonexistent/ttyX"}});
    EXPECT_FALSE(other.OpenComPort("COM1", 4800));
    EXPECT_FALSE(other.OpenComPort("COM2", 4800));
    // A file that is no terminal.
    ports.SetDeviceOverrides({{"COM3", "/dev/null"}});
    SelectCom3();
    EXPECT_FALSE(w.Out.SerialOpen());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{unavailable});
}

}  // namespace

// The network dialog's widgets over a whole program, its main window and the Qt network link (kept
// on this machine): the protocol choice and the addresses it shows, what confirming an address
// saves, the machine's own addresses to pick from, what the launch shows in both windows, and the
// check boxes "Tous les clients" (TCP) and "CR LF en fin de trame" (UDP).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTest>
#include <QUdpSocket>
#include <string>

#include "app/program/Program.h"
#include "links/QtNetLink.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/GuiApplication.h"
#include "support/LinkTestSupport.h"
#include "support/TempFolder.h"
#include "support/WidgetFinder.h"
#include "ui/MainWindow.h"
#include "ui/NetworkDialog.h"

using namespace corvel;

namespace {

class NetworkView : public ::testing::Test {
protected:
    NetworkView() {
        program.FParamWIFI.SetNetLink(&link);
        window.show();
        dialog.Open();
    }
    ~NetworkView() override { program.FParamWIFI.SetNetLink(nullptr); }

    QApplication& qt = test::GuiApplication();  // before any widget
    test::TempFolder home;                      // the settings folder is made there
    test::FakeDialogs dialogs;
    links::QtNetLink link{QHostAddress::LocalHost};
    app::Program program{dialogs, config::StartupFolders{test::SourceDir() / "data", home.path(), {}}};
    app::TFParamWIFI& wifi = program.FParamWIFI;
    ui::MainWindow window{program, QPixmap()};
    ui::NetworkDialog dialog{wifi, &window, [this] { window.Refresh(); }};

    template <class Widget = QWidget>
    Widget* Find(const char* name) {
        return test::FindWidget<Widget>(dialog, name);
    }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
    std::string Text(const char* name) { return Find<QLineEdit>(name)->text().toStdString(); }
    std::string Caption(const char* name) { return Find<QPushButton>(name)->text().toStdString(); }
    bool Shown(const char* name) { return Find(name)->isVisible(); }
    void Type(const char* name, const char* text) {
        auto* field = Find<QLineEdit>(name);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, QString::fromLatin1(text));
    }
    std::string SavedSettings() const { return test::ReadFile(program.SettingsPath); }
};

TEST_F(NetworkView, UdpShowsTheBroadcastAddressAndItsExplanationTcpTheUnitsAddressAgain) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "PARAMETRES WIFI  pour TRANSMISSION NMEA");
    EXPECT_TRUE(Find<QRadioButton>("RadioButtonTCP")->isChecked());
    EXPECT_EQ(Text("EdAdIP"), "192.168.137.1");
    EXPECT_TRUE(Find<QLineEdit>("EdAdIP")->isReadOnly());
    EXPECT_EQ(Text("EdPort"), "10110");
    EXPECT_EQ(Text("EdStatus"), "-*-*-*-*-*-");
    for (const auto& [name, caption] :
         {std::pair{"BtLanceServeur", "LANCER LE SERVEUR"}, std::pair{"BtModAdIP", "Modifier l'adresse IP"},
          std::pair{"BtParamWIFIOk", "OK"}, std::pair{"BtUtilWIFI", "AIDE"}})
        EXPECT_EQ(Caption(name), caption);
    for (const char* tcp : {"Lab2TCP", "Lab3TCP", "Lab4TCP"}) EXPECT_TRUE(Shown(tcp)) << tcp;
    EXPECT_FALSE(Shown("Lab2UDP"));
    // The explanations speak of this system, not of another's tools.
    EXPECT_EQ(Find<QLabel>("Lab3TCP")->text().indexOf(QStringLiteral("ipconfig")), -1);

    Click("RadioButtonUDP");
    EXPECT_EQ(Text("EdAdIP"), "192.168.137.255");
    EXPECT_FALSE(Find<QRadioButton>("RadioButtonTCP")->isChecked());
    for (const char* tcp : {"Lab2TCP", "Lab3TCP", "Lab4TCP"}) EXPECT_FALSE(Shown(tcp)) << tcp;
    EXPECT_TRUE(Shown("Lab2UDP"));
    Click("RadioButtonTCP");
    EXPECT_EQ(Text("EdAdIP"), "192.168.137.1");
    EXPECT_TRUE(Shown("Lab2TCP"));
    EXPECT_FALSE(Shown("Lab2UDP"));
}

// Confirming a typed address: in TCP it is the unit's address and is saved; in UDP the field shows
// a broadcast address and the unit's earlier address is saved, which TCP then shows again.
struct ConfirmCase {
    const char* protocol;
    const char* typed;
    const char* saved;
    const char* tcpShows;  // once back in TCP
};
const ConfirmCase kConfirmCases[] = {
    {"RadioButtonTCP", "10.42.0.1", "10.42.0.1", "10.42.0.1"},
    {"RadioButtonUDP", "10.42.0.1", "192.168.137.1", "192.168.137.1"},
};

TEST(NetworkConfirm, ConfirmingAnAddressSavesTheUnitsAddressForTheProtocolInForce) {
    test::GuiApplication();
    for (const ConfirmCase& c : kConfirmCases) {
        SCOPED_TRACE(c.protocol);
        test::TempFolder home;
        test::FakeDialogs dialogs;
        app::Program program{dialogs, config::StartupFolders{test::SourceDir() / "data", home.path(), {}}};
        ui::NetworkDialog dialog{program.FParamWIFI};
        dialog.Open();
        auto find = [&dialog](const char* name) { return dialog.findChild<QWidget*>(QString::fromLatin1(name)); };
        auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("EdAdIP"));
        auto* modify = dialog.findChild<QPushButton*>(QStringLiteral("BtModAdIP"));
        QTest::mouseClick(find(c.protocol), Qt::LeftButton);
        QTest::mouseClick(modify, Qt::LeftButton);
        EXPECT_FALSE(address->isReadOnly());
        EXPECT_EQ(modify->text().toStdString(), "Confirmer l'adresse");
        address->selectAll();
        QTest::keyClick(address, Qt::Key_Delete);
        QTest::keyClicks(address, QString::fromLatin1(c.typed));
        QTest::mouseClick(modify, Qt::LeftButton);
        EXPECT_TRUE(address->isReadOnly());
        EXPECT_EQ(modify->text().toStdString(), "Modifier l'adresse");
        const std::string ini = test::ReadFile(program.SettingsPath);
        EXPECT_NE(ini.find(std::string("iAdIP=") + c.saved), std::string::npos) << ini;
        EXPECT_NE(ini.find("iPort=10110"), std::string::npos) << ini;
        QTest::mouseClick(find("RadioButtonTCP"), Qt::LeftButton);
        EXPECT_EQ(address->text().toStdString(), c.tcpShows);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(NetworkView, TheMachinesOwnAddressesArePickedWhileTheAddressIsModified) {
    auto* list = Find<QComboBox>("CBAdIP");
    ASSERT_GE(list->count(), 1);
    std::vector<std::string> offered;
    for (int i = 0; i < list->count(); ++i) offered.push_back(list->itemText(i).toStdString());
    for (const std::string& a : offered) EXPECT_TRUE(app::ParseIPv4(a)) << a;  // IPv4 only, dotted
    EXPECT_EQ(offered.back(), "127.0.0.1");                                    // the loopback last
    EXPECT_FALSE(list->isEnabled());                                           // the address is not being modified

    Click("BtModAdIP");
    EXPECT_TRUE(list->isEnabled());
    const int loopback = list->count() - 1;
    list->setCurrentIndex(loopback);
    emit list->activated(loopback);
    EXPECT_EQ(Text("EdAdIP"), "127.0.0.1");
    Click("BtModAdIP");
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(wifi.UnitAddress, "127.0.0.1");
    EXPECT_NE(SavedSettings().find("iAdIP=127.0.0.1"), std::string::npos);
}

TEST_F(NetworkView, LaunchingShowsTheStatusHereAndTheConnectionInTheMainWindowOkHidesAideOpensHelp) {
    int helpOpened = 0;
    wifi.OpenHelp = [&helpOpened] { ++helpOpened; };
    Click("BtUtilWIFI");
    EXPECT_EQ(helpOpened, 1);

    Click("RadioButtonUDP");
    Click("BtLanceServeur");
    EXPECT_EQ(Text("EdStatus"), "SERVEUR UDP initialisé");
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("EdConnex"))->text().toStdString(), "Diffusion UDP");
    EXPECT_TRUE(program.FCorvel.Out.NetworkOpen());
    // A port that is no number: the launch says so and the status stays.
    Click("RadioButtonTCP");
    Type("EdPort", "10l10");
    Click("BtLanceServeur");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("10l10"), std::string::npos) << dialogs.messages[0];
    EXPECT_FALSE(link.ServerListening());
    EXPECT_EQ(Text("EdStatus"), "-*-*-*-*-*-");

    Click("BtParamWIFIOk");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(wifi.Visible);
    dialog.Open();
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(wifi.Visible);
}

// "Tous les clients", through the widgets and the Qt link on loopback: unticked at first, each
// sentence reaches the newest client only; ticked, every client; unticked again, the newest only;
// the box is for TCP only.
TEST_F(NetworkView, TousLesClientsSendsEachSentenceToEveryClientWhileTicked) {
    const test::Watchdog watchdog(std::chrono::seconds(60));
    auto* box = Find<QCheckBox>("ChkTousClients");
    EXPECT_EQ(box->text().toStdString(), "Tous les clients");
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(box->isEnabled());
    int port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    Type("EdPort", std::to_string(port).c_str());
    Click("BtLanceServeur");
    ASSERT_TRUE(link.ServerListening());
    test::RawClient older(port), newer(port);
    ASSERT_TRUE(test::WaitUntil([&] { return link.ClientCount() == 2 && program.Out.TcpClientConnected(); }));
    // Each sentence, and what each client then holds.
    auto send = [&](const char* sentence) {
        program.Out.Send({}, sentence);
        std::string a, b;
        test::WaitUntil([&] { return (b += newer.Read()).find('\n') != std::string::npos; });
        test::PumpFor(50);
        a = older.Read();
        b += newer.Read();
        return std::pair{a, b};
    };
    const std::string one = "$IIMTW,13.00,C*00\r\n", two = "$IIMTW,14.00,C*00\r\n", three = "$IIMTW,15.00,C*00\r\n";
    EXPECT_EQ(send("$IIMTW,13.00,C*00"), std::pair(std::string(), one));
    const QPoint indicator(6, box->height() / 2);  // the box spans two columns: click its square
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    EXPECT_TRUE(wifi.ChkTousClients.checked);
    EXPECT_EQ(send("$IIMTW,14.00,C*00"), std::pair(two, two));
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    EXPECT_FALSE(wifi.ChkTousClients.checked);
    EXPECT_EQ(send("$IIMTW,15.00,C*00"), std::pair(std::string(), three));
    Click("RadioButtonUDP");
    EXPECT_FALSE(box->isEnabled());
}

// "CR LF en fin de trame", through the widgets and the Qt link on loopback: usable in UDP only,
// unticked at first (each datagram the sentence alone); ticked, each datagram ends in CR LF and the
// settings say so; unticked again, the sentence alone.
TEST_F(NetworkView, CrLfEnFinDeTrameEndsEachDatagramWhileTickedAndIsSaved) {
    const test::Watchdog watchdog(std::chrono::seconds(60));
    auto* box = Find<QCheckBox>("ChkCRLF");
    EXPECT_EQ(box->text().toStdString(), "CR LF en fin de trame");
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(box->isEnabled());  // TCP
    Click("RadioButtonUDP");
    EXPECT_TRUE(box->isEnabled());
    // On loopback the address 127.0.0.1 broadcasts to 127.0.0.255, a loopback address.
    QUdpSocket receiver;
    ASSERT_TRUE(receiver.bind(QHostAddress(QStringLiteral("127.0.0.255")), 0));
    Click("BtModAdIP");
    Type("EdAdIP", "127.0.0.1");
    Click("BtModAdIP");
    Type("EdPort", std::to_string(receiver.localPort()).c_str());
    Click("BtLanceServeur");
    EXPECT_EQ(Text("EdStatus"), "SERVEUR UDP initialisé");
    // One sentence, and the datagram that came.
    auto send = [&](const char* sentence) {
        program.Out.Send({}, sentence);
        if (!test::WaitUntil([&] { return receiver.hasPendingDatagrams(); })) return std::string("(none)");
        QByteArray d(static_cast<int>(receiver.pendingDatagramSize()), '\0');
        receiver.readDatagram(d.data(), d.size());
        return d.toStdString();
    };
    EXPECT_EQ(send("$IIMTW,13.00,C*00"), "$IIMTW,13.00,C*00");
    const QPoint indicator(6, box->height() / 2);  // the box spans two columns: click its square
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    EXPECT_TRUE(wifi.ChkCRLF.checked);
    EXPECT_NE(SavedSettings().find("iUDPCRLF=1"), std::string::npos) << SavedSettings();
    EXPECT_EQ(send("$IIMTW,14.00,C*00"), "$IIMTW,14.00,C*00\r\n");
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    EXPECT_FALSE(wifi.ChkCRLF.checked);
    EXPECT_NE(SavedSettings().find("iUDPCRLF=0"), std::string::npos) << SavedSettings();
    EXPECT_EQ(send("$IIMTW,15.00,C*00"), "$IIMTW,15.00,C*00");
    Click("RadioButtonTCP");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace

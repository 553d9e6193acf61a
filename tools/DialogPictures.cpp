// Pictures of the dialogs, one PNG file each, written into FOLDER (the README's and the help pages'
// screenshots, kept in data/Help/images/): dialog_pictures FOLDER. Each dialog is built on a new
// user's program (NewUserProgram.h: a first run, on a machine at French summer time), and set in a
// state that shows its use.
// Runs offscreen: QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QStyleFactory>
#include <cstdio>

#include "NewUserProgram.h"
#include "app/program/Program.h"
#include "nav/Conversions.h"
#include "ui/NetworkDialog.h"
#include "ui/ParametersDialog.h"
#include "ui/PolarWindow.h"
#include "ui/SentenceSelectionDialog.h"

using namespace corvel;

namespace {

// The widget as it shows, after its layout has settled.
QPixmap Grab(QWidget& widget) {
    widget.show();
    widget.adjustSize();
    QApplication::processEvents();
    return widget.grab();
}

// The obsolete kinds left out, the sounder on the integrated instruments.
QPixmap SentenceSelection(app::Program& program) {
    ui::SentenceSelectionDialog dialog(program.FParNMEA);
    dialog.Open();
    for (const char* kind : {"DBK", "DBS", "HDM", "HDT", "VWR"}) {
        for (auto& item : program.FParNMEA.ChkLBNMEA) item.checked = item.checked && item.text != kind;
    }
    program.FParNMEA.RdBtDevSond_1.checked = false;
    program.FParNMEA.RdBtDevSond_2.checked = true;
    dialog.Refresh();
    return Grab(dialog);
}

// A machine whose hotspot is up: its addresses, as the network link would list them.
class HotspotAddresses : public app::NetLink {
public:
    void SetEvents(app::NetLinkEvents*) override {}
    bool StartServer(int, std::string&) override { return true; }
    void StopServer() override {}
    bool ServerListening() const override { return false; }
    SendResult SendToClient(std::string_view) override { return {}; }
    void SetEveryClient(bool) override {}
    void CloseClient() override {}
    bool SendDatagram(std::string_view, const std::string&, int, std::string&) override { return true; }
    std::vector<std::string> LocalAddresses() const override { return {"10.42.0.1", "192.168.1.23", "127.0.0.1"}; }
};

// TCP, the address being changed to the hotspot's, picked from the machine's addresses.
QPixmap Wifi(app::Program& program) {
    HotspotAddresses link;
    app::TFParamWIFI& wifi = program.FParamWIFI;
    wifi.SetNetLink(&link);
    ui::NetworkDialog dialog(wifi);
    dialog.Open();
    wifi.BtModAdIPClick();
    wifi.CBAdIP.itemIndex = 0;
    wifi.CBAdIPSelect();
    dialog.Refresh();
    QPixmap picture = Grab(dialog);
    wifi.SetNetLink(nullptr);
    return picture;
}

// The polar window on the default polar, the percentage at 100.
QPixmap Polar(app::Program& program) {
    ui::PolarWindow window(program.FPolaire, program.Engine.S);
    return Grab(window);
}

// The parameters as a new user's settings leave them: the category "Course-croisière" marked, the
// window's depth offsets, the offset field and the machine's offset beside it at -2.
QPixmap Parameters(app::Program& program) {
    ui::ParametersDialog dialog(program.FParam);
    dialog.Open();
    return Grab(dialog);
}

struct Picture {
    const char* file;
    QPixmap (*draw)(app::Program&);
};
const Picture kPictures[] = {
    {"sentence_selection.png", SentenceSelection},
    {"wifi.png", Wifi},
    {"polar_window.png", Polar},
    {"parameters.png", Parameters},
};

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    nav::ForceDotSeparator();
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    int status = 0;
    for (const Picture& p : kPictures) {
        tools::NewUserProgram newUser;
        const QString path = folder + QLatin1Char('/') + QLatin1String(p.file);
        if (!p.draw(newUser.program).save(path)) {
            std::fprintf(stderr, "dialog_pictures: cannot write %s\n", qPrintable(path));
            status = 1;
        }
    }
    return status;
}

// The main window's widgets; see MainWindow.h.
#include "ui/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "app/windows/ControlCommands.h"
#include "ui/AboutBox.h"
#include "ui/Artwork.h"
#include "ui/Binding.h"
#include "ui/CanvasZoom.h"
#include "ui/CompassWidget.h"
#include "ui/DepthPictureWidget.h"
#include "ui/HelpView.h"
#include "ui/NetworkDialog.h"
#include "ui/ParametersDialog.h"
#include "ui/PolarWindow.h"
#include "ui/QtDialogs.h"
#include "ui/SentenceSelectionDialog.h"
#include "ui/SlidePicture.h"

namespace corvel::ui {

using app::ControlGroup;
using app::TFCorvel;

namespace {

// The application's style, but a left click in a slider's groove sets the slider where it is
// clicked, as a sailor puts the tiller where he wants it, instead of moving it by a page; and the
// handle follows the window's zoom, so that a click at a scaled place gives the value it gives at
// 100 %.
class TillerStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == QStyle::SH_Slider_AbsoluteSetButtons) return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        const int pixels = QProxyStyle::pixelMetric(metric, option, widget);
        // The style asks for the handle's size without the slider, which its option names.
        if (!widget && option) widget = qobject_cast<const QWidget*>(option->styleObject);
        switch (metric) {
            case PM_SliderLength:
            case PM_SliderThickness:
            case PM_SliderControlThickness:
            case PM_SliderTickmarkOffset:
                if (widget) return static_cast<int>(std::lround(pixels * NormalSizeTransform(*widget).m11()));
                break;
            default: break;
        }
        return pixels;
    }
};

// How many lines of the sentence log the list shows: the newest ones. The whole log stays in the
// model, for saving.
constexpr int kSentenceListLines = 2000;

// The transmission panel at its place under the compass, and raised over the compass column by "+".
constexpr QRect kTransmissionPanel{629, 630, 571, 293};
constexpr QRect kTransmissionRaised{629, 8, 571, 915};

// The key of a control's command ("F7" as the system writes it), else nothing: the window's
// command table (app/windows/ControlCommands) holds the keys, function keys and Ctrl+arrows, which no
// field uses while the user types (a field that uses Ctrl+arrows keeps them).
QKeySequence KeyOf(const app::WindowCommand& c) {
    return QKeySequence(QString::fromLatin1(c.shortcut.data(), static_cast<qsizetype>(c.shortcut.size())),
                        QKeySequence::PortableText);
}
QString ShortcutOf(const char* control) {
    const app::WindowCommand* c = app::CommandOfControl(control);
    return c == nullptr ? QString() : KeyOf(*c).toString(QKeySequence::NativeText);
}

}  // namespace

// What the main window binds besides the controls of the model's table: its menu entries, the
// polar percentage, the tiller, the glyph buttons.
struct MainWindow::Bindings {
    explicit Bindings(MainWindow& window)
        : controls(window.w_, [&window](const std::function<void()>& h) { window.Command(h); }) {}
    ControlBindings<TFCorvel> controls;
    struct Menu {
        app::MenuItem TFCorvel::*control;
        QAction* action;
    };
    std::vector<Menu> menus;
    QSpinBox* polarPercent = nullptr;
    QSlider* tiller = nullptr;
    QPushButton* zeroTiller = nullptr;
    // The buttons whose glyph shows a state: which list, which model glyph.
    struct GlyphBinding {
        QPushButton* button;
        GlyphList list;
        const app::Glyph* glyph;
        int shown = -1;
    };
    std::vector<GlyphBinding> glyphs;
    // The "Zoom" menu's entries and the model's states they show.
    struct ZoomEntry {
        const app::MenuItem* item;
        QAction* action;
    };
    std::vector<ZoomEntry> zoomMenu;
};

// ---------------------------------------------------------------- construction

MainWindow::MainWindow(app::Program& program, const QPixmap& boatPicture)
    : program_(program), w_(program.FCorvel), bind_(std::make_unique<Bindings>(*this)) {
    setObjectName(QStringLiteral("FCorvel"));
    setWindowTitle(Q(w_.Caption));
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollBox"));
    canvas_ = new QWidget;
    canvas_->setObjectName(QStringLiteral("Canvas"));
    canvas_->setFixedSize(kClientWidth, kClientHeight);
    QPalette background = canvas_->palette();
    background.setBrush(QPalette::Window, QBrush(BackgroundTile()));
    canvas_->setPalette(background);
    canvas_->setAutoFillBackground(true);
    scroll_->setWidget(canvas_);
    scroll_->setAlignment(Qt::AlignCenter);
    setCentralWidget(scroll_);

    BuildMenus();
    BuildConditions();
    BuildComputedData();
    BuildVariation();
    BuildCentre();
    BuildCompass();
    BuildTransmission();
    BuildRightColumn();
    BuildShortcuts();
    boat_->SetPicture(boatPicture);
    help_ = new HelpView(program_.Help, scroll_, [this](const std::function<void()>& handler) { Command(handler); });
    about_ = new AboutBox(this);
    // The slide show runs from the start.
    app::SlideShow& slides = w_.Slides;
    slides.InitSlideShow();
    slides.LoadSlides(program_.ProgramFolder / "ImgShips", &SlidePicture::IsPicture);
    slides.StartSlideShow();
    w_.SwitchDiapos.isChecked = true;
    // The dialogs, shown and hidden as their models say after every command of any window.
    const auto redraw = [this] { Command([] {}); };
    auto* parameters = new ParametersDialog(program_.FParam, this, redraw);
    auto* selection = new SentenceSelectionDialog(program_.FParNMEA, this, redraw);
    auto* network = new NetworkDialog(program_.FParamWIFI, this, redraw);
    polar_ = new PolarWindow(program_.FPolaire, program_.Engine.S, this);
    connect(polar_, &QDialog::finished, this, [this] { program_.FPolaire.Visible = false; });
    // A hidden dialog whose model stays hidden costs nothing at the twenty redraws a second.
    const auto sync = [](auto* dialog, const bool& visible) {
        return [dialog, &visible] {
            if (visible || dialog->isVisible()) dialog->Refresh();
        };
    };
    dialogs_ = {sync(parameters, program_.FParam.Visible), sync(selection, program_.FParNMEA.Visible),
                sync(network, program_.FParamWIFI.Visible), [this] {
                    if (program_.FPolaire.Visible && !polar_->isVisible()) polar_->show();
                    if (!program_.FPolaire.Visible && polar_->isVisible()) polar_->hide();
                    if (polar_->isVisible()) polar_->Refresh();
                }};

    for (QWidget* page : std::initializer_list<QWidget*>{canvas_, parameters, selection, network, polar_}) {
        WheelOnlyWithFocus(page);
    }

    // The client area as built is the layout at 100 %; a first run takes the largest step that
    // the screen holds, up to 100 %.
    canvasZoom_ = std::make_unique<CanvasZoom>(canvas_);
    if (program_.Zoom.FirstRun() && screen()) {
        const QRect available = screen()->availableGeometry();
        program_.Zoom.FitScreen(available.width(), available.height(), Chrome());
    }
    // The client area at its size, centred on the screen; a smaller screen scrolls.
    ShowZoom();
    zoomDrawn_ = program_.Zoom.Revision;
    FitWindow();
    const QRect available = screen() ? screen()->availableGeometry() : geometry();
    move(available.center() - rect().center());

    connect(&pump_, &QTimer::timeout, this, &MainWindow::Pump);
    pump_.setSingleShot(true);
    pump_.setTimerType(Qt::PreciseTimer);
    clock_.start();
    Refresh(true);
    ScheduleNextPump();
}

MainWindow::~MainWindow() = default;

#define CONTROL(name) &TFCorvel::name, #name

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, app::MenuItem TFCorvel::*control, const char* name, std::function<void()> handler) {
        QAction* action = menu->addAction(Q((w_.*control).text));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, handler] { Command(handler); });
        bind_->menus.push_back({control, action});
        return action;
    };
    QMenu* file = bar->addMenu(QStringLiteral("Fichier"));
    item(file, CONTROL(MenuSvraw), [this] { w_.MenuSvrawClick(); });
    item(file, CONTROL(MenuSvTimst), [this] { w_.MenuSvTimstClick(); });
    QMenu* configuration = bar->addMenu(QStringLiteral("Configuration"));
    item(configuration, CONTROL(MenuOuvrir), [this] { w_.Ouvrir2Click(); });
    item(configuration, CONTROL(MenuEnregistrer), [this] { w_.EnregistrerCFG(); });
    item(configuration, CONTROL(MenuAutomatique), [this] { w_.MenuAutomatiqueClick(); })->setCheckable(true);

    // The commands of the bar itself.
    auto command = [this, bar](const QString& text, const char* name, std::function<void()> handler) {
        QAction* action = bar->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, handler] { Command(handler); });
        return action;
    };
    QAction* parameters = command(Q(w_.MenuParametres.text), "MenuParametres", [this] { program_.FParam.Show(); });
    bind_->menus.push_back({&TFCorvel::MenuParametres, parameters});
    app::HelpViewer& helpPages = program_.Help;
    command(QStringLiteral("WiFi"), "MenuWifi", [&helpPages] { helpPages.AideWifiClick(); });
    QMenu* help = bar->addMenu(QStringLiteral("Aide"));
    struct HelpEntry {
        const char* text;
        const char* name;
        void (app::HelpViewer::*open)();
    };
    for (const HelpEntry& e : {HelpEntry{"Aide par rubrique", "MenuAideRubrique", &app::HelpViewer::parRubriqueClick},
                               HelpEntry{"Généralités", "MenuGeneralites", &app::HelpViewer::GENERALITESClick}}) {
        QAction* action = help->addAction(Q(e.text));
        action->setObjectName(QString::fromLatin1(e.name));
        connect(action, &QAction::triggered, this,
                [this, &helpPages, open = e.open] { Command([&helpPages, open] { (helpPages.*open)(); }); });
    }
    command(QStringLiteral("A Propos"), "MenuAPropos", [this] { about_->AboutClick(); });
    QAction* quit = command(Q(w_.MenuQuitter.text), "MenuQuitter", [this] { w_.MenuQuitClick(); });
    bind_->menus.push_back({&TFCorvel::MenuQuitter, quit});
    BuildZoomMenu();
}

void MainWindow::BuildZoomMenu() {
    app::WindowZoom& zoom = program_.Zoom;
    QMenu* menu = menuBar()->addMenu(Q(app::WindowZoom::kMenuTitle));
    menu->setObjectName(QStringLiteral("MenuZoom"));
    const auto entry = [this, menu](const app::MenuItem& item, const QString& name, std::function<void()> handler) {
        QAction* action = menu->addAction(Q(item.text));
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, handler] { Command(handler); });
        bind_->zoomMenu.push_back({&item, action});
        return action;
    };
    struct Step {
        const app::MenuItem& item;
        const char* name;
        void (app::WindowZoom::*command)();
        QList<QKeySequence> keys;
    };
    for (const Step& s :
         {Step{zoom.MenuAgrandir,
               "MenuZoomAgrandir",
               &app::WindowZoom::ZoomIn,
               {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)}},
          Step{
              zoom.MenuReduire, "MenuZoomReduire", &app::WindowZoom::ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
          Step{zoom.MenuTailleNormale,
               "MenuZoomNormal",
               &app::WindowZoom::NormalSize,
               {QKeySequence(Qt::CTRL | Qt::Key_0)}}}) {
        entry(s.item, QString::fromLatin1(s.name), [&zoom, command = s.command] {
            (zoom.*command)();
        })->setShortcuts(s.keys);
    }
    menu->addSeparator();
    auto* steps = new QActionGroup(menu);  // exclusive: the step in force is checked
    for (std::size_t i = 0; i < app::kZoomSteps.size(); ++i) {
        const int percent = app::kZoomSteps[i];
        QAction* action = entry(zoom.MenuSteps[i], QStringLiteral("MenuZoom%1").arg(percent),
                                [&zoom, percent] { zoom.Choose(percent); });
        action->setCheckable(true);
        steps->addAction(action);
    }
}

namespace {

// The group of a control, as the bindings keep it.
constexpr int G(ControlGroup group) { return static_cast<int>(group); }

}  // namespace

// Each Build function lays out one panel at the window's pixel positions.
void MainWindow::BuildConditions() {
    ControlBindings<TFCorvel>& m = bind_->controls;
    const int group = G(ControlGroup::Conditions);
    QGroupBox* panel = Panel(canvas_, "Conditions", {24, 8, 377, 570});
    AddCaptions(panel, {{"Cap vrai", 12, 30}, {"degrés", 154, 30}, {"Polaire", 214, 30}, {"%", 340, 30}});
    m.Field(panel, CONTROL(EdHDG), {78, 26, 70, 24}, group);
    bind_->polarPercent = new QSpinBox(panel);
    bind_->polarPercent->setObjectName(QStringLiteral("SpBPolPerc"));
    bind_->polarPercent->setGeometry(268, 26, 66, 24);
    bind_->polarPercent->setKeyboardTracking(false);  // a value once typed whole (Enter, or leaving the box)
    connect(bind_->polarPercent, &QSpinBox::valueChanged, this, [this](int value) {
        w_.SpBPolPerc.value = value;
        Command([this] { w_.SpBPolPercChange(); });
    });

    QGroupBox* wind = Panel(panel, "Vent réel", {8, 60, 361, 92});
    AddCaptions(
        wind, {{"Vitesse", 10, 28}, {"nds", 146, 28}, {"Direction", 10, 60}, {"°", 146, 60}, {"Force (Bft)", 196, 28}});
    m.Field(wind, CONTROL(EdTWS), {80, 24, 60, 24}, group, [this] { w_.EdTWSChange(); });
    m.Field(wind, CONTROL(EdTWD), {80, 56, 60, 24}, group);
    m.Display(wind, CONTROL(EdBFT), {286, 24, 44, 24}, group);

    QGroupBox* current = Panel(panel, "Courant", {8, 160, 361, 92});
    AddCaptions(current, {{"Force", 10, 28}, {"nds", 146, 28}, {"Direction", 10, 60}, {"°", 146, 60}});
    m.Field(current, CONTROL(EdFCourant), {80, 24, 60, 24}, group);
    m.Field(current, CONTROL(EdDirCourant), {80, 56, 60, 24}, group);
    m.Radio(current, CONTROL(RdBtCourConst), "Constant", {210, 26}, group, [this] { w_.RdBtCourConstChange(); });
    m.Radio(current, CONTROL(RdBtCourAlt), "Alterné", {210, 58}, group, [this] { w_.RdBtCourConstChange(); });

    QGroupBox* position = Panel(panel, "Position géographique  - degrés et minutes décimales", {8, 260, 361, 112});
    AddCaptions(position, {{"deg", 72, 24}, {"min", 146, 24}, {"LAT", 10, 48}, {"LG", 10, 80}});
    m.Field(position, CONTROL(EdLATDeg), {56, 44, 56, 24}, group);
    m.Field(position, CONTROL(EdLATMin), {118, 44, 86, 24}, group);
    m.Radio(position, CONTROL(RadioButtonN), "N", {226, 46}, group);
    m.Radio(position, CONTROL(RadioButtonS), "S", {276, 46}, group);
    m.Field(position, CONTROL(EdLGDEG), {56, 76, 56, 24}, group);
    m.Field(position, CONTROL(EdLGMin), {118, 76, 86, 24}, group);
    m.Radio(position, CONTROL(RadioButtonE), "E", {226, 78}, group);
    m.Radio(position, CONTROL(RadioButtonW), "W", {276, 78}, group);

    const int wp = G(ControlGroup::Waypoint);
    QGroupBox* waypoint = Panel(panel, "Waypoint (opt)  - degrés et minutes décimales", {8, 380, 361, 180});
    AddCaptions(waypoint, {{"deg", 72, 24},
                           {"min", 146, 24},
                           {"LAT", 10, 48},
                           {"LG", 10, 80},
                           {"Nom", 10, 112},
                           {"Dist :", 10, 146},
                           {" milles    Relev", 140, 146},
                           {"°", 318, 146}});
    m.Field(waypoint, CONTROL(EdLatWpDeg), {56, 44, 56, 24}, wp);
    m.Field(waypoint, CONTROL(EDLatWpmin), {118, 44, 86, 24}, wp);
    m.Radio(waypoint, CONTROL(RadioButtonWPN), "N", {226, 46}, wp);
    m.Radio(waypoint, CONTROL(RadioButtonWPS), "S", {276, 46}, wp);
    m.Field(waypoint, CONTROL(EDLGWpDeg), {56, 76, 56, 24}, wp);
    m.Field(waypoint, CONTROL(EdLGWpmin), {118, 76, 86, 24}, wp);
    m.Radio(waypoint, CONTROL(RadioButtonWPE), "E", {226, 78}, wp);
    m.Radio(waypoint, CONTROL(RadioButtonWPW), "W", {276, 78}, wp);
    m.Field(waypoint, CONTROL(EdNwpt), {56, 108, 148, 24}, wp);
    m.Push(
        waypoint, CONTROL(BtModWp), {226, 106, 90, 28}, wp, [this] { w_.BtModWpClick(); }, ShortcutOf("BtModWp"));
    m.Display(waypoint, CONTROL(EdDTW), {56, 142, 80, 24}, wp);
    m.Display(waypoint, CONTROL(EdBTW), {250, 142, 64, 24}, wp);
}

void MainWindow::BuildComputedData() {
    ControlBindings<TFCorvel>& m = bind_->controls;
    const int group = G(ControlGroup::ComputedData);
    QGroupBox* panel = Panel(canvas_, "Données calculées", {24, 576, 361, 241});
    AddCaptions(panel, {{"Vitesse ", 10, 24},
                        {"du bateau", 10, 38},
                        {"nds", 140, 32},
                        {"°", 330, 32},
                        {"au près", 10, 76},
                        {"VMG", 10, 90},
                        {"nds", 140, 84},
                        {"VMG au vent", 180, 84},
                        {"Force", 134, 120},
                        {"Direction", 200, 120},
                        {"Angle", 280, 120},
                        {"Vent apparent", 10, 146}});
    m.Display(panel, CONTROL(EdBSP), {78, 28, 58, 24}, group);
    m.Text(panel, CONTROL(LabBestHAul), {180, 32, 90, 18}, group);
    m.Text(panel, CONTROL(LbEdBestHaul), {276, 32, 50, 18}, group);
    m.Text(panel, CONTROL(LbEdVMGauPres), {82, 84, 54, 18}, group);
    m.Display(panel, CONTROL(EdVMGVent), {276, 80, 58, 24}, group);
    m.Display(panel, CONTROL(EdAWS), {130, 142, 60, 24}, group);
    m.Display(panel, CONTROL(EdAWD), {200, 142, 60, 24}, group);
    m.Display(panel, CONTROL(EdAWA), {274, 142, 60, 24}, group);
    m.Text(panel, CONTROL(LabTypVent), {10, 182, 118, 18}, group);
    m.Display(panel, CONTROL(EdVRS_S), {130, 178, 60, 24}, group);
    m.Display(panel, CONTROL(EdVRS_D), {200, 178, 60, 24}, group);
    m.Display(panel, CONTROL(EdVRS_A), {274, 178, 60, 24}, group);
}

void MainWindow::BuildVariation() {
    ControlBindings<TFCorvel>& m = bind_->controls;
    const int group = G(ControlGroup::Conditions);
    QGroupBox* panel = Panel(canvas_, "Déclinaison magnétique", {24, 833, 361, 81});
    AddCaptions(panel, {{"°", 72, 32}, {"Cap vrai", 186, 22}, {"Cap mag", 186, 52}});
    m.Field(panel, CONTROL(EdiDECL), {10, 28, 58, 24}, group, [this] { w_.EdiDECLChange(); });
    m.Radio(panel, CONTROL(RdgDeclE), "E", {90, 30}, group, [this] { w_.InitDeclinaison(); });
    m.Radio(panel, CONTROL(RdgDeclW), "W", {134, 30}, group, [this] { w_.InitDeclinaison(); });
    m.Display(panel, CONTROL(Ed2HDGT), {256, 18, 80, 24}, group);
    m.Display(panel, CONTROL(EdHDM), {256, 48, 80, 24}, group);
}

void MainWindow::BuildCentre() {
    ControlBindings<TFCorvel>& m = bind_->controls;
    const int group = G(ControlGroup::Centre);
    constexpr int x = 422, width = 180;
    QLabel* polar = m.Text(canvas_, CONTROL(StxNomPol), {x, 16, width, 40}, group);
    polar->setCursor(Qt::PointingHandCursor);
    polar->setToolTip(QStringLiteral("Cliquer pour voir la polaire"));
    polar->installEventFilter(this);  // a click shows the polar window
    polar->setAlignment(Qt::AlignCenter);
    QFont name = polar->font();  // its own font, which the zoom scales
    name.setPixelSize(15);
    name.setBold(true);
    polar->setFont(name);
    polar->setStyleSheet(QStringLiteral("background: rgba(255,255,255,200); border-radius: 6px;"));
    QLabel* category = m.Text(canvas_, CONTROL(LabCateg), {x, 80, width, 32}, group);
    category->setAlignment(Qt::AlignCenter);
    category->setWordWrap(true);
    category->setStyleSheet(QStringLiteral("background: rgba(255,255,255,200); border-radius: 6px;"));
    QPushButton* simulate =
        m.Push(canvas_, CONTROL(BtCalC), {x, 123, width, 33}, group, ClickOf("BtCalC"), ShortcutOf("BtCalC"));
    simulate->setStyleSheet(QStringLiteral("font-weight: bold;"));
    QPushButton* pause = m.Push(canvas_, CONTROL(SpBtPauseRes), {x, 176, width, 44}, group, ClickOf("SpBtPauseRes"),
                                ShortcutOf("SpBtPauseRes"));
    pause->setIconSize({32, 32});
    bind_->glyphs.push_back({pause, GlyphList::PauseResume, &w_.GlyphResPause});
    m.Push(canvas_, CONTROL(BtBestHaul), {x, 230, width, 40}, group, ClickOf("BtBestHaul"), ShortcutOf("BtBestHaul"));
    QLineEdit* tack = m.Display(canvas_, CONTROL(EdAM), {x, 283, width, 32}, group);
    tack->setAlignment(Qt::AlignCenter);
    tack->setStyleSheet(QStringLiteral("font-weight: bold;"));

    QGroupBox* ground = Panel(canvas_, "Route sur le fond", {x, 326, width, 140});
    AddCaptions(
        ground,
        {{"COG", 10, 28}, {"°", 140, 28}, {"SOG", 10, 58}, {"nds", 140, 58}, {"Dérive :  Vent + Courant", 10, 84}});
    m.Display(ground, CONTROL(EdCOG), {60, 24, 74, 24}, group);
    m.Display(ground, CONTROL(EdSOG), {60, 54, 74, 24}, group);
    m.Display(ground, CONTROL(EdDeriv), {10, 104, 60, 24}, group);
    m.Text(ground, CONTROL(LDeriv), {78, 108, 96, 18}, group);

    const int wp = G(ControlGroup::Waypoint);
    QGroupBox* distances = Panel(canvas_, "Distances au waypoint", {x, 479, width, 170});
    AddCaptions(distances, {{"Orthodromie", 10, 24},
                            {"MN", 150, 42},
                            {"Loxodromie", 10, 64},
                            {"MN", 150, 82},
                            {"WCV", 10, 110},
                            {"nds", 150, 110},
                            {"ETE", 10, 138}});
    m.Text(distances, CONTROL(LabEddistortho), {10, 42, 136, 18}, wp);
    m.Text(distances, CONTROL(LabEdDistLoxo), {10, 82, 136, 18}, wp);
    m.Text(distances, CONTROL(LbEdWCV), {60, 110, 86, 18}, wp);
    m.Text(distances, CONTROL(LbEDETE), {60, 138, 110, 18}, wp);

    // The sounder: the boat's silhouette above the depth profile, in a frame.
    auto* frame = new QFrame(canvas_);
    frame->setGeometry(x, 672, width, 233);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setStyleSheet(QStringLiteral("QFrame { background: rgba(255,255,255,160); border-radius: 6px; }"));
    auto* silhouette = new BoatSilhouette(frame);
    silhouette->setGeometry((width - 175) / 2, 20, 175, BoatSilhouette::kHeight);
    depth_ = new DepthPictureWidget(w_.Engine.S, frame);
    depth_->setObjectName(QStringLiteral("ImageProf"));
    depth_->move((width - depth_->width()) / 2, 20 + BoatSilhouette::kHeight);
}

void MainWindow::BuildCompass() {
    ControlBindings<TFCorvel>& m = bind_->controls;
    const int pilot = G(ControlGroup::Pilot);
    compass_ = new CompassWidget(w_.FMXCompass1, canvas_);
    compass_->setObjectName(QStringLiteral("FMXCompass1"));
    compass_->setGeometry(630, 18, w_.FMXCompass1.Width, w_.FMXCompass1.Height);
    boat_ = new BoatPicture(compass_);
    boat_->setObjectName(QStringLiteral("ImageBatDYN"));
    boat_->move(static_cast<int>(w_.FMXCompass1.CentreXY.x) - BoatPicture::kSide / 2,
                static_cast<int>(w_.FMXCompass1.CentreXY.y) - BoatPicture::kSide / 2);

    QLineEdit* heading = m.Display(canvas_, CONTROL(EdCAP), {638, 22, 100, 46}, G(ControlGroup::Compass));
    QFont big = heading->font();
    big.setPointSize(20);
    big.setBold(true);
    heading->setFont(big);
    heading->setAlignment(Qt::AlignCenter);
    // The announcement of a pilot turn, whole and centred just below the boat, inside the dial,
    // clear of its rim and of the speed rings' labels (drawn north of the centre).
    const int centreX = compass_->x() + static_cast<int>(w_.FMXCompass1.CentreXY.x);
    const int belowBoat = compass_->y() + static_cast<int>(w_.FMXCompass1.CentreXY.y) + BoatPicture::kSide / 2 + 8;
    QLineEdit* notice = m.Display(canvas_, CONTROL(EdModCap), {centreX - 140, belowBoat, 280, 26}, pilot);
    notice->setAlignment(Qt::AlignCenter);
    QFont bold = notice->font();
    bold.setBold(true);
    notice->setFont(bold);

    // The pilot's and the helm's buttons stand in the compass's corners, clear of the dial: AUTO over
    // STDBY at the top right, "- 1" over "-10" and "+ 1" over "+10" at the bottom, the manoeuvres
    // below them.
    QPushButton* autoButton =
        m.Push(canvas_, CONTROL(SpBTAUTO), {1076, 20, 90, 34}, pilot, ClickOf("SpBTAUTO"), ShortcutOf("SpBTAUTO"));
    QPushButton* standby =
        m.Push(canvas_, CONTROL(SpBtStdBY), {1076, 58, 90, 34}, pilot, ClickOf("SpBtStdBY"), ShortcutOf("SpBtStdBY"));
    for (auto [button, list, glyph] : {std::tuple{autoButton, GlyphList::Auto, &w_.Glyph_AUTO},
                                       std::tuple{standby, GlyphList::Standby, &w_.Glyph_STDBY}}) {
        button->setIconSize({80, 28});
        bind_->glyphs.push_back({button, list, glyph});
    }
    m.Push(canvas_, CONTROL(SpBtL), {638, 484, 48, 28}, pilot, ClickOf("SpBtL"), ShortcutOf("SpBtL"));
    m.Push(canvas_, CONTROL(SpBT10L), {638, 516, 48, 28}, pilot, ClickOf("SpBT10L"), ShortcutOf("SpBT10L"));
    m.Push(canvas_, CONTROL(SpBt10R), {1118, 516, 48, 28}, pilot, ClickOf("SpBt10R"), ShortcutOf("SpBt10R"));
    m.Push(canvas_, CONTROL(SpBtR), {1118, 484, 48, 28}, pilot, ClickOf("SpBtR"), ShortcutOf("SpBtR"));
    QPushButton* tack =
        m.Push(canvas_, CONTROL(SBtVire), {638, 550, 110, 36}, pilot, ClickOf("SBtVire"), ShortcutOf("SBtVire"));
    QPushButton* gybe =
        m.Push(canvas_, CONTROL(SBtEmp), {1056, 550, 110, 36}, pilot, ClickOf("SBtEmp"), ShortcutOf("SBtEmp"));
    for (QPushButton* b : {tack, gybe}) b->setStyleSheet(QStringLiteral("font-weight: bold;"));

    auto* tiller = new QSlider(Qt::Horizontal, canvas_);
    tiller->setObjectName(QStringLiteral("TrackBarre"));
    auto* jump = new TillerStyle;  // a click in the groove puts the tiller there
    jump->setParent(tiller);
    tiller->setStyle(jump);
    tiller->setGeometry(700, 596, 260, 26);
    PaintsAtNormalSize(tiller, tiller->size());  // its handle scaled by its style
    tiller->setTickPosition(QSlider::TicksBelow);
    tiller->setTickInterval(5);
    tiller->setPageStep(5);
    connect(tiller, &QSlider::valueChanged, this, [this, move = app::CommandOfControl("TrackBarre")](int value) {
        Command([this, move, value] { move->click(w_, value); });
    });
    bind_->tiller = tiller;
    auto* centre = new QPushButton(canvas_);
    centre->setObjectName(QStringLiteral("zerolabarre"));
    centre->setGeometry(972, 592, 64, 34);
    centre->setFlat(true);
    centre->setIcon(QIcon(CentreTillerPicture({60, 30})));
    centre->setIconSize({60, 30});
    centre->setToolTip(Q(w_.zerolabarre.hint));
    connect(centre, &QPushButton::clicked, this, [this] { Command([this] { w_.zerolabarreClick(); }); });
    bind_->zeroTiller = centre;
}

void MainWindow::BuildTransmission() {
    ControlBindings<TFCorvel>& m = bind_->controls;
    const int group = G(ControlGroup::Transmission);
    transmission_ = Panel(canvas_, "TRANSMISSION NMEA 0183", kTransmissionPanel);
    transmission_->setObjectName(QStringLiteral("Transmission"));
    AddCaptions(transmission_, {{"FILAIRE", 8, 30},
                                {"COM", 100, 30},
                                {"Vit", 386, 30},
                                {"bds ", 508, 30},
                                {"WIFI", 8, 62},
                                {"Stat", 282, 62}});
    // The switch only shows the user's choice: sending depends on the open port alone.
    m.Switch(transmission_, CONTROL(SwActivNMEA_com), {64, 28}, group);
    // The port list shows the devices behind the names as the system lists them when it opens.
    m.List(
        transmission_, CONTROL(CBCom), {132, 26, 180, 26}, group, [this] { w_.CBComSelect(); },
        [this] { w_.RefreshComList(); });
    m.Push(
        transmission_, CONTROL(RAZCom), {320, 25, 56, 28}, group, [this] { w_.RAZComClick(); }, ShortcutOf("RAZCom"));
    m.List(transmission_, CONTROL(CBbauds), {410, 26, 92, 26}, group);

    m.Switch(transmission_, CONTROL(SwWIFI), {64, 60}, group, [this] { w_.SwWIFISwitch(); });
    m.Push(transmission_, CONTROL(BtParamWIFI), {100, 57, 170, 28}, group, [this] { w_.BtParamWIFIClick(); });
    m.Display(transmission_, CONTROL(EdConnex), {314, 58, 200, 26}, group);
    m.Push(
        transmission_, CONTROL(SpBtZoomNMEA), {528, 57, 30, 28}, group, [this] { w_.SpBtZoomNMEAClick(); },
        ShortcutOf("SpBtZoomNMEA"));

    sentences_ = new QPlainTextEdit(transmission_);
    sentences_->setObjectName(QStringLiteral("MemoNMEA"));
    sentences_->setReadOnly(true);
    sentences_->setMaximumBlockCount(kSentenceListLines);
    sentences_->setLineWrapMode(QPlainTextEdit::NoWrap);
    sentences_->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
    sentences_->setGeometry(8, 92, 555, 195);
    // Only the user's own moves of the scroll bar (wheel, keys, drag, clicks) decide whether the
    // list follows: its position when the action is applied says whether it is at the bottom.
    QScrollBar* bar = sentences_->verticalScrollBar();
    connect(bar, &QAbstractSlider::actionTriggered, this,
            [this, bar](int) { sentencesFollow_ = bar->sliderPosition() >= bar->maximum(); });
}

void MainWindow::BuildRightColumn() {
    ControlBindings<TFCorvel>& m = bind_->controls;
    slide_ = new SlidePicture(w_.Slides, canvas_);
    slide_->move(1193, 16);
    AddCaption(canvas_, {"Diaporama", 1300, 574});
    m.Switch(canvas_, CONTROL(SwitchDiapos), {1384, 573}, G(ControlGroup::Menus), [this] { w_.SwitchDiaposSwitch(); });
    // The legend picture carries its title, "Légende du compas".
    legend_ = new QLabel(canvas_);
    legend_->setObjectName(QStringLiteral("Legende"));
    legend_->setGeometry(1216, 629, 377, 292);
    legend_->setPixmap(LegendPicture(legend_->size()));
}

std::function<void()> MainWindow::ClickOf(const char* control) {
    const app::WindowCommand* c = app::CommandOfControl(control);
    return [this, c] { c->click(w_, 0); };
}

void MainWindow::BuildShortcuts() {
    for (const app::WindowCommand& c : app::WindowCommands()) {
        if (c.shortcut.empty()) continue;
        const QString name = QString::fromLatin1(c.control.data(), static_cast<qsizetype>(c.control.size()));
        auto* button = canvas_->findChild<QPushButton*>(name);
        auto* shortcut = new QShortcut(KeyOf(c), this);
        connect(shortcut, &QShortcut::activated, this, [button] {
            if (button->isEnabled() && button->isVisible()) button->click();
        });
    }
}

#undef CONTROL

// ---------------------------------------------------------------- running

void MainWindow::Command(const std::function<void()>& handler) {
    handler();
    if (w_.Closed) {
        close();
        return;
    }
    Refresh(true);
    SyncDialogs();
    ScheduleNextPump();
}

void MainWindow::SyncDialogs() {
    for (const auto& refresh : dialogs_) refresh();
}

void MainWindow::Simulate() {
    Command([this] { w_.BtCalCClick(); });
}

void MainWindow::Pump() {
    w_.Timers.FollowClock(clock_.elapsed());
    Refresh();
    SyncDialogs();  // a manoeuvre changes the parameters dialog's boxes
    if (w_.Closed) {
        close();
        return;
    }
    ScheduleNextPump();
}

void MainWindow::ScheduleNextPump() {
    const sim::Millis due = w_.Timers.NextDue();
    if (due < 0) {
        pump_.stop();  // nothing to run until the user does something
        return;
    }
    pump_.start(static_cast<int>(std::clamp<sim::Millis>(due - clock_.elapsed(), 0, 60'000)));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched->objectName() == QLatin1String("StxNomPol")) {
        Command([this] { program_.FPolaire.Visible = true; });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ScheduleNextPump();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box ends the program without a question (the "Quitter" entry asks).
    pump_.stop();
    w_.FormClose();
    event->accept();
}

// ---------------------------------------------------------------- drawing the model

void MainWindow::Refresh(bool all) {
    help_->Refresh(all);
    slide_->Refresh();
    std::array<bool, app::kControlGroupCount> moved{};
    bool any = false;
    for (std::size_t g = 0; g < app::kControlGroupCount; ++g) {
        const std::uint64_t now = w_.Changes.Of(static_cast<ControlGroup>(g));
        moved[g] = all || !drawnOnce_ || now != drawn_[g];
        drawn_[g] = now;
        any = any || moved[g];
    }
    drawnOnce_ = true;
    if (!any) return;
    auto changed = [&moved](ControlGroup g) { return moved[static_cast<std::size_t>(g)]; };

    bind_->controls.Refresh([&moved](int group) { return moved[static_cast<std::size_t>(group)]; });
    for (auto& [control, action] : bind_->menus) {
        if (!changed(ControlGroup::Menus)) continue;
        const app::MenuItem& item = w_.*control;
        action->setEnabled(item.enabled);
        if (action->isCheckable()) action->setChecked(item.checked);
    }
    if (changed(ControlGroup::Conditions)) {
        const QSignalBlocker quiet(bind_->polarPercent);
        if (!bind_->polarPercent->hasFocus()) {  // the user may be typing a value in it
            bind_->polarPercent->setRange(static_cast<int>(w_.SpBPolPerc.min), static_cast<int>(w_.SpBPolPerc.max));
            bind_->polarPercent->setValue(static_cast<int>(w_.SpBPolPerc.value));
        }
        bind_->polarPercent->setEnabled(w_.SpBPolPerc.enabled);
    }
    if (changed(ControlGroup::Pilot)) {
        const QSignalBlocker quiet(bind_->tiller);
        bind_->tiller->setRange(w_.TrackBarre.min, w_.TrackBarre.max);
        bind_->tiller->setValue(w_.TrackBarre.value);
        bind_->tiller->setEnabled(w_.TrackBarre.enabled);
        SetTip(bind_->zeroTiller, w_.zerolabarre.hint, {});
    }
    if (program_.Zoom.Revision != zoomDrawn_) {
        zoomDrawn_ = program_.Zoom.Revision;
        ShowZoom();
    }
    for (auto& g : bind_->glyphs) {
        if (g.shown == g.glyph->imageIndex) continue;
        g.shown = g.glyph->imageIndex;
        g.button->setIcon(QIcon(GlyphImage(g.list, g.shown, 64)));
    }
    if (changed(ControlGroup::Compass)) ShowInstruments();
    if (changed(ControlGroup::Transmission)) ShowSentenceList();
    const QString caption = Q(w_.Caption);
    if (windowTitle() != caption) setWindowTitle(caption);
}

void MainWindow::ShowInstruments() {
    const bool shown = !w_.NmeaListZoomed;
    compass_->setVisible(shown);
    compass_->ModelChanged();
    boat_->SetHeading(w_.ImageBatDYNRotation);
    depth_->ModelChanged();
}

void MainWindow::ShowSentenceList() {
    const app::TextLog& log = w_.MemoNMEA;
    if (log.Cleared() != sentencesCleared_) {
        sentences_->clear();
        sentencesFollow_ = true;
        sentencesCleared_ = log.Cleared();
        sentencesShown_ = log.Appended() - log.Lines().size();
    }
    // The new lines, at most a list's worth: the older ones would scroll out at once.
    const std::uint64_t fresh = log.Appended() - sentencesShown_;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>({fresh, log.Lines().size(), kSentenceListLines}));
    if (count > 0) {
        QStringList lines;
        lines.reserve(static_cast<qsizetype>(count));
        for (auto it = log.Lines().end() - static_cast<std::ptrdiff_t>(count); it != log.Lines().end(); ++it)
            lines << Q(*it);
        QScrollBar* bar = sentences_->verticalScrollBar();
        const int kept = bar->value();
        const int before = sentences_->blockCount();
        sentences_->appendPlainText(lines.join(QLatin1Char('\n')));
        // Following, the newest line at the bottom; otherwise the lines the user reads stay put,
        // moved up by the oldest lines the bounded list let go (the scroll bar counts lines).
        const int dropped = std::max(0, before + static_cast<int>(count) - sentences_->blockCount());
        bar->setValue(w_.MemoNMEAFollowsEnd && sentencesFollow_ ? bar->maximum() : std::max(0, kept - dropped));
    }
    sentencesShown_ = log.Appended();

    // "+": the list over the compass column, the compass's neighbours hidden.
    if (zoomShown_ != w_.NmeaListZoomed) {
        zoomShown_ = w_.NmeaListZoomed;
        canvasZoom_->Place(transmission_, zoomShown_ ? kTransmissionRaised : kTransmissionPanel);
        transmission_->setAutoFillBackground(zoomShown_);  // raised, it hides what lies beneath (AUTO, STDBY)
        canvasZoom_->Place(sentences_, QRect(8, 92, 555, zoomShown_ ? 915 - 100 : 195));
        transmission_->raise();
        compass_->setVisible(!zoomShown_);
        bind_->tiller->setVisible(!zoomShown_);
        bind_->zeroTiller->setVisible(!zoomShown_);
    }
}

void MainWindow::ShowZoom() {
    const app::WindowZoom& zoom = program_.Zoom;
    for (const auto& [item, action] : bind_->zoomMenu) {
        action->setEnabled(item->enabled);
        if (action->isCheckable()) action->setChecked(item->checked);
    }
    if (canvasZoom_->Factor() == zoom.Factor()) return;
    canvasZoom_->Apply(zoom.Factor());
    // The pictures drawn at a size, drawn again at the new one.
    legend_->setPixmap(LegendPicture(legend_->size()));
    bind_->zeroTiller->setIcon(QIcon(CentreTillerPicture(bind_->zeroTiller->iconSize())));
    if (isVisible() && !isMaximized() && !isFullScreen()) FitWindow();
}

app::WindowChrome MainWindow::Chrome() const {
    // A window manager's title bar and borders: the window does not know them before it is shown.
    constexpr int kDecorationWidth = 10, kDecorationHeight = 40;
    const int frames = 2 * scroll_->frameWidth();
    return {frames + kDecorationWidth, frames + menuBar()->sizeHint().height() + kDecorationHeight};
}

void MainWindow::FitWindow() {
    const QSize wanted(canvas_->width() + 2 * scroll_->frameWidth(),
                       canvas_->height() + 2 * scroll_->frameWidth() + menuBar()->sizeHint().height());
    const QSize available = screen() ? screen()->availableGeometry().size() : wanted;
    resize(wanted.boundedTo(available));
}

}  // namespace corvel::ui

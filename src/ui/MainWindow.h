// The main window as Qt widgets: a thin view of the main window model (app::TFCorvel) and of the
// program's other models. Every widget is bound to one control of the model by a table (its
// object name is the control's name); the view copies the model's texts, colours and enabled and
// visible states into the widgets, and the user's edits and clicks back into the model, which
// does the rest. One timer follows the monotonic clock and advances the engine's virtual time;
// after each advance the view redraws only the groups of controls whose revision moved.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <vector>

#include "app/program/Program.h"
#include "app/windows/ControlGroups.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QScrollArea;

namespace corvel::ui {

class AboutBox;
class BoatPicture;
class CanvasZoom;
class CompassWidget;
class DepthPictureWidget;
class HelpView;
class PolarWindow;
class SlidePicture;

class MainWindow : public QMainWindow {
public:
    // The window of `program`, whose models it shows and drives. `boatPicture`: the boat drawn
    // over the compass's centre (the program's iconbatTRANS.png).
    MainWindow(app::Program& program, const QPixmap& boatPicture);
    ~MainWindow() override;

    // The client area the controls are laid out on (1600 x 940 at 100 %), inside the scroll area.
    // The menu "Zoom" scales it whole (CanvasZoom): every control's geometry and font, the
    // pictures and the instruments; the window takes the client area's new size.
    static constexpr int kClientWidth = app::kClientWidth;
    static constexpr int kClientHeight = app::kClientHeight;
    QWidget* Canvas() const { return canvas_; }

    // Brings the engine's virtual time up to the monotonic clock, then redraws what changed.
    // The window's timer calls it; tests call FollowClock(false) after advancing the virtual
    // time themselves.
    void Pump();
    // Redraws the groups whose revision moved since they were last drawn (every group: `all`).
    void Refresh(bool all = false);
    // Presses "SIMULER" as the button does (the command line's --simulate).
    void Simulate();
    // A user's command: the model's handler, then every group redrawn, the dialogs shown or
    // hidden as their models say, and the timer set again.
    void Command(const std::function<void()>& handler);

    struct Bindings;  // the widgets bound to the model's controls

protected:
    void closeEvent(QCloseEvent* event) override;
    // Shown again (or restored): the slide picture, shown before the window, may have started the
    // slide timer again.
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildConditions();
    void BuildComputedData();
    void BuildVariation();
    void BuildCentre();
    void BuildCompass();
    void BuildTransmission();
    void BuildRightColumn();
    void BuildShortcuts();
    // What a click on a control of the window's command table calls: its row's handler.
    std::function<void()> ClickOf(const char* control);
    void BuildZoomMenu();
    // The zoom in force shown: the menu's states, and the client area scaled when it changed.
    void ShowZoom();
    // The window's size for the client area at its zoom, within the screen's free area.
    void FitWindow();
    // What the window adds around the client area: frames, menu bar, a window manager's title bar.
    app::WindowChrome Chrome() const;
    void SyncDialogs();
    void ScheduleNextPump();
    void ShowSentenceList();
    void ShowInstruments();

    app::Program& program_;
    app::TFCorvel& w_;
    std::unique_ptr<Bindings> bind_;
    std::unique_ptr<CanvasZoom> canvasZoom_;
    std::uint64_t zoomDrawn_ = 0;  // the zoom model's revision last shown
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
    CompassWidget* compass_ = nullptr;
    BoatPicture* boat_ = nullptr;
    DepthPictureWidget* depth_ = nullptr;
    QWidget* transmission_ = nullptr;
    QLabel* legend_ = nullptr;
    QPlainTextEdit* sentences_ = nullptr;
    SlidePicture* slide_ = nullptr;
    HelpView* help_ = nullptr;
    AboutBox* about_ = nullptr;
    PolarWindow* polar_ = nullptr;
    // Each dialog (a child of the window) shown or hidden as its model says, and redrawn.
    std::vector<std::function<void()>> dialogs_;
    QTimer pump_;
    QElapsedTimer clock_;
    std::array<std::uint64_t, app::kControlGroupCount> drawn_{};
    bool drawnOnce_ = false;
    // What the sentence list shows of the log: lines appended, and clearings, when last drawn.
    std::uint64_t sentencesShown_ = 0, sentencesCleared_ = 0;
    // The sentence list shows its newest line: true until the user scrolls up, true again once
    // the user brings it back to the bottom, and after "RAZ".
    bool sentencesFollow_ = true;
    bool zoomShown_ = false;
};

}  // namespace corvel::ui

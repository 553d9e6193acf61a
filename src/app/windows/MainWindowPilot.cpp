// The main-window model: the controls of the manoeuvres (best close-hauled, tack, gybe) and of the
// pilot (AUTO, STDBY, heading changes, tiller), their captions and glyphs. The engine decides;
// the window asks it and shows what it says.
#include <array>
#include <cmath>

#include "app/windows/ControlCommands.h"
#include "app/windows/MainWindowModel.h"
#include "nav/Conversions.h"

namespace corvel::app {

using sim::BestHaulStage;

namespace {

// The captions of "Venir au meilleur près" by stage of the manoeuvre.
struct StageCaption {
    BestHaulStage stage;
    const char* caption;
};
constexpr std::array<StageCaption, 11> kStageCaptions = {{
    {BestHaulStage::Offered, "Venir au meilleur près"},
    {BestHaulStage::OfferedAfter, "Venir au meilleur près."},  // the end of a tack or gybe
    {BestHaulStage::Luffing, "AU LOF ...."},
    {BestHaulStage::Approaching, "en approche...."},
    {BestHaulStage::CloseHauled, "AU PRES"},
    {BestHaulStage::Arrived, "AU PRES"},
    {BestHaulStage::TackStarting, "Virement en cours"},
    {BestHaulStage::Tacking, "Virement en cours ..."},
    {BestHaulStage::GybeStarting, "EMPANNAGE EN COURS"},
    {BestHaulStage::Gybing, "Empannage en cours ..."},
    {BestHaulStage::Tiller, "Utiliser la barre"},
}};

const char* CaptionOf(BestHaulStage stage) {
    for (const StageCaption& c : kStageCaptions) {
        if (c.stage == stage) return c.caption;
    }
    return "";
}

// The heading-change notice: "ON VIRE A TRIBORD DE 10 deg.".
std::string HeadingChangeNotice(float change) {
    return std::string(change > 0 ? "ON VIRE A TRIBORD DE " : "ON VIRE A BABORD DE ") +
           nav::FormatGeneral(std::fabs(change)) + " deg.";
}

}  // namespace

// ---------------------------------------------------------------- clicks

void TFCorvel::BtBestHaulClick() { Engine.BearToCloseHauled(); }
void TFCorvel::SBtVireClick() { Engine.Tack(); }
void TFCorvel::SBtEmpClick() { Engine.Gybe(); }
void TFCorvel::SpBtAUTOClick() { Engine.Auto(); }
void TFCorvel::SpBtStdBYClick() { Engine.Standby(); }
void TFCorvel::SpBtRClick() { Engine.ChangeHeading(1); }
void TFCorvel::SpBt10RClick() { Engine.ChangeHeading(10); }
void TFCorvel::SpBtLClick() { Engine.ChangeHeading(-1); }
void TFCorvel::SpBT10LClick() { Engine.ChangeHeading(-10); }

// ---------------------------------------------------------------- what the engine says

void TFCorvel::ShowOfferedCommands() {
    Changes.Bump(ControlGroup::Pilot);
    Changes.Bump(ControlGroup::Centre);
    for (const WindowCommand& c : WindowCommands()) {
        if (c.enabled != nullptr && c.question) c.enabled(*this) = Engine.Offers(*c.question);
    }
}

void TFCorvel::ShowPilotGlyphs(sim::PilotSituation situation) {
    const sim::PilotGlyphImages& g = sim::GlyphsFor(situation);
    if (g.autoImage != sim::kGlyphUnchanged) Glyph_AUTO.imageIndex = g.autoImage;
    if (g.standbyImage != sim::kGlyphUnchanged) Glyph_STDBY.imageIndex = g.standbyImage;
}

void TFCorvel::PilotModeChanged() {
    Changes.Bump(ControlGroup::Pilot);
    ShowPilotGlyphs(S.Standby ? sim::PilotSituation::Standby : sim::PilotSituation::Auto);
}

void TFCorvel::MajBtBestHaul() {
    Changes.Bump(ControlGroup::Centre);
    if (S.Standby) {
        SetText(BtBestHaul.caption, CaptionOf(BestHaulStage::Tiller));
    } else if (S.CloseHauled) {
        SetText(BtBestHaul.caption, CaptionOf(BestHaulStage::CloseHauled));
    } else if (S.NoManoeuvre()) {
        SetText(BtBestHaul.caption, CaptionOf(BestHaulStage::Offered));
    } else if (S.Tacking) {
        SetText(BtBestHaul.caption, CaptionOf(BestHaulStage::Tacking));
    } else if (S.Gybing) {
        SetText(BtBestHaul.caption, CaptionOf(BestHaulStage::Gybing));
    }  // a luffing alone keeps the caption it set
    if (!S.CloseHauled) BtBestHaul.fill = colours::LightSalmon;
}

void TFCorvel::BestHaulStageChanged(BestHaulStage stage) {
    Changes.Bump(ControlGroup::Centre);
    BtBestHaul.caption = CaptionOf(stage);
    if (stage == BestHaulStage::Arrived) BtBestHaul.fill = colours::Yellow;
}

void TFCorvel::HeadingChangeShown(float change, bool shown) {
    Changes.Bump(ControlGroup::Pilot);
    if (shown) EdModCap.text = HeadingChangeNotice(change);
    EdModCap.visible = shown;
}

}  // namespace corvel::app

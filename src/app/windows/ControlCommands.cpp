// The window's commands by name and the control port's lines; see ControlCommands.h.
#include "app/windows/ControlCommands.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

#include "app/program/ConfigFiles.h"
#include "app/program/SimulationTexts.h"
#include "config/Configuration.h"
#include "nav/Conversions.h"
#include "nav/Utf8Text.h"
#include "nav/ValidFloat.h"
#include "nmea/SentenceEncoder.h"

namespace corvel::app {

namespace {

using sim::Command;

// The current's two choices: a click on the radio button, then its handler.
template <bool alternating>
void ChooseCurrent(TFCorvel& w, int) {
    w.RdBtCourAlt.checked = alternating;
    w.RdBtCourConst.checked = !alternating;
    w.RdBtCourConstChange();
}
template <bool alternating>
std::string_view CurrentInForce(const TFCorvel& w) {
    if (w.Engine.AlternatingCurrent() != alternating) return {};
    return alternating ? "le courant est déjà alterné" : "le courant est déjà constant";
}

constexpr std::string_view kTiller = "BARRE=";

#define ENABLED(control) [](TFCorvel& w) -> bool& { return w.control.enabled; }
#define CLICK(handler) [](TFCorvel& w, int) { w.handler(); }
const WindowCommand kWindowCommands[] = {
    {"", "BtCalC", CLICK(BtCalCClick), std::nullopt, nullptr, nullptr, "F5"},
    {"VIRER", "SBtVire", CLICK(SBtVireClick), Command::Tack, ENABLED(SBtVire), nullptr, "F7"},
    {"EMPANNER", "SBtEmp", CLICK(SBtEmpClick), Command::Gybe, ENABLED(SBtEmp), nullptr, "F8"},
    {"MEILLEUR_PRES", "BtBestHaul", CLICK(BtBestHaulClick), Command::BestHaul, ENABLED(BtBestHaul), nullptr, "F9"},
    {"AUTO", "SpBTAUTO", CLICK(SpBtAUTOClick), Command::Auto, ENABLED(SpBTAUTO), nullptr, "F2"},
    {"STDBY", "SpBtStdBY", CLICK(SpBtStdBYClick), Command::Standby, ENABLED(SpBtStdBY), nullptr, "F3"},
    {"+1", "SpBtR", CLICK(SpBtRClick), Command::HeadingOne, ENABLED(SpBtR), nullptr, "Ctrl+Right"},
    {"+10", "SpBt10R", CLICK(SpBt10RClick), Command::HeadingTen, ENABLED(SpBt10R), nullptr, "Ctrl+Shift+Right"},
    {"-1", "SpBtL", CLICK(SpBtLClick), Command::HeadingOne, ENABLED(SpBtL), nullptr, "Ctrl+Left"},
    {"-10", "SpBT10L", CLICK(SpBT10LClick), Command::HeadingTen, ENABLED(SpBT10L), nullptr, "Ctrl+Shift+Left"},
    {"BARRE=N", "TrackBarre",
     [](TFCorvel& w, int position) {
         w.TrackBarre.value = position;
         w.TrackBarreChange();
     },
     Command::Tiller, ENABLED(TrackBarre), nullptr, ""},
    {"PAUSE", "SpBtPauseRes", CLICK(SpBtPauseResClick), Command::Pause, ENABLED(SpBtPauseRes), nullptr, "F6"},
    {"REPRISE", "SpBtPauseRes", CLICK(SpBtPauseResClick), Command::Resume, ENABLED(SpBtPauseRes), nullptr, ""},
    {"ALTERNE", "RdBtCourAlt", ChooseCurrent<true>, std::nullopt, nullptr, CurrentInForce<true>, ""},
    {"CONSTANT", "RdBtCourConst", ChooseCurrent<false>, std::nullopt, nullptr, CurrentInForce<false>, ""},
};
#undef ENABLED
#undef CLICK

// The row that `command` names, with the argument of "BARRE=N"; null when none does.
const WindowCommand* NamedCommand(std::string_view command, int& argument) {
    argument = 0;
    for (const WindowCommand& c : kWindowCommands) {
        if (c.name.empty()) continue;
        if (c.name.starts_with(kTiller)) {
            const auto position = TillerPosition(command);
            if (!position) continue;
            argument = *position;
            return &c;
        }
        if (command == c.name) return &c;
    }
    return nullptr;
}

// ---------------------------------------------------------------- control lines

constexpr std::string_view kOk = "OK";
// STATE during a replay: no boat is simulated, so none is described.
constexpr std::string_view kReplayState = "{\"replay\":true}";
constexpr std::string_view kSetWords = "TWS, TWD, HDG, CURRENT, POS ou WP";
constexpr std::string_view kPositionForm = "DD MM.M N|S DDD MM.M E|W";

std::string Err(std::string_view reason) { return "ERR " + std::string(reason); }

// The words of a line, split at runs of blanks.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// Bytes that a line of text may hold: printable ASCII and blanks.
bool Printable(std::string_view line) {
    for (const char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && c != '\t') || b > 0x7e) return false;
    }
    return true;
}

// A number of a ranged key of the configuration files, within that key's range.
struct Ranged {
    std::optional<nav::Real> value;
    std::string error;  // when there is no value: the French reason
};
Ranged RangedNumber(std::string_view text, std::string_view key, std::string_view what) {
    const config::KeyRange range = *config::RangeOfKey(key);
    const auto value = nav::ParsePlainDecimal(text);
    if (value && range.low <= *value && *value <= range.high) return {value, {}};
    return {std::nullopt,
            "valeur invalide pour " + std::string(what) + " : " + std::string(text) + " (" + RangeText(range) + ")"};
}

// "DD MM.M H": whole degrees of one to three digits, minutes 0 to below 60 with "." as separator,
// the hemisphere's letter (N or S, E or W: the first is positive). The field texts and the signed
// degrees, or the French reason.
struct PositionPart {
    std::string degrees, minutes;
    bool negative = false;
    std::string error;
};
PositionPart ParsePositionPart(std::span<const std::string_view> words, std::string_view hemispheres,
                               std::string_view key, std::string_view what) {
    PositionPart p;
    const std::string_view d = words[0];
    int degrees = 0;
    const auto [end, ec] = std::from_chars(d.data(), d.data() + d.size(), degrees);
    const auto minutes = nav::ParsePlainDecimal(words[1]);
    const std::string_view h = words[2];
    if (d.empty() || d.size() > 3 || ec != std::errc() || end != d.data() + d.size() || d[0] == '-' || !minutes ||
        *minutes < 0 || *minutes >= 60 || h.size() != 1 || hemispheres.find(h[0]) == std::string_view::npos) {
        p.error = "valeur invalide pour " + std::string(what) + " : attendu " + std::string(kPositionForm) +
                  " (minutes de 0 à moins de 60)";
        return p;
    }
    p.negative = h[0] == hemispheres[1];
    const nav::Real value = (degrees + *minutes / 60) * (p.negative ? -1 : 1);
    const config::KeyRange range = *config::RangeOfKey(key);
    if (value < range.low || value > range.high) {
        p.error = "valeur invalide pour " + std::string(what) + " : " + std::string(d) + " " + std::string(words[1]) +
                  " " + std::string(h) + " (" + RangeText(range) + ")";
        return p;
    }
    p.degrees = std::to_string(degrees);
    p.minutes = nav::FormatGeneral(*minutes);
    return p;
}

// The fields of one position: degrees, minutes and the two hemisphere buttons.
struct PositionFields {
    EditField TFCorvel::*degrees;
    EditField TFCorvel::*minutes;
    RadioButton TFCorvel::*positive;
    RadioButton TFCorvel::*negative;
};
struct PositionTarget {
    PositionFields latitude, longitude;
    std::string_view latitudeKey, longitudeKey;
};
constexpr PositionTarget kStartPosition{
    {&TFCorvel::EdLATDeg, &TFCorvel::EdLATMin, &TFCorvel::RadioButtonN, &TFCorvel::RadioButtonS},
    {&TFCorvel::EdLGDEG, &TFCorvel::EdLGMin, &TFCorvel::RadioButtonE, &TFCorvel::RadioButtonW},
    "iPOSLat",
    "iPOSLong"};
constexpr PositionTarget kWaypointPosition{
    {&TFCorvel::EdLatWpDeg, &TFCorvel::EDLatWpmin, &TFCorvel::RadioButtonWPN, &TFCorvel::RadioButtonWPS},
    {&TFCorvel::EDLGWpDeg, &TFCorvel::EdLGWpmin, &TFCorvel::RadioButtonWPE, &TFCorvel::RadioButtonWPW},
    "iWpLat",
    "iWpLong"};

// The edit of the fields of one SET, ready to apply; or the French reason it is refused.
struct FieldEdit {
    std::vector<std::pair<EditField TFCorvel::*, std::string>> texts;
    std::vector<std::pair<RadioButton TFCorvel::*, bool>> radios;
    std::string error;
};

bool ParsePosition(std::span<const std::string_view> words, const PositionTarget& target, std::string_view what,
                   FieldEdit& edit) {
    if (words.size() != 6) {
        edit.error = std::string(what) + " attend " + std::string(kPositionForm);
        return false;
    }
    const std::pair<const PositionFields*, PositionPart> parts[] = {
        {&target.latitude, ParsePositionPart(words.subspan(0, 3), "NS", target.latitudeKey, what)},
        {&target.longitude, ParsePositionPart(words.subspan(3, 3), "EW", target.longitudeKey, what)}};
    for (const auto& [fields, part] : parts) {
        if (!part.error.empty()) {
            edit.error = part.error;
            return false;
        }
        edit.texts.emplace_back(fields->degrees, part.degrees);
        edit.texts.emplace_back(fields->minutes, part.minutes);
        edit.radios.emplace_back(fields->positive, !part.negative);
        edit.radios.emplace_back(fields->negative, part.negative);
    }
    return true;
}

// The numbers of SET: their word, then the range key and the field of each number it takes, and
// whether it is a direction (written into 0..360, as the boat will take it).
struct SetNumber {
    std::string_view key;
    EditField TFCorvel::*field;
    bool direction;
};
struct NumberTarget {
    std::string_view name;
    std::array<SetNumber, 2> numbers;
    size_t count;
};
constexpr NumberTarget kNumberTargets[] = {
    {"TWS", {{{"iTWS", &TFCorvel::EdTWS, false}, {}}}, 1},
    {"TWD", {{{"iTWD", &TFCorvel::EdTWD, true}, {}}}, 1},
    {"HDG", {{{"iHDG", &TFCorvel::EdHDG, true}, {}}}, 1},
    {"CURRENT", {{{"iCUR", &TFCorvel::EdFCourant, false}, {"iCURDir", &TFCorvel::EdDirCourant, true}}}, 2},
};

// NMEA's reserved characters, which a waypoint's name must not carry into the sentences.
constexpr std::string_view kReservedInNames = "$*,!\\^~";

// SET's words after "SET": the fields to edit.
FieldEdit ParseSet(std::span<const std::string_view> words, bool& waypoint) {
    FieldEdit edit;
    waypoint = false;
    if (words.empty()) {
        edit.error = "SET attend " + std::string(kSetWords);
        return edit;
    }
    const std::string_view what = words[0];
    const std::string name = "SET " + std::string(what);
    const auto args = words.subspan(1);
    for (const NumberTarget& t : kNumberTargets) {
        if (what != t.name) continue;
        if (args.size() != t.count) {
            edit.error = name + (t.count == 1 ? " attend un nombre" : " attend deux nombres");
            return edit;
        }
        for (size_t i = 0; i < t.count; ++i) {
            const SetNumber& number = t.numbers[i];
            const Ranged n = RangedNumber(args[i], number.key, name);
            if (!n.value) {
                edit.error = n.error;
                return edit;
            }
            edit.texts.emplace_back(number.field,
                                    nav::FormatGeneral(number.direction ? nav::Wrap360(*n.value) : *n.value));
        }
        return edit;
    }
    if (what == "POS") {
        ParsePosition(args, kStartPosition, name, edit);
        return edit;
    }
    if (what == "WP") {
        waypoint = true;
        if (args.empty()) {
            edit.error = name + " attend NOM " + std::string(kPositionForm);
            return edit;
        }
        if (args[0].find_first_of(kReservedInNames) != std::string_view::npos) {
            edit.error = "nom de point de route invalide : " + std::string(args[0]) + " (sans " +
                         std::string(kReservedInNames) + ")";
            return edit;
        }
        if (ParsePosition(args.subspan(1), kWaypointPosition, name + " " + std::string(args[0]), edit)) {
            edit.texts.emplace_back(&TFCorvel::EdNwpt, std::string(args[0]));
        }
        return edit;
    }
    edit.error = "SET inconnu : " + std::string(what) + " (SET attend " + std::string(kSetWords) + ")";
    return edit;
}

// Applies the edit as a user does: the waypoint's fields then its button; the start conditions
// between a pause and a resume, which reads them back (already paused: the fields only, read at
// REPRISE). "" when applied, else why the engine refuses the pause now.
std::string_view ApplyEdit(TFCorvel& w, const FieldEdit& edit, bool waypoint) {
    auto write = [&] {
        for (const auto& [field, text] : edit.texts) (w.*field).text = text;
        for (const auto& [radio, checked] : edit.radios) (w.*radio).checked = checked;
    };
    if (waypoint) {
        write();
        w.BtModWpClick();
        return {};
    }
    sim::Simulator& engine = w.Engine;
    const bool pauseHere = !engine.S.Paused;
    if (pauseHere) {
        if (const sim::Refusal r = engine.WhyRefused(Command::Pause); r != sim::Refusal::None) {
            return CommandRefusalText(r);
        }
        w.SpBtPauseResClick();
    }
    write();
    for (const auto& [field, text] : edit.texts) {
        if (field == &TFCorvel::EdTWS) w.EdTWSChange();  // the window's handler of this field's edit
    }
    if (pauseHere) w.SpBtPauseResClick();
    return {};
}

// ---------------------------------------------------------------- STATE

void Number(std::string& out, std::string_view key, double value, int decimals) {
    out += '"';
    out += key;
    out += "\":";
    if (!std::isfinite(value)) {
        out += "null";
    } else {
        char buffer[64];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        out.append(buffer, ec == std::errc() ? end : buffer);
    }
    out += ',';
}

void Text(std::string& out, std::string_view key, std::optional<std::string_view> value) {
    out += '"';
    out += key;
    out += "\":";
    if (value) {
        out += '"';
        out += *value;  // words of this file: nothing to escape
        out += '"';
    } else {
        out += "null";
    }
    out += ',';
}

}  // namespace

std::optional<int> TillerPosition(std::string_view command) {
    if (!command.starts_with(kTiller)) return std::nullopt;
    const std::string_view digits = command.substr(kTiller.size());
    if (digits.empty() || digits.size() > 2) return std::nullopt;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > sim::kTillerMax) return std::nullopt;
    return n;
}

std::span<const WindowCommand> WindowCommands() { return kWindowCommands; }

const WindowCommand* CommandOfControl(std::string_view control) {
    for (const WindowCommand& c : kWindowCommands) {
        if (c.control == control) return &c;
    }
    return nullptr;
}

std::string WindowCommandNames() {
    std::string names;
    for (const WindowCommand& c : kWindowCommands) {
        if (c.name.empty()) continue;
        if (!names.empty()) names += ", ";
        names += c.name;
    }
    return names;
}

bool IsWindowCommand(std::string_view c) {
    int argument = 0;
    return NamedCommand(c, argument) != nullptr;
}

std::string_view RunWindowCommand(TFCorvel& w, std::string_view command) {
    int argument = 0;
    const WindowCommand* c = NamedCommand(command, argument);
    if (c == nullptr) return CommandRefusalText(sim::Refusal::NotOffered);  // no command of the window
    if (c->question) {
        if (const sim::Refusal r = w.Engine.WhyRefused(*c->question); r != sim::Refusal::None) {
            return CommandRefusalText(r);
        }
    }
    if (c->inForce) {
        if (const std::string_view reason = c->inForce(w); !reason.empty()) return reason;
    }
    c->click(w, argument);
    return {};
}

std::string LineTooLongAnswer() {
    return Err("ligne trop longue (au plus " + std::to_string(kMaxControlLineBytes) + " octets)");
}

std::string AnswerControlLine(TFCorvel& w, std::string_view line, ControlledRun run) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.size() > kMaxControlLineBytes) return LineTooLongAnswer();
    if (!Printable(line)) return Err("caractères non imprimables (une commande ASCII par ligne)");
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) return Err("ligne vide");
    const std::string_view first = words[0];
    const bool replay = run == ControlledRun::Replay;
    if (first == "STATE") {
        if (words.size() != 1) return Err("STATE s'emploie seul");
        return replay ? std::string(kReplayState) : StateJson(w);
    }
    if (replay && (first == "SET" || IsWindowCommand(first))) {
        return Err("rejeu en cours : aucun bateau n'est simulé, " + std::string(first) + " est sans objet");
    }
    if (first == "SET") {
        bool waypoint = false;
        const FieldEdit edit = ParseSet(std::span(words).subspan(1), waypoint);
        if (!edit.error.empty()) return Err(edit.error);
        const std::string_view refusal = ApplyEdit(w, edit, waypoint);
        return refusal.empty() ? std::string(kOk)
                               : Err("SET indisponible à cet instant (" + std::string(refusal) + ")");
    }
    if (IsWindowCommand(first)) {
        if (words.size() != 1) return Err(std::string(first) + " s'emploie seul");
        const std::string_view refusal = RunWindowCommand(w, first);
        return refusal.empty() ? std::string(kOk)
                               : Err("commande indisponible à cet instant : " + std::string(first) + " (" +
                                     std::string(refusal) + ")");
    }
    return Err("commande inconnue : " + std::string(nav::FirstBytes(first, 40)) + " (" + WindowCommandNames() +
               ", SET, STATE)");
}

std::string StateJson(const TFCorvel& w) {
    const sim::Simulator& engine = w.Engine;
    const sim::SimulationState& s = engine.S;
    // The position as the sentences write it, or none (null) when they cannot write it.
    const bool position = nmea::PositionWritable(s.Position.lat, s.Position.long_);
    const double none = std::numeric_limits<double>::quiet_NaN();
    double longitude = s.Position.long_;
    if (longitude > 180) longitude -= 360;
    std::optional<std::string_view> manoeuvre;
    // A tack or a gybe may end in a luffing to close-hauled: the turn names it while it runs.
    if (s.BestHaulRunning) manoeuvre = "MEILLEUR_PRES";
    if (s.Gybing) manoeuvre = "EMPANNER";
    if (s.Tacking) manoeuvre = "VIRER";
    std::string out = "{";
    Number(out, "time", static_cast<double>(w.Timers.Now()) / 1000, 3);
    Number(out, "lat", position ? s.Position.lat : none, 6);
    Number(out, "lon", position ? longitude : none, 6);
    Number(out, "HDG", s.HDG, 1);
    Number(out, "COG", s.COG, 1);
    Number(out, "SOG", s.SOG, 2);
    Number(out, "BSP", s.WaterTrack.mdl, 2);
    Number(out, "TWS", s.TrueWind.mdl, 2);
    Number(out, "TWD", s.TrueWind.argt, 1);
    Number(out, "AWS", s.AWS, 2);
    Number(out, "AWA", s.AWA, 1);
    Number(out, "depth", s.Depth, 1);
    Text(out, "pilot", s.Standby ? "STDBY" : "AUTO");
    Text(out, "manoeuvre", manoeuvre);
    Text(out, "tack", engine.TackSide() == sim::t_amure::babord ? "babord" : "tribord");
    out += "\"paused\":";
    out += s.Paused ? "true" : "false";
    out += ",\"replay\":false}";
    return out;
}

}  // namespace corvel::app

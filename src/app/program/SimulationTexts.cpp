// The texts composed from simulation values and errors; see SimulationTexts.h.
#include "app/program/SimulationTexts.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvel::app {

namespace {

using sim::PolarRefusal;
using sim::PolarTable;

// Each refusal of a polar and its text. In braces, the values it names: {file} the file, {source}
// " (<file>)" or nothing for a text loaded directly, {count} the lines or columns found, {line}
// and {text} the speed field, {limit} the entry's limit.
struct RefusalText {
    PolarRefusal refusal;
    nav::Real limit;
    std::string_view text;
};
constexpr std::array<RefusalText, 13> kPolarRefusalTexts{{
    {PolarRefusal::Unreadable, 0, "Impossible de lire le fichier polaire : {file}"},
    {PolarRefusal::NotRegular, 0,
     "Polaire refusée{source} : pas un fichier ordinaire (dossier, tube ou périphérique)."},
    {PolarRefusal::DanglingLink, 0, "Polaire refusée{source} : le lien symbolique ne mène à aucun fichier."},
    {PolarRefusal::TooLarge, PolarTable::kMaxFileBytes / (1024 * 1024),
     "Polaire refusée{source} : le fichier dépasse {limit} Mo."},
    {PolarRefusal::Empty, 0, "Polaire refusée{source} : le fichier est vide."},
    {PolarRefusal::TooManyRows, PolarTable::kMaxAngleRows,
     "Polaire refusée{source} : {count} lignes d'angles, {limit} au maximum."},
    {PolarRefusal::TooFewRows, PolarTable::kMinAngleRows,
     "Polaire refusée{source} : il faut au moins {limit} lignes d'angles ({count} trouvée)."},
    {PolarRefusal::TooManyColumns, PolarTable::kMaxWindColumns,
     "Polaire refusée{source} : {count} vitesses de vent dans l'en-tête, {limit} au maximum."},
    {PolarRefusal::TooFewColumns, PolarTable::kMinWindColumns,
     "Polaire refusée{source} : il faut au moins {limit} vitesses de vent dans l'en-tête ({count} trouvée)."},
    {PolarRefusal::SpeedOutOfRange, PolarTable::kMaxBoatSpeed,
     "Polaire refusée{source} : ligne {line}, la vitesse {text} n'est pas comprise entre 0 et {limit} nœuds."},
    {PolarRefusal::WindOutOfRange, PolarTable::kMaxWindSpeed,
     "Polaire refusée{source} : la vitesse de vent {text} de l'en-tête n'est pas comprise entre 0 et {limit} nœuds."},
    {PolarRefusal::WindDecreasing, 0,
     "Polaire refusée{source} : les vitesses de vent de l'en-tête doivent croître ({text})."},
    {PolarRefusal::AngleOutOfRange, PolarTable::kMaxAngle,
     "Polaire refusée{source} : ligne {line}, l'angle {text} n'est pas compris entre -{limit} et {limit} degrés."},
}};

constexpr std::string_view kAngleAboveTable = "Angle avec le vent = ";
constexpr std::string_view kHours = " h ";
constexpr std::string_view kMetres = " m";
constexpr std::string_view kDegreesCelsius = " °C";
// By side: babord, tribord.
constexpr std::array<std::string_view, 2> kDriftSides{"° BABORD", "° TRIBORD"};
// Without a current, with one.
constexpr std::array<WindLabels, 2> kWindLabels{
    {{" Vent réel TW", "Meilleur TWA"}, {" Vent surface SW", "Meilleur SWA"}}};

// By SerialStallText; {port} the port and its device, {lost} the sentences lost, counted.
constexpr std::array<std::string_view, 4> kSerialStallTexts{
    "le port {port} ne prend plus les phrases (écriture incomplète) : celles qu'il ne prend pas sont perdues "
    "entières",
    "Port série bloqué : {lost}",
    "{lost} sur le port {port} : il ne les prenait plus",
    "la dernière phrase commencée sur le port {port} n'a pas pu être terminée avant la fin : elle y reste coupée",
};

using Value = std::pair<std::string_view, std::string>;

// `text` with each {name} replaced by its value, in one pass: a value is never read again, so a
// file name holding braces stays as it is. A name without a value stays too.
template <std::size_t N>
std::string Fill(std::string_view text, const std::array<Value, N>& values) {
    std::string out;
    while (!text.empty()) {
        const std::size_t open = text.find('{');
        const std::size_t close = text.find('}', open);
        if (close == std::string_view::npos) break;
        out += text.substr(0, open);
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const auto value =
            std::find_if(values.begin(), values.end(), [name](const Value& v) { return v.first == name; });
        if (value != values.end()) {
            out += value->second;
        } else {
            out += text.substr(open, close - open + 1);
        }
        text.remove_prefix(close + 1);
    }
    out += text;
    return out;
}

}  // namespace

std::string PolarRefusalMessage(const sim::PolarLoadResult& result) {
    const auto entry = std::find_if(kPolarRefusalTexts.begin(), kPolarRefusalTexts.end(),
                                    [&result](const RefusalText& t) { return t.refusal == result.refusal; });
    if (entry == kPolarRefusalTexts.end()) return {};  // loaded
    const std::array<Value, 6> values{{
        {"file", result.file},
        {"source", result.file.empty() ? std::string() : " (" + result.file + ")"},
        {"count", std::to_string(result.count)},
        {"line", std::to_string(result.line)},
        {"text", result.text},
        {"limit", nav::FormatGeneral(entry->limit)},
    }};
    return Fill(entry->text, values);
}

std::string CountText(long long n, std::string_view one, std::string_view many) {
    return std::to_string(n) + std::string(n <= 1 ? one : many);
}

std::string SerialStallMessage(SerialStallText which, std::string_view port, long long lost) {
    const std::array<Value, 2> values{{
        {"port", std::string(port)},
        {"lost", CountText(lost, " phrase perdue", " phrases perdues")},
    }};
    return Fill(kSerialStallTexts[static_cast<std::size_t>(which)], values);
}

std::string AngleAboveTableMessage(nav::Real Wa) { return std::string(kAngleAboveTable) + nav::FormatFixed(Wa, 4, 1); }

std::string KnotsText(nav::Real knots) { return nav::FormatGeneral(knots) + (knots < 2 ? " nd" : " nds"); }

std::string EteText(float eteHours) {
    return nav::FormatGeneral(nav::Int(eteHours)) + std::string(kHours) +
           nav::FormatFixed(nav::Frac(eteHours) * 100, 4, 0);
}

std::string_view DriftSideText(bool starboard) { return kDriftSides[starboard ? 1 : 0]; }

namespace {
// By nmea::FaultKind; each begins with kFaultMarkStart.
constexpr std::array<std::string_view, nmea::kFaultKindCount> kFaultMarks = {
    "",
    " *** défaut injecté : phrase supprimée",
    " *** défaut injecté : ligne parasite",
    " *** défaut injecté : phrase tronquée",
    " *** défaut injecté : somme de contrôle",
    " *** défaut injecté : phrase répétée",
};
}  // namespace

namespace {
// By sim::Refusal.
constexpr std::array<std::string_view, 12> kCommandRefusals = {
    "",
    "la barre revient au centre",
    "la simulation n'est pas en pause",
    "la simulation est en pause",
    "la simulation n'est pas lancée",
    "le pilote est en STDBY",
    "la barre ne se prend qu'en STDBY",
    "une manœuvre est en cours",
    "le courant alterné tourne",
    "le vent apparent vient de l'arrière du travers",
    "le vent apparent vient de l'avant du travers",
    "la fenêtre ne la propose pas",
};
static_assert(kCommandRefusals.size() == static_cast<std::size_t>(sim::Refusal::NotOffered) + 1);
}  // namespace

std::string_view CommandRefusalText(sim::Refusal refusal) {
    return kCommandRefusals[static_cast<std::size_t>(refusal)];
}

std::string_view FaultMark(nmea::FaultKind kind) { return kFaultMarks[static_cast<std::size_t>(kind)]; }

WindLabels MajLabTWSW(bool currentPresent) { return kWindLabels[currentPresent ? 1 : 0]; }

std::string DepthText(float metres) { return nav::FormatFixed(metres, 4, 1) + std::string(kMetres); }

std::string TemperatureText(float celsius) { return nav::FormatFixed(celsius, 3, 1) + std::string(kDegreesCelsius); }

}  // namespace corvel::app

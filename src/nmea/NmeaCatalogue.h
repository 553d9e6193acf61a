// The catalogue of the 27 sentence kinds the simulator emits: for each kind its type, the talker
// it uses, its group and rank within the group, its description in the selection dialog, whether
// that dialog marks it obsolete, and its configuration key. One table; everything else (the
// selection list, the group orders, the configuration keys) is read from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvel::nmea {

// The kinds in the order of the selection list (index 0..26).
// clang-format off
enum class SentenceKind : std::uint8_t {
    APB, BWC, BWR, DBK, DBS, DBT, DPT, GGA, GLL, GSA, GSV, HDG, HDM, HDT, MTW, MWD, MWV, RMB, RMC,
    VHW, VTG, VWR, WCV, WNC, WPL, ZDA, ZTG
};
// clang-format on
inline constexpr std::size_t kSentenceKindCount = 27;

constexpr std::size_t IndexOf(SentenceKind kind) { return static_cast<std::size_t>(kind); }

// Whose talker identifier a kind uses: TalkerPosition ("EC"/"GP"), TalkerSounder ("SD"/"II"),
// TalkerSpeed ("DM"/"II"), TalkerWind ("WI"/"II"), or the fixed compass talker "HC".
enum class TalkerRole : std::uint8_t { Position, Sounder, Speed, Wind, Compass };

inline constexpr std::string_view kCompassTalker = "HC";

struct SentenceInfo {
    SentenceKind kind;
    std::string_view type;  // the three letters after the talker
    TalkerRole talker;
    int group;                     // 1 depth/heading/wind, 2 position/time, 3 speed/waypoint
    int order;                     // 1-based rank of emission within the group
    std::string_view description;  // as the selection dialog shows it
    bool obsolete;                 // marked "*" in the selection dialog
    std::string_view configKey;    // section "NMEA"; empty: GGA's selection is not saved
    bool waypoint;                 // describes the destination waypoint
};

// clang-format off
inline constexpr std::array<SentenceInfo, kSentenceKindCount> kSentenceCatalogue{{
    {SentenceKind::APB, "APB", TalkerRole::Position, 3, 3, "Pilote automatique phrase B", false, "iAPB", true},
    {SentenceKind::BWC, "BWC", TalkerRole::Position, 3, 11, "Relevé et distance au waypoint - orthodromie", false,
     "iBWC", true},
    {SentenceKind::BWR, "BWR", TalkerRole::Position, 3, 5, "Relevé et distance au waypoint - loxodromie", false,
     "iBWR", true},
    {SentenceKind::DBK, "DBK", TalkerRole::Sounder, 1, 4, "Profondeur sous la quille", true, "iDBK", false},
    {SentenceKind::DBS, "DBS", TalkerRole::Sounder, 1, 2, "Profondeur sous la surface", true, "iDBS", false},
    {SentenceKind::DBT, "DBT", TalkerRole::Sounder, 1, 3, "Profondeur sous le capteur", false, "iDBT", false},
    {SentenceKind::DPT, "DPT", TalkerRole::Sounder, 1, 1, "Profondeur d'eau  (sous le capteur)", false, "iDPT", false},
    {SentenceKind::GGA, "GGA", TalkerRole::Position, 2, 2, "Données de correction GPS", false, "", false},
    {SentenceKind::GLL, "GLL", TalkerRole::Position, 2, 3, "Position géographique   Latitude/Longitude", false, "iGLL",
     false},
    {SentenceKind::GSA, "GSA", TalkerRole::Position, 2, 5, "GPS DOP et satellites actifs (précision syst.)", false,
     "iGSA", false},
    {SentenceKind::GSV, "GSV", TalkerRole::Position, 2, 1, "Satellites en vue", false, "iGSV", false},
    {SentenceKind::HDG, "HDG", TalkerRole::Compass, 1, 5, "Cap magnétique - déviation et déclinaison", false, "iHDG",
     false},
    {SentenceKind::HDM, "HDM", TalkerRole::Compass, 1, 6, "Cap magnétique ", true, "iHDM", false},
    {SentenceKind::HDT, "HDT", TalkerRole::Compass, 1, 7, "Cap vrai", true, "iHDT", false},
    {SentenceKind::MTW, "MTW", TalkerRole::Sounder, 3, 4, "Température moyenne de l'eau", false, "iMTW", false},
    {SentenceKind::MWD, "MWD", TalkerRole::Wind, 1, 9, "Vitesse et direction du vent réel", false, "iMWD", false},
    {SentenceKind::MWV, "MWV", TalkerRole::Wind, 1, 8, "Vitesse et angle du vent", false, "iMWV", false},
    {SentenceKind::RMB, "RMB", TalkerRole::Position, 3, 2, "Information minimale de navigation demandée", false, "iRMB",
     true},
    {SentenceKind::RMC, "RMC", TalkerRole::Position, 2, 4, "Information minimale de navigation demandée", false, "iRMC",
     false},
    {SentenceKind::VHW, "VHW", TalkerRole::Speed, 3, 1, "Vitesse sur l'eau et cap", false, "iVHW", false},
    {SentenceKind::VTG, "VTG", TalkerRole::Position, 2, 6, "Route et vitesse sur le fond", false, "iVTG", false},
    {SentenceKind::VWR, "VWR", TalkerRole::Wind, 3, 10, "Vent apparent en vitesse et angle", true, "iVWR", false},
    {SentenceKind::WCV, "WCV", TalkerRole::Position, 3, 7, "VMG d'approche du waypoint", false, "iWCV", true},
    {SentenceKind::WNC, "WNC", TalkerRole::Position, 3, 8, "Distance de waypoint à waypoint", false, "iWNC", true},
    {SentenceKind::WPL, "WPL", TalkerRole::Position, 3, 9, "Localisation du waypoint", false, "iWPL", true},
    {SentenceKind::ZDA, "ZDA", TalkerRole::Position, 2, 7, "Date et heure TU , J,M,A et zone d'horaire local", false,
     "iZDA", false},
    {SentenceKind::ZTG, "ZTG", TalkerRole::Position, 3, 6, "TU et temps restant pour atteindre le waypoint", false,
     "iZTG", true},
}};
// clang-format on

constexpr const SentenceInfo& InfoOf(SentenceKind kind) { return kSentenceCatalogue[IndexOf(kind)]; }

// The note below the description list of the selection dialog.
inline constexpr std::string_view kObsoleteNote =
    "* phrases réputées obsolètes pour le matériel postérieur à 2010 mais utilsées sur le matériel antérieur";

// The kinds of one group in emission order.
struct GroupPlan {
    std::array<SentenceKind, kSentenceKindCount> kinds{};
    std::size_t size = 0;
};

constexpr GroupPlan PlanOfGroup(int group) {
    GroupPlan plan;
    for (int order = 1; order <= static_cast<int>(kSentenceKindCount); ++order) {
        for (const SentenceInfo& info : kSentenceCatalogue) {
            if (info.group == group && info.order == order) plan.kinds[plan.size++] = info.kind;
        }
    }
    return plan;
}

// The description line of a kind in the selection dialog: " APB   Pilote automatique phrase B",
// " DBK*  Profondeur sous la quille".
std::string SelectionLine(const SentenceInfo& info);

namespace detail {
// Every kind stands at its own index, and the ranks of each group run 1..n without a gap or a repeat.
constexpr bool CatalogueIsConsistent() {
    int counted = 0;
    for (std::size_t i = 0; i < kSentenceKindCount; ++i) {
        if (IndexOf(kSentenceCatalogue[i].kind) != i) return false;
    }
    for (int group = 1; group <= 3; ++group) {
        int members = 0;
        for (const SentenceInfo& info : kSentenceCatalogue) members += info.group == group ? 1 : 0;
        for (int order = 1; order <= members; ++order) {
            int holders = 0;
            for (const SentenceInfo& info : kSentenceCatalogue) holders += info.group == group && info.order == order;
            if (holders != 1) return false;
        }
        counted += members;
    }
    return counted == static_cast<int>(kSentenceKindCount);
}
static_assert(CatalogueIsConsistent(), "the sentence catalogue is out of order");
}  // namespace detail

}  // namespace corvel::nmea

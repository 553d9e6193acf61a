// The French texts the windows compose from simulation values and errors: why a polar was refused,
// the wind angle above the polar, the waypoint's ETE, the side of the drift, the wind captions that
// follow the current, the sounder's depth and temperature, and why the engine refuses a command.
// The lower layers give the values; every text is in the tables of SimulationTexts.cpp.
#pragma once

#include <string>
#include <string_view>

#include "nav/Conversions.h"
#include "nmea/FaultInjector.h"
#include "sim/PolarTable.h"
#include "sim/Simulator.h"

namespace corvel::app {

// Why a polar load was refused, naming the file when the load had one: « Impossible de lire le
// fichier polaire : <file> » for a file that cannot be read, else « Polaire refusée (<file>) :
// <why> » (« Polaire refusée : <why> » for a text), e.g. « Polaire refusée : ligne 3, la vitesse
// -0.01 n'est pas comprise entre 0 et 100 nœuds. »; "" for a polar loaded.
std::string PolarRefusalMessage(const sim::PolarLoadResult& result);

// The message shown when the wind angle lies above the polar: "Angle avec le vent = " followed by
// the angle in degrees, FormatFixed(Wa, 4, 1) ("Angle avec le vent = 185.0").
std::string AngleAboveTableMessage(nav::Real Wa);

// A speed in knots as the instruments label it: the number as FormatGeneral writes it, then " nd"
// below 2 knots, " nds" from 2 ("1 nd", "4.5 nds", "10 nds").
std::string KnotsText(nav::Real knots);

// The ETE display of an ETE in hours written H.MMSS: "<hours> h <minutes>", minutes counting the
// seconds as hundredths, rounded ("2 h 31" for 2.3055).
std::string EteText(float eteHours);

// The side label beside the drift angle: "° TRIBORD" or "° BABORD".
std::string_view DriftSideText(bool starboard);

// The two wind captions of MajLabTWSW: with a current " Vent surface SW" / "Meilleur SWA"; without
// " Vent réel TW" / "Meilleur TWA".
struct WindLabels {
    std::string_view LabTypVent;
    std::string_view LabBestHAul;
};
WindLabels MajLabTWSW(bool currentPresent);

// The sounder's texts: the depth in metres, FormatFixed(depth, 4, 1) + " m" ("10.5 m"), and the
// water temperature, FormatFixed(temperature, 3, 1) + " °C" ("13.0 °C").
std::string DepthText(float metres);
std::string TemperatureText(float celsius);

// A count and its noun, singular for 0 and 1 as French has it: (1, " ligne ignorée", " lignes
// ignorées") -> « 1 ligne ignorée », 12 -> « 12 lignes ignorées ».
std::string CountText(long long n, std::string_view one, std::string_view many);

// What is said of a serial device that no longer takes the sentences (its reader stalled). Notice:
// once, when the first sentence is lost (a headless run's standard error), « le port COM3
// (/dev/ttyUSB0) ne prend plus les phrases (écriture incomplète) : celles qu'il ne prend pas sont
// perdues entières »; Status: the window's « Stat » field while it lasts, « Port série bloqué : 12
// phrases perdues »; Summary: a headless run's end, « 12 phrases perdues sur le port COM3
// (/dev/ttyUSB0) : il ne les prenait plus »; Cut: a headless run's end when the device never took
// the rest of a sentence begun. `port`: "COM3 (/dev/ttyUSB0)".
enum class SerialStallText { Notice, Status, Summary, Cut };
std::string SerialStallMessage(SerialStallText which, std::string_view port, long long lost);

// Why the engine refuses a command now, in a few French words: « la simulation est en pause »,
// « une manœuvre est en cours » ...; "" for sim::Refusal::None.
std::string_view CommandRefusalText(sim::Refusal refusal);

// The suffix of a time-stamped log line that carries an injected fault: « *** défaut injecté :
// somme de contrôle » (with its leading space); "" for a sentence sent as it was built.
std::string_view FaultMark(nmea::FaultKind kind);
// What every mark begins with, for a reader of the log.
inline constexpr std::string_view kFaultMarkStart = " *** défaut injecté : ";

}  // namespace corvel::app

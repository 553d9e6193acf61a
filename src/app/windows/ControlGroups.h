// Which controls of a window changed: a revision number per group of controls, raised by the model
// whenever it writes a control of that group. A view keeps the numbers it last drew and repaints
// only the groups whose number moved (twenty times a second while the boat sails, not at all while
// the simulation is stopped or paused).
#pragma once

#include <array>
#include <cstdint>

namespace corvel::app {

enum class ControlGroup {
    Conditions,    // heading, wind, current, position: the fields "SIMULER" reads
    ComputedData,  // "Données calculées": speeds, apparent and surface wind, best upwind angle
    Waypoint,      // the waypoint's distances, bearing, WCV and ETE
    Centre,        // the centre column: tack, close-hauled indicator, drift, pause/resume
    Compass,       // the compass's arrows and scale, the boat picture, the large heading
    Pilot,         // AUTO, STDBY, the heading buttons, the tiller, the heading-change notice
    Transmission,  // the sentence logs and the link states
    Menus,         // menu entries and the switches enabled only while paused
};
inline constexpr std::size_t kControlGroupCount = 8;

class Revisions {
public:
    void Bump(ControlGroup group) { ++numbers_[static_cast<std::size_t>(group)]; }
    void BumpAll() {
        for (std::uint64_t& n : numbers_) ++n;
    }
    std::uint64_t Of(ControlGroup group) const { return numbers_[static_cast<std::size_t>(group)]; }

private:
    std::array<std::uint64_t, kControlGroupCount> numbers_{};
};

}  // namespace corvel::app

// What one window model asks of another. Each model receives the ones it needs at construction
// (Program assembles them) and calls them; no model writes another model's fields.
#pragma once

#include <filesystem>
#include <string>

#include "nav/Conversions.h"

namespace corvel::app {

// What the dialogs show in the main window: the chosen polar's name, the boat category, the state
// of the network connection, and that sentences now go to the network. The main window model
// (TFCorvel) implements it.
class MainWindowLabels {
public:
    virtual void ShowPolarName() = 0;                   // "StxNomPol": the chosen polar's name
    virtual void ShowCategory() = 0;                    // "LabCateg": the category in force
    virtual void ShowConnection(std::string text) = 0;  // "EdConnex"
    virtual void SetNetworkActive() = 0;                // the sentences go to the network link

protected:
    ~MainWindowLabels() = default;
};

// The depth-sensor offsets, metres.
struct SensorOffsets {
    double surface = 0;  // "Capteur surface"
    double keel = 0;     // "Capteur quille"
};

// What the main window reads from and shows in the parameters dialog (TFParam): the offsets that
// "SIMULER" reads and a configuration sets, the polar folder, the category choices and the UTC
// offset a configuration loads.
class ParameterSettings {
public:
    virtual SensorOffsets Offsets() const = 0;
    virtual void SetOffsets(double surface, double keel) = 0;  // shown in the four offset fields
    virtual void ShowPolarFolder() = 0;                        // the chosen polar's folder
    virtual void MarkCategory(int category) = 0;               // that choice marked, the others not
    virtual void ShowUtcOffset(nav::Real hours) = 0;           // "Heure locale = heure TU "
    // The polar table loaded from `path`, as a chosen polar file is (nothing to do when it is the
    // file in force); false when the file is refused: its message is shown, the table stays.
    virtual bool LoadPolar(const std::filesystem::path& path) = 0;
    // The dialog closed: the simulation starts, and its settings wait for a stop, as its menu does.
    virtual void Close() = 0;

protected:
    ~ParameterSettings() = default;
};

// The talker identifiers the selection dialog's buttons choose.
struct TalkerCodes {
    std::string position;  // "EC" or "GP"
    std::string sounder;   // "SD" or "II"
    std::string speed;     // "DM" or "II"
    std::string wind;      // "WI" or "II"
};

// What the main window asks of the sentence-selection dialog (TFParNMEA).
class SelectionSettings {
public:
    virtual TalkerCodes Talkers() const = 0;  // as the buttons choose them
    virtual void Talker_IDs() = 0;            // the buttons' talkers into the sentences ("SIMULER")
    virtual void ShowContext() = 0;           // the switches and talkers in force shown (a load)

protected:
    ~SelectionSettings() = default;
};

// What the main window asks of the network dialog (TFParamWIFI) besides sending: showing it, and
// the address, port and datagrams' line ends that a configuration saves.
class NetworkSettings {
public:
    virtual void Show() = 0;
    virtual std::string Address() const = 0;
    virtual std::string Port() const = 0;
    virtual bool DatagramLineEnds() const = 0;

protected:
    ~NetworkSettings() = default;
};

}  // namespace corvel::app

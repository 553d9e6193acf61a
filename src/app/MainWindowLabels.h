// What the dialogs show in the main window: the chosen polar's name, the boat category, the state
// of the network connection, and that sentences now go to the network. The main window model
// (TFCorvel) implements it; a dialog receives it at construction and never writes the window's
// fields itself.
#pragma once

#include <string>

namespace corvel::app {

class MainWindowLabels {
public:
    virtual void ShowPolarName() = 0;                   // "StxNomPol": the chosen polar's name
    virtual void ShowCategory() = 0;                    // "LabCateg": the category in force
    virtual void ShowConnection(std::string text) = 0;  // "EdConnex"
    virtual void SetNetworkActive() = 0;                // the sentences go to the network link

protected:
    ~MainWindowLabels() = default;
};

}  // namespace corvel::app

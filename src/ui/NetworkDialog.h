// The network dialog "PARAMETRES WIFI  pour TRANSMISSION NMEA" as Qt widgets: a thin view of
// app::TFParamWIFI. TCP or UDP, the explanations of each mode, the address field with the
// machine's own addresses to pick from and "Modifier l'adresse IP" / "Confirmer l'adresse", the
// port, "Tous les clients" (TCP), "CR LF en fin de trame" (UDP), "LANCER LE SERVEUR", the status, "OK" and "AIDE"
// (the model's OpenHelp), each widget named after its control. Open() lists the machine's addresses again. Escape and
// the close box hide it as "OK" does. Non-modal.
#pragma once

#include "app/windows/NetworkDialogModel.h"
#include "ui/Binding.h"

namespace corvel::ui {

class NetworkDialog : public BoundDialog<app::TFParamWIFI> {
public:
    // `commandDone` runs after each of the dialog's commands: they also write the main window's
    // connection state, which the main window then redraws.
    explicit NetworkDialog(app::TFParamWIFI& model, QWidget* parent = nullptr, std::function<void()> commandDone = {});
};

}  // namespace corvel::ui

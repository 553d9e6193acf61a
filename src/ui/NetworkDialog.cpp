// The network dialog's widgets; see NetworkDialog.h.
#include "ui/NetworkDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/Binding.h"

namespace corvel::ui {

using app::TFParamWIFI;

#define CONTROL(name) &TFParamWIFI::name, #name

NetworkDialog::NetworkDialog(TFParamWIFI& model, QWidget* parent, std::function<void()> commandDone)
    : BoundDialog(model, parent, std::move(commandDone)) {
    setObjectName(QStringLiteral("FParamWIFI"));
    setMinimumWidth(620);
    DialogBindings<TFParamWIFI>& b = bind_;

    auto* protocol = new QGroupBox(QStringLiteral("Protocole"), this);
    auto* radios = new QHBoxLayout(protocol);
    radios->addWidget(b.Radio(protocol, CONTROL(RadioButtonTCP), "TCP", [this] { model_.RadioButtonTCPChange(); }));
    radios->addSpacing(24);
    radios->addWidget(b.Radio(protocol, CONTROL(RadioButtonUDP), "UDP", [this] { model_.RadioButtonUDPChange(); }));
    radios->addStretch(1);

    // The explanations: the TCP ones, or the UDP one in their place.
    auto* explanations = new QVBoxLayout;
    for (QLabel* label :
         {b.Text(this, CONTROL(Lab2TCP)), b.Text(this, CONTROL(Lab2UDP)), b.Text(this, CONTROL(Lab3TCP))}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        explanations->addWidget(label);
    }

    auto* address = new QGridLayout;
    address->addWidget(new QLabel(QStringLiteral("Adresse IP"), this), 0, 0);
    QLineEdit* field = b.Field(this, CONTROL(EdAdIP));
    field->setMinimumWidth(150);
    address->addWidget(field, 0, 1);
    QComboBox* own = b.Combo(this, CONTROL(CBAdIP), [this] { model_.CBAdIPSelect(); });
    own->setMinimumWidth(150);
    address->addWidget(own, 0, 2);
    address->addWidget(b.Push(this, CONTROL(BtModAdIP), [this] { model_.BtModAdIPClick(); }), 0, 3);
    address->addWidget(new QLabel(QStringLiteral("Port"), this), 1, 0);
    QLineEdit* port = b.Field(this, CONTROL(EdPort));
    connect(port, &QLineEdit::editingFinished, this, [this] { Command([this] { model_.EdPortExit(); }); });
    address->addWidget(port, 1, 1);
    address->addWidget(
        b.Check(this, CONTROL(ChkTousClients), "Tous les clients", [this] { model_.ChkTousClientsClick(); }), 1, 2, 1,
        2);
    address->addWidget(b.Check(this, CONTROL(ChkCRLF), "CR LF en fin de trame", [this] { model_.ChkCRLFClick(); }), 2,
                       2, 1, 2);
    address->setColumnStretch(4, 1);
    QLabel* remote = b.Text(this, CONTROL(Lab4TCP));
    remote->setTextFormat(Qt::PlainText);
    remote->setWordWrap(true);

    auto* launch = new QHBoxLayout;
    QPushButton* start = b.Push(this, CONTROL(BtLanceServeur), [this] { model_.BtLanceServeurClick(); });
    QFont bold = start->font();
    bold.setBold(true);
    start->setFont(bold);
    start->setMinimumHeight(36);
    launch->addWidget(start);
    launch->addSpacing(16);
    launch->addWidget(new QLabel(QStringLiteral("Statut"), this));
    QLineEdit* status = b.Display(this, CONTROL(EdStatus));
    status->setMinimumWidth(200);
    launch->addWidget(status, 1);

    auto* closing = new QHBoxLayout;
    closing->addWidget(b.Push(this, CONTROL(BtUtilWIFI), [this] { model_.BtUtilWIFIClick(); }));
    closing->addStretch(1);
    closing->addWidget(b.Push(this, CONTROL(BtParamWIFIOk), [this] { model_.ParamWIFIOkClick(); }));

    auto* whole = new QVBoxLayout(this);
    whole->addWidget(protocol);
    whole->addLayout(explanations);
    whole->addWidget(remote);  // "ci-dessous": above the address and port it speaks of
    whole->addSpacing(6);
    whole->addLayout(address);
    whole->addSpacing(6);
    whole->addLayout(launch);
    whole->addSpacing(6);
    whole->addLayout(closing);
    // Enter in a field does not press a button.
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
    Refresh();
}

#undef CONTROL

}  // namespace corvel::ui

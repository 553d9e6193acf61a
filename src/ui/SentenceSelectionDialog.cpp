// The sentence-selection dialog's widgets; see SentenceSelectionDialog.h.
#include "ui/SentenceSelectionDialog.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/Binding.h"

namespace corvel::ui {

using app::TFParNMEA;

namespace {

#define CONTROL(name) &TFParNMEA::name, #name

// The talker choices: a group box per instrument, its two buttons with their captions.
struct TalkerButton {
    app::RadioButton TFParNMEA::*control;
    const char* name;
    const char* text;
};
struct TalkerGroup {
    const char* title;
    TalkerButton first, second;
};
// clang-format off
const TalkerGroup kTalkerGroups[] = {
    {"Sélection du positionneur", {CONTROL(RdBtDevPos_EC), "EC    Electronic Cartography"},
                                  {CONTROL(RdBtDevPos_GP), "GP    Global Positioning "}},
    {"Sondeur",                   {CONTROL(RdBtDevSond_1), "SD    Sondeur"},
                                  {CONTROL(RdBtDevSond_2), "II    Integrated Instrumentation"}},
    {"Speedomètre",               {CONTROL(RdBtInst_Speed), "DM  Speedomètre"},
                                  {CONTROL(RdBtInst_II), "II    Integrated Instrumentation"}},
    {"Instruments météo",         {CONTROL(RdBtWI_1), "WI   Weather Instruments"},
                                  {CONTROL(RdBtWI_2), "II    Integrated Instrumentation"}},
};
// clang-format on

#undef CONTROL

// A list of one row per kind, every row `rowHeight` high, tall enough for the 27 rows: the check
// list and the descriptions beside it, row for row. Nothing is selected in it.
QListWidget* KindRows(QWidget* parent, const char* name, int rowHeight, Qt::ItemFlags flags) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (std::size_t i = 0; i < nmea::kSentenceKindCount; ++i) {
        auto* item = new QListWidgetItem(list);
        item->setFlags(flags);
        // A check box shows only once its row has a state of its own: give every row one.
        if (flags.testFlag(Qt::ItemIsUserCheckable)) item->setCheckState(Qt::Unchecked);
        item->setSizeHint({0, rowHeight});
    }
    const QMargins margins = list->contentsMargins();
    list->setFixedHeight(list->sizeHintForRow(0) * list->count() + 2 * list->frameWidth() + margins.top() +
                         margins.bottom());
    return list;
}

}  // namespace

SentenceSelectionDialog::SentenceSelectionDialog(TFParNMEA& model, QWidget* parent, std::function<void()> commandDone)
    : BoundDialog(model, parent, std::move(commandDone)) {
    setObjectName(QStringLiteral("FParNMEA"));

    // The descriptions in a fixed-pitch font, so that their columns line up as the model spaced them.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const int rowHeight = std::max(QFontMetrics(fixed).height(), QFontMetrics(font()).height()) + 6;
    list_ = KindRows(this, "ChkLBNMEA", rowHeight, Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    list_->setFixedWidth(96);
    QListWidget* memo = KindRows(this, "MemoPNMEA", rowHeight, Qt::ItemIsEnabled);
    memo->setFont(fixed);
    memo->setFocusPolicy(Qt::NoFocus);
    int widest = 0;
    for (const std::string& line : model_.MemoPNMEA) {
        widest = std::max(widest, QFontMetrics(fixed).horizontalAdvance(Q(line)));
    }
    memo->setMinimumWidth(widest + 16 + 2 * memo->frameWidth());
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (row >= 0) model_.ChkLBNMEA[static_cast<std::size_t>(row)].checked = item->checkState() == Qt::Checked;
    });
    auto* note = new QLabel(Q(model_.NoteObsolete), this);
    note->setObjectName(QStringLiteral("NoteObsolete"));

    auto* talkers = new QVBoxLayout;
    for (const TalkerGroup& g : kTalkerGroups) {
        auto* box = new QGroupBox(Q(g.title), this);
        auto* buttons = new QVBoxLayout(box);
        for (const TalkerButton& b : {g.first, g.second}) {
            buttons->addWidget(bind_.Radio(box, b.control, b.name, b.text));
        }
        talkers->addWidget(box);
        talkers->addStretch(1);  // the groups spread over the lists' height
    }
    QPushButton* validate =
        bind_.Push(this, &TFParNMEA::BtParNMEA_VALIDE, "BtParNMEA_VALIDE", [this] { model_.BtParNMEA_VALIDEClick(); });
    QFont bold = validate->font();
    bold.setBold(true);
    validate->setFont(bold);
    validate->setMinimumSize(180, 40);
    validate->setDefault(true);
    talkers->addWidget(validate);

    // Below the lists: the note, then the buttons that tick or untick every kind.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bind_.Push(this, &TFParNMEA::BtSelAll, "BtSelAll", [this] { model_.BtSelAllClick(); }));
    buttons->addWidget(bind_.Push(this, &TFParNMEA::BtDeselAll, "BtDeselAll", [this] { model_.BtDeselAllClick(); }));
    buttons->addStretch(1);

    auto* lists = new QHBoxLayout;
    lists->setSpacing(4);
    lists->addWidget(list_);
    lists->addWidget(memo, 1);
    lists->addSpacing(12);
    lists->addLayout(talkers);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(lists);
    whole->addWidget(note);
    whole->addLayout(buttons);
    validate->setFocus();  // not the check list, whose first row would look chosen

    for (std::size_t i = 0; i < model_.MemoPNMEA.size(); ++i) {
        memo->item(static_cast<int>(i))->setText(Q(model_.MemoPNMEA[i]));
    }
    Refresh();
}

void SentenceSelectionDialog::ShowOwnWidgets() {
    const QSignalBlocker quiet(list_);
    for (std::size_t i = 0; i < model_.ChkLBNMEA.size(); ++i) {
        QListWidgetItem* item = list_->item(static_cast<int>(i));
        const TFParNMEA::CheckListItem& c = model_.ChkLBNMEA[i];
        if (item->text() != Q(c.text)) item->setText(Q(c.text));
        const Qt::CheckState state = c.checked ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state) item->setCheckState(state);
    }
}

}  // namespace corvel::ui

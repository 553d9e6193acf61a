// The polar window; see PolarWindow.h.
#include "ui/PolarWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "ui/PolarDiagramWidget.h"
#include "ui/QtDialogs.h"

namespace corvel::ui {

namespace {

// Characters between two tab stops of the memo, and how many columns of a polar it shows without
// scrolling (the angle and nine wind speeds: the default polar).
constexpr int kTabCharacters = 8;
constexpr int kMemoColumns = 10;

}  // namespace

PolarWindow::PolarWindow(const app::TFPolaire& model, const sim::SimulationState& state, QWidget* parent)
    : QDialog(parent), model_(model), state_(state) {
    setObjectName(QStringLiteral("FPolaire"));
    setWindowTitle(Q(model_.Caption));
    setModal(false);

    file_ = new QLabel(this);
    file_->setObjectName(QStringLiteral("LabFichierPolaire"));
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoPolaire"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetricsF metrics(memo_->font());
    const qreal tab = kTabCharacters * metrics.horizontalAdvance(QLatin1Char('0'));
    memo_->setTabStopDistance(tab);
    memo_->setMinimumWidth(static_cast<int>(std::ceil(kMemoColumns * tab)) + 2 * memo_->frameWidth() +
                           memo_->verticalScrollBar()->sizeHint().width() + 8);

    diagram_ = new PolarDiagramWidget(this);

    auto* left = new QVBoxLayout;
    left->addWidget(file_);
    left->addWidget(memo_, 1);
    auto* panes = new QHBoxLayout;
    panes->addLayout(left, 0);
    panes->addWidget(diagram_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(buttons);
    resize(sizeHint().expandedTo(QSize(1180, 640)));
    Refresh();
}

void PolarWindow::Refresh() {
    const int percent = state_.PolarPercent;
    const bool loaded = !drawnOnce_ || model_.Loads() != drawnLoads_;
    if (!loaded && percent == drawnPercent_) return;
    if (loaded) {
        QStringList lines;
        for (const std::string& line : model_.MemoPolaire()) lines << Q(line);
        memo_->setPlainText(lines.join(QLatin1Char('\n')));
        const std::string path = model_.LoadedPath.string();
        file_->setText(path.empty() ? QStringLiteral("Aucune polaire chargée")
                                    : QStringLiteral("Fichier : %1").arg(Q(model_.LoadedPath.filename().string())));
        file_->setToolTip(Q(path));
    }
    diagram_->SetPolar(model_.Table(), percent);
    drawnOnce_ = true;
    drawnLoads_ = model_.Loads();
    drawnPercent_ = percent;
}

void PolarWindow::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

}  // namespace corvel::ui

#include "ui/HelpView.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

#include "ui/Binding.h"

namespace corvel::ui {

HelpView::HelpView(app::HelpViewer& model, QAbstractScrollArea* area,
                   std::function<void(const std::function<void()>&)> command)
    : QObject(area), model_(model), area_(area) {
    const auto button = [this, &command](const app::Button& control, const char* name, std::function<void()> click) {
        auto* b = new QPushButton(area_);
        b->setObjectName(QString::fromLatin1(name));
        ShowButton(b, control);
        connect(b, &QPushButton::clicked, this, [command, click] { command(click); });
        return b;
    };
    close_ = button(model_.BtCloseHelp, "BtCloseHelp", [this] { model_.BtCloseHelpClick(); });
    // Back and forward go through the browser's own history; nothing when there is none.
    back_ = button(model_.BtGoBackHELP, "BtGoBackHELP", [this] {
        if (browser_ && browser_->isBackwardAvailable()) browser_->backward();
    });
    forward_ = button(model_.BtAvanceHelp, "BtAvanceHelp", [this] {
        if (browser_ && browser_->isForwardAvailable()) browser_->forward();
    });
    area_->installEventFilter(this);
}

void HelpView::Refresh(bool all) {
    if (!all && shown_ == model_.Revision) return;
    shown_ = model_.Revision;
    ShowButton(close_, model_.BtCloseHelp);
    ShowButton(back_, model_.BtGoBackHELP);
    ShowButton(forward_, model_.BtAvanceHelp);
    if (!model_.Open()) {
        delete browser_;
        browser_ = nullptr;
        return;
    }
    if (browser_) return;  // one help view at a time
    browser_ = new QTextBrowser(area_);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    const QString page = QString::fromStdString(model_.Page.string());
    if (QFileInfo(page).isFile()) {
        browser_->setSource(QUrl::fromLocalFile(page));
    } else {
        browser_->setHtml(QStringLiteral("<h2>Page d'aide introuvable</h2><p>Le fichier <code>%1</code> n'existe "
                                         "pas : les pages d'aide sont installées avec le programme, dans son "
                                         "dossier <code>Help</code>.</p>")
                              .arg(page.toHtmlEscaped()));
    }
    Place();
    browser_->show();
    for (QPushButton* b : {close_, back_, forward_}) b->raise();
}

void HelpView::Place() {
    const QRect area = area_->rect();
    if (browser_) {
        browser_->setGeometry(area.adjusted(kMarginLeft, kMarginTop, -kMarginRight, -kMarginBottom));
    }
    // The buttons in the right margin, one under the other.
    const int x = area.right() - kMarginRight + 12;
    int y = kMarginTop;
    for (QPushButton* b : {close_, back_, forward_}) {
        b->setGeometry(x, y, kMarginRight - 24, 30);
        y += 40;
    }
}

bool HelpView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize) Place();
    return QObject::eventFilter(watched, event);
}

}  // namespace corvel::ui

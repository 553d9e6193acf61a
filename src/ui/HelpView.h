// The help view of the main window: a QTextBrowser laid over the scroll area with margins of 150
// pixels left and right and 10 above and below, and in the right margin "Fermer l'aide", "RETOUR"
// and "AVANCE" (the browser's history). Shown while the help model says help is open.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

#include "app/windows/HelpPages.h"

class QAbstractScrollArea;
class QPushButton;
class QTextBrowser;

namespace corvel::ui {

class HelpView : public QObject {
public:
    // Over `area`; `command` runs a handler as a user's command of the main window.
    HelpView(app::HelpViewer& model, QAbstractScrollArea* area,
             std::function<void(const std::function<void()>&)> command);

    // Opens or closes the browser as the model says (when it moved since last shown).
    void Refresh(bool all = false);
    QTextBrowser* Browser() const { return browser_; }

    static constexpr int kMarginLeft = 150, kMarginTop = 10, kMarginRight = 150, kMarginBottom = 10;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    app::HelpViewer& model_;
    QAbstractScrollArea* area_;
    QTextBrowser* browser_ = nullptr;  // while help is open
    QPushButton *close_, *back_, *forward_;
    std::uint64_t shown_ = 0;
};

}  // namespace corvel::ui

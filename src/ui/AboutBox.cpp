#include "ui/AboutBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "config/Configuration.h"
#include "ui/Binding.h"

namespace corvel::ui {

namespace {

// What the program does, line by line, as the box shows it.
constexpr const char* kLines[] = {
    "     Simulateur de navigation à la voile",
    "",
    "      * exploitant les polaires",
    "      * générant les phrases NMEA 0183 sélectionnées",
    "      * diffusant les phrases NMEA sur liaisons série",
    "      * diffusant les mêmes phrases en WIFI - TCP ou UDP",
};

QLabel* Centred(QWidget* parent, const QString& text, int pointSize, QRect where) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(where);
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* mainWindow) : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TFAbout"));
    setModal(false);
    setFixedSize(349, 402);
    setStyleSheet(QStringLiteral("#TFAbout { border: 1px solid #000080; }"));

    auto* band = new QWidget(this);
    band->setGeometry(0, 0, 349, 81);
    band->setStyleSheet(QStringLiteral("background: #000080;"));
    QLabel* title = Centred(band, QStringLiteral("CorvelNMEA"), 25, band->rect());
    title->setObjectName(QStringLiteral("LabTitle"));
    title->setStyleSheet(QStringLiteral("color: #7fffd4; font-weight: bold;"));

    QLabel* version = Centred(this, QStringLiteral("VERSION : ") + Q(config::kProgramVersion), 15, {0, 90, 349, 36});
    version->setObjectName(QStringLiteral("LabVersion"));

    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("MemoAbout"));
    text->setReadOnly(true);
    text->setFocusPolicy(Qt::NoFocus);
    text->setGeometry(8, 136, 333, 200);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);  // each line whole, as written
    QFont small = text->font();
    small.setPointSize(8);
    text->setFont(small);
    QStringList lines;
    for (const char* line : kLines) lines << QString::fromUtf8(line);
    text->setPlainText(lines.join(QLatin1Char('\n')));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtAboutOK"));
    ok->setGeometry(137, 352, 75, 32);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);  // BtAboutOKClick
}

void AboutBox::AboutClick() {
    if (const QWidget* main = parentWidget()) move(main->geometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

}  // namespace corvel::ui

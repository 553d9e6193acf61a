// The French help pages (data/Help): every link and picture resolves inside the help folder, every
// page loads in a QTextBrowser with its title, text and pictures, the sentence table matches the
// catalogue row for row, every command-line option the program prints and every check box of the
// network dialog are explained.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <array>
#include <filesystem>
#include <map>
#include <string>

#include "app/program/Program.h"
#include "app/windows/ControlCommands.h"
#include "main/HeadlessOptions.h"
#include "main/WindowRun.h"
#include "nmea/NmeaCatalogue.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/GuiApplication.h"
#include "ui/NetworkDialog.h"

using namespace corvel;

namespace {

namespace fs = std::filesystem;

// The pages the program opens, by their fixed names.
constexpr std::array<const char*, 4> kPages = {
    "CVN_ConnexWifi_p1.html",
    "CVN_ConnexWIFI_p3.html",
    "CVN_Aide par rubrique.html",
    "CVN_generalites.html",
};
constexpr const char* kReferencePage = "CVN_Aide par rubrique.html";

fs::path PagePath(const std::string& name) { return test::HelpFolder() / name; }

QString ReadPage(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// The values of an attribute (href, src) in the order they come.
QStringList AttributeValues(const QString& html, const QString& attribute) {
    QStringList values;
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*\"([^\"]*)\"").arg(attribute));
    for (auto it = re.globalMatch(html); it.hasNext();) values << it.next().captured(1);
    return values;
}

// The anchors a page offers: <a name="x"> and id="x".
QSet<QString> Anchors(const QString& html) {
    QSet<QString> anchors;
    for (const QString& a : AttributeValues(html, QStringLiteral("name"))) anchors.insert(a);
    for (const QString& a : AttributeValues(html, QStringLiteral("id"))) anchors.insert(a);
    return anchors;
}

// Text without tags and entities' spacing, blanks collapsed.
QString CellText(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    return html.simplified();
}

// The rows of the first table after the anchor `anchor` of `html`, each as its cells' texts.
std::vector<QStringList> TableAfter(const QString& html, const QString& anchor) {
    const qsizetype start = html.indexOf(QStringLiteral("name=\"%1\"").arg(anchor));
    if (start < 0) return {};
    const qsizetype open = html.indexOf(QStringLiteral("<table"), start);
    const qsizetype close = html.indexOf(QStringLiteral("</table>"), open);
    if (open < 0 || close < 0) return {};
    const QString table = html.mid(open, close - open);
    std::vector<QStringList> rows;
    const QRegularExpression rowRe(QStringLiteral("<tr>(.*?)</tr>"), QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression cellRe(QStringLiteral("<td[^>]*>(.*?)</td>"),
                                    QRegularExpression::DotMatchesEverythingOption);
    for (auto r = rowRe.globalMatch(table); r.hasNext();) {
        QStringList cells;
        for (auto c = cellRe.globalMatch(r.next().captured(1)); c.hasNext();) cells << CellText(c.next().captured(1));
        if (!cells.isEmpty()) rows.push_back(cells);  // the header row has <th> cells only
    }
    return rows;
}

TEST(HelpPages, EveryLinkAndPictureResolvesInsideTheHelpFolder) {
    const fs::path folder = fs::weakly_canonical(test::HelpFolder());
    for (const char* page : kPages) {
        SCOPED_TRACE(page);
        const QString html = ReadPage(PagePath(page));
        ASSERT_FALSE(html.isEmpty());
        const QUrl pageUrl = QUrl::fromLocalFile(QString::fromStdString(PagePath(page).string()));
        for (const QString& attribute : {QStringLiteral("href"), QStringLiteral("src")}) {
            for (const QString& value : AttributeValues(html, attribute)) {
                SCOPED_TRACE(value.toStdString());
                const QUrl url(value);
                // Relative to the page: no scheme (no web or file address), no absolute path.
                EXPECT_TRUE(url.scheme().isEmpty());
                EXPECT_FALSE(value.startsWith(QLatin1Char('/')));
                const QUrl target = pageUrl.resolved(url);
                const fs::path file = fs::weakly_canonical(target.toLocalFile().toStdString());
                EXPECT_TRUE(fs::is_regular_file(file));
                const std::string relative = file.lexically_relative(folder).string();
                EXPECT_FALSE(relative.empty() || relative.starts_with(".."));  // inside the help folder
                if (attribute == QLatin1String("href") && url.hasFragment()) {
                    EXPECT_TRUE(Anchors(ReadPage(file)).contains(url.fragment()));
                }
            }
        }
        // The navigation bar, the page's first table: every other page is one click away.
        const QString bar = html.left(html.indexOf(QStringLiteral("</table>")));
        for (const char* other : kPages) {
            if (std::string(other) == page) continue;
            const QString href = QUrl(QString::fromUtf8(other)).toString(QUrl::FullyEncoded);
            EXPECT_TRUE(bar.contains(QStringLiteral("href=\"%1\"").arg(href))) << other;
        }
    }
}

TEST(HelpPages, EachPageLoadsInATextBrowserWithItsTitleTextAndPictures) {
    test::GuiApplication();
    for (const char* page : kPages) {
        SCOPED_TRACE(page);
        QTextBrowser browser;
        browser.resize(1300, 900);
        browser.setSource(QUrl::fromLocalFile(QString::fromStdString(PagePath(page).string())));
        QTextDocument* document = browser.document();
        EXPECT_FALSE(document->metaInformation(QTextDocument::DocumentTitle).trimmed().isEmpty());
        EXPECT_GT(document->toPlainText().simplified().size(), 500);

        // Every picture of the page is in the document and loads through the document's resources.
        int pictures = 0;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat()) continue;
                ++pictures;
                const QString name = format.toImageFormat().name();
                SCOPED_TRACE(name.toStdString());
                const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(name));
                QImage image;
                if (resource.canConvert<QImage>()) image = resource.value<QImage>();
                if (image.isNull() && resource.canConvert<QPixmap>()) image = resource.value<QPixmap>().toImage();
                if (image.isNull()) image = QImage::fromData(resource.toByteArray());
                EXPECT_FALSE(image.isNull());
            }
        }
        EXPECT_EQ(pictures, AttributeValues(ReadPage(PagePath(page)), QStringLiteral("src")).size());
    }
}

// The talker column's text for each role.
QString TalkerText(nmea::TalkerRole role) {
    switch (role) {
        case nmea::TalkerRole::Position: return QStringLiteral("GP ou EC");
        case nmea::TalkerRole::Sounder: return QStringLiteral("SD ou II");
        case nmea::TalkerRole::Speed: return QStringLiteral("DM ou II");
        case nmea::TalkerRole::Wind: return QStringLiteral("WI ou II");
        case nmea::TalkerRole::Compass: break;
    }
    return QString::fromLatin1(nmea::kCompassTalker.data(), static_cast<qsizetype>(nmea::kCompassTalker.size()));
}

QString YesNo(bool yes) { return yes ? QStringLiteral("oui") : QStringLiteral("non"); }

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

TEST(HelpPages, TheSentenceTableHasOneRowPerKindOfTheCatalogueWithItsFacts) {
    const std::vector<QStringList> rows = TableAfter(ReadPage(PagePath(kReferencePage)), QStringLiteral("phrases"));
    std::map<QString, QStringList> byType;
    for (const QStringList& row : rows) {
        ASSERT_EQ(row.size(), 6) << row.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(byType.emplace(row[0], row).second) << "listed twice: " << row[0].toStdString();
    }
    EXPECT_EQ(byType.size(), nmea::kSentenceKindCount);
    for (const nmea::SentenceInfo& info : nmea::kSentenceCatalogue) {
        const QString type = Q(info.type);
        SCOPED_TRACE(type.toStdString());
        const auto row = byType.find(type);
        ASSERT_NE(row, byType.end()) << "no help for this kind";
        EXPECT_EQ(row->second[1], Q(info.description).simplified());
        EXPECT_EQ(row->second[2], TalkerText(info.talker));
        EXPECT_EQ(row->second[3], QString::number(info.group));
        EXPECT_EQ(row->second[4], YesNo(info.obsolete));
        EXPECT_EQ(row->second[5], YesNo(info.waypoint));
    }
}

TEST(HelpPages, EveryCommandLineOptionAndHeadlessCommandIsExplained) {
    QString help;
    for (const char* page : kPages) help += ReadPage(PagePath(page));
    const QString usage = Q(headless::Usage()) + Q(window::Usage());

    // Each option, as a whole word: "--log" is not explained by "--log-stamped".
    const QRegularExpression optionRe(QStringLiteral("--[a-z][a-z-]*"));
    QSet<QString> options;
    for (auto it = optionRe.globalMatch(usage); it.hasNext();) options.insert(it.next().captured(0));
    EXPECT_GE(options.size(), 14);  // the usage texts were read
    for (const QString& option : options) {
        const QRegularExpression word(QRegularExpression::escape(option) + QStringLiteral("(?![a-z-])"));
        EXPECT_TRUE(help.contains(word)) << option.toStdString();
    }

    // The commands of --do, each written as code.
    const qsizetype from = usage.indexOf(QStringLiteral("la commande de la fenêtre"));
    const qsizetype to = usage.indexOf(QStringLiteral("(option répétable)"), from);
    ASSERT_GE(from, 0);
    ASSERT_GT(to, from);
    const QRegularExpression commandRe(QStringLiteral("[A-Z_]{4,}(=N)?|[+-]10?(?![0-9])"));
    QStringList commands;
    for (auto it = commandRe.globalMatch(usage.mid(from, to - from)); it.hasNext();) {
        const QString command = it.next().captured(0);
        commands << command;
        EXPECT_TRUE(help.contains(QStringLiteral("<code>%1</code>").arg(command))) << command.toStdString();
    }
    // They are the window's command table's, in its order.
    EXPECT_EQ(commands.join(QStringLiteral(", ")).toStdString(), app::WindowCommandNames());
}

// The manual page has a paragraph for every option of the command line (the headless run's table,
// its short names, the window's options) and none for an option the program does not have.
TEST(HelpPages, TheManualPageHasAParagraphForEachOptionAndNoOther) {
    const QString page = ReadPage(test::SourceDir() / "packaging" / "corvelnmea.1.in");
    ASSERT_FALSE(page.isEmpty());
    // The options a paragraph's tag (the line after .TP or .TQ) begins with, roff's escapes taken off.
    const QRegularExpression tagRe(QStringLiteral("^\\.T[PQ][^\\n]*\\n([^\\n]*)"), QRegularExpression::MultilineOption);
    const QRegularExpression optionRe(QStringLiteral("^(-{1,2}[a-zA-Z][a-z-]*)(?:[\\s,]+(-{1,2}[a-zA-Z][a-z-]*))?"));
    QSet<QString> described;
    for (auto it = tagRe.globalMatch(page); it.hasNext();) {
        QString tag = it.next().captured(1);
        tag.remove(QRegularExpression(QStringLiteral("^\\.[A-Z]+ ")));
        tag.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]|\\\\|\"")));
        const QRegularExpressionMatch m = optionRe.match(tag);
        if (!m.hasMatch()) continue;  // a command of --do
        described.insert(m.captured(1));
        if (!m.captured(2).isEmpty()) described.insert(m.captured(2));
    }
    QSet<QString> options{QStringLiteral("--headless")};
    for (const headless::OptionRow& row : headless::OptionTable()) {
        options.insert(Q(row.name));
        if (!row.shortName.empty()) options.insert(Q(row.shortName));
    }
    const QRegularExpression windowRe(QStringLiteral("--[a-z][a-z-]*"));
    for (auto it = windowRe.globalMatch(Q(window::Usage())); it.hasNext();) options.insert(it.next().captured(0));
    const QSet<QString> undescribed = options - described, unknown = described - options;
    EXPECT_TRUE(undescribed.isEmpty()) << "without a paragraph: "
                                       << QStringList(undescribed.begin(), undescribed.end()).join(' ').toStdString();
    EXPECT_TRUE(unknown.isEmpty()) << "no such option: "
                                   << QStringList(unknown.begin(), unknown.end()).join(' ').toStdString();
    EXPECT_GE(described.size(), 20);  // the page was read
}

// The network pages name every check box of the network dialog, by its caption between « »: a user
// who sees a box there finds what it does.
TEST(HelpPages, EveryCheckBoxOfTheNetworkDialogIsExplained) {
    test::GuiApplication();
    test::FakeDialogs dialogs;
    app::Program program(dialogs, test::SourceDir() / "data");
    ui::NetworkDialog dialog(program.FParamWIFI);
    const QString pages =
        CellText(ReadPage(PagePath("CVN_ConnexWifi_p1.html")) + ReadPage(PagePath("CVN_ConnexWIFI_p3.html")));
    const QList<QCheckBox*> boxes = dialog.findChildren<QCheckBox*>();
    ASSERT_FALSE(boxes.isEmpty());
    for (const QCheckBox* box : boxes) {
        EXPECT_TRUE(pages.contains(QStringLiteral("« %1 »").arg(box->text()))) << box->text().toStdString();
    }
}

}  // namespace

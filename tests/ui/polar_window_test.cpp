// The polar window over the whole program: the file's lines and the diagram of the polar in force,
// redrawn when the percentage changes or another polar is chosen, and left as it was by a refused
// file.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "app/program/Program.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/GuiApplication.h"
#include "support/TempFolder.h"
#include "ui/PolarDiagramWidget.h"
#include "ui/PolarWindow.h"

using namespace corvel;

namespace {

class PolarWindowView : public ::testing::Test {
protected:
    PolarWindowView() {
        window.resize(1180, 640);
        window.show();
    }

    QApplication& qt = test::GuiApplication();  // before any widget
    test::FakeDialogs dialogs;
    app::Program program{dialogs, test::SourceDir() / "data"};
    ui::PolarWindow window{program.FPolaire, program.Engine.S};
    test::TempFolder folder;

    QString Memo() { return window.findChild<QPlainTextEdit*>(QStringLiteral("MemoPolaire"))->toPlainText(); }
    QImage Picture() { return window.Diagram()->grab().toImage(); }
    std::filesystem::path Write(const std::string& name, const std::string& text) {
        test::WriteFile(folder / name, text);
        return folder / name;
    }
    // The user chooses `file` with the parameters dialog's polar button, then the window is redrawn.
    void Choose(const std::filesystem::path& file) {
        dialogs.files.push_back(file);
        program.FParam.SpeedBtModPolClick();
        window.Refresh();
    }
    // The boat speeds of the diagram's curves, curve after curve.
    std::vector<float> Speeds() {
        std::vector<float> speeds;
        for (const app::PolarCurve& c : window.Diagram()->Curves()) {
            for (const app::PolarPoint& p : c.points) speeds.push_back(p.speed);
        }
        return speeds;
    }
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += (text.empty() ? "" : "\n") + l;
    return text;
}

TEST_F(PolarWindowView, ShowsTheFileLinesInMonospaceAndOneCurvePerWindColumn) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("SAISIE POLAIRE"));
    EXPECT_FALSE(window.isModal());
    auto* memo = window.findChild<QPlainTextEdit*>(QStringLiteral("MemoPolaire"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    const QFontMetricsF metrics(memo->font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W'))) << "monospace";
    EXPECT_EQ(Memo().toStdString(), Joined(program.FPolaire.MemoPolaire()));
    EXPECT_TRUE(Memo().startsWith(QStringLiteral("TWA\\TWS\t4\t6\t8")));
    ASSERT_EQ(window.Diagram()->Curves().size(), 9u);
    EXPECT_EQ(window.Diagram()->Curves()[1].legend, "6 nds");
    EXPECT_EQ(window.Diagram()->Percent(), 100);
}

TEST_F(PolarWindowView, RedrawnWhenThePercentageChanges) {
    const std::vector<float> full = Speeds();
    const QImage before = Picture();
    program.FCorvel.SpBPolPerc.value = 80;
    program.FCorvel.SpBPolPercChange();
    EXPECT_EQ(Speeds(), full) << "drawn again only by Refresh";
    window.Refresh();
    EXPECT_EQ(window.Diagram()->Percent(), 80);
    const std::vector<float> scaled = Speeds();
    ASSERT_EQ(scaled.size(), full.size());
    for (std::size_t i = 0; i < full.size(); ++i) EXPECT_NEAR(scaled[i], full[i] * 0.8f, 1e-4) << i;
    EXPECT_NE(Picture(), before);
}

// Files the table cannot hold: each is refused with its message.
struct RefusedCase {
    const char* name;
    std::string text;
};

std::string TooManyColumns() {
    std::string polar = "TWA";
    for (int c = 1; c <= 42; ++c) polar += "\t" + std::to_string(c);
    return polar + "\n40\t5\n180\t4\n";
}

const RefusedCase kRefused[] = {
    {"speed_out_of_range.pol", "TWA\t6\t8\n40\t5\t6\n180\t4\t101\n"},
    {"one_row.pol", "TWA\t6\t8\n40\t5\t6\n"},
    {"too_many_columns.pol", TooManyColumns()},
    {"empty.pol", ""},
};

TEST_F(PolarWindowView, ARefusedFileLeavesTheTableAndTheDrawingAsTheyWere) {
    const QString memo = Memo();
    const QImage picture = Picture();
    const std::vector<float> speeds = Speeds();
    for (const RefusedCase& k : kRefused) {
        SCOPED_TRACE(k.name);
        const std::size_t messages = dialogs.messages.size();
        Choose(Write(k.name, k.text));
        EXPECT_EQ(dialogs.messages.size(), messages + 1) << "the refusal is said";
        EXPECT_EQ(program.Polar.WindCount(), 9);
        EXPECT_EQ(Memo(), memo);
        EXPECT_EQ(Speeds(), speeds);
        EXPECT_EQ(Picture(), picture);
    }
    // A polar that loads is drawn at once: the window did follow the choices above.
    Choose(Write("three.pol", "TWA\t6\t10\t14\n40\t4\t5\t6\n90\t6\t7\t8\n180\t5\t6\t7\n"));
    EXPECT_EQ(Memo(), QStringLiteral("TWA\t6\t10\t14\n40\t4\t5\t6\n90\t6\t7\t8\n180\t5\t6\t7"));
    ASSERT_EQ(window.Diagram()->Curves().size(), 3u);
    EXPECT_EQ(window.Diagram()->Curves()[2].legend, "14 nds");
    EXPECT_NE(Picture(), picture);
}

TEST(PolarDiagramWidget, DrawsAPolarAloneAndNothingBeforeOne) {
    test::GuiApplication();
    ui::PolarDiagramWidget alone;
    alone.resize(400, 420);
    EXPECT_TRUE(alone.Curves().empty());
    EXPECT_EQ(alone.Drawing().legendTitle.text, "Aucune polaire chargée");
    const QImage empty = alone.grab().toImage();
    sim::PolarTable table;
    ASSERT_TRUE(table.LoadFromFile(test::DefaultPolar()).ok());
    alone.SetPolar(table, 90);
    EXPECT_EQ(alone.Curves().size(), 9u);
    EXPECT_EQ(alone.Drawing().percent.text, "Polaire à 90 %");
    EXPECT_NE(alone.grab().toImage(), empty);
}

}  // namespace

// The compass and the sounder's picture rendered offscreen: which colours land where, the dial
// drawn once and again only when it must, and the sounder's first picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>

#include "sim/Sounder.h"
#include "support/GuiApplication.h"
#include "ui/CompassWidget.h"
#include "ui/DepthPictureWidget.h"

using namespace corvel;

namespace {

QImage Frame(ui::CompassWidget& w) {
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    w.Render(p);
    return image;
}

// Pixels of exactly this opaque colour, or close to it (antialiasing blends the edges).
int CountNear(const QImage& image, QRgb colour, const QRect& area, int tolerance = 24) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) > 200 && std::abs(qRed(p) - qRed(colour)) <= tolerance &&
                std::abs(qGreen(p) - qGreen(colour)) <= tolerance && std::abs(qBlue(p) - qBlue(colour)) <= tolerance) {
                ++n;
            }
        }
    }
    return n;
}

struct CompassFixture : ::testing::Test {
    QApplication& app = test::GuiApplication();
    app::TFMXCompass model;
    std::unique_ptr<ui::CompassWidget> widget = [this] {
        model.GraduationMajeure = 30;
        model.CentreXY = {270, 287};
        return std::make_unique<ui::CompassWidget>(model);
    }();
};

constexpr QRgb kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kMagenta = 0xFFFF00FF, kGreen = 0xFF008000;

TEST_F(CompassFixture, WithoutAScaleNoArrowColourIsPainted) {
    model.SetArrowApparWind({{270, 150}, {270, 287}, 90, 137});
    model.SetArrowBoatSpeed({{270, 287}, {}, 45, 100});
    model.FactConvers = 0;
    const QImage image = Frame(*widget);
    const QRect all = image.rect();
    for (QRgb c : {kRed, kBlue, kMagenta, kGreen}) EXPECT_EQ(CountNear(image, c, all), 0) << std::hex << c;
    EXPECT_EQ(qAlpha(image.pixel(2, 2)), 0);        // outside the dial: transparent
    EXPECT_EQ(image.pixel(270, 287), 0xFFFFFFF0u);  // the ivory dial
    // The widget's own paint (what a window shows) is the same frame.
    const QImage shown = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(shown, image);
}

TEST_F(CompassFixture, EachArrowsColourLiesOnItsLineAndNowhereElse) {
    model.FactConvers = 10;
    model.etalon = 12;
    model.SetArrowApparWind({{270, 100}, {270, 287}, 90, 187});  // from the north, red
    model.SetArrowBoatSpeed({{270, 287}, {}, 0, 150});           // to the east, blue
    model.SetArrowCOGSOG({{270, 287}, {}, 180, 150});            // to the west, magenta
    const QImage image = Frame(*widget);
    const QRect north(262, 110, 16, 150), east(300, 279, 110, 16), west(130, 279, 110, 16);
    EXPECT_GT(CountNear(image, kRed, north), 100);
    EXPECT_GT(CountNear(image, kBlue, east), 100);
    EXPECT_GT(CountNear(image, kMagenta, west), 100);
    EXPECT_EQ(CountNear(image, kRed, east) + CountNear(image, kRed, west), 0);
    EXPECT_EQ(CountNear(image, kBlue, north) + CountNear(image, kBlue, west), 0);
    EXPECT_EQ(CountNear(image, kMagenta, north) + CountNear(image, kMagenta, east), 0);
    // Heads at their ends: red at the centre's square border, blue and magenta at 150 pixels.
    EXPECT_GT(CountNear(image, kBlue, QRect(405, 280, 16, 14)), 10);
    EXPECT_GT(CountNear(image, kMagenta, QRect(119, 280, 16, 14)), 10);
}

TEST_F(CompassFixture, TheDialIsDrawnOnceAndAgainOnlyWhenItChanges) {
    model.FactConvers = 10;
    model.etalon = 12;
    for (int frame = 0; frame < 100; ++frame) {
        // As a run feeds it: the arrows turn and the reference speed, the fastest of the three
        // speeds, moves with them within its step of the scale.
        model.SetArrowBoatSpeed({{270, 287}, {}, static_cast<float>(frame), 120});
        model.etalon = 12 + static_cast<float>(frame) * 0.05f;
        Frame(*widget);
    }
    EXPECT_EQ(widget->DialBuilds(), 1);
    const struct {
        const char* what;
        std::function<void()> change;
        bool rebuilt;
    } steps[] = {
        {"a resize", [&] { widget->resize(400, 420); }, true},
        {"the graduations", [&] { model.GraduationMajeure = 45; }, true},
        {"the reference speed within the fast rings", [&] { model.etalon = 5.5f; }, false},
        {"the reference speed down to the slow rings", [&] { model.etalon = 4.5f; }, true},
        {"the scale", [&] { model.FactConvers = 12; }, true},
        {"the widget's font, which the labels are drawn in",
         [&] {
             QFont f = widget->font();
             f.setPixelSize(f.pixelSize() > 0 ? f.pixelSize() + 4 : 20);
             widget->setFont(f);
         },
         true},
        {"the label font", [&] { model.TextSettings.bold = true; }, true},
        {"an arrow alone",
         [&] {
             model.SetArrowHeading({{270, 287}, {}, 30, 80});
         },
         false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const int before = widget->DialBuilds();
        step.change();
        Frame(*widget);
        Frame(*widget);
        EXPECT_EQ(widget->DialBuilds(), before + (step.rebuilt ? 1 : 0));
    }
}

TEST(DepthPicture, BeforeTheFirstSampleAndAfterIt) {
    test::GuiApplication();
    sim::SimulationState s;
    sim::InitSounder(s);
    ui::DepthPictureWidget w(s);
    const auto render = [&] {
        QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
        QPainter p(&image);
        w.Render(p);
        return image;
    };
    QImage image = render();
    EXPECT_EQ(image.pixel(2, 2), 0xFF0000FFu);    // water at the top left
    EXPECT_EQ(image.pixel(2, 128), 0xFF808000u);  // the sea bed at the bottom
    // The ping line down the middle, white at half opacity over the water: pale blue dashes.
    const auto pingPixels = [](const QImage& i) {
        int n = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 86; x <= 89; ++x) n += qRed(i.pixel(x, y)) > 100 && qBlue(i.pixel(x, y)) > 200;
        }
        return n;
    };
    EXPECT_GT(pingPixels(image), 10);
    // It stops at the sea bed under the boat (56.32 pixels down): below, its column is all olive.
    EXPECT_EQ(CountNear(image, 0xFF808000, QRect(85, 58, 5, 71), 0), 5 * 71);
    EXPECT_GT(CountNear(image, 0xFFFFFF00, QRect(10, 8, 50, 20), 80), 5);   // the yellow depth text
    EXPECT_GT(CountNear(image, 0xFFFFFF00, QRect(125, 8, 50, 20), 80), 5);  // and temperature
    EXPECT_EQ(app::ImageProfData(s).depthText, "0.0 m");
    EXPECT_EQ(app::ImageProfData(s).temperatureText, "13.0 °C");

    sim::TakeSounding(s);  // the first sample; the ping ends with the sounder's timer
    s.SounderPing = false;
    image = render();
    EXPECT_EQ(app::ImageProfData(s).depthText, "10.5 m");
    EXPECT_EQ(pingPixels(image), 0);
}

}  // namespace

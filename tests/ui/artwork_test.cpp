// The main window's artwork: the legend shows each arrow of the compass's table with the look the
// compass gives it, the glyph images differ where the window tells states apart, the background
// tile repeats without a seam, and the tiller picture is centred. (The compass model's own looks
// are tested in tests/app/compass_model_test.cpp.)
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/instruments/CompassArrows.h"
#include "app/instruments/CompassGeometry.h"
#include "support/GuiApplication.h"
#include "ui/Artwork.h"

using namespace corvel;
using app::ArrowKind;

namespace {

QImage ImageOf(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

// ---------------------------------------------------------------- legend

// How much of `colour` a pixel holds over the background `ground`: 0 none, 1 the colour itself,
// or -1 when the pixel is not a blend of the two (another colour).
double Share(QRgb pixel, QRgb colour, QRgb ground) {
    const std::array<int, 3> p{qRed(pixel), qGreen(pixel), qBlue(pixel)};
    const std::array<int, 3> c{qRed(colour), qGreen(colour), qBlue(colour)};
    const std::array<int, 3> g{qRed(ground), qGreen(ground), qBlue(ground)};
    double sum = 0, weight = 0;
    for (int i = 0; i < 3; ++i) {
        sum += static_cast<double>(p[i] - g[i]) * (c[i] - g[i]);
        weight += static_cast<double>(c[i] - g[i]) * (c[i] - g[i]);
    }
    const double t = std::clamp(sum / weight, 0.0, 1.0);
    for (int i = 0; i < 3; ++i) {
        if (std::abs(p[i] - (g[i] + t * (c[i] - g[i]))) > 14) return -1;
    }
    return t;
}

struct Sample {
    std::vector<double> coverage;  // per column of the shaft: the colour summed across the line
    int foreign = 0;               // pixels of another colour on the shaft
};

Sample ReadShaft(const QImage& image, const ui::LegendRow& row, QRgb colour) {
    const QRgb ground = image.pixel(static_cast<int>(row.shaft.x1()) - 3, static_cast<int>(row.shaft.y1()));
    Sample s;
    const int y = static_cast<int>(row.shaft.y1());
    for (int x = static_cast<int>(row.shaft.x1()) + 1; x < row.shaft.x2() - app::kBarbLength - 2; ++x) {
        double sum = 0;
        for (int dy = -3; dy <= 3; ++dy) {
            const double t = Share(image.pixel(x, y + dy), colour, ground);
            if (t < 0) {
                ++s.foreign;
            } else {
                sum += t;
            }
        }
        s.coverage.push_back(sum);
    }
    return s;
}

// The lengths of the inked runs along the shaft, the cut runs at both ends left out.
std::vector<int> InnerRuns(const std::vector<double>& coverage, double threshold) {
    std::vector<int> runs;
    int run = 0;
    for (double c : coverage) {
        if (c >= threshold) {
            ++run;
        } else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (!runs.empty() && coverage.front() >= threshold) runs.erase(runs.begin());
    return runs;
}

TEST(Legend, RowsAreTheTablesKindsInOrderEachWithItsCaptionInsideThePicture) {
    test::GuiApplication();
    for (const QSize size : {QSize(377, 292), QSize(260, 200)}) {
        SCOPED_TRACE(size.width());
        const std::vector<ui::LegendRow> rows = ui::LegendLayout(size);
        ASSERT_EQ(rows.size(), app::kCompassArrows.size());
        const QImage image = ImageOf(ui::LegendPicture(size));
        ASSERT_EQ(image.size(), size);
        const QRectF inside(0, 0, size.width(), size.height());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ui::LegendRow& row = rows[i];
            SCOPED_TRACE(std::string(app::kCompassArrows[i].caption));
            EXPECT_EQ(row.kind, app::kCompassArrows[i].kind);
            EXPECT_TRUE(inside.contains(row.caption));
            EXPECT_TRUE(inside.contains(row.shaft.p1()) && inside.contains(row.shaft.p2()));
            EXPECT_LT(row.shaft.x2(), row.caption.left());
            if (i > 0) {
                EXPECT_GE(row.caption.top(), rows[i - 1].caption.bottom() - 0.01);
            }
            // The caption is written in its box and does not run past it.
            const QRect box = row.caption.toAlignedRect().intersected(image.rect());
            int ink = 0, beyond = 0;
            for (int y = box.top() + 1; y < box.bottom(); ++y) {
                for (int x = box.left(); x < size.width() - 2; ++x) {
                    const bool dark = qGray(image.pixel(x, y)) < 160;
                    (x <= box.right() ? ink : beyond) += dark;
                }
            }
            EXPECT_GT(ink, 20);
            EXPECT_EQ(beyond, 0);
        }
    }
}

TEST(Legend, EachSampleHasTheColourDashAndWidthOfItsArrow) {
    test::GuiApplication();
    const QImage image = ImageOf(ui::LegendPicture());
    for (const ui::LegendRow& row : ui::LegendLayout({377, 292})) {
        const app::ArrowLook& look = app::LookOf(row.kind);
        SCOPED_TRACE(std::string(look.caption));
        const Sample s = ReadShaft(image, row, look.colour);
        const double width = app::ArrowWidth(row.kind, ui::kLegendCurrentKnots);
        EXPECT_EQ(s.foreign, 0);
        EXPECT_NEAR(*std::max_element(s.coverage.begin(), s.coverage.end()), width, 0.3);
        const std::vector<int> runs = InnerRuns(s.coverage, width / 2);
        switch (look.style) {
            case app::TStyltrait::plein:
                EXPECT_NEAR(*std::min_element(s.coverage.begin(), s.coverage.end()), width, 0.3);
                break;
            case app::TStyltrait::tiret: {
                ASSERT_GE(runs.size(), 3u);
                const auto [shortest, longest] = std::minmax_element(runs.begin(), runs.end() - 1);
                EXPECT_LE(*longest - *shortest, 1);  // dashes alike
                break;
            }
            case app::TStyltrait::pointill: {
                ASSERT_GE(runs.size(), 4u);
                const auto [shortest, longest] = std::minmax_element(runs.begin(), runs.end() - 1);
                EXPECT_LE(*shortest * 2, *longest);  // dots between the dashes
                break;
            }
        }
        // The head at the shaft's end, solid in the arrow's colour.
        const QRgb ground = image.pixel(static_cast<int>(row.shaft.x1()) - 3, static_cast<int>(row.shaft.y1()));
        EXPECT_GT(Share(image.pixel(static_cast<int>(row.shaft.x2()) - 5, static_cast<int>(row.shaft.y1())),
                        look.colour, ground),
                  0.8);
    }
}

// ---------------------------------------------------------------- glyphs

// Pixels whose colour is strong (not a grey): the lit lamp's.
int Coloured(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int high = std::max({qRed(p), qGreen(p), qBlue(p)}), low = std::min({qRed(p), qGreen(p), qBlue(p)});
            n += qAlpha(p) > 200 && high - low > 100;
        }
    }
    return n;
}

TEST(Glyphs, EachStateHasItsOwnImageAndAnIndexOutOfRangeGivesTheFirst) {
    test::GuiApplication();
    using ui::GlyphList;
    for (const int side : {24, 40}) {
        SCOPED_TRACE(side);
        const auto image = [side](GlyphList list, int index) { return ImageOf(ui::GlyphImage(list, index, side)); };
        const struct {
            const char* what;
            GlyphList list;
            int a, b;
        } differ[] = {
            {"pause and play", GlyphList::PauseResume, 0, 5},
            {"AUTO in force and available", GlyphList::Auto, 0, 1},
            {"AUTO in force and greyed", GlyphList::Auto, 0, 2},
            {"AUTO available and greyed", GlyphList::Auto, 1, 2},
            {"STDBY in force and available", GlyphList::Standby, 0, 1},
            {"STDBY in force and greyed", GlyphList::Standby, 0, 2},
            {"STDBY available and greyed", GlyphList::Standby, 1, 2},
        };
        for (const auto& d : differ) EXPECT_NE(image(d.list, d.a), image(d.list, d.b)) << d.what;
        EXPECT_NE(image(GlyphList::Auto, 0), image(GlyphList::Standby, 0));
        const struct {
            GlyphList list;
            int index;
        } first[] = {{GlyphList::PauseResume, 1},  {GlyphList::PauseResume, 4}, {GlyphList::PauseResume, 6},
                     {GlyphList::PauseResume, -1}, {GlyphList::Auto, 3},        {GlyphList::Auto, -1},
                     {GlyphList::Standby, 3},      {GlyphList::Standby, 1000}};
        for (const auto& f : first) EXPECT_EQ(image(f.list, f.index), image(f.list, 0)) << f.index;
        for (const GlyphList list : {GlyphList::PauseResume, GlyphList::Auto, GlyphList::Standby}) {
            const QImage i = image(list, 0);
            EXPECT_EQ(i.size(), QSize(side, side));
            EXPECT_EQ(qAlpha(i.pixel(0, 0)), 0);  // transparent around the glyph
            EXPECT_EQ(i, image(list, 0));         // the same pixels every time
        }
        // The mode in force is lit in colour; available and greyed are not.
        for (const GlyphList list : {GlyphList::Auto, GlyphList::Standby}) {
            EXPECT_GT(Coloured(image(list, 0)), side * side / 20);
            EXPECT_EQ(Coloured(image(list, 1)), 0);
            EXPECT_EQ(Coloured(image(list, 2)), 0);
        }
    }
    EXPECT_TRUE(ui::GlyphImage(GlyphList::Auto, 0, 0).isNull());
}

// ---------------------------------------------------------------- background and tiller

TEST(BackgroundTile, OppositeEdgesMeetWithoutASeam) {
    test::GuiApplication();
    const QImage tile = ImageOf(ui::BackgroundTile());
    ASSERT_EQ(tile.size(), QSize(128, 128));
    const auto gap = [](QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
    };
    int texture = 0, seam = 0;
    const QRgb base = tile.pixel(20, 40);
    for (int i = 0; i < 128; ++i) {
        seam = std::max({seam, gap(tile.pixel(0, i), tile.pixel(127, i)), gap(tile.pixel(i, 0), tile.pixel(i, 127))});
        for (int j = 0; j < 128; ++j) {
            EXPECT_EQ(qAlpha(tile.pixel(i, j)), 255);
            texture = std::max(texture, gap(tile.pixel(i, j), base));
        }
    }
    EXPECT_GE(texture, 12);  // not a flat colour, whose edges would match trivially
    EXPECT_LE(seam, texture / 3);
}

TEST(CentreTillerPicture, IsCentredInItsSize) {
    test::GuiApplication();
    for (const QSize size : {QSize(60, 40), QSize(90, 60)}) {
        SCOPED_TRACE(size.width());
        const QImage image = ImageOf(ui::CentreTillerPicture(size));
        ASSERT_EQ(image.size(), size);
        EXPECT_EQ(qAlpha(image.pixel(0, size.height() - 1)), 0);
        int ink = 0, asymmetric = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width() / 2; ++x) {
                const QRgb left = image.pixel(x, y), right = image.pixel(size.width() - 1 - x, y);
                ink += qAlpha(left) > 128;
                asymmetric += std::abs(qAlpha(left) - qAlpha(right)) > 64;
            }
        }
        EXPECT_GT(ink, 20);
        EXPECT_EQ(asymmetric, 0);
    }
}

}  // namespace

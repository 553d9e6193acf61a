// One frame of the compass at its window size (540 x 574) with ten arrows and eight speed rings,
// painted into an image (the raster engine, as offscreen), with the dial copied from its cached
// picture and with the dial drawn again.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "ui/CompassWidget.h"

using namespace corvel;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "corvel_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void BM_CompassFrame(benchmark::State& state) {
    App();
    app::TFMXCompass model;
    model.GraduationMajeure = 30;
    model.CentreXY = {270, 287};
    model.FactConvers = 6.4f;
    model.etalon = 12;  // eight rings
    const app::PointF c = model.CentreXY, tail{330, 90}, apparent{360, 60};
    model.SetArrowTrueWind({tail, c, 430, 200});
    model.SetArrowBoatSpeed({c, {}, 110, 45});
    model.SetArrowHeading({c, {}, 105, 45});
    model.SetArrowApparWind({apparent, c, 440, 240});
    model.SetArrowBoatVelocityWind({apparent, tail, 0, 0});
    model.SetArrowDirWP({c, {}, 170, 258});
    model.SetArrowCurrent({tail, {345, 100}, 0, 0, app::TStyltrait::plein, 0.75f});
    model.SetArrowSurfaceWind({{345, 100}, c, 432, 200});
    model.SetArrowCOGSOG({c, {}, 100, 50});
    model.SetArrowGVW({apparent, tail, 0, 0});
    ui::CompassWidget widget(model);
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    const bool cached = state.range(0) != 0;
    float turn = 0;
    for (auto _ : state) {
        // A frame differs from the last as in a run: an arrow turns and the reference speed, the
        // fastest of the three speeds, moves within its step of the scale.
        model.SetArrowBoatSpeed({c, {}, 110 + turn, 45});
        model.etalon = 12 + turn / 10;
        turn = turn > 10 ? 0 : turn + 0.5f;
        image.fill(Qt::transparent);
        QPainter p(&image);
        widget.Render(p, cached);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_CompassFrame)->ArgName("cached")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

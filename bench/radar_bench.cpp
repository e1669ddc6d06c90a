// One frame of the activity bar's radar (cross, nine sweep lines, ring) at
// the tool bar's 20 pixels and at a larger size. The radar thread draws one
// every 5 ms for as long as a walk runs, so this is CPU the tree browser
// spends per second of walking whatever the agent's pace.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "mibcore/widgets/CRadarWnd.h"

namespace {

void BM_RadarFrame(benchmark::State& state)
{
    CRadarWnd radar;
    radar.resize(int(state.range(0)), int(state.range(0)));
    radar.InitRadar();
    radar.DrawBG();
    for (auto _ : state)
        radar.DrawRadar();
}
BENCHMARK(BM_RadarFrame)->Arg(20)->Arg(64);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

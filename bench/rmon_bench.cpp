// RMON windows: one page of the graph pane (six small graphs, 8 series, 41
// slots) and the legend pane rendered off-screen, and the CPU of one
// statistics cycle for 8 interfaces outside the network wait (the replies
// are prebuilt 16-varbind bindings; the cycle asks, takes and ticks).
//
//   build/bench/rmon_bench

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "plugins/countergroup/CounterLogic.h"
#include "plugins/ifplug/RmonLayout.h"
#include "snmpval/CSnmpBer.h"

using namespace ifplug;

namespace {

std::vector<RmonSeries> Series(int n)
{
    std::vector<RmonSeries> s{size_t(n)};
    for (int i = 0; i < n; ++i) {
        s[size_t(i)].pen = QPen(QColor::fromHsv(i * 40, 255, 200), 2);
        s[size_t(i)].id = i + 1;
        for (int j = 0; j < kRmonSlots; ++j) {
            RmonSample& x = s[size_t(i)].samples[size_t(j)];
            for (int k = 0; k < kRmonMaxValues; ++k)
                x.val[size_t(k)] = uint32_t((j * 37 + k * 11 + i * 5) % 500);
            x.time = 1700000000 + 5 * j;
            x.errIdx = j % 13 == 7 ? 2 : 0;
        }
    }
    return s;
}

void BM_RenderErrorPage(benchmark::State& state)
{
    const auto series = Series(8);
    RmonResources res;
    RmonView v{&kStatisticsValues, &series, 2, 40, -1};
    for (auto _ : state)
        benchmark::DoNotOptimize(RenderRmonGraph(v, QSize(600, 480), res));
}
BENCHMARK(BM_RenderErrorPage)->Unit(benchmark::kMicrosecond);

void BM_RenderLegend(benchmark::State& state)
{
    const auto series = Series(8);
    RmonResources res;
    RmonView v{&kStatisticsValues, &series, 2, 40, -1};
    for (auto _ : state)
        benchmark::DoNotOptimize(RenderRmonLegend(v, QSize(360, 480), 0, res));
}
BENCHMARK(BM_RenderLegend)->Unit(benchmark::kMicrosecond);

CSnmpBer Reply(uint32_t base)
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    unsigned long oid[] = {1, 3, 6, 1, 2, 1, 16, 1, 1, 1, 0, 1};
    for (unsigned long c = 4; c <= 19; ++c) {
        oid[10] = c;
        CSnmpBer name, value, binding;
        name.SetOid(oid, 12);
        value.SetULong(base + c * 1000, CSnmpBer::TagCounter);
        binding.SetTag(CSnmpBer::TagSequence);
        binding.AddBer(name);
        binding.AddBer(value);
        list.AddBer(binding);
    }
    return list;
}

void BM_StatisticsCycle8(benchmark::State& state)
{
    std::vector<RmonSeries> series(8);
    countergroup::PollState st(countergroup::ValueKind::Counter, 8, 3);
    const CSnmpBer replies[2] = {Reply(100), Reply(90000)};
    std::vector<RmonSample*> h;
    for (RmonSeries& s : series)
        h.push_back(s.samples.data());
    long now = 1700000000;
    int turn = 0;
    for (auto _ : state) {
        countergroup::RunRequests(st, [&](int, CSnmpBer& value) {
            value = replies[turn];
            return 0;
        });
        countergroup::TickCounter(st, h.data(), kRmonSlots, ++now);
        turn ^= 1;
    }
}
BENCHMARK(BM_StatisticsCycle8)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

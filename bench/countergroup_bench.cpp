// Counter-group windows: the graph render of the snmp group (27 series of
// 61 slots, once per cycle and per resize) and the CPU share of one poll
// cycle of 27 objects with the network wait left out: building each
// request's bindings, taking the value out of a reply and the tick.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <vector>

#include "mibcore/series/ValatTime.h"
#include "plugins/countergroup/CounterLogic.h"
#include "plugins/countergroup/GraphRender.h"

using namespace countergroup;

namespace {

constexpr int kSeries = 27;

GraphData SnmpGroupGraph()
{
    GraphData d;
    d.series.resize(kSeries);
    for (int i = 0; i < kSeries; ++i) {
        d.series[size_t(i)].pen = GraphResources::DefaultPen(i);
        for (int k = 0; k < kSlots; ++k) {
            d.series[size_t(i)].val[size_t(k)] = uint32_t((k * 37 + i * 101) % 5000);
            d.series[size_t(i)].err[size_t(k)] = (k % 17 == 3 && i == 5) ? 21 : 0;
        }
    }
    for (int k = 0; k < kSlots; ++k)
        d.time[size_t(k)] = 1700000000 + 15 * k;
    return d;
}

void BM_RenderSnmpGroupGraph(benchmark::State& state)
{
    GraphResources res;
    GraphRenderer r;
    GraphData d = SnmpGroupGraph();
    for (auto _ : state) {
        r.Render(d, QRect(0, 0, 480, 340), res);
        r.RenderOverlay(60, res);
        benchmark::DoNotOptimize(r.image().constBits());
    }
    state.SetLabel("27 series x 61 slots, us per render");
}
BENCHMARK(BM_RenderSnmpGroupGraph)->Unit(benchmark::kMicrosecond);

// A reply's bindings as the engine hands them back: the object and a
// Counter value.
CSnmpBer ReplyBindings(const std::vector<unsigned long>& oid, uint32_t v)
{
    CSnmpBer name;
    name.SetOid(oid.data(), int(oid.size()));
    CSnmpBer value;
    value.SetULong(v, CSnmpBer::TagCounter);
    CSnmpBer binding;
    binding.SetTag(CSnmpBer::TagSequence);
    binding.AddBer(name);
    binding.AddBer(value);
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    list.AddBer(binding);
    return list;
}

void BM_PollCycleCpu(benchmark::State& state)
{
    std::vector<std::vector<unsigned long>> oids;
    for (int j = 0; j < kSeries; ++j)
        oids.push_back({1, 3, 6, 1, 2, 1, 11, static_cast<unsigned long>(j + 1), 0});
    std::vector<CSnmpBer> replies;
    for (int j = 0; j < kSeries; ++j)
        replies.push_back(ReplyBindings(oids[size_t(j)], 4294967000u + uint32_t(j)));

    PollState st(ValueKind::Counter, kSeries, 3);
    std::vector<std::vector<ValatTime>> hist(kSeries, std::vector<ValatTime>(kHistoryLength, ValatTime(0, 0, 16)));
    std::vector<ValatTime*> ptrs;
    for (auto& h : hist)
        ptrs.push_back(h.data());
    long now = 1700000000;
    for (auto _ : state) {
        RunRequests(st, [&](int j, CSnmpBer& value) {
            const auto& oid = oids[size_t(j)];
            CSnmpBer bindings = MakeRequestBindings(oid.data(), int(oid.size()));
            // The exchange itself is left out: the reply replaces the list.
            bindings = replies[size_t(j)];
            return TakeReplyValue(bindings, oid.data(), int(oid.size()), value);
        });
        Tick(st, ptrs.data(), kHistoryLength, now++);
        benchmark::DoNotOptimize(ptrs[0][60].getVal());
    }
    state.SetLabel("27 objects, us per cycle without the network");
}
BENCHMARK(BM_PollCycleCpu)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

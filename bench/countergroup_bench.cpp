// Counter-group windows: the graph render of the snmp group (27 series of
// 61 slots, once per cycle and per resize) and the CPU share of one poll
// cycle of 27 objects with the network wait left out:
// - BM_PollCycleCpu: building each request's bindings, taking the value
//   out of a reply and the tick, without the engine;
// - BM_DocumentPollCycle: the document's whole cycle through the request
//   engine and real UDP to a responder thread on loopback; the CPU column
//   is this thread's time only, so the wait for the answers is left out.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/SnmpGroup.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/series/ValatTime.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterLogic.h"
#include "plugins/countergroup/GraphRender.h"

using namespace benchsupport;
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

void BM_PollCycleCpu(benchmark::State& state)
{
    std::vector<std::vector<unsigned long>> oids;
    for (int j = 0; j < kSeries; ++j)
        oids.push_back({1, 3, 6, 1, 2, 1, 11, static_cast<unsigned long>(j + 1), 0});
    std::vector<CSnmpBer> replies;
    for (int j = 0; j < kSeries; ++j)
        replies.push_back(OneBinding(oids[size_t(j)], 4294967000u + uint32_t(j)));

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

void BM_DocumentPollCycle(benchmark::State& state)
{
    MIBAgent* agent = MIBAgent::getInstance();
    agent->setAddr("127.0.0.1");
    agent->setNetworkLayerType(2);
    agent->setTvSec(1);
    agent->setTvUSec(0);
    CCounterGroupDoc doc(kSnmpGroup);
    doc.Initialize();
    MIBBasicItem item;
    for (auto _ : state)
        doc.PollCycle(&item);
    if (doc.getLastResult(26) != 0)
        state.SkipWithError("the responder did not answer");
    state.SetLabel("27 GetRequests through the engine, us of this thread per cycle");
}
BENCHMARK(BM_DocumentPollCycle)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    LoopbackResponder responder(LoopbackResponder::Bindings::Counter);
    PrepareEnvironment(responder.Port());
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

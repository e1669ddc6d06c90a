// Building and reading a GetResponse with 10 bindings: the cost of one
// poll cycle's worth of codec work per message. Then a GetBulk reply of 10
// and of 50 bindings read as a walk reads it (parse, cut into rows, each
// row's name and value): the 50-binding figure should stay near five times
// the 10-binding one.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/BenchSupport.h"
#include "mibcore/engine/SnmpReply.h"
#include "mibcore/engine/SnmpWalk.h"
#include "snmpval/CSnmpBer.h"

namespace {

CSnmpBer BuildResponse(int requestId) { return benchsupport::CounterResponse(10, requestId); }

void BM_BuildGetResponse10(benchmark::State& state)
{
    int id = 0;
    for (auto _ : state) {
        CSnmpBer msg = BuildResponse(id % 255 + 1);
        benchmark::DoNotOptimize(msg.GetAllData());
        ++id;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("messages");
}
BENCHMARK(BM_BuildGetResponse10);

// What the engine does with a received datagram, plus reading every
// binding's name and value as a view does.
void BM_ParseGetResponse10(benchmark::State& state)
{
    const CSnmpBer msg = BuildResponse(42);
    std::vector<unsigned char> datagram(msg.GetAllData(), msg.GetAllData() + msg.DataSize());
    std::vector<unsigned long> arcs(8192);
    for (auto _ : state) {
        snmpengine::Reply reply;
        snmpengine::ParseReply(datagram.data(), static_cast<int>(datagram.size()), reply);
        unsigned long sum = 0;
        for (int k = 0; k < 10; ++k) {
            const int namePath[] = {k, 0, -1};
            const int valuePath[] = {k, 1, -1};
            CSnmpBer name(reply.bindings.GetSequence(namePath));
            CSnmpBer value(reply.bindings.GetSequence(valuePath));
            sum += static_cast<unsigned long>(name.GetOid(arcs.data(), 8192)) + value.GetULong();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("messages");
}
BENCHMARK(BM_ParseGetResponse10);

void BM_ParseGetBulkReply(benchmark::State& state)
{
    const int n = int(state.range(0));
    const CSnmpBer msg = benchsupport::CounterResponse(n, 42);
    std::vector<unsigned char> datagram(msg.GetAllData(), msg.GetAllData() + msg.DataSize());
    std::vector<unsigned long> arcs(128);
    std::vector<CSnmpBer> rows;
    for (auto _ : state) {
        snmpengine::Reply reply;
        snmpengine::ParseReply(datagram.data(), static_cast<int>(datagram.size()), reply);
        rows.clear();
        snmpengine::SplitRows(reply.bindings, 1, rows);
        unsigned long sum = 0;
        for (const CSnmpBer& row : rows) {
            const int valuePath[] = {0, 1, -1};
            sum += static_cast<unsigned long>(snmpengine::BindingName(row, 0, arcs.data(), 128));
            sum += CSnmpBer(row.GetSequence(valuePath)).GetULong();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetLabel("bindings");
}
BENCHMARK(BM_ParseGetBulkReply)->Arg(10)->Arg(50);

}  // namespace

BENCHMARK_MAIN();

// Building and reading a GetResponse with 10 bindings: the cost of one
// poll cycle's worth of codec work per message.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/BenchSupport.h"
#include "mibcore/engine/SnmpReply.h"
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

}  // namespace

BENCHMARK_MAIN();

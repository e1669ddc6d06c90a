// Interface tables window: our own CPU per row while building and sorting
// the cells of a table (1,000 and 10,000 rows; it must stay flat), and,
// given an agent address, the five walks at open split into wall time and
// this thread's CPU time.
//
//   build/bench/if_bench                       cells and sorting only
//   bench/if-bench.sh                          also against an snmpd with
//                                              1,000 interfaces and 5,000 routes

#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "plugins/ifplug/IfTables.h"

using namespace ifplug;

namespace {

double ThreadCpu()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

CSnmpBer Binding(std::vector<unsigned long> oid, const CSnmpBer& value)
{
    CSnmpBer name;
    name.SetOid(oid.data(), int(oid.size()));
    CSnmpBer b;
    b.SetTag(CSnmpBer::TagSequence);
    b.AddBer(name);
    b.AddBer(value);
    return b;
}

// n walked rows of the interface table, as the engine stores them, in a
// shuffled ifIndex order so the sort has work to do.
void InterfaceRows(CSnmpBerList& rows, int n)
{
    const unsigned long cols[] = {1, 2, 3, 4, 5, 6, 8, 21};
    for (int r = 0; r < n; ++r) {
        const unsigned long index = (unsigned long)((r * 7919) % n + 1);
        CSnmpBer bindings;
        bindings.SetTag(CSnmpBer::TagSequence);
        for (unsigned long c : cols) {
            CSnmpBer v;
            switch (c) {
            case 2:
                v.SetString(("eth" + std::to_string(index)).c_str());
                break;
            case 5:
                v.SetULong(1000000000ul, CSnmpBer::TagGauge);
                break;
            case 6: {
                const unsigned char mac[6] = {2, 0, 0x5e, 0, (unsigned char)(index >> 8), (unsigned char)index};
                v.Set(CSnmpBer::TagOctetString, 6, mac);
                break;
            }
            default:
                v.SetLong(c == 3 ? 6 : c == 8 ? 1 : 1500);
            }
            bindings.AddBer(Binding({1, 3, 6, 1, 2, 1, 2, 2, 1, c, index}, v));
        }
        if (r == 0) {
            rows.Set(&bindings);
        } else {
            auto* node = new CSnmpBerList;
            node->Set(&bindings);
            rows.Add(node);
        }
    }
}

void BM_BuildAndSortInterfaceRows(benchmark::State& state)
{
    const int n = int(state.range(0));
    CSnmpBerList rows;
    InterfaceRows(rows, n);
    const std::vector<int> present = {0, 1, 2, 3, 4, 5, 6, 7};
    for (auto _ : state) {
        IfTablesData d;
        AddInterfaceRows(d, rows, n, present);
        std::vector<int> order = SortedRows(d.ifCells, 8);
        benchmark::DoNotOptimize(order.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["cpu_per_row"] =
        benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildAndSortInterfaceRows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The five walks against a real agent.
void WalkAgent(const std::string& address)
{
    MIBAgent* a = MIBAgent::getInstance();
    a->setAddr(address);
    a->setNetworkLayerType(address.find(':') != std::string::npos ? 23 : 2);
    a->setReadCommunity("cedrus");
    a->setSendErrCnt(3);
    a->setRecvErrCnt(1);
    a->setTvSec(2);
    a->setTvUSec(0);
    MIBBasicItem item;
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = ThreadCpu();
    IfTablesData d = ReadIfTables(a, &item);
    const double c1 = ThreadCpu();
    const auto t1 = std::chrono::steady_clock::now();
    std::vector<int> order = SortedRows(d.routeCells, 12);
    std::vector<int> order2 = SortedRows(d.ifCells, 8);
    const double c2 = ThreadCpu();
    const double wall = std::chrono::duration<double>(t1 - t0).count();
    const size_t rows = d.ifCells.size() / 8 + d.addrCells.size() / 5 + d.routeCells.size() / 12 +
                        d.historyCells.size() / 4;
    std::printf("five walks of %s: %zu interfaces, %zu addresses, %zu routes, %zu history rows\n", address.c_str(),
                d.ifCells.size() / 8, d.addrCells.size() / 5, d.routeCells.size() / 12, d.historyCells.size() / 4);
    std::printf("  open to rows: %.3f s wall, of which our CPU %.3f s (walks incl. encoding and cells) + %.3f s "
                "(sorting the two big tables)\n",
                wall, c1 - c0, c2 - c1);
    std::printf("  our CPU per row: %.1f us; the rest is the agent's answer time\n",
                rows ? (c2 - c0) / double(rows) * 1e6 : 0.0);
    benchmark::DoNotOptimize(order.data());
    benchmark::DoNotOptimize(order2.data());
}

}  // namespace

int main(int argc, char** argv)
{
    std::string agent;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--agent=", 0) == 0)
            agent = a.substr(8);
        else
            args.push_back(argv[i]);
    }
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RunSpecifiedBenchmarks();
    if (!agent.empty())
        WalkAgent(agent);
    benchmark::Shutdown();
    return 0;
}
